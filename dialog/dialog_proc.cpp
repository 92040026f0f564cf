// The dialog's opening, its window procedure and its commands (dialog/dialog_proc.h).
#include "dialog/dialog_proc.h"

#include <windowsx.h>

#include "base/facts.h"
#include "base/messages.h"
#include "base/scoped.h"
#include "canvas/screen_numbers.h"
#include "desktop_icons/desktop_icons.h"
#include "desktop_icons/icon_layout.h"
#include "dialog/dialog_fit.h"
#include "dialog/dialog_setup.h"
#include "dialog/dialog_tools.h"
#include "dialog/display_change.h"
#include "dialog/open_dialog.h"
#include "dialog/profiles_page.h"
#include "dialog/settings_about.h"
#include "dialog/tabs.h"
#include "display/mode_switch.h"
#include "resources/resource_ids.h"
#include "session/display_session.h"

INT_PTR OpenExtendedProperties(POINT point, DisplaySession *session)
{
    // COM for the whole run: the icons' folder view and pictures and the
    // wallpapers use it, so that each of their operations only counts in.
    ScopedComApartment com;
    DisplaySession alone = {};
    ExtPropState state = {};
    state.session = session ? session : &alone;
    state.openingPoint = point;
    // The template holds a tab strip and a trackbar.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    return DialogBoxParamW(InstanceHandle, MAKEINTRESOURCEW(IDD_EXTENDED_PROPERTIES), nullptr,
                           ExtPropDialogProc, reinterpret_cast<LPARAM>(&state));
}

static ExtPropState *StateOf(HWND dialog)
{
    return reinterpret_cast<ExtPropState *>(GetWindowLongPtrW(dialog, DWLP_USER));
}

static INT_PTR OnInitDialog(HWND window, LPARAM creation)
{
    ExtPropState *state = reinterpret_cast<ExtPropState *>(creation);
    SetWindowLongPtrW(window, DWLP_USER, creation);
    state->dialogWindow = window;
    if (InitExtPropDialog(state))
        return TRUE;
    SendMessageW(window, WM_CLOSE, 0, 0);
    return FALSE;
}

// Moved windows and icons stay where they are; options are not stored.
static INT_PTR OnClose(ExtPropState *state)
{
    CloseExtPropDialog(state, 0);
    return 0;
}

static INT_PTR OnActivate(ExtPropState *state, UINT activation)
{
    if (activation == WA_INACTIVE)
        SetFocus(state->okButton);
    return 0;
}

// Another program is activated: an icon drag under way ends without a drop.
static INT_PTR OnActivateApp(ExtPropState *state, BOOL active)
{
    if (!active)
        IconViewCancelDrag(&state->icons.view);
    return 0;
}

// The shell answers again, started anew or went away: the Icons page shows
// what there is now (not in the middle of a drag). True when the shell is
// another one.
static bool FollowShellIcons(ExtPropState *state)
{
    IconPage &icons = state->icons;
    bool changed = FollowShell(&icons);
    if (state->currentTab == TAB_ICONS && !icons.view.dragging && (changed || icons.shellUnanswered))
        ReloadCanvasIcons(state);
    return changed;
}

// The next chunk of the icons being loaded, after drawing what has come.
static void OnIconLoadStep(ExtPropState *state)
{
    HWND dialog = state->dialogWindow;
    KillTimer(dialog, ICON_LOAD_TIMER_ID);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (!ContinueCanvasIconLoad(&state->icons, state->canvas.scale)) {
        if (state->currentTab == TAB_ICONS)
            ShowTabLabels(state, TAB_ICONS);
        return;
    }
    // Waiting input goes first: the next chunk then comes on the timer, whose
    // message is handled after it.
    if (HIWORD(GetQueueStatus(QS_INPUT)))
        SetTimer(dialog, ICON_LOAD_TIMER_ID, USER_TIMER_MINIMUM, nullptr);
    else
        PostMessageW(dialog, WM_ICON_LOAD_STEP, 0, 0);
}

static INT_PTR OnTimer(ExtPropState *state, UINT_PTR id)
{
    if (id == ICON_SHELL_TIMER_ID)
        FollowShellIcons(state);
    else if (id == ICON_LOAD_TIMER_ID)
        OnIconLoadStep(state);
    else
        SyncWindowMiniature(&state->canvas);
    return 0;
}

static INT_PTR OnIconMovedMessage(ExtPropState *state, int index, LPARAM corner)
{
    if (OnIconMoved(&state->icons, state->canvas.scale, index, corner))
        EnableApplyButton(state->dialogWindow);
    return 0;
}

// An item index of a shell that has gone names no icon of the new one.
static INT_PTR OnIconText(ExtPropState *state, int index, BOOL restore)
{
    if (FollowShellIcons(state))
        return 0;
    return restore ? RestoreIconText(state->icons.listView, index)
                   : HideIconText(state->icons.listView, index);
}

static INT_PTR OnDrawItem(ExtPropState *state, int id, const DRAWITEMSTRUCT *item)
{
    return id == IDC_TAB_CONTROL ? DrawTabItem(state, id, item) : 0;
}

