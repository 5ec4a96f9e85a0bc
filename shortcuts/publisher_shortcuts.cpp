#include "publisher_shortcuts.h"

#include "internet_shortcut.h"
#include "shell_link.h"

namespace {

CString ShortcutPath(const PublisherShortcut& shortcut)
{
    return shortcut.kind == internetShortcut ? InternetShortcutPath(shortcut.title)
                                             : ShellLinkPath(shortcut.folderId, shortcut.title);
}

}  // namespace

void CreatePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    if (shortcut.kind == internetShortcut)
        CreateInternetShortcut(shortcut.title, target);
    else
        CreateShellLink(shortcut.folderId, shortcut.title, target);
}

ShortcutRemoval RemovePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    const CString path = ShortcutPath(shortcut);
    if (path.IsEmpty() || ::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return shortcutAbsent;
    const bool ours = shortcut.kind == internetShortcut ? InternetShortcutOpens(path, target) : ShellLinkOpens(path, target);
    if (!ours) return shortcutChanged;
    return ::DeleteFileA(path) ? shortcutRemoved : shortcutNotRemoved;
}
