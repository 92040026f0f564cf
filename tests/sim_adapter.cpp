#include "tests/sim_adapter.h"

SimAdapter Sim;

// Monitor k is the handle MONITOR_BASE + k and, in an enumeration with a
// device context, the context DC_BASE + k.
static const ULONG_PTR MONITOR_BASE = 0x7700, DC_BASE = 0x5100;

void SimSetMonitors(int count, LONG width, LONG height)
{
    Sim.monitors.clear();
    for (int k = 0; k < count; k++) {
        std::wstring device = L"\\\\.\\Display" + std::to_wstring(k + 1);
        Sim.monitors.push_back({{k * width, 0, (k + 1) * width, height}, k == 0, device, 32, 60});
    }
}

DEVMODEW SimMode(DWORD width, DWORD height, DWORD bits, DWORD frequency)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY | DM_DISPLAYFLAGS;
    mode.dmPelsWidth = width, mode.dmPelsHeight = height, mode.dmBitsPerPel = bits;
    mode.dmDisplayFrequency = frequency;
    return mode;
}

static BOOL WINAPI SimEnumDisplaySettings(LPCWSTR, DWORD n, DEVMODEW *mode)
{
    return n < Sim.candidates.size() && (*mode = Sim.candidates[n], true);
}

// The monitor of the device so named, the primary one without a name (as the
// platform acts on the primary display), -1 for none.
static int MonitorOf(LPCWSTR device)
{
    for (size_t k = 0; k < Sim.monitors.size(); k++)
        if (device ? !lstrcmpiW(Sim.monitors[k].device.c_str(), device) : Sim.monitors[k].primary)
            return (int)k;
    return -1;
}

static LONG WINAPI SimChangeDisplaySettingsEx(LPCWSTR device, DEVMODEW *mode, HWND, DWORD flags, LPVOID)
{
    Sim.calls.push_back({device ? device : L"", flags, mode ? *mode : DEVMODEW{}});
    int index = MonitorOf(device);
    if (index < 0)
        return DISP_CHANGE_BADPARAM;
    if (flags & CDS_TEST)
        return !Sim.accepts || Sim.accepts(index, *mode) ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_BADMODE;
    return Sim.changeResult;
}

static LONG WINAPI SimChangeDisplaySettings(DEVMODEW *mode, DWORD flags)
{
    return SimChangeDisplaySettingsEx(nullptr, mode, nullptr, flags, nullptr);
}

// With a device name: the monitor of that device, its path for EDD_GET_DEVICE_INTERFACE_NAME.
static BOOL WINAPI SimEnumDisplayDevices(LPCWSTR device, DWORD index, DISPLAY_DEVICEW *info, DWORD flags)
{
    int k = device && !index ? MonitorOf(device) : -1;
    if (k >= 0) {
        lstrcpynW(info->DeviceName, (Sim.monitors[k].device + L"\\Monitor0").c_str(), 32);
        bool path = (flags & EDD_GET_DEVICE_INTERFACE_NAME) && k < (int)Sim.devicePaths.size();
        lstrcpynW(info->DeviceID, path ? Sim.devicePaths[k].c_str() : L"", 128);
    }
    return k >= 0 || (!device && index < Sim.monitors.size() &&
                      lstrcpynW(info->DeviceName, Sim.monitors[index].device.c_str(), 32) &&
                      lstrcpynW(info->DeviceString, Sim.monitors[index].device.c_str(), 128));
}

// SM_XVIRTUALSCREEN to SM_CMONITORS are consecutive.
static int WINAPI SimGetSystemMetrics(int index)
{
    RECT box = {};
    for (const SimMonitor &monitor : Sim.monitors)
        UnionRect(&box, &box, &monitor.rect);
    const int answers[] = {box.left, box.top, box.right - box.left, box.bottom - box.top,
                           (int)Sim.monitors.size()};
    bool answered = index >= SM_XVIRTUALSCREEN && index <= SM_CMONITORS;
    return answered ? answers[index - SM_XVIRTUALSCREEN] : GetSystemMetrics(index);
}

