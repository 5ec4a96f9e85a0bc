// Files reached only where their names say. Links to other places are planted from Linux in the
// end-to-end tests (Wine cannot make them); here a second name (a hard link) stands for a file that
// lives elsewhere too.
#include <doctest.h>

#include <string>

#include "pinned_file.h"
#include "test_support.h"

using namespace testing_support;

namespace {

std::string ReadPinned(PinnedFile& file, DWORD limit)
{
    HeapArray<char> bytes;
    if (!file.ReadAll(bytes, limit)) return "<unread>";
    return std::string(bytes.data(), bytes.size());
}

std::string Text(const std::string& path)
{
    const std::vector<unsigned char> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST_CASE("a pinned file is made or replaced whole and read back through its handle")
{
    ScratchDir dir;
    const std::string longer = "[InternetShortcut]\r\nURL=http://a.example/a/long/one\r\n";
    CHECK(WritePinnedFile(dir.path().c_str(), "new.url", longer.data(), static_cast<DWORD>(longer.size())));
    CHECK(Text(dir.file("new.url")) == longer);
    const std::string shorter = "short";
    CHECK(WritePinnedFile(dir.path().c_str(), "new.url", shorter.data(), static_cast<DWORD>(shorter.size())));
    CHECK(Text(dir.file("new.url")) == shorter);

    PinnedFile file;
    REQUIRE(file.OpenExisting(dir.path().c_str(), "new.url") == PinnedFile::pinnedOpen);
    CHECK(ReadPinned(file, 5) == shorter);
    CHECK(ReadPinned(file, 4) == "<unread>");
    CHECK(PinnedFile().OpenExisting(dir.path().c_str(), "missing.url") == PinnedFile::pinnedAbsent);
}

TEST_CASE("a pinned file with a second name elsewhere is neither written nor deleted")
{
    ScratchDir dir;
    REQUIRE(WriteAll(dir.file("elsewhere.ini"), "system's"));
    REQUIRE(::CreateHardLinkA(dir.file("ours.url").c_str(), dir.file("elsewhere.ini").c_str(), NULL));

    CHECK_FALSE(WritePinnedFile(dir.path().c_str(), "ours.url", "ours", 4));
    CHECK(PinnedFile().OpenExisting(dir.path().c_str(), "ours.url") == PinnedFile::pinnedElsewhere);
    CHECK(Text(dir.file("elsewhere.ini")) == "system's");
    CHECK(Exists(dir.file("ours.url")));
}

TEST_CASE("a read-only file and a missing folder are left alone")
{
    ScratchDir dir;
    REQUIRE(WriteAll(dir.file("kept.url"), "kept"));
    REQUIRE(::SetFileAttributesA(dir.file("kept.url").c_str(), FILE_ATTRIBUTE_READONLY));
    CHECK_FALSE(WritePinnedFile(dir.path().c_str(), "kept.url", "new", 3));
    {
        PinnedFile file;
        REQUIRE(file.OpenExisting(dir.path().c_str(), "kept.url") == PinnedFile::pinnedOpen);
        CHECK_FALSE(file.Delete());
    }
    CHECK(Text(dir.file("kept.url")) == "kept");

    const std::string missing = dir.file("no folder");
    CHECK_FALSE(WritePinnedFile(missing.c_str(), "new.url", "new", 3));
    CHECK(PinnedFile().OpenExisting(missing.c_str(), "new.url") == PinnedFile::pinnedAbsent);
    CHECK_FALSE(Exists(missing));
}

TEST_CASE("a pinned file cannot be moved away before it is deleted through its handle")
{
    ScratchDir dir;
    REQUIRE(WriteAll(dir.file("ours.lnk"), "ours"));
    {
        PinnedFile file;
        REQUIRE(file.OpenExisting(dir.path().c_str(), "ours.lnk") == PinnedFile::pinnedOpen);
        CHECK_FALSE(::MoveFileA(dir.file("ours.lnk").c_str(), dir.file("moved.lnk").c_str()));
        CHECK(file.Delete());
    }
    CHECK_FALSE(Exists(dir.file("ours.lnk")));
    CHECK_FALSE(Exists(dir.file("moved.lnk")));
}
