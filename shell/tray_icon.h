// The program's icon in the notification area.
#pragma once
#include <windows.h>

#define TRAY_ICON_ID 566
#define TRAY_TIP_LENGTH 63

extern HICON TrayIcon;
extern BOOL TrayIconAdded;

BOOL TrayIconShow(HWND window, const char *tip);
void TrayIconRefresh();
void TrayIconReload(HWND window);
void TrayIconRemove(HWND window);
