// The publisher's shortcuts made and taken away through checked handles, in the test user's real
// folders, each case with titles of its own.
#include <doctest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "publisher_shortcuts.h"
#include "shell_link.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const char kUrl[] = "http://www.lumavert.example";

std::string SpecialFolder(int folderId)
{
    char path[MAX_PATH] = "";
    REQUIRE(::SHGetSpecialFolderPathA(NULL, path, folderId, FALSE));
    return path;
}

std::string UniqueTitle(const std::string& stem)
{
    static unsigned serial = 0;
    return stem + " " + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++serial);
}

struct Made {
    std::string path;
    ~Made()
    {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(path.c_str());
    }
};

}  // namespace

TEST_CASE("a shell link written through its handle has the bytes the link object saves itself")
{
    REQUIRE(SUCCEEDED(::CoInitialize(NULL)));
    ScratchDir dir;
    const std::string title = UniqueTitle("Marigold bytes");
    const Made made{SpecialFolder(CSIDL_DESKTOP) + "\\" + title + ".lnk"};
    CreateShellLink(CSIDL_DESKTOP, title.c_str(), kUrl);
    {
        IShellLinkA* link = NULL;
        IPersistFile* file = NULL;
        REQUIRE(SUCCEEDED(
            ::CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link))));
        link->SetPath(kUrl);
        REQUIRE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
        const std::string saved = dir.file("saved.lnk");
        CHECK(SUCCEEDED(file->Save(std::wstring(saved.begin(), saved.end()).c_str(), TRUE)));
        file->Release();
        link->Release();
        CHECK(ReadAll(made.path) == ReadAll(saved));
        CHECK_FALSE(ReadAll(saved).empty());
    }
    ::CoUninitialize();
}

TEST_CASE("only a shortcut that is ours where its name says is removed")
{
    REQUIRE(SUCCEEDED(::CoInitialize(NULL)));
    ScratchDir dir;
    const std::string stem = UniqueTitle("Marigold removed");
    for (const PublisherShortcut kind : {PublisherShortcut{internetShortcut, CSIDL_FAVORITES, ""},
                                         PublisherShortcut{shellLink, CSIDL_PROGRAMS, ""}}) {
        const std::string title = stem + (kind.kind == internetShortcut ? " url" : " lnk");
        const PublisherShortcut shortcut{kind.kind, kind.folderId, title.c_str()};
        const Made made{SpecialFolder(kind.folderId) + "\\" + title + (kind.kind == internetShortcut ? ".url" : ".lnk")};
        CAPTURE(made.path);

        CreatePublisherShortcut(shortcut, kUrl);
        REQUIRE(Exists(made.path));
        CHECK(RemovePublisherShortcut(shortcut, "http://elsewhere.example") == shortcutChanged);
        // A second name makes it a file that also lives elsewhere.
        const std::string second = dir.file("second name");
        REQUIRE(::CreateHardLinkA(second.c_str(), made.path.c_str(), NULL));
        CHECK(RemovePublisherShortcut(shortcut, kUrl) == shortcutChanged);
        REQUIRE(::DeleteFileA(second.c_str()));
        REQUIRE(::SetFileAttributesA(made.path.c_str(), FILE_ATTRIBUTE_READONLY));
        CHECK(RemovePublisherShortcut(shortcut, kUrl) == shortcutNotRemoved);
        CHECK(Exists(made.path));
        REQUIRE(::SetFileAttributesA(made.path.c_str(), FILE_ATTRIBUTE_NORMAL));

        CHECK(RemovePublisherShortcut(shortcut, kUrl) == shortcutRemoved);
        CHECK_FALSE(Exists(made.path));
        CHECK(RemovePublisherShortcut(shortcut, kUrl) == shortcutAbsent);
    }
    ::CoUninitialize();
}
