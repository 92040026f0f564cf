#include "shell/main_window.h"
#include "desktop_icons/desktop_icons.h"
#include "dialog/ext_prop.h"
#include "display/catalogue.h"
#include "display/mode_menus.h"
#include "display/mode_switch.h"
#include "display/monitors.h"
#include "settings/settings.h"
#include "shell/platform.h"
#include "shell/tessivon.h"
#include "shell/tray_icon.h"

#define CLICK_TIMER_ID 1

HWND MainWindow;
POINT MenuPoint;
BOOL DialogOpen;
BOOL ClickPending;
BOOL DoubleClickSeen;
SHORT LeftWasDown;
SHORT RightWasDown;
ModeSnapshot SavedModes[MAX_DISPLAYS];
BOOL ModeChanged;
HMONITOR PrimaryMonitor;

// Sent by the shell to every top-level window when the taskbar is re-created.
static UINT TaskbarCreatedMessage;

static void OnCreate(HWND window)
{
    MainWindow = window;
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    TrayIconShow(window, PROGRAM_TITLE);
    StartupIconAction();
}

static UINT DoubleClickCommand()
{
    return ReadOptionNumber(OPT_EXT_PROP_AS_DBL_CLICK) ? ID_EXTENDED_PROPERTIES : ID_PROPERTIES;
}

static void OnLeftButtonUp(HWND window)
{
    if (DoubleClickSeen) {
        DoubleClickSeen = FALSE;
        return;
    }
    if (LeftWasDown) {
        SetTimer(window, CLICK_TIMER_ID, GetDoubleClickTime(), nullptr);
        ClickPending = TRUE;
        GetCursorPos(&MenuPoint);
        SetForegroundWindow(window);
        SnapshotCurrentModes(SavedModes);
        for (int i = 0; i < DisplayCount; i++)
            MarkCurrentModes(i, SavedModes[i]);
    }
    LeftWasDown = 0;
}

static void OnLeftDoubleClick(HWND window, UINT command)
{
    DoubleClickSeen = TRUE;
    if (ClickPending) {
        KillTimer(window, CLICK_TIMER_ID);
        ClickPending = FALSE;
    }
    SendMessageA(MainWindow, WM_COMMAND, command, 0);
}

static void OnRightButtonUp(HWND window, UINT command)
{
    if (RightWasDown) {
        GetCursorPos(&MenuPoint);
        // The foreground first, or the menu stays open when the user clicks elsewhere.
        SetForegroundWindow(window);
        SetMenuDefaultItem(CommandMenu, command, FALSE);
        TrackPopupMenu(CommandMenu, TPM_RIGHTBUTTON, MenuPoint.x, MenuPoint.y, 0, window, nullptr);
    }
    RightWasDown = 0;
}

static void OnTrayNotify(HWND window, UINT mouseMessage)
{
    UINT command = DoubleClickCommand();
    switch (mouseMessage) {
    // The button-down notification itself proves that its button went down on
    // the icon; a quick click is already released when it is handled here.
    case WM_LBUTTONDOWN:
        LeftWasDown = (SHORT)0x8000;
        RightWasDown = KeyStateFunction(VK_RBUTTON) & 0x8000;
        break;
    case WM_RBUTTONDOWN:
        LeftWasDown = KeyStateFunction(VK_LBUTTON) & 0x8000;
        RightWasDown = (SHORT)0x8000;
        break;
    case WM_MBUTTONDOWN:
        LeftWasDown = KeyStateFunction(VK_LBUTTON) & 0x8000;
        RightWasDown = KeyStateFunction(VK_RBUTTON) & 0x8000;
        break;
    case WM_LBUTTONUP:
        OnLeftButtonUp(window);
        break;
    case WM_LBUTTONDBLCLK:
        OnLeftDoubleClick(window, command);
        break;
    case WM_RBUTTONUP:
        OnRightButtonUp(window, command);
        break;
    default:
        break;
    }
}

static void OnTimer(HWND window)
{
    KillTimer(window, CLICK_TIMER_ID);
    if (ClickPending) {
        ClickPending = FALSE;
        TrackPopupMenu(DisplayMenu, TPM_RIGHTBUTTON, MenuPoint.x, MenuPoint.y, 0, window, nullptr);
    }
}

