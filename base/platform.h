// The one table through which the program reaches display hardware, monitors,
// the notification area and program launching. Start-up fills it from the real
// modules; tests replace entries to simulate adapters and watch the calls.
#pragma once
#include <windows.h>
#include <shellapi.h>

struct PlatformTable {
    // Display settings and devices (USER32). The last two may be absent.
    BOOL(WINAPI *EnumDisplaySettingsW)(LPCWSTR, DWORD, DEVMODEW *);
    LONG(WINAPI *ChangeDisplaySettingsW)(DEVMODEW *, DWORD);
    LONG(WINAPI *ChangeDisplaySettingsExW)(LPCWSTR, DEVMODEW *, HWND, DWORD, LPVOID);
    BOOL(WINAPI *EnumDisplayDevicesW)(LPCWSTR, DWORD, DISPLAY_DEVICEW *, DWORD);
    // The six multi-monitor functions (USER32), in the order they are looked
    // up; any of them may be absent on an old platform.
    int(WINAPI *GetSystemMetrics)(int);
    HMONITOR(WINAPI *MonitorFromWindow)(HWND, DWORD);
    HMONITOR(WINAPI *MonitorFromRect)(LPCRECT, DWORD);
    HMONITOR(WINAPI *MonitorFromPoint)(POINT, DWORD);
    BOOL(WINAPI *EnumDisplayMonitors)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
    BOOL(WINAPI *GetMonitorInfoW)(HMONITOR, LPMONITORINFO);
    // Capabilities of a monitor's device context (GDI32).
    int(WINAPI *GetDeviceCaps)(HDC, int);
    // Notification area and launching (SHELL32).
    BOOL(WINAPI *Shell_NotifyIconW)(DWORD, PNOTIFYICONDATAW);
    HINSTANCE(WINAPI *ShellExecuteW)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    // The mouse buttons' state as this thread's messages saw it (USER32):
    // tests answer for buttons the X server may still report down.
    SHORT(WINAPI *GetKeyState)(int);
};

extern PlatformTable Platform;

// A function of a loaded module, looked up by name; null when the module or
// the function is missing.
template <typename Entry> Entry ProcAddress(HMODULE module, const char *name)
{
    return module ? reinterpret_cast<Entry>(reinterpret_cast<void *>(GetProcAddress(module, name))) : nullptr;
}

// Looks every entry up by name in the loaded modules; a missing function
// leaves its entry empty.
void LoadPlatformTable();
