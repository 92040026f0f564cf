#include "tests/sim_adapter.h"

#include "display/monitors.h"

SimAdapter Sim;

static const ULONG_PTR MONITOR_BASE = 0x7700;
static const ULONG_PTR DC_BASE = 0x5100;

int SimAdapter::TestCalls() const
{
    int count = 0;
    for (const SimCall &call : calls)
        count += (call.flags & CDS_TEST) != 0;
    return count;
}

int SimAdapter::ChangeCalls() const
{
    int count = 0;
    for (const SimCall &call : calls)
        count += (call.flags & CDS_TEST) == 0;
    return count;
}

void SimSetMonitors(int count, LONG width, LONG height)
{
    Sim.monitors.clear();
    for (int k = 0; k < count; k++) {
        SimMonitor monitor;
        SetRect(&monitor.rect, k * width, 0, (k + 1) * width, height);
        monitor.work = monitor.rect;
        monitor.work.bottom -= 30;
        monitor.primary = k == 0;
        char text[64];
        wsprintfA(text, "\\\\.\\Display%d", k + 1);
        monitor.device = text;
        wsprintfA(text, "Simulated Monitor %d", k + 1);
        monitor.description = text;
        monitor.bitsPerPixel = 32;
        monitor.frequency = 60;
        Sim.monitors.push_back(monitor);
    }
}

DEVMODEA SimMode(DWORD width, DWORD height, DWORD bits, DWORD frequency)
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY | DM_DISPLAYFLAGS;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bits;
    mode.dmDisplayFrequency = frequency;
    return mode;
}

static int DeviceIndex(LPCSTR device)
{
    if (!device)
        return 0;
    for (size_t k = 0; k < Sim.monitors.size(); k++)
        if (!lstrcmpiA(Sim.monitors[k].device.c_str(), device))
            return (int)k;
    return -1;
}

static BOOL WINAPI SimEnumDisplaySettings(LPCSTR, DWORD n, DEVMODEA *mode)
{
    if (n >= Sim.candidates.size())
        return FALSE;
    *mode = Sim.candidates[n];
    return TRUE;
}

static LONG Change(const char *function, LPCSTR device, DEVMODEA *mode, DWORD flags)
{
    Sim.calls.push_back({function, device ? device : "", flags, *mode});
    int index = DeviceIndex(device);
    if (index < 0)
        return DISP_CHANGE_BADPARAM;
    if (flags & CDS_TEST)
        return !Sim.accepts || Sim.accepts(index, *mode) ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_BADMODE;
    if (Sim.changeResult != DISP_CHANGE_SUCCESSFUL)
        return Sim.changeResult;
    SimMonitor &monitor = Sim.monitors[index];
    monitor.rect.right = monitor.rect.left + (LONG)mode->dmPelsWidth;
    monitor.rect.bottom = monitor.rect.top + (LONG)mode->dmPelsHeight;
    monitor.bitsPerPixel = (LONG)mode->dmBitsPerPel;
    monitor.frequency = (LONG)mode->dmDisplayFrequency;
    return DISP_CHANGE_SUCCESSFUL;
}

static LONG WINAPI SimChangeDisplaySettings(DEVMODEA *mode, DWORD flags)
{
    return Change("ChangeDisplaySettingsA", nullptr, mode, flags);
}

static LONG WINAPI SimChangeDisplaySettingsEx(LPCSTR device, DEVMODEA *mode, HWND, DWORD flags, LPVOID)
{
    return Change("ChangeDisplaySettingsExA", device, mode, flags);
}

static BOOL WINAPI SimEnumDisplayDevices(LPCSTR, DWORD index, DISPLAY_DEVICEA *info, DWORD)
{
    if (index >= Sim.monitors.size() || !info)
        return FALSE;
    const SimMonitor &monitor = Sim.monitors[index];
    lstrcpynA(info->DeviceName, monitor.device.c_str(), sizeof(info->DeviceName));
    lstrcpynA(info->DeviceString, monitor.description.c_str(), sizeof(info->DeviceString));
    info->StateFlags =
        DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | (monitor.primary ? DISPLAY_DEVICE_PRIMARY_DEVICE : 0);
    return TRUE;
}

static RECT VirtualScreen()
{
    RECT box = {};
    for (const SimMonitor &monitor : Sim.monitors)
        UnionRect(&box, &box, &monitor.rect);
    return box;
}

static int WINAPI SimGetSystemMetrics(int index)
{
    RECT box = VirtualScreen();
    switch (index) {
    case SM_CMONITORS:
        return (int)Sim.monitors.size();
    case SM_XVIRTUALSCREEN:
        return box.left;
    case SM_YVIRTUALSCREEN:
        return box.top;
    case SM_CXVIRTUALSCREEN:
        return box.right - box.left;
    case SM_CYVIRTUALSCREEN:
        return box.bottom - box.top;
    case SM_CXSCREEN:
    case SM_CYSCREEN:
        for (const SimMonitor &monitor : Sim.monitors)
            if (monitor.primary)
                return index == SM_CXSCREEN ? monitor.rect.right - monitor.rect.left
                                            : monitor.rect.bottom - monitor.rect.top;
        return 0;
    default:
        return GetSystemMetrics(index);
    }
}

static HMONITOR Handle(size_t k) { return (HMONITOR)(MONITOR_BASE + k); }

