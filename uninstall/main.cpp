// The uninstaller's process entry: the framework's start, with the removal's outcome as exit code.
#include "system_library.h"
#include "uninstall_app.h"

extern CUninstallApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RestrictDllSearchToSystem();
    AfxWinMain(instance);
    return theApp.ExitCode();
}
