// Monitor questions that work on platforms with and without the multi-monitor
// functions: with all six present they are passed through, otherwise the
// answers describe exactly one monitor covering the screen.
#pragma once
#include <windows.h>

// Stands for the one monitor of a platform without monitor functions; it is
// only ever compared with other handles and passed back into this layer.
#define PRIMARY_MONITOR_HANDLE ((HMONITOR)(ULONG_PTR)0x12340042)

// True when the platform table holds all six monitor functions.
bool HasMonitorFunctions();

int CompatGetSystemMetrics(int index);
HMONITOR CompatMonitorFromPoint(POINT point, DWORD flags);
HMONITOR CompatMonitorFromRect(LPCRECT rect, DWORD flags);
HMONITOR CompatMonitorFromWindow(HWND window, DWORD flags);
BOOL CompatGetMonitorInfo(HMONITOR monitor, LPMONITORINFO info);
BOOL CompatEnumDisplayMonitors(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data);
