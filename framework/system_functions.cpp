#include "system_functions.h"

#include "system_library.h"

namespace {

// An export of a module, as whatever function type it is given to (NULL when it is missing).
struct Export {
    HMODULE module;
    LPCSTR name;
    template <class Proc>
    operator Proc() const { return GetSystemProc<Proc>(module, name); }
};

// The table `Table` whose entries are, in their order, the exports `names` of the DLL `file` as `load`
// gives it; made when first asked for.
template <class Table, class Load, class... Names>
const Table& Filled(Load load, LPCSTR file, Names... names)
{
    static const Table table = [&] {
        const HMODULE module = load(file);
        return Table{Export{module, names}...};
    }();
    return table;
}

}  // namespace

const Kernel32Functions& Kernel32()
{
    return Filled<Kernel32Functions>(::GetModuleHandleA, "kernel32.dll", "Wow64DisableWow64FsRedirection",
                                     "Wow64RevertWow64FsRedirection");
}

const NtdllFunctions& Ntdll() { return Filled<NtdllFunctions>(::GetModuleHandleA, "ntdll.dll", "NtCreateFile"); }

const User32Functions& User32()
{
    return Filled<User32Functions>(::GetModuleHandleA, "user32.dll", "RegisterPowerSettingNotification",
                                   "UnregisterPowerSettingNotification");
}

const OleAutomationFunctions& OleAutomation()
{
    return Filled<OleAutomationFunctions>(LoadSystemLibrary, "oleaut32.dll", "SysAllocStringLen", "SysFreeString");
}

const VersionFunctions& Version()
{
    return Filled<VersionFunctions>(LoadSystemLibrary, "version.dll", "GetFileVersionInfoSizeA", "GetFileVersionInfoA",
                                    "VerQueryValueA");
}

const MultimediaFunctions& Multimedia() { return Filled<MultimediaFunctions>(LoadSystemLibrary, "winmm.dll", "PlaySoundA"); }

const ShellCoreFunctions& ShellCore() { return Filled<ShellCoreFunctions>(LoadSystemLibrary, "shcore.dll", "GetDpiForMonitor"); }

const CommonControlsFunctions& CommonControls()
{
    return Filled<CommonControlsFunctions>(LoadSystemAssembly, "comctl32.dll", "InitCommonControlsEx");
}
