// The program's icon in the notification area: added, re-tipped, reloaded and removed.
#include "app/tray_icon.h"

#include "base/facts.h"
#include "base/messages.h"
#include "base/platform.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"

static HICON LoadTrayImage()
{
    int id = ReadOptionNumber(OPT_TRAY_ICON_IN_256_COLORS) ? IDI_TRAY_256_COLORS : IDI_TRAY_16_COLORS;
    return LoadIconW(InstanceHandle, MAKEINTRESOURCEW(id));
}

static BOOL Notify(const TrayIcon *tray, DWORD action, HWND window, UINT flags, const wchar_t *tip)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = flags;
    data.uCallbackMessage = (flags & NIF_MESSAGE) ? WM_TRAYNOTIFY : 0;
    data.hIcon = (flags & NIF_ICON) ? tray->icon : nullptr;
    if (tip)
        lstrcpynW(data.szTip, tip, TRAY_TIP_LENGTH + 1);
    return Platform.Shell_NotifyIconW(action, &data);
}

BOOL TrayIconShow(TrayIcon *tray, HWND window, const wchar_t *tip)
{
    if (!tray->icon)
        tray->icon = LoadTrayImage();
    if (!tray->added) {
        tray->added = TRUE;
        return Notify(tray, NIM_ADD, window, NIF_MESSAGE | NIF_ICON | NIF_TIP, tip);
    }
    // Adding again brings the icon back after the notification area was
    // re-created; the shell refuses it when the icon is still there.
    Notify(tray, NIM_ADD, window, NIF_MESSAGE | NIF_ICON | NIF_TIP, tip);
    return Notify(tray, NIM_MODIFY, window, NIF_TIP, tip);
}

// LoadIconW gives a shared icon, which is never destroyed.
void TrayIconReload(TrayIcon *tray, HWND window)
{
    tray->icon = LoadTrayImage();
    Notify(tray, NIM_MODIFY, window, NIF_ICON, nullptr);
}

// Balloons came with the second form of the record; the icon itself keeps the first.
BOOL TrayIconBalloon(const TrayIcon *tray, HWND window, const wchar_t *title, const wchar_t *text)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = NIF_INFO;
    lstrcpynW(data.szInfoTitle, title, ARRAYSIZE(data.szInfoTitle));
    lstrcpynW(data.szInfo, text, ARRAYSIZE(data.szInfo));
    data.dwInfoFlags = NIIF_INFO;
    return tray->added && Platform.Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIconRemove(TrayIcon *tray, HWND window)
{
    if (!tray->added)
        return;
    Notify(tray, NIM_DELETE, window, 0, nullptr);
    SetForegroundWindow(window);
    tray->added = FALSE;
    tray->icon = nullptr;
}
