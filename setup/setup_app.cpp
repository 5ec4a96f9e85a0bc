#include "setup_app.h"

#include "com.h"
#include "product.h"
#include "resource_ids.h"
#include "single_instance.h"
#include "system_library.h"
#include "user_launch.h"
#include "user_token.h"

namespace {
const char kControlPanelParameters[] = "desk.cpl Display,@\"Screen Saver\"";

// The Display control panel by its full path in the system directory: a bare "control.exe" would be
// searched for in the setup's own folder first, where anyone could have put one.
void OpenScreenSaverSettings(bool elevated)
{
    const CString controlPanel = SystemFilePath("control.exe");
    if (controlPanel.IsEmpty()) return;
    OpenForUser(controlPanel, kControlPanelParameters, elevated);
}
}  // namespace

// The one application object.
CSetupApp theApp;

BOOL CSetupApp::RunSetup()
{
    // Both last until the process ends and are never let go of here: the lock keeps a second copy
    // from running meanwhile, and an uninstaller, which takes the same lock by the same name (the
    // title, as built, whatever the string table says); COM serves the shell link object and the
    // desktop's shell.
    SingleInstanceLock lock;
    if (!lock.Take(SETUP_TITLE)) return FALSE;
    lock.KeepUntilProcessEnds();
    ComScope com;
    com.Start();
    com.KeepUntilProcessEnds();

    if (AfxMessageBox(IDS_ASK_INSTALL, MB_YESNO | MB_ICONQUESTION) != IDYES) return FALSE;

    const int installed = InstallAll();
    AfxMessageBox(installed ? IDS_INSTALL_SUCCEEDED : IDS_INSTALL_FAILED, MB_OK | MB_ICONINFORMATION);

    // With the user's own rights, not the administrator's this setup runs with.
    const bool elevated = ProcessIsElevated();
    OpenForUser(PublisherSiteUrl, NULL, elevated);
    OpenScreenSaverSettings(elevated);
    return FALSE;
}
