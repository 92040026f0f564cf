// Program-wide values of the running program, its command ids and its private
// window messages.
#pragma once
#include <windows.h>

#include "resources/resource_ids.h"

#define PROGRAM_TITLE "Tessivon v2.7 alpha"

// Mode commands: ID_MODE_BASE + 1000 * display + entry.
#define ID_MODE_BASE 50000
#define MODE_IDS_PER_DISPLAY 1000

#define WM_SHOW_AGAIN (WM_USER + 20)
#define WM_TRAYNOTIFY 1869

typedef SHORT(WINAPI *KeyStateProc)(int virtualKey);

extern HINSTANCE InstanceHandle;
extern char ModulePath[MAX_PATH];
extern DWORD ModulePathLength;
extern BOOL IsWindows2000OrLater;
extern KeyStateProc KeyStateFunction;
extern LONG(WINAPI *ChangeDisplaySettingsExEntry)(LPCSTR, DEVMODEA *, HWND, DWORD, LPVOID);
extern DWORD PortraitOption;
extern HMENU DisplayMenu;
extern HMENU CommandMenu;
extern HWND MainWindow;
extern POINT MenuPoint;

// The whole program, from the module path to the end of the message loop;
// gives the process's exit code.
int RunTessivon(HINSTANCE instance);
bool RegisterMainWindowClass(HINSTANCE instance);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
