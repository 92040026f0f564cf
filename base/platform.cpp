// The platform table filled from the real modules, the one seam for displays and the shell.
#include "base/platform.h"

PlatformTable Platform;

template <typename Entry> static void LookUp(HMODULE module, const char *name, Entry &entry)
{
    entry = ProcAddress<Entry>(module, name);
}

void LoadPlatformTable()
{
    HMODULE user32 = GetModuleHandleW(L"USER32");
    HMODULE gdi32 = GetModuleHandleW(L"GDI32");
    HMODULE shell32 = LoadLibraryW(L"SHELL32.DLL");
    LookUp(user32, "EnumDisplaySettingsW", Platform.EnumDisplaySettingsW);
    LookUp(user32, "ChangeDisplaySettingsW", Platform.ChangeDisplaySettingsW);
    LookUp(user32, "ChangeDisplaySettingsExW", Platform.ChangeDisplaySettingsExW);
    LookUp(user32, "EnumDisplayDevicesW", Platform.EnumDisplayDevicesW);
    LookUp(user32, "GetSystemMetrics", Platform.GetSystemMetrics);
    LookUp(user32, "MonitorFromWindow", Platform.MonitorFromWindow);
    LookUp(user32, "MonitorFromRect", Platform.MonitorFromRect);
    LookUp(user32, "MonitorFromPoint", Platform.MonitorFromPoint);
    LookUp(user32, "EnumDisplayMonitors", Platform.EnumDisplayMonitors);
    LookUp(user32, "GetMonitorInfoW", Platform.GetMonitorInfoW);
    LookUp(gdi32, "GetDeviceCaps", Platform.GetDeviceCaps);
    LookUp(shell32, "Shell_NotifyIconW", Platform.Shell_NotifyIconW);
    LookUp(shell32, "ShellExecuteW", Platform.ShellExecuteW);
    LookUp(user32, "GetKeyState", Platform.GetKeyState);
}
