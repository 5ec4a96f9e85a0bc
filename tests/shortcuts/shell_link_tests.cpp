// A shell link reaches its file through a checked handle, with the bytes the link object saves itself.
#include <doctest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "shell_link.h"
#include "test_support.h"

using namespace testing_support;

TEST_CASE("a shell link written through its handle has the bytes the link object saves itself")
{
    REQUIRE(SUCCEEDED(::CoInitialize(NULL)));
    ScratchDir dir;
    char desktop[MAX_PATH] = "";
    REQUIRE(::SHGetSpecialFolderPathA(NULL, desktop, CSIDL_DESKTOP, FALSE));
    const std::string title = "Marigold bytes " + std::to_string(::GetCurrentProcessId());
    const std::string made = std::string(desktop) + "\\" + title + ".lnk";
    const char url[] = "http://www.lumavert.example";
    CreateShellLink(CSIDL_DESKTOP, title.c_str(), url);

    IShellLinkA* link = NULL;
    IPersistFile* file = NULL;
    REQUIRE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link))));
    link->SetPath(url);
    REQUIRE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    const std::string saved = dir.file("saved.lnk");
    CHECK(SUCCEEDED(file->Save(std::wstring(saved.begin(), saved.end()).c_str(), TRUE)));
    file->Release();
    link->Release();
    CHECK_FALSE(ReadAll(saved).empty());
    CHECK(ReadAll(made) == ReadAll(saved));
    ::DeleteFileA(made.c_str());
    ::CoUninitialize();
}
