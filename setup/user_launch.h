// What the setup opens for the user when it is done: the publisher's site and the Display control
// panel. The setup runs with administrator rights, and whatever it starts itself inherits them: a
// browser or a screen saver's settings running as administrator would hand the machine to any flaw
// in them, and both are chosen by what the user's own registry names. So an elevated setup asks the
// desktop's shell, which runs with the user's own rights, to start them; where that shell cannot be
// reached it starts them with the user's own rights (CreateUserToken), or not at all.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include "cstring.h"

// One thing to open, in the two ways it can be started.
struct UserLaunch {
    CString file;        // for the shell: a program or an address
    CString parameters;  // empty: none
    CString program;     // without the shell: a program by its full path (empty: it cannot be started so)
    CString arguments;
};

// A web address: without the shell, url.dll's protocol handler opens it (rundll32 from the system
// folder starts it), which finds the browser as the shell does.
UserLaunch AddressLaunch(LPCSTR address);

// A program by its full path, with its parameters.
UserLaunch ProgramLaunch(LPCSTR program, LPCSTR parameters);

// Where the way to the desktop's shell begins: the desktop's list of shell windows.
typedef HRESULT (*ShellWindowsSource)(IShellWindows** windows);
HRESULT DesktopShellWindows(IShellWindows** windows);

// Opens `launch`, shown normally. Not `elevated`: ShellExecute from this process. Elevated: through the
// desktop's shell if every step to it succeeds, otherwise its program with the user's own rights; if
// that cannot be done either, nothing is started. What the launch itself comes to is not reported.
void OpenForUser(const UserLaunch& launch, bool elevated, ShellWindowsSource shellWindows = DesktopShellWindows);
