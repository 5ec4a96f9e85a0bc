#include "uninstall_app.h"

#include "command_line.h"
#include "own_file.h"
#include "paths.h"
#include "product_version.h"
#include "removal.h"
#include "uninstall_ids.h"

// The one application object.
CUninstallApp theApp;

BOOL CUninstallApp::RunUninstall()
{
    char self[MAX_PATH] = "";
    const DWORD selfLength = ::GetModuleFileNameA(NULL, self, MAX_PATH);
    if (selfLength == 0 || selfLength >= MAX_PATH) self[0] = '\0';
    if (IsCleanupCopy(self)) {
        RunCleanupCopy(::GetCommandLineA());
        return FALSE;
    }

    // Deployment tools try the switches of other installers first: what is not understood does nothing,
    // rather than wait at a question that no one may see.
    const RemovalRequest request = ParseRemovalRequest(::GetCommandLineA());
    if (request == RemovalRequest::invalid) {
        exitCode_ = RemovalExitCode(removalNotUnderstood);
        return FALSE;
    }
    const bool silent = request == RemovalRequest::silent;

    // A folder that is some process's current folder cannot be removed, and the uninstaller is often
    // started from the product's own folder.
    ::SetCurrentDirectoryA(SystemDirectory());

    const bool alone = ownLock_.Take(UNINSTALL_TITLE);
    if (!setupLock_.Take(SETUP_TITLE) || !alone) {
        exitCode_ = RemovalExitCode(removalBesideAnother);
        return FALSE;
    }
    com_.Start();

    // Where no one can see the question (a service's or a deployment agent's desktop), it is not shown
    // and counts as No.
    if (!silent && AfxMessageBox(IDS_ASK_REMOVE, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        exitCode_ = RemovalExitCode(removalDeclined);
        return FALSE;
    }

    RemovalOutcome outcome;
    {
        CWaitCursor wait;
        outcome = RemoveProduct(self);
    }
    exitCode_ = RemovalExitCode(outcome);

    if (silent) return FALSE;
    if (outcome == productNotRemoved)
        AfxMessageBox(IDS_REMOVE_FAILED, MB_OK | MB_ICONEXCLAMATION);
    else
        AfxMessageBox(outcome == productRemovedAtRestart ? IDS_REMOVED_AT_RESTART : IDS_REMOVED, MB_OK | MB_ICONINFORMATION);
    return FALSE;
}
