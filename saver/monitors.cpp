#include "monitors.h"

#include "system_functions.h"

namespace {

// GetDpiForMonitor's MDT_EFFECTIVE_DPI: what the user's scaling setting makes of the monitor.
const int kEffectiveDpi = 0;

// Without shcore.dll (before Windows 8.1) every monitor counts as 96 DPI.
int MonitorDpi(HMONITOR monitor)
{
    const auto getDpi = ShellCore().getDpiForMonitor;
    UINT x = 0, y = 0;
    if (getDpi && SUCCEEDED(getDpi(monitor, kEffectiveDpi, &x, &y)) && y >= 24 && y <= 2400)
        return static_cast<int>(y);
    return kBaseDpi;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoA(monitor, &info)) return TRUE;
    return reinterpret_cast<HeapArray<Monitor>*>(list)->push(Monitor{info.rcMonitor, MonitorDpi(monitor)});
}

}  // namespace

bool SystemMonitors(HeapArray<Monitor>& monitors)
{
    monitors.clear();
    ::EnumDisplayMonitors(NULL, NULL, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (!monitors.empty()) return true;
    const RECT primary = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return monitors.push(Monitor{primary, kBaseDpi});
}

int DpiAt(POINT point)
{
    return MonitorDpi(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}