static INT_PTR OnZoomSlider(ExtPropState *state, HWND control, WPARAM first)
{
    if (control != state->canvas.zoomSlider)
        return 0;
    // The pictures follow the new scale once the zoom ends.
    if (OnZoomSliderScroll(&state->canvas, LOWORD(first), HIWORD(first)) && state->currentTab == TAB_ICONS)
        ReloadCanvasIcons(state);
    return 0;
}

// On the Screen tab the selected screen looks like an active caption, every
// other screen (and every screen on the other tabs) like an inactive one.
static INT_PTR OnControlColor(ExtPropState *state, HDC dc, HWND control)
{
    const CanvasState &canvas = state->canvas;
    int i = ShownScreenItemIndex(&canvas, control);
    if (i < 0)
        return 0;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    bool active = state->currentTab == TAB_SCREEN && i == canvas.selectedScreen;
    return reinterpret_cast<INT_PTR>(active ? canvas.activeCaptionBrush : canvas.inactiveCaptionBrush);
}

static INT_PTR OnCanvasMove(ExtPropState *state, WPARAM keys, LPARAM point)
{
    if (OnCanvasMouseMove(&state->canvas, (DWORD)keys, GET_X_LPARAM(point), GET_Y_LPARAM(point)))
        EnableApplyButton(state->dialogWindow);
    return 0;
}

static INT_PTR OnCanvasPress(ExtPropState *state, WPARAM keys, LPARAM point)
{
    OnCanvasButtonDown(&state->canvas, (DWORD)keys, GET_X_LPARAM(point), GET_Y_LPARAM(point));
    return 0;
}

// A program of higher rights (UIPI), or one that keeps its own place.
static const wchar_t WINDOW_REFUSED_TEXT[] = L"This window refuses to be moved.";

static INT_PTR OnCanvasRelease(ExtPropState *state, WPARAM keys, LPARAM point)
{
    bool refused = OnCanvasButtonUp(&state->canvas, (DWORD)keys, GET_X_LPARAM(point), GET_Y_LPARAM(point));
    if (state->currentTab != TAB_WINDOWS)
        return 0;
    // The release may carry the drag's only move.
    if (state->canvas.windowsPending)
        EnableApplyButton(state->dialogWindow);
    ShowTabLabels(state, TAB_WINDOWS);
    if (refused)
        SetHintText(state, WINDOW_REFUSED_TEXT);
    return 0;
}

// A result the sender reads, which a dialog procedure gives through DWLP_MSGRESULT.
static INT_PTR Answer(HWND dialog, INT_PTR result)
{
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return result;
}

INT_PTR CALLBACK ExtPropDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog(window, lParam);
    ExtPropState *state = StateOf(window);
    if (!state)
        return 0;
    switch (message) {
    case WM_CLOSE:
        return OnClose(state);
    case WM_ACTIVATE:
        return OnActivate(state, LOWORD(wParam));
    case WM_ACTIVATEAPP:
        return OnActivateApp(state, (BOOL)wParam);
    case WM_ICON_MOVED:
        return OnIconMovedMessage(state, (int)wParam, lParam);
    case WM_ICON_TEXT:
        return OnIconText(state, (int)wParam, lParam != 0);
    case WM_DRAWITEM:
        return OnDrawItem(state, (int)wParam, reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
    case WM_NOTIFY:
        if (wParam == IDC_PROFILE_LIST)
            return ProfilesPageNotify(state, reinterpret_cast<NMHDR *>(lParam));
        return TabNotify(state, (int)wParam, reinterpret_cast<NMHDR *>(lParam));
    case WM_COMMAND:
        return DialogCommand(state, HIWORD(wParam), wParam, reinterpret_cast<HWND>(lParam));
    case WM_HSCROLL:
        return OnZoomSlider(state, reinterpret_cast<HWND>(lParam), wParam);
    case WM_ERASEBKGND:
        return Answer(window, EraseDialogBackground(state, reinterpret_cast<HDC>(wParam)));
    case WM_SETCURSOR:
        return Answer(window, OnCanvasSetCursor(&state->canvas, LOWORD(lParam)));
    case WM_TIMER:
        return OnTimer(state, wParam);
    case WM_ICON_LOAD_STEP:
        OnIconLoadStep(state);
        return 0;
    case WM_PREPARE_ICONS:
        PrepareIconPage(&state->icons, state->canvas.scale);
        return 0;
    case WM_DISPLAYCHANGE:
        FollowDisplayChange(state);
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA)
            KeepWindowOnMonitors(window);
        return 0;
    case WM_MOUSEMOVE:
        return OnCanvasMove(state, wParam, lParam);
    case WM_LBUTTONDOWN:
        return OnCanvasPress(state, wParam, lParam);
    case WM_LBUTTONUP:
        return OnCanvasRelease(state, wParam, lParam);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return OnControlColor(state, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
        if (state->taskbarCreatedMessage && message == state->taskbarCreatedMessage)
            FollowShellIcons(state);
        return 0;
    }
}

