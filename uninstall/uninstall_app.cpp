#include "uninstall_app.h"

#include "com.h"
#include "command_line.h"
#include "own_file.h"
#include "paths.h"
#include "product.h"
#include "removal.h"
#include "resource_ids.h"
#include "single_instance.h"

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
        exitCode_ = RemovalExitCode(RemovalOutcome::notUnderstood);
        return FALSE;
    }
    const bool silent = request == RemovalRequest::silent;

    // A folder that is some process's current folder cannot be removed, and the uninstaller is often
    // started from the product's own folder.
    ::SetCurrentDirectoryA(SystemDirectory());

    // As in the setup, the locks and COM last until the process ends and are never let go of here:
    // two removals at once would trip over each other's files, and a setup running meanwhile would
    // put back what is being removed; COM serves the shell links.
    SingleInstanceLock own, setup;
    const bool alone = own.Take(UNINSTALL_TITLE);
    if (!setup.Take(SETUP_TITLE) || !alone) {
        exitCode_ = RemovalExitCode(RemovalOutcome::besideAnother);
        return FALSE;
    }
    own.KeepUntilProcessEnds();
    setup.KeepUntilProcessEnds();
    ComScope com;
    com.Start();
    com.KeepUntilProcessEnds();

    // Where no one can see the question (a service's or a deployment agent's desktop), it is not shown
    // and counts as No.
    if (!silent && AfxMessageBox(IDS_ASK_REMOVE, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        exitCode_ = RemovalExitCode(RemovalOutcome::declined);
        return FALSE;
    }

    RemovalOutcome outcome;
    {
        CWaitCursor wait;
        outcome = RemoveProduct(self);
    }
    exitCode_ = RemovalExitCode(outcome);

    if (silent) return FALSE;
    if (outcome == RemovalOutcome::notRemoved)
        AfxMessageBox(IDS_REMOVE_FAILED, MB_OK | MB_ICONEXCLAMATION);
    else
        AfxMessageBox(outcome == RemovalOutcome::removedAtRestart ? IDS_REMOVED_AT_RESTART : IDS_REMOVED, MB_OK | MB_ICONINFORMATION);
    return FALSE;
}
