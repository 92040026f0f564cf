#include "tests/sim_adapter.h"

#include <algorithm>
#include <tuple>

#include "display/monitors.h"
#include "tests/ui_driver.h"

SimAdapter Sim;

static const ULONG_PTR MONITOR_BASE = 0x7700, DC_BASE = 0x5100;

int SimAdapter::TestCalls() const
{
    return (int)std::count_if(calls.begin(), calls.end(),
                              [](const SimCall &c) { return c.flags & CDS_TEST; });
}

int SimAdapter::ChangeCalls() const { return (int)calls.size() - TestCalls(); }

void SimSetMonitors(int count, LONG width, LONG height)
{
    Sim.monitors.clear();
    for (int k = 0; k < count; k++) {
        char device[32], description[32];
        wsprintfA(device, "\\\\.\\Display%d", k + 1);
        wsprintfA(description, "Simulated Monitor %d", k + 1);
        RECT rect = {k * width, 0, (k + 1) * width, height}, work = {rect.left, 0, rect.right, height - 30};
        Sim.monitors.push_back({rect, work, k == 0, device, description, 32, 60});
    }
}

DEVMODEW SimMode(DWORD width, DWORD height, DWORD bits, DWORD frequency)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY | DM_DISPLAYFLAGS;
    std::tie(mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel, mode.dmDisplayFrequency) =
        std::tie(width, height, bits, frequency);
    return mode;
}

static BOOL WINAPI SimEnumDisplaySettings(LPCWSTR, DWORD n, DEVMODEW *mode)
{
    return n < Sim.candidates.size() && (*mode = Sim.candidates[n], true);
}

static LONG Change(const char *function, LPCWSTR device, DEVMODEW *mode, DWORD flags)
{
    Sim.calls.push_back({function, Narrow(device), flags, *mode});
    int index = device ? -1 : 0;
    for (size_t k = 0; device && k < Sim.monitors.size(); k++)
        if (!lstrcmpiW(Wide(Sim.monitors[k].device).c_str(), device))
            index = (int)k;
    if (index < 0)
        return DISP_CHANGE_BADPARAM;
    if (flags & CDS_TEST)
        return !Sim.accepts || Sim.accepts(index, *mode) ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_BADMODE;
    if (Sim.changeResult != DISP_CHANGE_SUCCESSFUL)
        return Sim.changeResult;
    SimMonitor &m = Sim.monitors[index];
    SetRect(&m.rect, m.rect.left, m.rect.top, m.rect.left + mode->dmPelsWidth,
            m.rect.top + mode->dmPelsHeight);
    std::tie(m.bitsPerPixel, m.frequency) = std::make_tuple(mode->dmBitsPerPel, mode->dmDisplayFrequency);
    return DISP_CHANGE_SUCCESSFUL;
}

static LONG WINAPI SimChangeDisplaySettings(DEVMODEW *mode, DWORD flags)
{
    return Change("ChangeDisplaySettingsW", nullptr, mode, flags);
}
static LONG WINAPI SimChangeDisplaySettingsEx(LPCWSTR device, DEVMODEW *mode, HWND, DWORD flags, LPVOID)
{
    return Change("ChangeDisplaySettingsExW", device, mode, flags);
}

static BOOL WINAPI SimEnumDisplayDevices(LPCWSTR, DWORD index, DISPLAY_DEVICEW *info, DWORD)
{
    if (index >= Sim.monitors.size() || !info)
        return FALSE;
    const SimMonitor &monitor = Sim.monitors[index];
    lstrcpynW(info->DeviceName, Wide(monitor.device).c_str(), 32);
    lstrcpynW(info->DeviceString, Wide(monitor.description).c_str(), 128);
    info->StateFlags =
        DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | (monitor.primary ? DISPLAY_DEVICE_PRIMARY_DEVICE : 0);
    return TRUE;
}

template <size_t N> static int Answer(const int (&answers)[N][2], int index, int otherwise)
{
    for (auto [asked, answer] : answers)
        if (asked == index)
            return answer;
    return otherwise;
}

