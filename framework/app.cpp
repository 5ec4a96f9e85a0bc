#include "app.h"

namespace {
CWinApp* g_app = NULL;

int g_waitCount = 0;
HCURSOR g_cursorBeforeWait = NULL;

CString TitleFromModuleName(HINSTANCE instance)
{
    char path[MAX_PATH + 1] = "";
    const DWORD length = ::GetModuleFileNameA(instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return CString();
    LPCSTR name = path;
    for (LPCSTR p = path; *p; p = ::CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    LPCSTR dot = NULL;
    for (LPCSTR p = name; *p; p = ::CharNextA(p))
        if (*p == '.') dot = p;
    return dot ? CString(name, static_cast<int>(dot - name)) : CString(name);
}
}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp()
{
    if (g_app == this) g_app = NULL;
}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() { return g_app ? g_app->m_hInstance : ::GetModuleHandleA(NULL); }

LPCSTR AfxGetAppTitle() { return g_app ? static_cast<LPCSTR>(g_app->m_strAppTitle) : ""; }

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (!app) return 0;

    app->m_hInstance = instance;
    AfxSetResourceHandle(instance);
    // Missing drives and media fail quietly instead of asking the user.
    ::SetErrorMode(::SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    if (!app->m_strAppTitle.LoadString(AFX_IDS_APP_TITLE)) app->m_strAppTitle = TitleFromModuleName(instance);

    if (app->InitInstance()) {
        MSG msg;
        while (::GetMessageA(&msg, NULL, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return app->ExitInstance();
}

bool AfxUserCanAnswer()
{
    // Session 0 is the services' own: since Windows Vista no one sees its desktops, also its WinSta0,
    // which is marked visible (a deployment agent may start a program there, as may psexec -s -i 0).
    DWORD session = 0;
    if (::ProcessIdToSessionId(::GetCurrentProcessId(), &session) && session == 0) return false;
    USEROBJECTFLAGS flags;
    ::ZeroMemory(&flags, sizeof(flags));
    DWORD size = 0;
    const HWINSTA station = ::GetProcessWindowStation();
    return station && ::GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof(flags), &size) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

int AfxMessageBox(UINT promptId, UINT type)
{
    // A box no one can see would wait for ever for an answer.
    if (!AfxUserCanAnswer()) return 0;
    CString text;
    text.LoadString(promptId);
    return ::MessageBoxA(NULL, text, AfxGetAppTitle(), type);
}

CWaitCursor::CWaitCursor()
{
    if (g_waitCount++ == 0) g_cursorBeforeWait = ::SetCursor(::LoadCursorA(NULL, IDC_WAIT));
}

CWaitCursor::~CWaitCursor()
{
    if (--g_waitCount == 0) ::SetCursor(g_cursorBeforeWait);
}
