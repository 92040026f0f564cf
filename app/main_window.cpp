// The hidden main window's procedure: tray clicks, menu commands, display changes and timers.
#include "app/main_window.h"

#include <dbt.h>
#include <wtsapi32.h>

#include "app/single_instance.h"
#include "command/command_line.h"

#include "base/messages.h"
#include "base/platform.h"
#include "base/window_class.h"
#include "canvas/screen_numbers.h"
#include "desktop_icons/desktop_icons.h"
#include "dialog/open_dialog.h"
#include "display/displays.h"
#include "display/mode_menus.h"
#include "display/mode_switch.h"
#include "display/monitors.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"

#define CLICK_TIMER_ID 1
// The start-up pass over the hidden labels, again while the shell is missing
// or does not answer: every few seconds, for about a minute.
#define LABEL_PASS_TIMER_ID 2
#define LABEL_PASS_RETRY_MS 3000
#define LABEL_PASS_TRIES 20

void BuildProgramMenus(MainWindowState *state, HINSTANCE instance)
{
    CatalogueOptions options = {ReadOptionNumber(OPT_DISPLAY_PORTRAIT_RESOLUTION) != 0, true};
    BuildDisplayCatalogue(&state->catalogue, options);
    state->menus = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_TRAY_MENU));
    state->displayMenu = GetSubMenu(state->menus, 0);
    state->commandMenu = GetSubMenu(state->menus, 1);
    BuildModeMenus(&state->catalogue, state->displayMenu);
    AddPropertiesItem(state->commandMenu, ID_PROPERTIES);
}

void FreeProgramMenus(MainWindowState *state)
{
    FreeDisplayCatalogue(&state->catalogue);
    if (state->menus)
        DestroyMenu(state->menus);
    state->menus = state->displayMenu = state->commandMenu = state->profiles.submenu = nullptr;
}

bool RegisterMainWindowClass(HINSTANCE instance)
{
    return RegisterPlainWindowClass(instance, MAIN_WINDOW_CLASS, MainWindowProc);
}

HWND CreateMainWindow(MainWindowState *state, HINSTANCE instance)
{
    return CreateWindowExW(0, MAIN_WINDOW_CLASS, PROGRAM_TITLE, 0, 0, 0, 0, 0, nullptr, nullptr, instance,
                           state);
}

// Adds the icon, or brings it back after the notification area lost it.
static void ShowTrayIcon(MainWindowState *state) { TrayIconShow(&state->tray, state->window, PROGRAM_TITLE); }

// Monitors may have come or gone: the set of displays is looked at once the
// signs have stopped for a moment.
static void OnDisplaySetMayChange(MainWindowState *state)
{
    SetTimer(state->window, AUTO_PROFILE_TIMER_ID, AUTO_PROFILE_SETTLE_MS, nullptr);
}

// The device interface class of monitors (GUID_DEVINTERFACE_MONITOR).
static const GUID MonitorInterfaceClass = {
    0xE6F07B5F, 0xEE97, 0x4A90, {0xB0, 0x76, 0x33, 0xF5, 0x7B, 0xF4, 0xEA, 0xA7}};

// Monitor arrivals and removals are told to the window; the displays
// present at start-up are looked at once as well.
static void WatchDisplaySet(MainWindowState *state)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = MonitorInterfaceClass;
    state->monitorArrivals.Reset(
        RegisterDeviceNotificationW(state->window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
    OnDisplaySetMayChange(state);
}

static void OnDeviceChange(MainWindowState *state, WPARAM event)
{
    if (event == DBT_DEVNODES_CHANGED || event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE)
        OnDisplaySetMayChange(state);
}

// A marked profile made for exactly the monitors now attached is applied,
// and the user told in a balloon; not while a question is showing.
static void OnAutoProfileTimer(MainWindowState *state)
{
    if (state->session.confirming)
        return; // looked at again at the next tick
    KillTimer(state->window, AUTO_PROFILE_TIMER_ID);
    std::wstring text = FollowDisplaySet(&state->autoProfiles, &state->session);
    if (!text.empty())
        TrayIconBalloon(&state->tray, state->window, PROGRAM_TITLE, text.c_str());
}

static void OnCreate(MainWindowState *state, HWND window)
{
    state->window = window;
    state->session.owner = window;
    state->taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    ShowTrayIcon(state);
    if (!StartupIconAction())
        SetTimer(window, LABEL_PASS_TIMER_ID, LABEL_PASS_RETRY_MS, nullptr);
    state->takenHotkeys = RegisterProfileHotkeys(&state->profiles, window);
    if (!state->takenHotkeys.empty())
        PostMessageW(window, WM_REPORT_HOTKEYS, 0, 0);
    // The shell's icon list may come seconds after logon: waited for by a
    // timer, so that the tray icon answers meanwhile.
    IconLayoutStart(&state->session.iconLayout, window);
    WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION);
    WatchDisplaySet(state);
}

