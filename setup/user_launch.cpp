#include "user_launch.h"

#include <shellapi.h>  // first: its ShellExecute macro renames the shell object's method as it renames the call
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>

#include "com_ids.h"
#include "com.h"
#include "handles.h"
#include "heap.h"
#include "paths.h"
#include "system_library.h"
#include "user_token.h"

namespace {

VARIANT TypedVariant(VARTYPE type)
{
    VARIANT v;
    ::ZeroMemory(&v, sizeof(v));
    V_VT(&v) = type;
    return v;
}

VARIANT NumberVariant(LONG value)
{
    VARIANT v = TypedVariant(VT_I4);
    V_I4(&v) = value;
    return v;
}

// Borrows `text`: the caller's BString outlives the call the variant is passed to.
VARIANT StringVariant(BSTR text)
{
    VARIANT v = TypedVariant(VT_BSTR);
    V_BSTR(&v) = text;
    return v;
}

// The shell object of the desktop's own window, from the process that draws the desktop.
bool FindDesktopShell(ShellWindowsSource shellWindows, ComPtr<IShellDispatch2>& shell)
{
    ComPtr<IShellWindows> windows;
    if (FAILED(shellWindows(windows.put())) || !windows) return false;
    VARIANT desktop = NumberVariant(CSIDL_DESKTOP);
    VARIANT noRoot;
    ::ZeroMemory(&noRoot, sizeof(noRoot));
    long window = 0;
    ComPtr<IDispatch> found;
    // S_FALSE and no object when no desktop window is registered (no shell, or another one).
    if (windows->FindWindowSW(&desktop, &noRoot, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, found.put()) != S_OK || !found)
        return false;
    ComPtr<IServiceProvider> services;
    if (FAILED(found->QueryInterface(kIidServiceProvider, services.put_void())) || !services) return false;
    ComPtr<IShellBrowser> browser;
    if (FAILED(services->QueryService(kSidTopLevelBrowser, kIidShellBrowser, browser.put_void())) || !browser) return false;
    ComPtr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.put())) || !view) return false;
    ComPtr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, kIidDispatch, background.put_void())) || !background) return false;
    ComPtr<IShellFolderViewDual> folderView;
    if (FAILED(background->QueryInterface(kIidShellFolderViewDual, folderView.put_void())) || !folderView) return false;
    ComPtr<IDispatch> application;
    if (FAILED(folderView->get_Application(application.put())) || !application) return false;
    return SUCCEEDED(application->QueryInterface(kIidShellDispatch2, shell.put_void())) && shell;
}

bool OpenThroughDesktop(LPCSTR file, LPCSTR parameters, ShellWindowsSource shellWindows)
{
    ComPtr<IShellDispatch2> shell;
    if (!FindDesktopShell(shellWindows, shell)) return false;
    const BString target(file), arguments(parameters), none("");
    if (!target || !arguments || !none) return false;
    // The desktop's shell has taken the request once the call succeeds, S_FALSE included (the launch
    // itself failed there and was reported to the user there): starting it again from here would
    // bring back the elevated launch this avoids.
    return SUCCEEDED(shell->ShellExecute(target.get(), StringVariant(arguments.get()), StringVariant(none.get()),
                                         StringVariant(none.get()), NumberVariant(SW_SHOW)));
}

// Starts `program` as a process of the user's own: the restricted copy of the setup's token, which
// CreateProcessAsUser takes without any privilege. It starts in the system folder, where nobody else
// can put a DLL it might look for.
bool StartWithUserRights(const CString& program, const CString& arguments)
{
    UniqueHandle token;
    if (program.IsEmpty() || !CreateUserToken(token)) return false;
    const CString commandLine = "\"" + program + "\" " + arguments;
    HeapBlock writable(static_cast<SIZE_T>(commandLine.GetLength()) + 1);  // the call may change it
    if (!writable) return false;
    ::lstrcpyA(static_cast<char*>(writable.get()), commandLine);
    STARTUPINFOA startup;
    ::ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started;
    if (!::CreateProcessAsUserA(token.get(), program, static_cast<char*>(writable.get()), NULL, NULL, FALSE, 0, NULL,
                                SystemDirectory(), &startup, &started))
        return false;
    const UniqueHandle thread(started.hThread), process(started.hProcess);
    return true;
}

}  // namespace

HRESULT DesktopShellWindows(IShellWindows** windows)
{
    // The desktop's process registers the list; an in-process copy would know no desktop.
    return ::CoCreateInstance(kClsidShellWindows, NULL, CLSCTX_LOCAL_SERVER, kIidShellWindows,
                              reinterpret_cast<void**>(windows));
}

UserLaunch AddressLaunch(LPCSTR address)
{
    UserLaunch launch;
    launch.file = address;
    launch.program = SystemFilePath("rundll32.exe");
    launch.arguments = CString("url.dll,FileProtocolHandler ") + address;
    return launch;
}

UserLaunch ProgramLaunch(LPCSTR program, LPCSTR parameters)
{
    UserLaunch launch;
    launch.file = launch.program = program;
    launch.parameters = launch.arguments = parameters;
    return launch;
}

void OpenForUser(const UserLaunch& launch, bool elevated, ShellWindowsSource shellWindows)
{
    if (!elevated) {
        ::ShellExecuteA(NULL, NULL, launch.file, launch.parameters.IsEmpty() ? NULL : static_cast<LPCSTR>(launch.parameters),
                        NULL, SW_SHOW);
        return;
    }
    if (!OpenThroughDesktop(launch.file, launch.parameters, shellWindows)) StartWithUserRights(launch.program, launch.arguments);
}