static int WINAPI SimGetSystemMetrics(int index)
{
    RECT box = {}, primary = {};
    for (const SimMonitor &monitor : Sim.monitors) {
        UnionRect(&box, &box, &monitor.rect);
        primary = monitor.primary ? monitor.rect : primary;
    }
    const int answers[][2] = {{SM_CMONITORS, (int)Sim.monitors.size()},
                              {SM_XVIRTUALSCREEN, box.left},
                              {SM_YVIRTUALSCREEN, box.top},
                              {SM_CXVIRTUALSCREEN, box.right - box.left},
                              {SM_CYVIRTUALSCREEN, box.bottom - box.top},
                              {SM_CXSCREEN, primary.right - primary.left},
                              {SM_CYSCREEN, primary.bottom - primary.top}};
    return Answer(answers, index, GetSystemMetrics(index));
}

static HMONITOR Handle(size_t k) { return (HMONITOR)(MONITOR_BASE + k); }

static HMONITOR Fallback(DWORD flags)
{
    for (size_t k = 0; flags != MONITOR_DEFAULTTONULL && k < Sim.monitors.size(); k++)
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
        if (IntersectRect(&common, rect, &Sim.monitors[k].rect) &&
            (common.right - common.left) * (common.bottom - common.top) > best) {
            best = (common.right - common.left) * (common.bottom - common.top);
            found = Handle(k);
        }
    }
    return found ? found : Fallback(flags);
}

static HMONITOR WINAPI SimMonitorFromPoint(POINT point, DWORD flags)
{
    RECT rect = {point.x, point.y, point.x + 1, point.y + 1};
    return SimMonitorFromRect(&rect, flags);
}

static HMONITOR WINAPI SimMonitorFromWindow(HWND window, DWORD flags)
{
    RECT rect;
    return GetWindowRect(window, &rect) ? SimMonitorFromRect(&rect, flags) : Fallback(flags);
}

static BOOL WINAPI SimEnumDisplayMonitors(HDC dc, LPCRECT, MONITORENUMPROC callback, LPARAM data)
{
    for (size_t k = 0; k < Sim.monitors.size(); k++) {
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
    const SimMonitor &m = Sim.monitors[k];
    std::tie(info->rcMonitor, info->rcWork, info->dwFlags) =
        std::make_tuple(m.rect, m.work, (DWORD)m.primary);
    if (info->cbSize >= sizeof(MONITORINFOEXW))
        lstrcpynW(((MONITORINFOEXW *)info)->szDevice, Wide(Sim.monitors[k].device).c_str(), CCHDEVICENAME);
    return TRUE;
}

static int WINAPI SimGetDeviceCaps(HDC dc, int index)
{
    size_t k = (ULONG_PTR)dc - DC_BASE;
    if (k >= Sim.monitors.size())
        return GetDeviceCaps(dc, index);
    const SimMonitor &m = Sim.monitors[k];
    const int answers[][2] = {{HORZRES, m.rect.right - m.rect.left},
                              {VERTRES, m.rect.bottom - m.rect.top},
                              {BITSPIXEL, m.bitsPerPixel},
                              {PLANES, 1},
                              {VREFRESH, m.frequency}};
    return Answer(answers, index, 0);
}

static BOOL WINAPI SimShellNotifyIcon(DWORD action, PNOTIFYICONDATAW data)
{
    Sim.notifications.push_back({action, *data});
    return TRUE;
}

static HINSTANCE WINAPI SimShellExecute(HWND, LPCWSTR, LPCWSTR file, LPCWSTR params, LPCWSTR, INT)
{
    Sim.launches.push_back(Narrow(file) + " " + Narrow(params));
    return (HINSTANCE)33;
}

ScopedSimAdapter::ScopedSimAdapter() : saved(Platform)
{
    Sim = SimAdapter();
    SimSetMonitors(1);
    Install();
}

ScopedSimAdapter::~ScopedSimAdapter() { Platform = saved; }

void ScopedSimAdapter::Install()
{
    // Bit k of monitorFunctions: the k-th monitor function exists.
    auto has = [](int bit, auto function) { return Sim.monitorFunctions >> bit & 1 ? function : nullptr; };
    Platform = {SimEnumDisplaySettings,
                SimChangeDisplaySettings,
                Sim.hasChangeEx ? SimChangeDisplaySettingsEx : nullptr,
                SimEnumDisplayDevices,
                has(0, SimGetSystemMetrics),
                has(1, SimMonitorFromWindow),
                has(2, SimMonitorFromRect),
                has(3, SimMonitorFromPoint),
                has(4, SimEnumDisplayMonitors),
                has(5, SimGetMonitorInfo),
                SimGetDeviceCaps,
                SimShellNotifyIcon,
                SimShellExecute};
}
