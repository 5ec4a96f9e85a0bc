// The system functions that are looked up at run time rather than imported, one table per DLL.
// Either the DLL is not one the system protects, so an import could be satisfied by a copy planted
// beside the program (it comes from the system folder instead), or the function is missing from
// older systems. Each table is filled the first time it is asked for; a function that cannot be had
// is NULL, and its caller does without.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <winternl.h>

// kernel32.dll (always loaded): the DLL search and the file system redirection of 64-bit Windows.
struct Kernel32Functions {
    BOOL(WINAPI* setDllDirectory)(LPCSTR);
    BOOL(WINAPI* setDefaultDllDirectories)(DWORD);
    BOOL(WINAPI* wow64DisableFsRedirection)(PVOID*);
    BOOL(WINAPI* wow64RevertFsRedirection)(PVOID);
};
const Kernel32Functions& Kernel32();

// ntdll.dll (always loaded): a file opened by its name inside a folder already open.
struct NtdllFunctions {
    decltype(&::NtCreateFile) ntCreateFile;
};
const NtdllFunctions& Ntdll();

// user32.dll (always loaded): notices of the display's power (Vista on).
struct User32Functions {
    HPOWERNOTIFY(WINAPI* registerPowerSettingNotification)(HANDLE, LPCGUID, DWORD);
    BOOL(WINAPI* unregisterPowerSettingNotification)(HPOWERNOTIFY);
};
const User32Functions& User32();

// oleaut32.dll: the strings COM carries into another process.
struct OleAutomationFunctions {
    BSTR(WINAPI* sysAllocStringLen)(const OLECHAR*, UINT);
    void(WINAPI* sysFreeString)(BSTR);
};
const OleAutomationFunctions& OleAutomation();

// version.dll: files' version records.
struct VersionFunctions {
    DWORD(WINAPI* getFileVersionInfoSize)(LPCSTR, LPDWORD);
    BOOL(WINAPI* getFileVersionInfo)(LPCSTR, DWORD, DWORD, LPVOID);
    BOOL(WINAPI* verQueryValue)(LPCVOID, LPCSTR, LPVOID*, PUINT);
};
const VersionFunctions& Version();

// winmm.dll: sound.
struct MultimediaFunctions {
    BOOL(WINAPI* playSound)(LPCSTR, HMODULE, DWORD);
};
const MultimediaFunctions& Multimedia();

// shcore.dll (Windows 8.1 on): a monitor's scaling.
struct ShellCoreFunctions {
    HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*);
};
const ShellCoreFunctions& ShellCore();

// comctl32.dll, or the side-by-side version the program's manifest asks for.
struct CommonControlsFunctions {
    BOOL(WINAPI* initCommonControlsEx)(const INITCOMMONCONTROLSEX*);
};
const CommonControlsFunctions& CommonControls();
