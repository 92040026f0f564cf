// The program's icon in the notification area.
#pragma once
#include <windows.h>

#define TRAY_ICON_ID 566
#define TRAY_TIP_LENGTH 63

struct TrayIcon {
    HICON icon; // loaded with the option's colours; shared, so never destroyed
    BOOL added;
};

// Adds the icon, or adds it again and sets the tip when it was added before
// (the notification area may have been re-created meanwhile).
BOOL TrayIconShow(TrayIcon *tray, HWND window, const wchar_t *tip);
// Loads the picture again, as the option now says.
void TrayIconReload(TrayIcon *tray, HWND window);
void TrayIconRemove(TrayIcon *tray, HWND window);
// A balloon over the icon with the title and the text (cut to what the shell keeps).
BOOL TrayIconBalloon(const TrayIcon *tray, HWND window, const wchar_t *title, const wchar_t *text);