static HMONITOR Fallback(DWORD flags)
{
    if (flags == MONITOR_DEFAULTTONULL)
        return nullptr;
    for (size_t k = 0; k < Sim.monitors.size(); k++)
        if (Sim.monitors[k].primary)
            return Handle(k);
    return nullptr;
}

static HMONITOR WINAPI SimMonitorFromRect(LPCRECT rect, DWORD flags)
{
    LONG best = 0;
    HMONITOR found = nullptr;
    for (size_t k = 0; k < Sim.monitors.size(); k++) {
        RECT common;
        if (IntersectRect(&common, rect, &Sim.monitors[k].rect)) {
            LONG area = (common.right - common.left) * (common.bottom - common.top);
            if (area > best) {
                best = area;
                found = Handle(k);
            }
        }
    }
    return found ? found : Fallback(flags);
}

static HMONITOR WINAPI SimMonitorFromPoint(POINT point, DWORD flags)
{
    for (size_t k = 0; k < Sim.monitors.size(); k++)
        if (PtInRect(&Sim.monitors[k].rect, point))
            return Handle(k);
    return Fallback(flags);
}

static HMONITOR WINAPI SimMonitorFromWindow(HWND window, DWORD flags)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return Fallback(flags);
    return SimMonitorFromRect(&rect, flags);
}

static BOOL WINAPI SimEnumDisplayMonitors(HDC dc, LPCRECT, MONITORENUMPROC callback, LPARAM data)
{
    size_t count = Sim.enumeratedMonitors < 0 ? Sim.monitors.size() : (size_t)Sim.enumeratedMonitors;
    for (size_t k = 0; k < count && k < Sim.monitors.size(); k++) {
        RECT rect = Sim.monitors[k].rect;
        if (!callback(Handle(k), dc ? (HDC)(DC_BASE + k) : nullptr, &rect, data))
            break;
    }
    return TRUE;
}

static BOOL WINAPI SimGetMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    size_t k = (ULONG_PTR)monitor - MONITOR_BASE;
    if (k >= Sim.monitors.size() || !info || info->cbSize < sizeof(MONITORINFO))
        return FALSE;
    info->rcMonitor = Sim.monitors[k].rect;
    info->rcWork = Sim.monitors[k].work;
    info->dwFlags = Sim.monitors[k].primary ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize >= sizeof(MONITORINFOEXA))
        lstrcpynA(reinterpret_cast<MONITORINFOEXA *>(info)->szDevice, Sim.monitors[k].device.c_str(),
                  CCHDEVICENAME);
    return TRUE;
}

static int WINAPI SimGetDeviceCaps(HDC dc, int index)
{
    size_t k = (ULONG_PTR)dc - DC_BASE;
    if (k >= Sim.monitors.size())
        return GetDeviceCaps(dc, index);
    const SimMonitor &monitor = Sim.monitors[k];
    switch (index) {
    case HORZRES:
        return monitor.rect.right - monitor.rect.left;
    case VERTRES:
        return monitor.rect.bottom - monitor.rect.top;
    case BITSPIXEL:
        return monitor.bitsPerPixel;
    case PLANES:
        return 1;
    case VREFRESH:
        return monitor.frequency;
    default:
        return 0;
    }
}

static BOOL WINAPI SimShellNotifyIcon(DWORD action, PNOTIFYICONDATAA data)
{
    Sim.notifications.push_back({action, *data});
    return Sim.notifyResult;
}

static HINSTANCE WINAPI SimShellExecute(HWND, LPCSTR, LPCSTR file, LPCSTR params, LPCSTR, INT)
{
    Sim.launches.push_back(std::string(file ? file : "") + " " + (params ? params : ""));
    return (HINSTANCE)33;
}

ScopedSimAdapter::ScopedSimAdapter() : saved(Platform), savedEntry(ChangeDisplaySettingsExEntry)
{
    Sim = SimAdapter();
    SimSetMonitors(1);
    Install();
}

ScopedSimAdapter::~ScopedSimAdapter()
{
    Platform = saved;
    ChangeDisplaySettingsExEntry = savedEntry;
    ResetMonitorFunctions();
}

void ScopedSimAdapter::Install()
{
    PlatformTable table = {};
    table.EnumDisplaySettingsA = SimEnumDisplaySettings;
    table.ChangeDisplaySettingsA = SimChangeDisplaySettings;
    table.ChangeDisplaySettingsExA = Sim.hasChangeEx ? SimChangeDisplaySettingsEx : nullptr;
    table.EnumDisplayDevicesA = Sim.hasEnumDisplayDevices ? SimEnumDisplayDevices : nullptr;
    unsigned f = Sim.monitorFunctions;
    table.GetSystemMetrics = (f & 1) ? SimGetSystemMetrics : nullptr;
    table.MonitorFromWindow = (f & 2) ? SimMonitorFromWindow : nullptr;
    table.MonitorFromRect = (f & 4) ? SimMonitorFromRect : nullptr;
    table.MonitorFromPoint = (f & 8) ? SimMonitorFromPoint : nullptr;
    table.EnumDisplayMonitors = (f & 16) ? SimEnumDisplayMonitors : nullptr;
    table.GetMonitorInfoA = (f & 32) ? SimGetMonitorInfo : nullptr;
    table.GetDeviceCaps = SimGetDeviceCaps;
    table.Shell_NotifyIconA = SimShellNotifyIcon;
    table.ShellExecuteA = SimShellExecute;
    Platform = table;
    ChangeDisplaySettingsExEntry = table.ChangeDisplaySettingsExA;
    ResetMonitorFunctions();
}
