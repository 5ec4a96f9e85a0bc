#include "display_power.h"

#include <cstddef>
#include <cstring>

#include "system_functions.h"
#include "system_library.h"

DisplayPower DisplayPowerFrom(const POWERBROADCAST_SETTING& setting)
{
    const bool display = setting.PowerSetting == kConsoleDisplayState || setting.PowerSetting == kMonitorPowerOn;
    if (!display || setting.DataLength < sizeof(DWORD)) return DisplayPower::Unknown;
    // The state follows the header; the declared one-byte array is only where it starts.
    DWORD state;
    std::memcpy(&state, reinterpret_cast<const BYTE*>(&setting) + offsetof(POWERBROADCAST_SETTING, Data), sizeof(state));
    return state == 0 ? DisplayPower::Off : DisplayPower::On;
}

void DisplayPowerNotice::Request(HWND window)
{
    const User32Functions& user = User32();
    if (notice_ || !user.registerPowerSettingNotification || !user.unregisterPowerSettingNotification) return;
    // From Windows 8 the console's display state is the one to follow (it also tells of dimming).
    const GUID& setting = WindowsIsAtLeast(6, 2) ? kConsoleDisplayState : kMonitorPowerOn;
    notice_ = user.registerPowerSettingNotification(window, &setting, DEVICE_NOTIFY_WINDOW_HANDLE);
}

DisplayPowerNotice::~DisplayPowerNotice()
{
    if (notice_) User32().unregisterPowerSettingNotification(notice_);
}
