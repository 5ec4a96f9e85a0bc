#include <doctest.h>

#include <string>

#include "registry_key.h"

TEST_CASE("a registry string is read back whole however long it is")
{
    const std::string name = "Software\\Marigold.Tests." + std::to_string(::GetCurrentProcessId());
    const std::string value(3000, 'v');
    {
        RegistryKey key;
        REQUIRE(key.Create(HKEY_CURRENT_USER, name.c_str(), KEY_SET_VALUE | KEY_QUERY_VALUE));
        REQUIRE(key.SetString("Long", value.c_str()));
        CString found;
        CHECK(key.QueryString("Long", found));
        CHECK(std::string(found) == value);
    }
    ::RegDeleteKeyA(HKEY_CURRENT_USER, name.c_str());
}
