// What the setup opens for the user when it is done: the publisher's site and the Display control
// panel. The setup runs with administrator rights, and whatever it starts itself inherits them: a
// browser or a screen saver's settings running as administrator would hand the machine to any flaw
// in them, and both are chosen by what the user's own registry names. So an elevated setup asks the
// desktop's shell, which runs with the user's own rights, to start them; where that shell cannot be
// reached it starts nothing.
#pragma once

#include <windows.h>
#include <exdisp.h>

// Where the way to the desktop's shell begins: the desktop's list of shell windows.
typedef HRESULT (*ShellWindowsSource)(IShellWindows** windows);
HRESULT DesktopShellWindows(IShellWindows** windows);

// Opens `file` (a program or an address) with `parameters` (NULL or empty: none), shown normally. Not
// `elevated`: ShellExecute from this process. Elevated: through the desktop's shell if every step to it
// succeeds, otherwise not at all. What the launch itself comes to is not reported.
void OpenForUser(LPCSTR file, LPCSTR parameters, bool elevated, ShellWindowsSource shellWindows = DesktopShellWindows);