// "&Exit Tessivon" and the end of the session.
static void SaveIconLayoutAtExit(MainWindowState *state)
{
    if (ReadOptionNumber(OPT_AUTOMATICLY_SAVE_ICON_POS))
        IconLayoutSaveSettled(&state->session.iconLayout);
}

// The session locks or the machine sleeps, when people usually undock: the
// icon layout is saved first.
static void OnLeavingDesk(MainWindowState *state, UINT message, WPARAM event)
{
    if (message == WM_WTSSESSION_CHANGE ? event == WTS_SESSION_LOCK : event == PBT_APMSUSPEND)
        IconLayoutKeepNow(&state->session.iconLayout);
}

static void ReportTakenHotkeys(MainWindowState *state)
{
    std::wstring text;
    text.swap(state->takenHotkeys);
    if (!text.empty())
        MessageBoxW(state->window, text.c_str(), L"Warning", MB_ICONEXCLAMATION);
}

static void OnLabelPassTimer(MainWindowState *state)
{
    if (StartupIconAction() || ++state->labelPassRetries >= LABEL_PASS_TRIES)
        KillTimer(state->window, LABEL_PASS_TIMER_ID);
}

static UINT DoubleClickCommand()
{
    return ReadOptionNumber(OPT_EXT_PROP_AS_DBL_CLICK) ? ID_EXTENDED_PROPERTIES : ID_PROPERTIES;
}

// A monitor came or went since the menus were made: they are made again for
// the displays present (never while a menu is open), and Escape has no modes
// to put back on the new set.
static void FollowDisplayCount(MainWindowState *state)
{
    if (PresentDisplayCount() == state->catalogue.displayCount)
        return;
    FreeProgramMenus(state);
    BuildProgramMenus(state, InstanceHandle);
    // A profile is put back by the monitors' identities, whatever came or went.
    if (!state->session.profileApplied)
        SessionForgetUndo(&state->session);
}

static void OnLeftButtonUp(MainWindowState *state)
{
    if (state->doubleClickSeen) {
        state->doubleClickSeen = FALSE;
        return;
    }
    if (state->leftWasDown) {
        FollowDisplayCount(state);
        SetTimer(state->window, CLICK_TIMER_ID, GetDoubleClickTime(), nullptr);
        state->clickPending = TRUE;
        GetCursorPos(&state->menuPoint);
        SetForegroundWindow(state->window);
        ModeSnapshot present[MAX_DISPLAYS] = {};
        SnapshotCurrentModes(present);
        for (int i = 0; i < state->catalogue.displayCount; i++)
            MarkCurrentModes(state->catalogue, state->displayMenu, i, present[i]);
        RefreshProfilesMenu(&state->profiles, state->displayMenu);
    }
    state->leftWasDown = 0;
}

static void OnLeftDoubleClick(MainWindowState *state, UINT command)
{
    state->doubleClickSeen = TRUE;
    if (state->clickPending) {
        KillTimer(state->window, CLICK_TIMER_ID);
        state->clickPending = FALSE;
    }
    SendMessageW(state->window, WM_COMMAND, command, 0);
}

static void OnRightButtonUp(MainWindowState *state, UINT command)
{
    if (state->rightWasDown) {
        GetCursorPos(&state->menuPoint);
        // The foreground first, or the menu stays open when the user clicks elsewhere.
        SetForegroundWindow(state->window);
        SetMenuDefaultItem(state->commandMenu, command, FALSE);
        TrackPopupMenu(state->commandMenu, TPM_RIGHTBUTTON, state->menuPoint.x, state->menuPoint.y, 0,
                       state->window, nullptr);
    }
    state->rightWasDown = 0;
}