static void OnModeCommand(UINT id)
{
    int display = -1;
    int entry = 0;
    for (int i = 0; i < DisplayCount && display < 0; i++) {
        UINT first = ID_MODE_BASE + MODE_IDS_PER_DISPLAY * i;
        if (id >= first && id < first + (UINT)ModeCounts[i]) {
            display = i;
            entry = (int)(id - first);
        }
    }
    if (display >= 0 && SwitchDisplayMode(display, entry))
        ModeChanged = TRUE;
}

static void ShowAbout(HWND window)
{
    MessageBoxA(window,
                PROGRAM_TITLE "\n"
                              "A 32-bit multi-monitor display mode switcher\n"
                              "&& Extended properties\n"
                              "\n"
                              "Corvale - http://www.corvale.example/tessivon\n"
                              "tessivon@corvale.example",
                "About " PROGRAM_TITLE, MB_OK);
}

static void RunExtendedProperties(HWND window)
{
    DialogOpen = TRUE;
    GetCursorPos(&MenuPoint);
    OpenExtendedProperties(MenuPoint);
    TrayIconReload(window);
    DialogOpen = FALSE;
}

static void OnCommand(HWND window, UINT id)
{
    if (id >= ID_MODE_BASE) {
        OnModeCommand(id);
        return;
    }
    switch (id) {
    case ID_ABOUT:
        ShowAbout(window);
        break;
    case ID_PROPERTIES:
        Platform.ShellExecuteA(window, "open", "control", "desk.cpl", "", SW_SHOWNORMAL);
        break;
    case ID_EXIT:
    case 1:
        DestroyWindow(window);
        break;
    case ID_EXTENDED_PROPERTIES:
        RunExtendedProperties(window);
        break;
    default:
        break;
    }
}

static void RestoreSavedModes()
{
    for (int i = DisplayCount - 1; i >= 0; i--)
        ApplyModeSnapshot(SavedModes[i], i);
}

static BOOL CALLBACK FindPrimaryMonitorProc(HMONITOR monitor, HDC, LPRECT, LPARAM)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    CompatGetMonitorInfo(monitor, &info);
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
        PrimaryMonitor = monitor;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK FitMaximizedWindowProc(HWND window, LPARAM data)
{
    const RECT &workArea = *reinterpret_cast<const RECT *>(data);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    if ((style & (WS_VISIBLE | WS_MAXIMIZE)) != (WS_VISIBLE | WS_MAXIMIZE))
        return TRUE;
    char className[128];
    GetClassNameA(window, className, sizeof(className));
    if (!lstrcmpA(className, "BaseBar") || !lstrcmpA(className, "Shell_TrayWnd"))
        return TRUE;
    if (CompatMonitorFromWindow(window, MONITOR_DEFAULTTONULL) != PrimaryMonitor)
        return TRUE;
    RECT rect;
    GetWindowRect(window, &rect);
    if (EqualRect(&rect, &workArea))
        return TRUE;
    SetWindowPos(window, nullptr, workArea.left, workArea.top, workArea.right - workArea.left,
                 workArea.bottom - workArea.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return TRUE;
}

static void OnDisplayChange()
{
    PrimaryMonitor = nullptr;
    HDC screen = GetDC(nullptr);
    CompatEnumDisplayMonitors(screen, nullptr, FindPrimaryMonitorProc, 0);
    ReleaseDC(nullptr, screen);
    RECT workArea = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    EnumWindows(FitMaximizedWindowProc, reinterpret_cast<LPARAM>(&workArea));
    TrayIconRefresh();
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 1;
    case WM_DESTROY:
        TrayIconRemove(MainWindow);
        PostQuitMessage(0);
        break;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_ACTIVATEAPP:
        if (!wParam)
            ModeChanged = FALSE;
        break;
    case WM_DISPLAYCHANGE:
        OnDisplayChange();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && ModeChanged)
            RestoreSavedModes();
        break;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        OnTimer(window);
        break;
    case WM_SHOW_AGAIN:
        TrayIconRefresh();
        break;
    case WM_TRAYNOTIFY:
        if (!DialogOpen)
            OnTrayNotify(window, LOWORD(lParam));
        break;
    default:
        if (TaskbarCreatedMessage && message == TaskbarCreatedMessage)
            TrayIconRefresh();
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
