// Where DLLs come from, with the real loader under Wine: a copy of this program sits in the current
// folder under a DLL's name, as a planted DLL would. (The program's own folder is the end-to-end
// setup test's: there the setup starts from a download folder with a planted DLL beside it.)
#include <doctest.h>

#include <string>

#include "paths.h"
#include "registry_key.h"
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

bool IsInSystemFolder(const std::string& path) { return SamePath(path.substr(0, path.rfind('\\')).c_str(), SystemDirectory()); }

// Plants a copy of this program in a scratch folder under a DLL's name and makes that the current folder.
class PlantedInCurrentFolder {
public:
    explicit PlantedInCurrentFolder(const char* name = kProbe)
    {
        ::GetCurrentDirectoryA(MAX_PATH, previous_);
        REQUIRE(::CopyFileA(ModulePath(NULL).c_str(), dir_.file(name).c_str(), FALSE));
        REQUIRE(::SetCurrentDirectoryA(dir_.path().c_str()));
    }
    ~PlantedInCurrentFolder() { ::SetCurrentDirectoryA(previous_); }

private:
    testing_support::ScratchDir dir_;
    char previous_[MAX_PATH] = "";
};

const char kVistaProbe[] = "marigold_vista_probe.exe";
const char kVistaCase[] = "before Windows 7 the search is left wide and the shell's DLLs are taken from the system folder first";
const char kWineAppDefaults[] = "Software\\Wine\\AppDefaults\\marigold_vista_probe.exe";

bool RunningAsVistaProbe()
{
    const std::string self = ModulePath(NULL);
    return self.size() >= sizeof(kVistaProbe) - 1 &&
           ::lstrcmpiA(self.c_str() + self.size() - (sizeof(kVistaProbe) - 1), kVistaProbe) == 0;
}

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

// Vista cannot create the shell's link object under a system-folder-only search. The case runs
// itself again as a copy that Wine tells it is Vista, and that copy checks the fallback.
TEST_CASE("before Windows 7 the search is left wide and the shell's DLLs are taken from the system folder first")
{
    if (RunningAsVistaProbe()) {
        // A planted copy of a DLL the shell loads by name. (Wine keeps the current folder in the
        // search after SetDllDirectory(""), unlike Windows, so it would even be found there.)
        PlantedInCurrentFolder planted("propsys.dll");
        CHECK_FALSE(::GetModuleHandleA("propsys.dll"));
        CHECK_FALSE(RestrictDllSearchToSystem());
        for (const char* name : {"version.dll", "uxtheme.dll", "propsys.dll"}) {
            HMODULE preloaded = ::GetModuleHandleA(name);
            CHECK_MESSAGE(preloaded != NULL, name);
            if (preloaded) CHECK(IsInSystemFolder(ModulePath(preloaded)));
        }
        // A later load by name gets the system folder's copy that is already there.
        HMODULE byName = ::LoadLibraryA("propsys.dll");
        CHECK(byName == ::GetModuleHandleA("propsys.dll"));
        CHECK(IsInSystemFolder(ModulePath(byName)));
        CHECK(LoadSystemAssembly("comctl32.dll") != NULL);
        return;
    }

    testing_support::ScratchDir dir;
    const std::string probe = dir.file(kVistaProbe);
    REQUIRE(::CopyFileA(ModulePath(NULL).c_str(), probe.c_str(), FALSE));
    RegistryKey appDefaults;
    REQUIRE(appDefaults.Create(HKEY_CURRENT_USER, kWineAppDefaults, KEY_SET_VALUE));
    REQUIRE(appDefaults.SetString("Version", "vista"));

    std::string commandLine = "\"" + probe + "\" --test-case=\"" + kVistaCase + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const BOOL started = ::CreateProcessA(probe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    DWORD exitCode = 99;
    if (started) {
        ::WaitForSingleObject(process.hProcess, 60000);
        ::GetExitCodeProcess(process.hProcess, &exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kWineAppDefaults);
    CHECK(started);
    CHECK(exitCode == 0);
}
