// Files reached only where their names say. Links to other places are planted from Linux in the
// end-to-end tests (Wine cannot make them); here a second name (a hard link) stands for a file that
// lives elsewhere too.
#include <doctest.h>

#include "pinned_file.h"
#include "test_support.h"

using namespace testing_support;

TEST_CASE("a pinned file is the one its name says and stays so until it is deleted through its handle")
{
    ScratchDir dir;
    REQUIRE(WriteAll(dir.file("elsewhere.ini"), "system's"));
    REQUIRE(::CreateHardLinkA(dir.file("ours.url").c_str(), dir.file("elsewhere.ini").c_str(), NULL));
    CHECK_FALSE(WritePinnedFile(dir.path().c_str(), "ours.url", "ours", 4));
    CHECK(PinnedFile().OpenExisting(dir.path().c_str(), "ours.url") == PinnedFile::pinnedElsewhere);
    CHECK(ReadAll(dir.file("elsewhere.ini")) == Bytes("system's"));

    REQUIRE(::DeleteFileA(dir.file("elsewhere.ini").c_str()));
    {
        PinnedFile file;
        REQUIRE(file.OpenExisting(dir.path().c_str(), "ours.url") == PinnedFile::pinnedOpen);
        CHECK_FALSE(::MoveFileA(dir.file("ours.url").c_str(), dir.file("moved.url").c_str()));
        CHECK(file.Delete());
    }
    CHECK_FALSE(Exists(dir.file("ours.url")));
    CHECK_FALSE(Exists(dir.file("moved.url")));
}
