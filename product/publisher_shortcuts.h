// The four shortcuts to the publisher's site that the setup plants and the uninstaller takes away.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "pinned_file.h"

enum class ShortcutKind { internetShortcut, shellLink };

struct PublisherShortcut {
    ShortcutKind kind;
    int folderId;  // CSIDL_ value
    LPCSTR title;  // the file name without its extension
};

// In the order they are made. The desktop title spells the site name with a blank.
const PublisherShortcut kPublisherShortcuts[] = {
    {ShortcutKind::internetShortcut, CSIDL_FAVORITES, "LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES"},
    {ShortcutKind::shellLink, CSIDL_DESKTOP, "LUMA VERT - FREE SOFTWARE, GAMES, TOOLS"},
    {ShortcutKind::shellLink, CSIDL_STARTMENU, "LUMAVERT"},
    {ShortcutKind::shellLink, CSIDL_PROGRAMS, "LUMAVERT - FREE SOFTWARE, GAMES, TOOLS"},
};

// Makes the shortcut with `target` as what it opens (CreateInternetShortcut or CreateShellLink), with
// the user's own rights (UserRightsScope), from finding the folder to writing the file; not at all
// when those rights cannot be had.
void CreatePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target);

// Deletes the shortcut when its file holds exactly what CreatePublisherShortcut writes for `target`
// (RemoveInternetShortcut or RemoveShellLink), with the user's own rights (notRemoved when those
// cannot be had). Anything else stays (changed): one the user pointed elsewhere or changed in any
// way, and one reached through a link. COM must be initialised on the calling thread.
PinnedRemoval RemovePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target);
