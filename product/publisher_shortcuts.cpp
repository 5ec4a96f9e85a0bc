#include "publisher_shortcuts.h"

#include "internet_shortcut.h"
#include "shell_link.h"
#include "user_rights.h"

void CreatePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    const UserRightsScope userRights;
    if (!userRights.Acting()) return;
    if (shortcut.kind == ShortcutKind::internetShortcut)
        CreateInternetShortcut(shortcut.title, target);
    else
        CreateShellLink(shortcut.folderId, shortcut.title, target);
}

PinnedRemoval RemovePublisherShortcut(const PublisherShortcut& shortcut, LPCSTR target)
{
    const UserRightsScope userRights;
    if (!userRights.Acting()) return PinnedRemoval::notRemoved;
    return shortcut.kind == ShortcutKind::internetShortcut ? RemoveInternetShortcut(shortcut.title, target)
                                                            : RemoveShellLink(shortcut.folderId, shortcut.title, target);
}
