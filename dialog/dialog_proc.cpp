#include "dialog/ext_prop.h"

#include <windowsx.h>

#include "shell/tessivon.h"

static INT_PTR OnInitDialog(ExtPropState *state, HWND window, LPARAM creation)
{
    state->dialogWindow = window;
    if (InitExtPropDialog(state, *reinterpret_cast<const POINT *>(creation)))
        return TRUE;
    SendMessageA(window, WM_CLOSE, 0, 0);
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
        IconViewCancelDrag(&state->iconView);
    return 0;
}

static INT_PTR OnIconText(ExtPropState *state, int index, BOOL restore)
{
    return restore ? RestoreIconText(state->desktopListView, index)
                   : HideIconText(state->desktopListView, index);
}

static INT_PTR OnDrawItem(ExtPropState *state, int id, const DRAWITEMSTRUCT *item)
{
    return id == IDC_TAB_CONTROL ? DrawTabItem(state, id, item) : 0;
}

static INT_PTR OnZoomSlider(ExtPropState *state, HWND control, WPARAM first)
{
    if (control == state->zoomSlider)
        OnZoomSliderScroll(state, LOWORD(first), HIWORD(first));
    return 0;
}

static int ScreenItemIndex(const ExtPropState *state, HWND control)
{
    for (int i = 0; i < state->screenCount && i < MAX_SCREEN_ITEMS; i++)
        if (state->screenItems[i] == control)
            return i;
    return -1;
}

// On the Screen tab the selected screen looks like an active caption, every
// other screen (and every screen on the other tabs) like an inactive one.
static INT_PTR OnControlColor(ExtPropState *state, HDC dc, HWND control)
{
    int i = ScreenItemIndex(state, control);
    if (i < 0)
        return 0;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    bool active = state->currentTab == TAB_SCREEN && i == state->selectedScreen;
    return reinterpret_cast<INT_PTR>(active ? state->activeCaptionBrush : state->inactiveCaptionBrush);
}

// A result the sender reads, which a dialog procedure gives through DWLP_MSGRESULT.
static INT_PTR Answer(HWND dialog, INT_PTR result)
{
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return result;
}

INT_PTR CALLBACK ExtPropDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ExtPropState *state = ActiveExtPropState;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(state, window, lParam);
    case WM_CLOSE:
        return OnClose(state);
    case WM_ACTIVATE:
        return OnActivate(state, LOWORD(wParam));
    case WM_ACTIVATEAPP:
        return OnActivateApp(state, (BOOL)wParam);
    case WM_ICON_MOVED:
        return OnIconMoved((int)wParam, lParam);
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
        return Answer(window, EraseDialogBackground(reinterpret_cast<HDC>(wParam)));
    case WM_SETCURSOR:
        return Answer(window, OnCanvasSetCursor(LOWORD(lParam)));
    case WM_TIMER:
        SyncWindowMiniature();
        return 0;
    case WM_MOUSEMOVE:
        return state->dragging ? OnCanvasMouseMove((DWORD)wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))
                               : 0;
    case WM_LBUTTONDOWN:
        return OnCanvasButtonDown((DWORD)wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    case WM_LBUTTONUP:
        return state->dragging ? OnCanvasButtonUp((DWORD)wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))
                               : 0;
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

static void DropSavedIconPositions(ExtPropState *state)
{
    delete[] state->savedIconPositions;
    state->savedIconPositions = nullptr;
    state->savedIconCount = 0;
}

// Makes the live moves final; the dialog stays open and options are not stored.
static void OnApply(ExtPropState *state)
{
    if (state->primaryPending)
        ApplyPrimaryDisplay();
    if (state->iconsPending) {
        DropSavedIconPositions(state);
        state->iconsPending = FALSE;
        LoadCanvasIcons();
    }
    if (state->windowsPending) {
        state->windowsPending = FALSE;
        CommitWindowMoves();
    }
    if (!state->iconsPending && !state->primaryPending && !state->windowsPending)
        DisableApplyButton(state->dialogWindow);
}

// Ends without storing options; a pending primary-display choice is dropped.
static void OnCancel(ExtPropState *state)
{
    if (state->iconsPending) {
        RestoreIconPositions();
        DropSavedIconPositions(state);
        state->iconsPending = FALSE;
    }
    if (state->windowsPending) {
        RestoreWindowMoves();
        state->windowsPending = FALSE;
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

static INT_PTR OnButtonClicked(ExtPropState *state, int id)
{
    switch (id) {
    case IDC_WEB_LINK:
    case IDC_MAIL_LINK:
        OpenLinkTarget(state, id);
        break;
    case IDC_PRIMARY_CHECK_BOX:
        OnPrimaryCheckBoxClicked();
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
    if (control == state->windowCombo && state->currentTab == TAB_WINDOWS)
        return ShowSelectedWindow();
    if (control == state->screenCombo)
        OnScreenListSelChange();
    return 0;
}

INT_PTR DialogCommand(ExtPropState *state, UINT code, WPARAM first, HWND control)
{
    if ((code == CBN_DROPDOWN || code == CBN_SETFOCUS) && control == state->windowCombo) {
        FillWindowCombo();
        return 0;
    }
    if (code == CBN_SELCHANGE)
        return OnComboSelChange(state, control);
    if (code == BN_CLICKED)
        return OnButtonClicked(state, LOWORD(first));
    return 0;
}
