// The saver's settings, kept per user in the registry as DWORD values. What is read back is never
// trusted: a missing value or one of the wrong type gives the default, a number out of range is
// clamped.
#pragma once

#include <windows.h>

#include "product.h"

struct SaverSettings {
    static constexpr int kMinPumpkins = 1, kMaxPumpkins = 12, kDefaultPumpkins = 5;
    static constexpr int kMinSpeed = 1, kMaxSpeed = 10, kDefaultSpeed = 5;

    bool sound = true;
    int pumpkins = kDefaultPumpkins;
    int speed = kDefaultSpeed;
};

int ClampPumpkins(long long value);
int ClampSpeed(long long value);

// Reads the settings below root\subKey (the saver's own key unless told otherwise); defaults for
// whatever is absent or unusable.
SaverSettings LoadSettings(HKEY root = HKEY_CURRENT_USER, const char* subKey = kSettingsKey);
// Writes all three values (clamped); false when the key cannot be created or written.
bool SaveSettings(const SaverSettings& settings, HKEY root = HKEY_CURRENT_USER, const char* subKey = kSettingsKey);