static void OnTrayNotify(MainWindowState *state, UINT mouseMessage)
{
    // A second pick while a switch waits for its answer would stack snapshots.
    if (state->dialogOpen || state->session.confirming)
        return;
    UINT command = DoubleClickCommand();
    switch (mouseMessage) {
    // The button-down notification itself proves that its button went down on
    // the icon; a quick click is already released when it is handled here.
    case WM_LBUTTONDOWN:
        state->leftWasDown = (SHORT)0x8000;
        state->rightWasDown = Platform.GetKeyState(VK_RBUTTON) & 0x8000;
        break;
    case WM_RBUTTONDOWN:
        state->leftWasDown = Platform.GetKeyState(VK_LBUTTON) & 0x8000;
        state->rightWasDown = (SHORT)0x8000;
        break;
    case WM_MBUTTONDOWN:
        state->leftWasDown = Platform.GetKeyState(VK_LBUTTON) & 0x8000;
        state->rightWasDown = Platform.GetKeyState(VK_RBUTTON) & 0x8000;
        break;
    case WM_LBUTTONUP:
        OnLeftButtonUp(state);
        break;
    case WM_LBUTTONDBLCLK:
        OnLeftDoubleClick(state, command);
        break;
    case WM_RBUTTONUP:
        OnRightButtonUp(state, command);
        break;
    default:
        break;
    }
}

static void OnTimer(MainWindowState *state, UINT_PTR id)
{
    if (id == LABEL_PASS_TIMER_ID) {
        OnLabelPassTimer(state);
        return;
    }
    if (id == AUTO_PROFILE_TIMER_ID) {
        OnAutoProfileTimer(state);
        return;
    }
    KillTimer(state->window, CLICK_TIMER_ID);
    if (state->clickPending) {
        state->clickPending = FALSE;
        TrackPopupMenu(state->displayMenu, TPM_RIGHTBUTTON, state->menuPoint.x, state->menuPoint.y, 0,
                       state->window, nullptr);
    }
}

static void ReportModeChangeResult(HWND window, LONG result)
{
    const wchar_t *caption = nullptr;
    if (const wchar_t *text = ModeChangeResultText(result, &caption))
        MessageBoxW(window, text, caption, MB_ICONEXCLAMATION);
}

bool PickMode(MainWindowState *state, int display, int entry)
{
    if (state->session.confirming)
        return false;
    bool kept = false;
    ModeSnapshot mode;
    LONG result = DISP_CHANGE_BADPARAM;
    if (SwitchTarget(state->catalogue, display, entry, &mode))
        result = SessionSwitchDisplay(&state->session, display, mode,
                                      ReadOptionNumberOr(OPT_CONFIRM_MODE_CHANGE, 1) != 0, &kept);
    if (result != DISP_CHANGE_SUCCESSFUL)
        ReportModeChangeResult(state->window, result);
    return kept;
}

static void OnModeCommand(MainWindowState *state, UINT id)
{
    int display = 0, entry = 0;
    if (DecodeModeCommand(state->catalogue, id, &display, &entry))
        PickMode(state, display, entry);
}

static void ShowAbout(HWND window)
{
    MessageBoxW(window,
                PROGRAM_TITLE L"\n"
                              L"A 32-bit multi-monitor display mode switcher\n"
                              L"&& Extended properties\n"
                              L"\n"
                              L"Corvale - http://www.corvale.example/tessivon\n"
                              L"tessivon@corvale.example",
                L"About " PROGRAM_TITLE, MB_OK);
}

static void RunExtendedProperties(MainWindowState *state)
{
    if (state->dialogOpen)
        return;
    state->dialogOpen = TRUE;
    GetCursorPos(&state->menuPoint);
    // The Profiles page tries combinations out: ours must not stand in its way.
    UnregisterProfileHotkeys(&state->profiles, state->window);
    OpenExtendedProperties(state->menuPoint, &state->session);
    RegisterProfileHotkeys(&state->profiles, state->window);
    TrayIconReload(&state->tray, state->window);
    state->dialogOpen = FALSE;
}

static void OnCommand(MainWindowState *state, UINT id)
{
    if (id >= ID_MODE_BASE && id <= ID_MODE_LAST) {
        OnModeCommand(state, id);
        return;
    }
    if (OnProfileCommand(&state->profiles, &state->session, state->window, id))
        return;
    switch (id) {
    case ID_ABOUT:
        ShowAbout(state->window);
        break;
    case ID_PROPERTIES:
        Platform.ShellExecuteW(state->window, L"open", L"control", L"desk.cpl", L"", SW_SHOWNORMAL);
        break;
    case ID_EXIT:
    case 1:
        SaveIconLayoutAtExit(state);
        DestroyWindow(state->window);
        break;
    case ID_RESTORE_ICON_POSITIONS:
        IconLayoutRestoreAndKeep(&state->session.iconLayout, FindDesktopListView());
        break;
    case ID_EXTENDED_PROPERTIES:
        RunExtendedProperties(state);
        break;
    case ID_IDENTIFY:
        IdentifyScreens();
        break;
    default:
        break;
    }
}

struct MaximizedFit {
    RECT workArea;
    HMONITOR primary;
};

