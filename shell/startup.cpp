#include "display/catalogue.h"
#include "display/mode_menus.h"
#include "settings/settings.h"
#include "shell/platform.h"
#include "shell/tessivon.h"
#include "shell/tray_icon.h"

HINSTANCE InstanceHandle;
char ModulePath[MAX_PATH];
DWORD ModulePathLength;
BOOL IsWindows2000OrLater;
KeyStateProc KeyStateFunction;
LONG(WINAPI *ChangeDisplaySettingsExEntry)(LPCSTR, DEVMODEA *, HWND, DWORD, LPVOID);
DWORD PortraitOption;
HMENU DisplayMenu;
HMENU CommandMenu;

bool RegisterMainWindowClass(HINSTANCE instance)
{
    InstanceHandle = instance;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = PROGRAM_TITLE;
    return RegisterClassExA(&windowClass) != 0;
}

static void ReadPlatformFacts()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    IsWindows2000OrLater = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
    KeyStateFunction = IsWindows2000OrLater ? GetKeyState : GetAsyncKeyState;
}

int RunTessivon(HINSTANCE instance)
{
    ModulePathLength = GetModuleFileNameA(instance, ModulePath, MAX_PATH);

    HWND running = FindWindowA(PROGRAM_TITLE, PROGRAM_TITLE);
    if (running) {
        SendMessageA(running, WM_SHOW_AGAIN, 0, 0);
        return 1;
    }

    if (!GetModuleHandleA("USER32"))
        return 1;
    ChangeDisplaySettingsExEntry = Platform.ChangeDisplaySettingsExA;
    ReadPlatformFacts();
    PortraitOption = ReadOptionNumber(OPT_DISPLAY_PORTRAIT_RESOLUTION);

    BuildDisplayCatalogue();

    HMENU menus = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    DisplayMenu = GetSubMenu(menus, 0);
    CommandMenu = GetSubMenu(menus, 1);
    BuildModeMenus(DisplayMenu);
    AddPropertiesItem(CommandMenu);

    if (!RegisterMainWindowClass(instance)) {
        MessageBoxA(nullptr, "Couldn't Register Window Class", "Error", MB_ICONHAND);
        return 1;
    }
    if (!CreateWindowExA(0, PROGRAM_TITLE, PROGRAM_TITLE, 0, 0, 0, 0, 0, nullptr, nullptr, instance,
                         nullptr)) {
        MessageBoxA(nullptr, "Couldn't Create Window", "Error", MB_ICONHAND);
        return 1;
    }
    TrayIconRefresh();

    MSG message;
    BOOL result;
    // -1 is a failed call, not WM_QUIT: only 0 ends the loop.
    while ((result = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (result == -1)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
