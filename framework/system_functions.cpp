#include "system_functions.h"

#include "system_library.h"

namespace {

// Fills `proc` with the export `name` of `module`, as the type it is called through.
template <class Proc>
void Find(Proc& proc, HMODULE module, LPCSTR name)
{
    proc = GetSystemProc<Proc>(module, name);
}

}  // namespace

const Kernel32Functions& Kernel32()
{
    static const Kernel32Functions functions = [] {
        const HMODULE module = ::GetModuleHandleA("kernel32.dll");
        Kernel32Functions f;
        Find(f.setDllDirectory, module, "SetDllDirectoryA");
        Find(f.setDefaultDllDirectories, module, "SetDefaultDllDirectories");
        Find(f.wow64DisableFsRedirection, module, "Wow64DisableWow64FsRedirection");
        Find(f.wow64RevertFsRedirection, module, "Wow64RevertWow64FsRedirection");
        return f;
    }();
    return functions;
}

const NtdllFunctions& Ntdll()
{
    static const NtdllFunctions functions = [] {
        NtdllFunctions f;
        Find(f.ntCreateFile, ::GetModuleHandleA("ntdll.dll"), "NtCreateFile");
        return f;
    }();
    return functions;
}

const User32Functions& User32()
{
    static const User32Functions functions = [] {
        const HMODULE module = ::GetModuleHandleA("user32.dll");
        User32Functions f;
        Find(f.registerPowerSettingNotification, module, "RegisterPowerSettingNotification");
        Find(f.unregisterPowerSettingNotification, module, "UnregisterPowerSettingNotification");
        return f;
    }();
    return functions;
}

const OleAutomationFunctions& OleAutomation()
{
    static const OleAutomationFunctions functions = [] {
        const HMODULE module = LoadSystemLibrary("oleaut32.dll");
        OleAutomationFunctions f;
        Find(f.sysAllocStringLen, module, "SysAllocStringLen");
        Find(f.sysFreeString, module, "SysFreeString");
        return f;
    }();
    return functions;
}

const VersionFunctions& Version()
{
    static const VersionFunctions functions = [] {
        const HMODULE module = LoadSystemLibrary("version.dll");
        VersionFunctions f;
        Find(f.getFileVersionInfoSize, module, "GetFileVersionInfoSizeA");
        Find(f.getFileVersionInfo, module, "GetFileVersionInfoA");
        Find(f.verQueryValue, module, "VerQueryValueA");
        return f;
    }();
    return functions;
}

const MultimediaFunctions& Multimedia()
{
    static const MultimediaFunctions functions = [] {
        MultimediaFunctions f;
        Find(f.playSound, LoadSystemLibrary("winmm.dll"), "PlaySoundA");
        return f;
    }();
    return functions;
}

const ShellCoreFunctions& ShellCore()
{
    static const ShellCoreFunctions functions = [] {
        ShellCoreFunctions f;
        Find(f.getDpiForMonitor, LoadSystemLibrary("shcore.dll"), "GetDpiForMonitor");
        return f;
    }();
    return functions;
}

const CommonControlsFunctions& CommonControls()
{
    static const CommonControlsFunctions functions = [] {
        CommonControlsFunctions f;
        Find(f.initCommonControlsEx, LoadSystemAssembly("comctl32.dll"), "InitCommonControlsEx");
        return f;
    }();
    return functions;
}
