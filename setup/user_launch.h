// What the setup opens for the user when it is done: the publisher's site and the Display control
// panel. The setup runs with administrator rights, and whatever it starts itself inherits them: a
// browser or a screen saver's settings running as administrator would hand the machine to any flaw
// in them. So an elevated setup asks the desktop's shell, which runs with the user's own rights, to
// start them, and starts them itself only when that shell cannot be reached.
#pragma once

#include <windows.h>
#include <exdisp.h>

// Where the way to the desktop's shell begins: the desktop's list of shell windows.
typedef HRESULT (*ShellWindowsSource)(IShellWindows** windows);
HRESULT DesktopShellWindows(IShellWindows** windows);

// Opens `file` with `parameters` (NULL for none), shown normally, as ShellExecute would. When
// `elevated`, through the desktop's shell if every step to it succeeds; otherwise straight from this
// process. What the launch itself comes to is not reported.
void OpenForUser(LPCSTR file, LPCSTR parameters, bool elevated, ShellWindowsSource shellWindows = DesktopShellWindows);
