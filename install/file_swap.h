// Putting a file in place, and taking one away, so that its name always holds either the whole old
// file or the whole new one, also when the file there is a running program (a screen saver shown as
// a preview). Windows lets a running program's file be renamed within its volume, but neither
// replaced nor deleted: such a file is renamed aside and removed at the next restart.
#pragma once

#include <windows.h>

#include "cstring.h"

// The system call that moves a file; a parameter only so that tests can make one move fail.
typedef BOOL(WINAPI* MoveFileCall)(LPCSTR existing, LPCSTR newName, DWORD flags);

// Prefix of the names the system makes for new copies written beside their target.
extern const char kNewCopyPrefix[];
// Prefix of the names of replaced or removed files that still run and go at the next restart.
extern const char kAsidePrefix[];

// A new, empty file in `folder`, named by the system with `prefix` (GetTempFileNameA, which picks an
// unused name and creates the file). Empty when the folder does not take one.
CString CreateFileIn(LPCSTR folder, LPCSTR prefix);
// The same in the folder of `path`, as the path names it (it is not made absolute again).
CString CreateFileBeside(LPCSTR path, LPCSTR prefix);
// The folder of `path` as the path names it: its text up to and including the last separator (empty
// when there is none).
CString FolderOf(LPCSTR path);

// Moves `newCopy` (in the same folder) to `target`, replacing the file there in one step. A target
// that is a running program is renamed aside first, then removed or scheduled for removal at the
// next restart; if the new copy cannot follow, the old file is put back. false when `target` still
// holds what it held before (then `newCopy` is still where it was).
bool MoveIntoPlace(LPCSTR newCopy, LPCSTR target, MoveFileCall move = ::MoveFileExA);

// Frees the name `path` by renaming its file to a new name (prefix kAsidePrefix) in `folder` (its own
// when NULL; on the same volume), which works even while the file runs. false (and nothing changed)
// when it cannot be renamed.
bool MoveAside(LPCSTR path, LPCSTR folder, CString& aside, MoveFileCall move = ::MoveFileExA);

enum class RemovalResult { failed, removedNow, removedAtRestart };

// Deletes `path`; a file that cannot be deleted because it runs is renamed aside (freeing the name)
// into `asideFolder` (on the same volume; by default its own folder) and deleted at the next restart.
// A read-only file, a folder or nothing at all there: failed.
RemovalResult RemoveNowOrAtRestart(LPCSTR path, LPCSTR asideFolder = NULL, MoveFileCall move = ::MoveFileExA);

// The same for a file that may be gone already: nothing there, or a folder of that name (which is
// not the file), is nothing to remove (removedNow).
RemovalResult RemoveFileIfThere(LPCSTR path, LPCSTR asideFolder);

// Removes `folder` when it is empty; what someone else put there stays (removedNow all the same). An
// empty folder that another process has as its current folder goes at the next restart (the system
// then removes it only if it is still empty).
RemovalResult RemoveFolderNowOrAtRestart(LPCSTR folder);