// The monitor with the largest share of the rectangle; with no share, the
// closest one or the primary or none, as the flags ask.
static HMONITOR Nearest(RECT rect, DWORD flags)
{
    long long best = 0, closest = -1;
    HMONITOR found = nullptr, closestMonitor = nullptr;
    for (size_t k = 0; k < Sim.monitors.size(); k++) {
        const RECT &m = Sim.monitors[k].rect;
        RECT common; // all zero where they do not meet
        IntersectRect(&common, &rect, &m);
        long long area = (long long)(common.right - common.left) * (common.bottom - common.top);
        // The gaps between the rectangles along each axis, 0 where they overlap.
        long long dx = std::max({m.left - rect.right, rect.left - m.right, 0L}),
                  dy = std::max({m.top - rect.bottom, rect.top - m.bottom, 0L});
        if (closest < 0 || dx * dx + dy * dy < closest)
            closest = dx * dx + dy * dy, closestMonitor = (HMONITOR)(MONITOR_BASE + k);
        if (area > best || (!found && flags != MONITOR_DEFAULTTONULL && Sim.monitors[k].primary))
            found = (HMONITOR)(MONITOR_BASE + k), best = std::max(best, area);
    }
    return best == 0 && flags == MONITOR_DEFAULTTONEAREST ? closestMonitor : found;
}

static HMONITOR WINAPI SimMonitorFromRect(LPCRECT rect, DWORD flags) { return Nearest(*rect, flags); }
static HMONITOR WINAPI SimMonitorFromPoint(POINT p, DWORD flags)
{
    return Nearest({p.x, p.y, p.x + 1, p.y + 1}, flags);
}

static HMONITOR WINAPI SimMonitorFromWindow(HWND window, DWORD flags)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return Nearest(rect, flags);
}

static BOOL WINAPI SimEnumDisplayMonitors(HDC dc, LPCRECT, MONITORENUMPROC callback, LPARAM data)
{
    for (size_t k = 0; k < Sim.monitors.size(); k++) {
        RECT rect = Sim.monitors[k].rect;
        if (!callback((HMONITOR)(MONITOR_BASE + k), dc ? (HDC)(DC_BASE + k) : nullptr, &rect, data))
            break;
    }
    return TRUE;
}

static BOOL WINAPI SimGetMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    size_t k = (ULONG_PTR)monitor - MONITOR_BASE;
    if (k >= Sim.monitors.size() || info->cbSize < sizeof(MONITORINFO))
        return FALSE;
    const SimMonitor &m = Sim.monitors[k];
    info->rcMonitor = info->rcWork = m.rect;
    info->rcWork.bottom -= 30;
    info->dwFlags = m.primary ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize >= sizeof(MONITORINFOEXW))
        lstrcpynW(((MONITORINFOEXW *)info)->szDevice, m.device.c_str(), CCHDEVICENAME);
    return TRUE;
}

static int WINAPI SimGetDeviceCaps(HDC dc, int index)
{
    size_t k = (ULONG_PTR)dc - DC_BASE;
    if (k >= Sim.monitors.size())
        return GetDeviceCaps(dc, index);
    const SimMonitor &m = Sim.monitors[k];
    return index == HORZRES     ? m.rect.right - m.rect.left
           : index == VERTRES   ? m.rect.bottom - m.rect.top
           : index == BITSPIXEL ? m.bitsPerPixel
           : index == VREFRESH  ? m.frequency
                                : index == PLANES;
}

static BOOL WINAPI SimShellNotifyIcon(DWORD, PNOTIFYICONDATAW data)
{
    Sim.notifications.push_back(*data);
    return TRUE;
}

static HINSTANCE WINAPI SimShellExecute(HWND, LPCWSTR, LPCWSTR file, LPCWSTR params, LPCWSTR, INT)
{
    Sim.launches.push_back(std::wstring(file) + L" " + params);
    return (HINSTANCE)33;
}

void ScopedSimAdapter::Install()
{
    Platform =
        PlatformTable({SimEnumDisplaySettings, SimChangeDisplaySettings, SimChangeDisplaySettingsEx,
                       SimEnumDisplayDevices, SimGetSystemMetrics, SimMonitorFromWindow, SimMonitorFromRect,
                       SimMonitorFromPoint, SimEnumDisplayMonitors, SimGetMonitorInfo, SimGetDeviceCaps,
                       SimShellNotifyIcon, SimShellExecute, GetKeyState});
}
