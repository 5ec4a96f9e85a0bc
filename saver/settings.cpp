#include "settings.h"

#include <algorithm>

#include "registry_key.h"

namespace {

const char kSoundValue[] = "Sound";
const char kPumpkinsValue[] = "Pumpkins";
const char kSpeedValue[] = "Speed";

int Clamp(long long value, int low, int high)
{
    return static_cast<int>(std::min<long long>(std::max<long long>(value, low), high));
}

}  // namespace

int ClampPumpkins(long long value) { return Clamp(value, SaverSettings::kMinPumpkins, SaverSettings::kMaxPumpkins); }
int ClampSpeed(long long value) { return Clamp(value, SaverSettings::kMinSpeed, SaverSettings::kMaxSpeed); }

SaverSettings LoadSettings(HKEY root, const char* subKey)
{
    SaverSettings settings;
    RegistryKey key;
    if (!key.Open(root, subKey, KEY_QUERY_VALUE)) return settings;
    DWORD value = 0;
    // Registry DWORDs are unsigned; a "negative" number written by hand reads as a huge one, so
    // it is taken as signed before clamping (-1 becomes the minimum, not the maximum).
    if (key.QueryDword(kSoundValue, value)) settings.sound = value != 0;
    if (key.QueryDword(kPumpkinsValue, value)) settings.pumpkins = ClampPumpkins(static_cast<LONG>(value));
    if (key.QueryDword(kSpeedValue, value)) settings.speed = ClampSpeed(static_cast<LONG>(value));
    return settings;
}

bool SaveSettings(const SaverSettings& settings, HKEY root, const char* subKey)
{
    RegistryKey key;
    if (!key.Create(root, subKey, KEY_SET_VALUE)) return false;
    return key.SetDword(kSoundValue, settings.sound ? 1 : 0) &&
           key.SetDword(kPumpkinsValue, static_cast<DWORD>(ClampPumpkins(settings.pumpkins))) &&
           key.SetDword(kSpeedValue, static_cast<DWORD>(ClampSpeed(settings.speed)));
}
