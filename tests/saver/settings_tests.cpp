#include <doctest.h>

#include <windows.h>

#include <string>

#include "registry_key.h"
#include "settings.h"

namespace {

// A key of our own below HKCU, removed at scope exit, so the real settings are never touched.
class TestKey : public RegistryKey {
public:
    TestKey() : path_("Software\\LUMAVERT\\MarigoldTest" + std::to_string(::GetCurrentProcessId()))
    {
        REQUIRE(Create(HKEY_CURRENT_USER, path_.c_str(), KEY_SET_VALUE | KEY_QUERY_VALUE));
    }
    ~TestKey()
    {
        reset();
        ::RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    }
    const char* path() const { return path_.c_str(); }

    DWORD GetDword(const char* name) const
    {
        DWORD value = 0xDEADBEEF;
        QueryDword(name, value);
        return value;
    }

private:
    std::string path_;
};

}  // namespace

TEST_CASE("settings clamp numbers into range")
{
    CHECK(ClampPumpkins(0) == 1);
    CHECK(ClampPumpkins(-3) == 1);
    CHECK(ClampPumpkins(7) == 7);
    CHECK(ClampPumpkins(13) == 12);
    CHECK(ClampPumpkins(4294967295LL) == 12);
    CHECK(ClampSpeed(0) == 1);
    CHECK(ClampSpeed(10) == 10);
    CHECK(ClampSpeed(11) == 10);
}

TEST_CASE("settings defaults when the key or values are missing")
{
    TestKey key;
    SaverSettings s = LoadSettings(HKEY_CURRENT_USER, (key.path() + std::string("\\Missing")).c_str());
    CHECK(s.sound);
    CHECK(s.pumpkins == SaverSettings::kDefaultPumpkins);
    CHECK(s.speed == SaverSettings::kDefaultSpeed);
    key.SetDword("Speed", 8);
    s = LoadSettings(HKEY_CURRENT_USER, key.path());
    CHECK(s.speed == 8);
    CHECK(s.pumpkins == SaverSettings::kDefaultPumpkins);
}

TEST_CASE("settings round trip through the registry")
{
    TestKey key;
    SaverSettings wanted{false, 11, 2};
    REQUIRE(SaveSettings(wanted, HKEY_CURRENT_USER, key.path()));
    CHECK(key.GetDword("Sound") == 0u);
    CHECK(key.GetDword("Pumpkins") == 11u);
    CHECK(key.GetDword("Speed") == 2u);
    const SaverSettings read = LoadSettings(HKEY_CURRENT_USER, key.path());
    CHECK_FALSE(read.sound);
    CHECK(read.pumpkins == 11);
    CHECK(read.speed == 2);

    // What is written is always in range, whatever the caller held.
    wanted.pumpkins = 400;
    wanted.speed = -1;
    REQUIRE(SaveSettings(wanted, HKEY_CURRENT_USER, key.path()));
    CHECK(key.GetDword("Pumpkins") == 12u);
    CHECK(key.GetDword("Speed") == 1u);
}

TEST_CASE("settings ignore wrong types and clamp stored numbers")
{
    TestKey key;
    key.SetString("Sound", "0");
    key.SetString("Pumpkins", "3");
    const BYTE shortValue[2] = {3, 0};
    ::RegSetValueExA(key.get(), "Speed", 0, REG_BINARY, shortValue, sizeof(shortValue));
    SaverSettings s = LoadSettings(HKEY_CURRENT_USER, key.path());
    CHECK(s.sound);
    CHECK(s.pumpkins == SaverSettings::kDefaultPumpkins);
    CHECK(s.speed == SaverSettings::kDefaultSpeed);

    key.SetDword("Sound", 7);
    key.SetDword("Pumpkins", 99);
    key.SetDword("Speed", 0xFFFFFFFFu);  // -1 written as an unsigned DWORD
    s = LoadSettings(HKEY_CURRENT_USER, key.path());
    CHECK(s.sound);
    CHECK(s.pumpkins == 12);
    CHECK(s.speed == 1);
}