// The primary display chosen on the Screen tab, made as /primary makes it;
// a refusal is told, and the canvas keeps the old places until its next layout.
static void ApplyPrimaryChoice(ExtPropState *state)
{
    CanvasState &canvas = state->canvas;
    canvas.primaryPending = FALSE;
    if (canvas.chosenPrimary < 0)
        return;
    const wchar_t *caption = nullptr;
    if (const wchar_t *text =
            ModeChangeResultText(SessionMakePrimary(state->session, canvas.chosenPrimary), &caption))
        MessageBoxW(state->dialogWindow, text, caption, MB_ICONEXCLAMATION);
}

// Makes the live moves final; the dialog stays open and options are not stored.
static void OnApply(ExtPropState *state)
{
    CanvasState &canvas = state->canvas;
    if (canvas.primaryPending)
        ApplyPrimaryChoice(state);
    if (state->icons.pending) {
        CommitIconMoves(&state->icons);
        ReloadCanvasIcons(state);
    }
    if (canvas.windowsPending) {
        canvas.windowsPending = FALSE;
        CommitWindowMoves(&canvas);
    }
    if (state->profiles.pending)
        StoreProfileEdits(state);
    if (!state->icons.pending && !canvas.primaryPending && !canvas.windowsPending && !state->profiles.pending)
        DisableApplyButton(state->dialogWindow);
}

// Ends without storing options; a pending primary-display choice is dropped.
static void OnCancel(ExtPropState *state)
{
    if (state->icons.pending) {
        RestoreIconPositions(&state->icons);
        CommitIconMoves(&state->icons);
    }
    if (state->canvas.windowsPending) {
        RestoreWindowMoves(&state->canvas);
        state->canvas.windowsPending = FALSE;
    }
    AnimateDialogClosing(state);
    CloseExtPropDialog(state, 0);
}

// Keeps what was moved live and stores the options; a pending primary-display
// choice is not carried out.
static void OnOk(ExtPropState *state)
{
    AnimateDialogClosing(state);
    StoreOptions(state);
    if (state->profiles.pending)
        StoreProfileEdits(state);
    CloseExtPropDialog(state, 1);
}

static void OnPrimaryCheckBox(ExtPropState *state)
{
    if (OnPrimaryCheckBoxClicked(&state->canvas))
        EnableApplyButton(state->dialogWindow);
}

// "&Save Icons Position" and "&Restore Icons Position" of the icon view: the
// whole layout of the present display setup, told in the status line.
static void OnIconLayoutCommand(ExtPropState *state, int id)
{
    wchar_t text[128];
    if (id == ID_SAVE_ICON_POSITIONS) {
        int saved = SaveIconLayout(state->icons.listView, &state->icons.channel);
        wsprintfW(text,
                  saved < 0 ? L"The icons position could not be saved." : L"Icons position saved: %d icons.",
                  saved);
    } else {
        int placed = IconLayoutRestoreAndKeep(&state->session->iconLayout, state->icons.listView,
                                              &state->icons.channel);
        wsprintfW(text,
                  placed < 0 ? L"No icons position saved for this display setup."
                             : L"Icons position restored: %d icons.",
                  placed);
        if (placed > 0)
            ReloadCanvasIcons(state);
    }
    SetWindowTextW(state->iconStatus, text);
    ShowWindow(state->iconStatus, SW_SHOW);
}

static INT_PTR OnButtonClicked(ExtPropState *state, int id)
{
    switch (id) {
    case ID_SAVE_ICON_POSITIONS:
    case ID_RESTORE_ICON_POSITIONS:
        OnIconLayoutCommand(state, id);
        break;
    case IDC_WEB_LINK:
    case IDC_MAIL_LINK:
        OpenLinkTarget(id);
        break;
    case IDC_PRIMARY_CHECK_BOX:
        OnPrimaryCheckBox(state);
        break;
    case IDC_IDENTIFY_BUTTON:
        IdentifyScreens();
        break;
    case IDC_APPLY:
        OnApply(state);
        break;
    case IDC_CANCEL:
        OnCancel(state);
        break;
    case IDC_OK:
        OnOk(state);
        break;
    default:
        // Among them IDCANCEL, which the platform sends for Escape.
        break;
    }
    return 0;
}

// The window list on the Windows tab; a choice on the Icons tab does nothing.
static INT_PTR OnComboSelChange(ExtPropState *state, HWND control)
{
    if (control == state->canvas.windowCombo && state->currentTab == TAB_WINDOWS)
        ShowSelectedWindow(&state->canvas);
    else if (control == state->canvas.screenCombo)
        OnScreenListSelChange(&state->canvas);
    return 0;
}

INT_PTR DialogCommand(ExtPropState *state, UINT code, WPARAM first, HWND control)
{
    if (ProfilesPageCommand(state, code, LOWORD(first), control))
        return 0;
    if ((code == CBN_DROPDOWN || code == CBN_SETFOCUS) && control == state->canvas.windowCombo) {
        if (state->currentTab == TAB_ICONS)
            FillIconCombo(&state->icons);
        else
            FillWindowCombo(&state->canvas);
        return 0;
    }
    if (code == CBN_SELCHANGE)
        return OnComboSelChange(state, control);
    if (code == BN_CLICKED)
        return OnButtonClicked(state, LOWORD(first));
    return 0;
}
