// Where DLLs come from, with the real loader under Wine: a copy of this program sits in the current
// folder under a DLL's name, as a planted DLL would. (The program's own folder is the end-to-end
// setup test's: there the setup starts from a download folder with a planted DLL beside it.)
#include <doctest.h>

#include <string>

#include "system_library.h"
#include "test_support.h"

namespace {

const char kProbe[] = "marigold_probe.dll";

std::string ModulePath(HMODULE module)
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}

std::string SystemFolder()
{
    char path[MAX_PATH] = "";
    ::GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

bool IsInSystemFolder(const std::string& path)
{
    const std::string folder = SystemFolder() + "\\";
    return path.size() > folder.size() && ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(),
                                                           static_cast<int>(folder.size()), folder.c_str(),
                                                           static_cast<int>(folder.size())) == CSTR_EQUAL;
}

// Plants a copy of this program in a scratch folder and makes that the current folder.
class PlantedInCurrentFolder {
public:
    PlantedInCurrentFolder()
    {
        ::GetCurrentDirectoryA(MAX_PATH, previous_);
        REQUIRE(::CopyFileA(ModulePath(NULL).c_str(), dir_.file(kProbe).c_str(), FALSE));
        REQUIRE(::SetCurrentDirectoryA(dir_.path().c_str()));
    }
    ~PlantedInCurrentFolder() { ::SetCurrentDirectoryA(previous_); }

private:
    testing_support::ScratchDir dir_;
    char previous_[MAX_PATH] = "";
};

// Loads by name with the process's search; true when found (and lets it go again).
bool FoundByName(const char* name)
{
    HMODULE module = ::LoadLibraryA(name);
    if (module) ::FreeLibrary(module);
    return module != NULL;
}

}  // namespace

TEST_CASE("once the DLL search is narrowed a DLL in the current folder is no longer found by name")
{
    PlantedInCurrentFolder planted;
    // The standard search finds it: the copy is a real, loadable image.
    REQUIRE(FoundByName(kProbe));

    CHECK(RestrictDllSearchToSystem());
    ::SetLastError(0);
    CHECK_FALSE(FoundByName(kProbe));
    CHECK(::GetLastError() == ERROR_MOD_NOT_FOUND);

    // The common controls are still there, from the system or its side-by-side store.
    HMODULE controls = LoadSystemAssembly("comctl32.dll");
    CHECK(controls != NULL);
    CHECK(GetSystemProc<FARPROC>(controls, "InitCommonControlsEx") != NULL);
}

TEST_CASE("a system library comes from the system folder by its full path or not at all")
{
    PlantedInCurrentFolder planted;
    HMODULE version = LoadSystemLibrary("version.dll");
    REQUIRE(version != NULL);
    CHECK(IsInSystemFolder(ModulePath(version)));
    CHECK(GetSystemProc<FARPROC>(version, "GetFileVersionInfoSizeA") != NULL);
    CHECK(GetSystemProc<FARPROC>(version, "NoSuchExport") == NULL);
    CHECK(GetSystemProc<FARPROC>(NULL, "GetFileVersionInfoSizeA") == NULL);

    // Only in the current folder: not loaded, even before the search is narrowed.
    CHECK(LoadSystemLibrary(kProbe) == NULL);
    // A name that cannot fit behind the system folder is refused, not cut.
    CHECK(LoadSystemLibrary(std::string(MAX_PATH, 'x').c_str()) == NULL);
}
