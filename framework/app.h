// The application object and its start: the one static CWinApp-derived object is constructed by the
// runtime; the process entry records the instance, sets the error mode, loads the title and calls the
// start hook. A FALSE start hook shuts the application down without a message loop. The shutdown hook
// gives the process exit code.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "framework_ids.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The per-instance start hook. TRUE runs the message loop, FALSE ends the application.
    virtual BOOL InitInstance() { return FALSE; }
    // Called at shutdown; gives the process exit code.
    virtual int ExitInstance() { return 0; }

    HINSTANCE m_hInstance = NULL;
    CString m_strAppTitle;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// The application title: string AFX_IDS_APP_TITLE, or the executable's name without folder and extension.
LPCSTR AfxGetAppTitle();

// The framework's start-up and run for `instance`; returns the process exit code, ExitInstance's.
int AfxWinMain(HINSTANCE instance);

// Whether someone can see this process's windows and answer them: its window station is the
// interactive one, outside session 0. A service's, or a deployment agent's running as the system, is not.
bool AfxUserCanAnswer();

// A message box with the text of string `promptId` (any length), the application title as caption and
// no owner window. Returns the button pressed; 0 when the box could not be shown, and without showing
// it where no one could answer it (AfxUserCanAnswer).
int AfxMessageBox(UINT promptId, UINT type);

// The hourglass for the life of a scope. Nested waits keep it up until the outermost one ends, which
// puts back the cursor that was there before the first.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
