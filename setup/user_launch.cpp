#include "user_launch.h"

#include <shellapi.h>  // first: its ShellExecute macro renames the shell object's method as it renames the call
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>

#include "com_ids.h"
#include "com.h"

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

void OpenThroughDesktop(LPCSTR file, LPCSTR parameters, ShellWindowsSource shellWindows)
{
    ComPtr<IShellDispatch2> shell;
    if (!FindDesktopShell(shellWindows, shell)) return;
    const BString target(file), arguments(parameters), none("");
    if (!target || !arguments || !none) return;
    // What comes of it is the desktop shell's to report (S_FALSE: the launch itself failed there).
    shell->ShellExecute(target.get(), StringVariant(arguments.get()), StringVariant(none.get()), StringVariant(none.get()),
                        NumberVariant(SW_SHOW));
}

}  // namespace

HRESULT DesktopShellWindows(IShellWindows** windows)
{
    // The desktop's process registers the list; an in-process copy would know no desktop.
    return ::CoCreateInstance(kClsidShellWindows, NULL, CLSCTX_LOCAL_SERVER, kIidShellWindows,
                              reinterpret_cast<void**>(windows));
}

void OpenForUser(LPCSTR file, LPCSTR parameters, bool elevated, ShellWindowsSource shellWindows)
{
    const LPCSTR given = parameters && *parameters ? parameters : NULL;
    if (!elevated) {
        ::ShellExecuteA(NULL, NULL, file, given, NULL, SW_SHOW);
        return;
    }
    // Whatever this process starts itself runs as an administrator, and so would anything started with
    // a token made from its own: without the desktop's shell nothing is started.
    OpenThroughDesktop(file, parameters ? parameters : "", shellWindows);
}
