// Whether the display is seen: while the console's display is off the show rests. Windows tells a
// window that asked for it, with WM_POWERBROADCAST and PBT_POWERSETTINGCHANGE, at once and whenever
// the display's state changes.
#pragma once

#include <windows.h>

// The console's display: off, on or dimmed (Windows 8 on).
const GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// The monitors' power, off or on: what systems before Windows 8 tell.
const GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

enum class DisplayPower { Unknown, Off, On };

// What a power setting's change says of the display: Unknown for any other setting. Dimmed counts as
// on, as the picture is still seen.
DisplayPower DisplayPowerFrom(const POWERBROADCAST_SETTING& setting);

// A window's request for the display's state, given up when this goes. Systems without the notice
// never tell, and the show never rests there.
class DisplayPowerNotice {
public:
    DisplayPowerNotice() = default;
    ~DisplayPowerNotice();
    DisplayPowerNotice(const DisplayPowerNotice&) = delete;
    DisplayPowerNotice& operator=(const DisplayPowerNotice&) = delete;

    void Request(HWND window);

private:
    HPOWERNOTIFY notice_ = NULL;
};
