// The system functions that are looked up at run time rather than imported, one table per DLL.
// Either the DLL is not one the system protects, so an import could be satisfied by a copy planted
// beside the program (it comes from the system folder instead), or the function is missing from
// older systems. Each table is filled the first time it is asked for; a function that cannot be had
// is NULL, and its caller does without. Each entry has the type the system's headers declare.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <winternl.h>

// kernel32.dll (always loaded): the file system redirection of 64-bit Windows.
struct Kernel32Functions {
    decltype(&::Wow64DisableWow64FsRedirection) wow64DisableFsRedirection;
    decltype(&::Wow64RevertWow64FsRedirection) wow64RevertFsRedirection;
};

// ntdll.dll (always loaded): a file opened by its name inside a folder already open.
struct NtdllFunctions {
    decltype(&::NtCreateFile) ntCreateFile;
};

// user32.dll (always loaded): notices of the display's power (Vista on).
struct User32Functions {
    decltype(&::RegisterPowerSettingNotification) registerPowerSettingNotification;
    decltype(&::UnregisterPowerSettingNotification) unregisterPowerSettingNotification;
};

// oleaut32.dll: the strings COM carries into another process.
struct OleAutomationFunctions {
    decltype(&::SysAllocStringLen) sysAllocStringLen;
    decltype(&::SysFreeString) sysFreeString;
};

// version.dll: files' version records.
struct VersionFunctions {
    decltype(&::GetFileVersionInfoSizeA) getFileVersionInfoSize;
    decltype(&::GetFileVersionInfoA) getFileVersionInfo;
    decltype(&::VerQueryValueA) verQueryValue;
};

// winmm.dll: sound.
struct MultimediaFunctions {
    decltype(&::PlaySoundA) playSound;
};

// shcore.dll (Windows 8.1 on): a monitor's scaling. The headers declare GetDpiForMonitor only for
// programs that need Windows 8.1, so its type is written out here as they give it (the DPI kind, an
// enumeration there, passed as its int value).
struct ShellCoreFunctions {
    HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*);
};

// comctl32.dll, or the side-by-side version the program's manifest asks for.
struct CommonControlsFunctions {
    decltype(&::InitCommonControlsEx) initCommonControlsEx;
};

// Each table, filled the first time it is asked for.
const Kernel32Functions& Kernel32();
const NtdllFunctions& Ntdll();
const User32Functions& User32();
const OleAutomationFunctions& OleAutomation();
const VersionFunctions& Version();
const MultimediaFunctions& Multimedia();
const ShellCoreFunctions& ShellCore();
const CommonControlsFunctions& CommonControls();
