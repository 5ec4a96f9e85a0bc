// Shell links reach their files through a checked handle, with the bytes the link object saves itself;
// and shortcuts are judged by their bytes alone when they are to be removed.
#include <doctest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "internet_shortcut.h"
#include "shell_link.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const char kUrl[] = "http://www.lumavert.example";

}  // namespace

TEST_CASE("a shell link written through its handle has the bytes the link object saves from the system folder")
{
    REQUIRE(SUCCEEDED(::CoInitialize(NULL)));
    ScratchDir dir;
    const std::string title = "Marigold bytes " + std::to_string(::GetCurrentProcessId());
    const std::string made = SpecialFolder(CSIDL_DESKTOP) + "\\" + title + ".lnk";
    // Started from any folder, the link is the same (Wine's link object keeps an address as a file
    // below the current folder).
    REQUIRE(::SetCurrentDirectoryA(dir.path().c_str()));
    CreateShellLink(CSIDL_DESKTOP, title.c_str(), kUrl);

    char system[MAX_PATH] = "";
    REQUIRE(::GetSystemDirectoryA(system, MAX_PATH));
    REQUIRE(::SetCurrentDirectoryA(system));
    IShellLinkA* link = NULL;
    IPersistFile* file = NULL;
    REQUIRE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link))));
    link->SetPath(kUrl);
    REQUIRE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    const std::string saved = dir.file("saved.lnk");
    CHECK(SUCCEEDED(file->Save(std::wstring(saved.begin(), saved.end()).c_str(), TRUE)));
    file->Release();
    link->Release();
    CHECK_FALSE(ReadAll(saved).empty());
    CHECK(ReadAll(made) == ReadAll(saved));
    ::DeleteFileA(made.c_str());
    ::SetCurrentDirectoryA(system);  // out of the scratch folder, which goes now
    ::CoUninitialize();
}

TEST_CASE("a shortcut is removed only while its bytes are exactly the ones written and it may be deleted")
{
    REQUIRE(SUCCEEDED(::CoInitialize(NULL)));
    const std::string title = "Marigold removal " + std::to_string(::GetCurrentProcessId());
    for (const bool isUrl : {true, false}) {
        const std::string path = SpecialFolder(isUrl ? CSIDL_FAVORITES : CSIDL_DESKTOP) + "\\" + title + (isUrl ? ".url" : ".lnk");
        const auto remove = [&] {
            return isUrl ? RemoveInternetShortcut(title.c_str(), kUrl) : RemoveShellLink(CSIDL_DESKTOP, title.c_str(), kUrl);
        };
        if (isUrl)
            CreateInternetShortcut(title.c_str(), kUrl);
        else
            CreateShellLink(CSIDL_DESKTOP, title.c_str(), kUrl);
        const std::vector<unsigned char> written = ReadAll(path);
        REQUIRE_FALSE(written.empty());

        std::vector<unsigned char> changed = written;
        changed.push_back('\n');  // one byte more: someone else's now, whatever it opens
        REQUIRE(WriteAll(path, changed.data(), changed.size()));
        CHECK(remove() == PinnedRemoval::changed);
        CHECK(ReadAll(path) == changed);

        // Made read-only by the user: it stays, and says so.
        REQUIRE(WriteAll(path, written.data(), written.size()));
        REQUIRE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
        CHECK(remove() == PinnedRemoval::notRemoved);
        CHECK(ReadAll(path) == written);

        REQUIRE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
        CHECK(remove() == PinnedRemoval::removed);
        CHECK_FALSE(Exists(path));
        CHECK(remove() == PinnedRemoval::absent);
    }
    ::CoUninitialize();
}
