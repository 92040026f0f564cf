#include "shell/tray_icon.h"

#include "settings/settings.h"
#include "shell/platform.h"
#include "shell/tessivon.h"

HICON TrayIcon;
BOOL TrayIconAdded;

static HICON LoadTrayImage()
{
    int id = ReadOptionNumber(OPT_TRAY_ICON_IN_256_COLORS) ? IDI_TRAY_256_COLORS : IDI_TRAY_16_COLORS;
    return LoadIconA(InstanceHandle, MAKEINTRESOURCEA(id));
}

static BOOL Notify(DWORD action, HWND window, UINT flags, const char *tip)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = flags;
    data.uCallbackMessage = (flags & NIF_MESSAGE) ? WM_TRAYNOTIFY : 0;
    data.hIcon = (flags & NIF_ICON) ? TrayIcon : nullptr;
    if (tip)
        lstrcpynA(data.szTip, tip, TRAY_TIP_LENGTH + 1);
    return Platform.Shell_NotifyIconA(action, &data);
}

BOOL TrayIconShow(HWND window, const char *tip)
{
    if (!TrayIcon)
        TrayIcon = LoadTrayImage();
    if (!TrayIconAdded) {
        TrayIconAdded = TRUE;
        return Notify(NIM_ADD, window, NIF_MESSAGE | NIF_ICON | NIF_TIP, tip);
    }
    // Adding again brings the icon back after the notification area was
    // re-created; the shell refuses it when the icon is still there.
    Notify(NIM_ADD, window, NIF_MESSAGE | NIF_ICON | NIF_TIP, tip);
    return Notify(NIM_MODIFY, window, NIF_TIP, tip);
}

void TrayIconRefresh() { TrayIconShow(MainWindow, PROGRAM_TITLE); }

void TrayIconReload(HWND window)
{
    if (TrayIcon)
        DestroyIcon(TrayIcon);
    TrayIcon = LoadTrayImage();
    Notify(NIM_MODIFY, window, NIF_ICON, nullptr);
}

void TrayIconRemove(HWND window)
{
    if (!TrayIconAdded)
        return;
    Notify(NIM_DELETE, window, 0, nullptr);
    SetForegroundWindow(window);
    TrayIconAdded = FALSE;
    if (TrayIcon)
        DestroyIcon(TrayIcon);
    TrayIcon = nullptr;
}
