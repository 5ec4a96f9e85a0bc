// The process entry of a framework application: everything happens in AfxWinMain, once the DLL
// search no longer reaches the folder the program was started from.
#include "app.h"
#include "system_library.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RestrictDllSearchToSystem();
    return AfxWinMain(instance);
}
