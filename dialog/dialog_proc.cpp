#include "dialog/ext_prop.h"

#include <windowsx.h>

#include "base/messages.h"
#include "desktop_icons/desktop_icons.h"
#include "dialog/tab_pages.h"
#include "resources/resource_ids.h"

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

static INT_PTR OnIconMovedMessage(ExtPropState *state, int index, LPARAM corner)
{
    if (OnIconMoved(&state->icons, state->canvas.scale, index, corner))
        EnableApplyButton(state->dialogWindow);
    return 0;
}

static INT_PTR OnIconText(ExtPropState *state, int index, BOOL restore)
{
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
        SyncWindowMiniature(&state->canvas);
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
        return 0;
    }
}

// Makes the live moves final; the dialog stays open and options are not stored.
static void OnApply(ExtPropState *state)
{
    CanvasState &canvas = state->canvas;
    if (canvas.primaryPending)
        ApplyPrimaryDisplay(&canvas);
    if (state->icons.pending) {
        CommitIconMoves(&state->icons);
        ReloadCanvasIcons(state);
    }
    if (canvas.windowsPending) {
        canvas.windowsPending = FALSE;
        CommitWindowMoves(&canvas);
    }
    if (!state->icons.pending && !canvas.primaryPending && !canvas.windowsPending)
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
    CloseExtPropDialog(state, 1);
}

static void OnPrimaryCheckBox(ExtPropState *state)
{
    if (OnPrimaryCheckBoxClicked(&state->canvas))
        EnableApplyButton(state->dialogWindow);
}

static INT_PTR OnButtonClicked(ExtPropState *state, int id)
{
    switch (id) {
    case IDC_WEB_LINK:
    case IDC_MAIL_LINK:
        OpenLinkTarget(id);
        break;
    case IDC_PRIMARY_CHECK_BOX:
        OnPrimaryCheckBox(state);
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
    if ((code == CBN_DROPDOWN || code == CBN_SETFOCUS) && control == state->canvas.windowCombo) {
        FillWindowCombo(&state->canvas);
        return 0;
    }
    if (code == CBN_SELCHANGE)
        return OnComboSelChange(state, control);
    if (code == BN_CLICKED)
        return OnButtonClicked(state, LOWORD(first));
    return 0;
}
