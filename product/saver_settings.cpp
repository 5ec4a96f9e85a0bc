#include "saver_settings.h"

#include "product.h"
#include "registry_key.h"
#include "user_rights.h"

namespace {

bool IsEmptyKey(HKEY root, LPCSTR subKey)
{
    RegistryKey key;
    if (!key.Open(root, subKey, KEY_QUERY_VALUE)) return false;
    DWORD subKeys = 0;
    DWORD values = 0;
    return ::RegQueryInfoKeyA(key.get(), NULL, NULL, NULL, &subKeys, NULL, NULL, &values, NULL, NULL, NULL, NULL) ==
               ERROR_SUCCESS &&
           subKeys == 0 && values == 0;
}

}  // namespace

void RemoveSaverSettings()
{
    const UserRightsScope userRights;
    if (!userRights.Acting()) return;
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    if (IsEmptyKey(HKEY_CURRENT_USER, kPublisherKey)) ::RegDeleteKeyA(HKEY_CURRENT_USER, kPublisherKey);
}
