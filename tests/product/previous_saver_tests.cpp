// The screen saver chosen before Marigold, remembered by the setup and put back by the uninstaller,
// against the prefix's real system.ini, screen-saver flag and record.
#include <doctest.h>

#include "activation.h"
#include "previous_saver.h"
#include "product.h"
#include "screen_saver_settings.h"

using namespace testing_support;

namespace {

// Takes away the record of the screen saver chosen before Marigold, which the test prefix has not.
struct RecordGuard {
    ~RecordGuard() { ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "PreviousScreenSaver"); }
};

}  // namespace

TEST_CASE("the screen saver chosen before Marigold is remembered once and put back at removal")
{
    SystemSettingsGuard guard;
    const RecordGuard record;
    ScratchDir scratch;
    const std::string ours = MakeSaverFile(scratch.path(), "MARIGOLD.SCR");
    std::string before = MakeSaverFile(scratch.path(), "BEFORE.SCR");
    BOOL activeBefore = TRUE;
    SUBCASE("it is there") {}
    SUBCASE("its file is gone") { before = scratch.file("GONE.SCR"); }
    SUBCASE("screen saving was off") { activeBefore = FALSE; }
    REQUIRE(WriteAll(SystemIniPath(), "[boot]\r\nSCRNSAVE.EXE=" + before + "\r\n"));
    REQUIRE(::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, activeBefore, NULL, SPIF_UPDATEINIFILE));
    CHECK(RecordPreviousScreenSaver(ours.c_str()));
    REQUIRE(ActivateScreenSaver(ours.c_str()) == 1);
    // A re-run finds Marigold itself chosen (in its short form): never the one from before.
    CHECK(RecordPreviousScreenSaver(ours.c_str()));

    CHECK(RestorePreviousScreenSaver(ours.c_str()));
    const bool putBack = activeBefore && Exists(before);
    CHECK(ProfileValue("boot", "SCRNSAVE.EXE") == (putBack ? before : "<missing>"));
    CHECK(ScreenSaveActive() == (putBack ? TRUE : FALSE));

    // Another screen saver chosen since is left alone.
    REQUIRE(ActivateScreenSaver(ours.c_str()) == 1);
    REQUIRE(WriteAll(SystemIniPath(), "[boot]\r\nSCRNSAVE.EXE=C:\\OTHER.SCR\r\n"));
    CHECK(RestorePreviousScreenSaver(ours.c_str()));
    CHECK(ProfileValue("boot", "SCRNSAVE.EXE") == "C:\\OTHER.SCR");
}
