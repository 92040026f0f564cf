#include "base/facts.h"

HINSTANCE InstanceHandle;
wchar_t ModulePath[MAX_PATH];
BOOL IsWindows2000OrLater;
KeyStateProc KeyStateFunction;

void ReadProgramFacts(HINSTANCE instance)
{
    InstanceHandle = instance;
    DWORD length = GetModuleFileNameW(instance, ModulePath, MAX_PATH);
    // A cut path is no path: nothing is better than a wrong program in the Run value.
    if (length == 0 || length >= MAX_PATH)
        ModulePath[0] = L'\0';
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    IsWindows2000OrLater = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
    KeyStateFunction = IsWindows2000OrLater ? GetKeyState : GetAsyncKeyState;
}
