#include "settings.h"

#include <algorithm>

#include "handles.h"

namespace {

const char kSoundValue[] = "Sound";
const char kPumpkinsValue[] = "Pumpkins";
const char kSpeedValue[] = "Speed";

int Clamp(long long value, int low, int high)
{
    return static_cast<int>(std::min<long long>(std::max<long long>(value, low), high));
}

// A DWORD value as stored, or false when it is missing or not a 4-byte REG_DWORD.
bool ReadDword(HKEY key, const char* name, DWORD& value)
{
    DWORD type = 0, data = 0, size = sizeof(data);
    if (::RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || size != sizeof(DWORD)) return false;
    value = data;
    return true;
}

bool WriteDword(HKEY key, const char* name, DWORD value)
{
    return ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

}  // namespace

int ClampPumpkins(long long value) { return Clamp(value, SaverSettings::kMinPumpkins, SaverSettings::kMaxPumpkins); }
int ClampSpeed(long long value) { return Clamp(value, SaverSettings::kMinSpeed, SaverSettings::kMaxSpeed); }

SaverSettings LoadSettings(HKEY root, const char* subKey)
{
    SaverSettings settings;
    RegistryKey key;
    if (::RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return settings;
    DWORD value = 0;
    // Registry DWORDs are unsigned; a "negative" number written by hand reads as a huge one, so
    // it is taken as signed before clamping (-1 becomes the minimum, not the maximum).
    if (ReadDword(key.get(), kSoundValue, value)) settings.sound = value != 0;
    if (ReadDword(key.get(), kPumpkinsValue, value)) settings.pumpkins = ClampPumpkins(static_cast<LONG>(value));
    if (ReadDword(key.get(), kSpeedValue, value)) settings.speed = ClampSpeed(static_cast<LONG>(value));
    return settings;
}

bool SaveSettings(const SaverSettings& settings, HKEY root, const char* subKey)
{
    RegistryKey key;
    if (::RegCreateKeyExA(root, subKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, NULL, key.put(), NULL) != ERROR_SUCCESS)
        return false;
    return WriteDword(key.get(), kSoundValue, settings.sound ? 1 : 0) &&
           WriteDword(key.get(), kPumpkinsValue, static_cast<DWORD>(ClampPumpkins(settings.pumpkins))) &&
           WriteDword(key.get(), kSpeedValue, static_cast<DWORD>(ClampSpeed(settings.speed)));
}
