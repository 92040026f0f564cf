// The monitor questions of the compatibility layer, through the platform table.
#include "display/monitors.h"

#include "base/platform.h"

// All six or none: a platform with only some of them is treated as one
// without any.
bool HasMonitorFunctions()
{
    return Platform.GetSystemMetrics && Platform.MonitorFromWindow && Platform.MonitorFromRect &&
           Platform.MonitorFromPoint && Platform.EnumDisplayMonitors && Platform.GetMonitorInfoW;
}

static bool PrimaryFlags(DWORD flags)
{
    return (flags & (MONITOR_DEFAULTTOPRIMARY | MONITOR_DEFAULTTONEAREST)) != 0;
}

int CompatGetSystemMetrics(int index)
{
    if (HasMonitorFunctions())
        return Platform.GetSystemMetrics(index);
    switch (index) {
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
        return 0;
    case SM_CXVIRTUALSCREEN:
        return GetSystemMetrics(SM_CXSCREEN);
    case SM_CYVIRTUALSCREEN:
        return GetSystemMetrics(SM_CYSCREEN);
    case SM_CMONITORS:
    case SM_SAMEDISPLAYFORMAT:
        return 1;
    default:
        return GetSystemMetrics(index);
    }
}

HMONITOR CompatMonitorFromPoint(POINT point, DWORD flags)
{
    if (HasMonitorFunctions())
        return Platform.MonitorFromPoint(point, flags);
    if (PrimaryFlags(flags))
        return PRIMARY_MONITOR_HANDLE;
    if (point.x >= 0 && point.x < GetSystemMetrics(SM_CXSCREEN) && point.y >= 0 &&
        point.y < GetSystemMetrics(SM_CYSCREEN))
        return PRIMARY_MONITOR_HANDLE;
    return nullptr;
}

HMONITOR CompatMonitorFromRect(LPCRECT rect, DWORD flags)
{
    if (HasMonitorFunctions())
        return Platform.MonitorFromRect(rect, flags);
    if (PrimaryFlags(flags))
        return PRIMARY_MONITOR_HANDLE;
    if (rect->right > 0 && rect->bottom > 0 && rect->left < GetSystemMetrics(SM_CXSCREEN) &&
        rect->top < GetSystemMetrics(SM_CYSCREEN))
        return PRIMARY_MONITOR_HANDLE;
    return nullptr;
}

HMONITOR CompatMonitorFromWindow(HWND window, DWORD flags)
{
    if (HasMonitorFunctions())
        return Platform.MonitorFromWindow(window, flags);
    if (PrimaryFlags(flags))
        return PRIMARY_MONITOR_HANDLE;
    RECT rect;
    if (IsIconic(window)) {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        if (!GetWindowPlacement(window, &placement))
            return nullptr;
        rect = placement.rcNormalPosition;
    } else if (!GetWindowRect(window, &rect)) {
        return nullptr;
    }
    return CompatMonitorFromRect(&rect, flags);
}

BOOL CompatGetMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    if (HasMonitorFunctions())
        return Platform.GetMonitorInfoW(monitor, info);
    RECT workArea;
    if (monitor != PRIMARY_MONITOR_HANDLE || !info || info->cbSize < sizeof(MONITORINFO) ||
        !SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0))
        return FALSE;
    SetRect(&info->rcMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    info->rcWork = workArea;
    info->dwFlags = MONITORINFOF_PRIMARY;
    if (info->cbSize >= sizeof(MONITORINFOEXW))
        lstrcpyW(reinterpret_cast<MONITORINFOEXW *>(info)->szDevice, L"DISPLAY");
    return TRUE;
}

BOOL CompatEnumDisplayMonitors(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data)
{
    if (HasMonitorFunctions())
        return Platform.EnumDisplayMonitors(dc, clip, callback, data);
    if (!callback)
        return FALSE;
    RECT limit = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (dc) {
        RECT clipBox;
        int region = GetClipBox(dc, &clipBox);
        if (region == ERROR)
            return FALSE;
        if (region == NULLREGION)
            return TRUE;
        POINT origin;
        if (!GetDCOrgEx(dc, &origin))
            return FALSE;
        OffsetRect(&limit, -origin.x, -origin.y);
        if (!IntersectRect(&limit, &limit, &clipBox))
            return TRUE;
    }
    if (clip && !IntersectRect(&limit, &limit, clip))
        return TRUE;
    return callback(PRIMARY_MONITOR_HANDLE, dc, &limit, data);
}
