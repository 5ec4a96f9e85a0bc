// Files reached only where their names say. Links to other places are planted from Linux in the
// end-to-end tests (Wine cannot make them); here a second name (a hard link) stands for a file that
// lives elsewhere too.
#include <doctest.h>

#include <ctype.h>

#include "paths.h"
#include "pinned_file.h"
#include "test_support.h"

using namespace testing_support;

TEST_CASE("a pinned file is the one its name says and stays so until it is deleted through its handle")
{
    ScratchDir dir;
    REQUIRE(WriteAll(dir.file("elsewhere.ini"), "system's"));
    REQUIRE(::CreateHardLinkA(dir.file("ours.url").c_str(), dir.file("elsewhere.ini").c_str(), NULL));
    CHECK_FALSE(WritePinnedFile(dir.path().c_str(), "ours.url", "ours", 4));
    CHECK(PinnedFile().OpenExisting(dir.path().c_str(), "ours.url") == PinnedFile::OpenResult::elsewhere);
    CHECK(ReadAll(dir.file("elsewhere.ini")) == Bytes("system's"));

    REQUIRE(::DeleteFileA(dir.file("elsewhere.ini").c_str()));
    {
        PinnedFile file;
        REQUIRE(file.OpenExisting(dir.path().c_str(), "ours.url") == PinnedFile::OpenResult::open);
        CHECK_FALSE(::MoveFileA(dir.file("ours.url").c_str(), dir.file("moved.url").c_str()));
        CHECK(file.Delete());
    }
    CHECK_FALSE(Exists(dir.file("ours.url")));
    CHECK_FALSE(Exists(dir.file("moved.url")));
}

TEST_CASE("a pinned file's folder may be named in any spelling of it and each spelling is the same path")
{
    ScratchDir dir;
    char shortPath[MAX_PATH] = "";
    REQUIRE(::GetShortPathNameA(dir.path().c_str(), shortPath, MAX_PATH));
    std::string slashedUpper = dir.path();
    for (char& c : slashedUpper)
        c = c == '\\' ? '/' : static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    for (const std::string& folder : {std::string(shortPath), slashedUpper, dir.path() + "\\"}) {
        CHECK_MESSAGE(WritePinnedFile(folder.c_str(), "ours.url", "ours", 4), folder);
        CHECK_MESSAGE(PinnedFile().OpenExisting(folder.c_str(), "ours.url") == PinnedFile::OpenResult::open, folder);
        CHECK_MESSAGE(SamePath(folder.c_str(), dir.path().c_str()), folder);
    }
    CHECK_FALSE(SamePath(dir.file("ours.url").c_str(), dir.path().c_str()));
}

TEST_CASE("only a reparse point that stands for another name is a link")
{
    CHECK(IsLinkEntry(FILE_ATTRIBUTE_REPARSE_POINT, true, IO_REPARSE_TAG_SYMLINK));
    CHECK(IsLinkEntry(FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY, true, IO_REPARSE_TAG_MOUNT_POINT));
    CHECK(IsLinkEntry(FILE_ATTRIBUTE_REPARSE_POINT, false, 0));  // a tag that could not be read
    CHECK_FALSE(IsLinkEntry(FILE_ATTRIBUTE_REPARSE_POINT, true, IO_REPARSE_TAG_CLOUD_6));
    CHECK_FALSE(IsLinkEntry(FILE_ATTRIBUTE_REPARSE_POINT, true, IO_REPARSE_TAG_DEDUP));
    CHECK_FALSE(IsLinkEntry(FILE_ATTRIBUTE_NORMAL, true, IO_REPARSE_TAG_SYMLINK));
}
