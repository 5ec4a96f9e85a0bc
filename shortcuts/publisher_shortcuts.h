// The four shortcuts to the publisher's site that the setup plants and the uninstaller takes away.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "cstring.h"
#include "publisher.h"

enum ShortcutKind { internetShortcut, shellLink };

struct PublisherShortcut {
    ShortcutKind kind;
    int folderId;  // CSIDL_ value
    LPCSTR title;  // the file name without its extension
};

// In the order they are made. The desktop title spells the site name with a blank.
const PublisherShortcut kPublisherShortcuts[] = {
    {internetShortcut, CSIDL_FAVORITES, "LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES"},
    {shellLink, CSIDL_DESKTOP, "LUMA VERT - FREE SOFTWARE, GAMES, TOOLS"},
    {shellLink, CSIDL_STARTMENU, "LUMAVERT"},
    {shellLink, CSIDL_PROGRAMS, "LUMAVERT - FREE SOFTWARE, GAMES, TOOLS"},
};

// Makes the shortcut with `target` as what it opens (CreateInternetShortcut or CreateShellLink), with
// the user's own rights (UserRightsScope), from finding the folder to writing the file; not at all
// when those rights cannot be had.
void CreatePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target);

enum ShortcutRemoval { shortcutAbsent, shortcutRemoved, shortcutChanged, shortcutNotRemoved };

// Deletes the shortcut when its file holds exactly the bytes this program writes for `target`, with the
// user's own rights (shortcutNotRemoved when those cannot be had). Anything else stays
// (shortcutChanged): one the user pointed elsewhere or changed in any way, and one reached through a
// link (the file, or its folder, leading somewhere else). It is checked, read and deleted through one
// PinnedFile, and its bytes are only compared, never parsed. COM must be initialised on the calling
// thread.
ShortcutRemoval RemovePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target);
