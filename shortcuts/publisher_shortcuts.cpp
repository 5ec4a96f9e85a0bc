#include "publisher_shortcuts.h"

#include <string.h>

#include "internet_shortcut.h"
#include "pinned_file.h"
#include "shell_link.h"
#include "user_rights.h"

namespace {

BOOL ShortcutFolder(const PublisherShortcut& shortcut, CString& folder)
{
    return shortcut.kind == internetShortcut ? GetFavoritesFolder(folder) : GetSpecialFolderPath(shortcut.folderId, folder);
}

bool ShortcutBytes(const PublisherShortcut& shortcut, LPCSTR target, HeapArray<char>& bytes)
{
    if (shortcut.kind != internetShortcut) return ShellLinkBytes(target, bytes) != FALSE;
    const CString text = InternetShortcutText(target);
    if (!bytes.resize(static_cast<size_t>(text.GetLength()))) return false;
    ::memcpy(bytes.data(), static_cast<LPCSTR>(text), bytes.size());
    return true;
}

CString ShortcutName(const PublisherShortcut& shortcut)
{
    return CString(shortcut.title) + (shortcut.kind == internetShortcut ? kInternetShortcutExtension : kShellLinkExtension);
}

}  // namespace

void CreatePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    const UserRightsScope userRights;
    if (!userRights.Acting()) return;
    if (shortcut.kind == internetShortcut)
        CreateInternetShortcut(shortcut.title, target);
    else
        CreateShellLink(shortcut.folderId, shortcut.title, target);
}

ShortcutRemoval RemovePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    const UserRightsScope userRights;
    if (!userRights.Acting()) return shortcutNotRemoved;
    // What this program writes, made here from `target`: the file on disk is compared with it byte for
    // byte and never handed to a parser of the system's, which could load whatever the bytes name.
    HeapArray<char> ours;
    if (!ShortcutBytes(shortcut, target, ours)) return shortcutNotRemoved;
    CString folder;
    if (!ShortcutFolder(shortcut, folder)) return shortcutAbsent;
    PinnedFile file;
    switch (file.OpenExisting(folder, ShortcutName(shortcut))) {
    case PinnedFile::OpenResult::open: break;
    case PinnedFile::OpenResult::absent: return shortcutAbsent;
    case PinnedFile::OpenResult::elsewhere: return shortcutChanged;
    case PinnedFile::OpenResult::failed: return shortcutNotRemoved;
    }
    HeapArray<char> found;
    // Anything longer than ours is someone else's, and is not read at all.
    if (!file.ReadAll(found, static_cast<DWORD>(ours.size())) || found.size() != ours.size() ||
        (!ours.empty() && ::memcmp(found.data(), ours.data(), ours.size()) != 0))
        return shortcutChanged;
    return file.Delete() ? shortcutRemoved : shortcutNotRemoved;
}