static BOOL CALLBACK FitMaximizedWindowProc(HWND window, LPARAM data)
{
    const MaximizedFit &fit = *reinterpret_cast<const MaximizedFit *>(data);
    LONG style = GetWindowLongW(window, GWL_STYLE);
    if ((style & (WS_VISIBLE | WS_MAXIMIZE)) != (WS_VISIBLE | WS_MAXIMIZE))
        return TRUE;
    wchar_t className[128];
    GetClassNameW(window, className, 128);
    if (!lstrcmpW(className, L"BaseBar") || !lstrcmpW(className, L"Shell_TrayWnd"))
        return TRUE;
    if (CompatMonitorFromWindow(window, MONITOR_DEFAULTTONULL) != fit.primary)
        return TRUE;
    RECT rect;
    GetWindowRect(window, &rect);
    if (EqualRect(&rect, &fit.workArea))
        return TRUE;
    const RECT &area = fit.workArea;
    SetWindowPos(window, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return TRUE;
}

static void OnDisplayChange(MainWindowState *state)
{
    MaximizedFit fit = {};
    for (const DisplayRecord &display : ReadDisplays())
        if (display.primary && !fit.primary)
            fit.primary = display.monitor;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &fit.workArea, 0);
    EnumWindows(FitMaximizedWindowProc, reinterpret_cast<LPARAM>(&fit));
    ShowTrayIcon(state);
    SessionDisplayChanged(&state->session);
}

static void OnDestroy(MainWindowState *state)
{
    UnregisterProfileHotkeys(&state->profiles, state->window);
    state->monitorArrivals.Reset(nullptr);
    WTSUnRegisterSessionNotification(state->window);
    TrayIconRemove(&state->tray, state->window);
    PostQuitMessage(0);
}

// A later copy's command, carried out here so that Escape and the tray stay
// true; another arriving meanwhile is sent again.
static LRESULT OnHandedCommand(MainWindowState *state, HWND sender, const COPYDATASTRUCT *copy)
{
    if (state->commandUnderWay || state->session.confirming)
        return COMMAND_BUSY;
    std::vector<std::wstring> arguments;
    CommandOutput output = {};
    int code = EXIT_BAD_ARGUMENTS;
    if (!ReadHandedCommand(copy, &arguments)) {
        output.err = L"the command did not arrive whole\r\n";
    } else {
        state->commandUnderWay = TRUE;
        code = CarryOutCommand(arguments, &state->session, &output);
        state->commandUnderWay = FALSE;
        if (output.profilesChanged)
            output.err += RegisterProfileHotkeys(&state->profiles, state->window);
    }
    ReplyToHandedCommand(sender, state->window, output);
    return code;
}

static void OnHotkey(MainWindowState *state, int id)
{
    if (!state->dialogOpen)
        OnProfileHotkey(&state->profiles, &state->session, id);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MainWindowState *state = WindowCreationState<MainWindowState>(window, message, lParam);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        OnCreate(state, window);
        return 1;
    case WM_DESTROY:
        OnDestroy(state);
        break;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_ACTIVATEAPP:
        if (!wParam)
            SessionForgetUndo(&state->session);
        break;
    case WM_DISPLAYCHANGE:
        OnDisplayChange(state);
        OnDisplaySetMayChange(state);
        return 0;
    case WM_DEVICECHANGE:
        OnDeviceChange(state, wParam);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            SessionUndo(&state->session);
        break;
    case WM_COMMAND:
        OnCommand(state, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (!IconLayoutTimer(&state->session.iconLayout, wParam))
            OnTimer(state, wParam);
        break;
    case WM_ENDSESSION:
        if (wParam)
            SaveIconLayoutAtExit(state);
        break;
    case WM_WTSSESSION_CHANGE:
    case WM_POWERBROADCAST:
        OnLeavingDesk(state, message, wParam);
        break;
    case WM_HOTKEY:
        OnHotkey(state, (int)wParam);
        return 0;
    case WM_REPORT_HOTKEYS:
        ReportTakenHotkeys(state);
        return 0;
    case WM_SHOW_AGAIN:
        ShowTrayIcon(state);
        break;
    case WM_COPYDATA:
        return OnHandedCommand(state, reinterpret_cast<HWND>(wParam),
                               reinterpret_cast<const COPYDATASTRUCT *>(lParam));
    case WM_TRAYNOTIFY:
        OnTrayNotify(state, LOWORD(lParam));
        break;
    default:
        if (state->taskbarCreatedMessage && message == state->taskbarCreatedMessage) {
            ShowTrayIcon(state);
            // The shell started anew: its icons are waited for and kept again.
            IconLayoutStart(&state->session.iconLayout, window);
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
