// Marigold.scr: a Halloween night for the screen. Windows starts it with the screen-saver command
// line; see command_line.h.
#include <windows.h>

#include "command_line.h"
#include "config_dialog.h"
#include "saver_window.h"
#include "settings.h"
#include "single_instance.h"
#include "system_library.h"

#ifdef MARIGOLD_SAVER_PROBE
// The test build: a switch after "/s" that lets the tests drive and watch the show.
#include "saver_probe.h"
#endif

namespace {

// Only one full-screen show at a time; the name is shared by all sessions' processes of one user.
const char kRunningMutex[] = "Marigold.ScreenSaver.Running";

HWND WindowFrom(const SaverCommand& command)
{
    return reinterpret_cast<HWND>(command.window);
}

int RunFullScreen(HINSTANCE instance, const char* commandLine)
{
    SingleInstanceLock running;
    if (!running.Take(kRunningMutex)) return 0;
    SaverWindowOptions options;
    options.fullScreen = true;
    options.settings = LoadSettings();
#ifdef MARIGOLD_SAVER_PROBE
    ApplySaverProbe(commandLine, options.hooks);
#else
    (void)commandLine;
#endif
    return RunSaverWindow(instance, options);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // A copy may be started from any folder (a download, a preview of a file that was double-clicked).
    RestrictDllSearchToSystem();
    const SaverCommand command = ParseSaverCommandLine(commandLine);
    // A window handle that is not a window (anymore) ends quietly: nothing to draw in or belong to.
    if (command.badWindow || (command.hasWindow && !::IsWindow(WindowFrom(command)))) return 0;

    switch (command.mode) {
    case SaverMode::Run:
        return RunFullScreen(instance, commandLine);
    case SaverMode::Preview: {
        SaverWindowOptions options;
        options.fullScreen = false;
        options.previewParent = WindowFrom(command);
        options.settings = LoadSettings();
        return RunSaverWindow(instance, options);
    }
    case SaverMode::Configure:
        // Without a handle the dialog is modal to the window in front, as Windows' convention has it:
        // older systems' Screen Saver page passes none and expects its own window to wait.
        RunSettingsDialog(instance, command.hasWindow ? WindowFrom(command) : ::GetForegroundWindow());
        return 0;
    case SaverMode::Password:
        return 0;  // passwords belong to the system since long ago
    }
    return 0;
}
