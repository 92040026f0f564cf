#include "shell/platform.h"

PlatformTable Platform;

template <typename Entry> static void LookUp(HMODULE module, const char *name, Entry &entry)
{
    entry = ProcAddress<Entry>(module, name);
}

void LoadPlatformTable()
{
    HMODULE user32 = GetModuleHandleA("USER32");
    HMODULE gdi32 = GetModuleHandleA("GDI32");
    HMODULE shell32 = LoadLibraryA("SHELL32.DLL");
    LookUp(user32, "EnumDisplaySettingsA", Platform.EnumDisplaySettingsA);
    LookUp(user32, "ChangeDisplaySettingsA", Platform.ChangeDisplaySettingsA);
    LookUp(user32, "ChangeDisplaySettingsExA", Platform.ChangeDisplaySettingsExA);
    LookUp(user32, "EnumDisplayDevicesA", Platform.EnumDisplayDevicesA);
    LookUp(user32, "GetSystemMetrics", Platform.GetSystemMetrics);
    LookUp(user32, "MonitorFromWindow", Platform.MonitorFromWindow);
    LookUp(user32, "MonitorFromRect", Platform.MonitorFromRect);
    LookUp(user32, "MonitorFromPoint", Platform.MonitorFromPoint);
    LookUp(user32, "EnumDisplayMonitors", Platform.EnumDisplayMonitors);
    LookUp(user32, "GetMonitorInfoA", Platform.GetMonitorInfoA);
    LookUp(gdi32, "GetDeviceCaps", Platform.GetDeviceCaps);
    LookUp(shell32, "Shell_NotifyIconA", Platform.Shell_NotifyIconA);
    LookUp(shell32, "ShellExecuteA", Platform.ShellExecuteA);
}
