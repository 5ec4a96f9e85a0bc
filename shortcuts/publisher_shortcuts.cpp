#include "publisher_shortcuts.h"

#include "internet_shortcut.h"
#include "pinned_file.h"
#include "shell_link.h"
#include "user_rights.h"

namespace {

// Ours are a few hundred bytes: anything much larger is someone else's file.
const DWORD kLargestShortcut = 64 * 1024;

BOOL ShortcutFolder(const PublisherShortcut& shortcut, CString& folder)
{
    return shortcut.kind == internetShortcut ? GetFavoritesFolder(folder) : GetSpecialFolderPath(shortcut.folderId, folder);
}

CString ShortcutName(const PublisherShortcut& shortcut)
{
    return CString(shortcut.title) + (shortcut.kind == internetShortcut ? kInternetShortcutExtension : kShellLinkExtension);
}

}  // namespace

void CreatePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    const UserRightsScope userRights;
    if (shortcut.kind == internetShortcut)
        CreateInternetShortcut(shortcut.title, target);
    else
        CreateShellLink(shortcut.folderId, shortcut.title, target);
}

ShortcutRemoval RemovePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    const UserRightsScope userRights;
    CString folder;
    if (!ShortcutFolder(shortcut, folder)) return shortcutAbsent;
    PinnedFile file;
    switch (file.OpenExisting(folder, ShortcutName(shortcut))) {
    case PinnedFile::pinnedOpen: break;
    case PinnedFile::pinnedAbsent: return shortcutAbsent;
    case PinnedFile::pinnedElsewhere: return shortcutChanged;
    case PinnedFile::pinnedFailed: return shortcutNotRemoved;
    }
    HeapArray<char> bytes;
    if (!file.ReadAll(bytes, kLargestShortcut)) return shortcutChanged;
    const DWORD size = static_cast<DWORD>(bytes.size());
    const bool ours = shortcut.kind == internetShortcut ? InternetShortcutOpens(bytes.data(), size, target)
                                                        : ShellLinkOpens(bytes.data(), size, target);
    if (!ours) return shortcutChanged;
    return file.Delete() ? shortcutRemoved : shortcutNotRemoved;
}
