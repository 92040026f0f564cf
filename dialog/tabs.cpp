// The five tabs of the dialog share one window: the tab strip only draws the
// tabs, and a switch hides the old page's controls and shows the new ones.
// Also the owner-drawn strip, the two subclassed controls and the screen list.
#include "canvas/gdi_scope.h"
#include "dialog/ext_prop.h"
#include "dialog/tab_pages.h"
#include "shell/tessivon.h"

int TabBeingLeft;
int PendingTabTarget;
BOOL TabTargetFromKeyboard;
BOOL TabChangeRefused;
int TabToRestore;
WNDPROC TabCtrlFormerProc;
WNDPROC LinkButtonFormerProc;
WNDPROC MailLinkFormerProc;
HFONT LinkButtonFont;

struct TabPage {
    const char *hint;  // upper label
    const char *combo; // label over the combo box
};

static const TabPage TabPages[TAB_COUNT] = {
    {"Move screens like you want.", "Screen :"},
    {"Move windows like you want.", "Window :"},
    {"Move icons like you want.", "Icon :"},
    {"", ""},
    {"", ""},
};

static void ShowControl(HWND control, BOOL shown) { ShowWindow(control, shown ? SW_SHOW : SW_HIDE); }

static BOOL IsCanvasTab(int tab) { return tab != TAB_SETTINGS && tab != TAB_ABOUT; }

// The dialog has three screen items, whatever the number of displays.
static int ScreenItemCount(const ExtPropState *state)
{
    return state->screenCount < MAX_SCREEN_ITEMS ? state->screenCount : MAX_SCREEN_ITEMS;
}

void WidenToText(HWND control, HWND dialog, int extra)
{
    char text[1024] = "";
    GetWindowTextA(control, text, sizeof(text));
    RECT needed = {};
    TEXTMETRICA metrics = {};
    {
        WindowTextDC dc(control);
        DrawTextA(dc.dc, text, -1, &needed, DT_CALCRECT | DT_EXPANDTABS);
        GetTextMetricsA(dc.dc, &metrics);
    }
    RECT client, place;
    GetClientRect(dialog, &client);
    GetWindowRectIn(control, &place, dialog);
    // Glyphs may be drawn a little beyond their measured cells.
    int width = needed.right + metrics.tmAveCharWidth + extra;
    if (width > client.right - CONTENT_MARGIN - place.left)
        width = client.right - CONTENT_MARGIN - place.left;
    if (width > place.right - place.left)
        SetWindowPos(control, nullptr, 0, 0, width, place.bottom - place.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT InsertTab(HWND tabControl, const char *text, int image)
{
    TCITEMA item = {};
    if (text) {
        item.mask |= TCIF_TEXT;
        item.pszText = const_cast<char *>(text);
        item.cchTextMax = lstrlenA(text);
    }
    if (image != -1) {
        item.mask |= TCIF_IMAGE;
        item.iImage = image;
    }
    return SendMessageA(tabControl, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// ---------------------------------------------------------------------------
// The switch.

void TakeOptionsFromCheckBoxes(ExtPropState *state)
{
    for (int i = 0; i < OPTION_COUNT; i++)
        state->options[i] = SendMessageA(state->optionCheckBoxes[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

static void PutOptionsIntoCheckBoxes(ExtPropState *state)
{
    for (int i = 0; i < OPTION_COUNT; i++)
        SendMessageA(state->optionCheckBoxes[i], BM_SETCHECK, state->options[i] ? BST_CHECKED : BST_UNCHECKED,
                     0);
}

// The box and the gap before the text.
static int CheckBoxTextOffset() { return GetSystemMetrics(SM_CXMENUCHECK) + 8; }

static void ShowOptionCheckBoxes(ExtPropState *state, BOOL shown)
{
    for (int i = 0; i < OPTION_COUNT; i++)
        ShowControl(state->optionCheckBoxes[i], shown);
}

static void ShowAboutPage(ExtPropState *state, BOOL shown)
{
    ShowControl(state->webLink, shown);
    ShowControl(state->mailLink, shown);
    ShowControl(state->futureFeaturesText, shown);
    ShowControl(state->aboutText, shown);
    ShowControl(state->knownBugsText, shown);
}

static void LeaveWindowsPage(ExtPropState *state, int target)
{
    StopSyncTimer();
    CollapseMiniature(state);
    if (target != TAB_ICONS)
        ShowControl(state->windowCombo, FALSE);
}

static void LeavePage(ExtPropState *state, int tab, int target)
{
    switch (tab) {
    case TAB_SCREEN:
        ShowControl(state->screenCombo, FALSE);
        ShowControl(state->primaryCheckBox, FALSE);
        break;
    case TAB_WINDOWS:
        LeaveWindowsPage(state, target);
        break;
    case TAB_ICONS:
        ShowControl(state->iconViewWindow, FALSE);
        if (target != TAB_WINDOWS)
            ShowControl(state->iconCombo, FALSE);
        break;
    case TAB_SETTINGS:
        ShowOptionCheckBoxes(state, FALSE);
        TakeOptionsFromCheckBoxes(state);
        break;
    case TAB_ABOUT:
        ShowAboutPage(state, FALSE);
        break;
    }
}

static void ShowCanvas(ExtPropState *state, BOOL shown)
{
    for (int i = 0; i < ScreenItemCount(state); i++)
        ShowControl(state->screenItems[i], shown);
    ShowControl(state->canvasFrame, shown);
    ShowControl(state->desktopMiniature, shown);
    ShowControl(state->backdrop, !shown);
    ShowControl(state->zoomSlider, shown);
}

// The selected screen's colours depend on the page.
static void InvalidateSelectedScreen(ExtPropState *state)
{
    if (state->selectedScreen >= 0 && state->selectedScreen < ScreenItemCount(state))
        InvalidateRect(state->screenItems[state->selectedScreen], nullptr, TRUE);
}

static void EnterPage(ExtPropState *state, int tab, BOOL fromCanvas)
{
    switch (tab) {
    case TAB_SCREEN:
        ShowControl(state->screenCombo, TRUE);
        ShowControl(state->primaryCheckBox, TRUE);
        if (fromCanvas)
            InvalidateSelectedScreen(state);
        break;
    case TAB_WINDOWS:
        SendMessageA(state->windowCombo, CB_RESETCONTENT, 0, 0);
        if (fromCanvas)
            InvalidateSelectedScreen(state);
        ShowControl(state->windowCombo, TRUE);
        break;
    case TAB_ICONS:
        LoadCanvasIcons();
        ShowControl(state->iconCombo, TRUE);
        if (fromCanvas)
            InvalidateSelectedScreen(state);
        ShowControl(state->iconViewWindow, TRUE);
        break;
    case TAB_SETTINGS:
        PutOptionsIntoCheckBoxes(state);
        for (int i = 0; i < OPTION_COUNT; i++)
            WidenToText(state->optionCheckBoxes[i], state->dialogWindow, CheckBoxTextOffset());
        ShowOptionCheckBoxes(state, TRUE);
        break;
    case TAB_ABOUT:
        ShowAboutPage(state, TRUE);
        break;
    }
}

int SwitchTab(ExtPropState *state, NMHDR *header, int target)
{
    TabBeingLeft = (int)SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0);
    // A click beside the tabs names no tab: switching to it would leave no
    // page at all, so it is refused like the Screen tab with one display.
    if (target < 0 || target >= TAB_COUNT)
        return 1;
    if (target == TAB_SCREEN && state->screenCount == 1)
        return 1;
    state->currentTab = target;
    BOOL fromCanvas = IsCanvasTab(TabBeingLeft);
    BOOL toCanvas = IsCanvasTab(target);
    if (target == TAB_WINDOWS)
        SendMessageA(state->windowCombo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->windowImages));
    if (target == TAB_ICONS)
        SendMessageA(state->iconCombo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->iconImages));
    LeavePage(state, TabBeingLeft, target);
    if (toCanvas && state->primaryPending) {
        LayoutCanvas();
        state->primaryPending = FALSE;
    }
    ShowCanvas(state, toCanvas);
    EnterPage(state, target, fromCanvas);
    ShowTabLabels(state, target);
    return 0;
}

void ShowTabLabels(ExtPropState *state, int tab)
{
    SendMessageA(state->hintLabel, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(TabPages[tab].hint));
    SendMessageA(state->comboLabel, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(TabPages[tab].combo));
    WidenToText(state->hintLabel, state->dialogWindow, 0);
    WidenToText(state->comboLabel, state->dialogWindow, 0);
}

// ---------------------------------------------------------------------------
// Notifications of the strip.

static int TabUnderCursor(HWND tabControl)
{
    TCHITTESTINFO hit = {};
    GetCursorPos(&hit.pt);
    ScreenToClient(tabControl, &hit.pt);
    return (int)SendMessageA(tabControl, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
}

static INT_PTR OnTabSelChanging(ExtPropState *state, NMHDR *header)
{
    if (!TabTargetFromKeyboard)
        PendingTabTarget = TabUnderCursor(header->hwndFrom);
    int refused = SwitchTab(state, header, PendingTabTarget);
    TabChangeRefused = refused;
    if (refused)
        TabToRestore = state->currentTab;
    return refused;
}

// Some strips move the selection for a key without moving the pressed state
// that their own clicks look at, and then ignore every later click; only the
// selected tab is left pressed.
static void PressOnlySelectedTab(HWND tabControl)
{
    int selected = (int)SendMessageA(tabControl, TCM_GETCURSEL, 0, 0);
    int count = (int)SendMessageA(tabControl, TCM_GETITEMCOUNT, 0, 0);
    for (int k = 0; k < count; k++) {
        TCITEMA item = {};
        item.mask = TCIF_STATE;
        item.dwStateMask = TCIS_BUTTONPRESSED;
        item.dwState = k == selected ? TCIS_BUTTONPRESSED : 0;
        SendMessageA(tabControl, TCM_SETITEMA, k, reinterpret_cast<LPARAM>(&item));
    }
}

static INT_PTR OnTabSelChange(ExtPropState *state, NMHDR *header)
{
    if (TabChangeRefused) {
        SendMessageA(header->hwndFrom, TCM_SETCURSEL, TabToRestore, 0);
        TabChangeRefused = FALSE;
    }
    if (TabTargetFromKeyboard) {
        TabTargetFromKeyboard = FALSE;
        PressOnlySelectedTab(header->hwndFrom);
        return 0;
    }
    SetFocus(state->okButton);
    return 0;
}

int KeyboardTabTarget(int currentTab, WORD key)
{
    if ((key == VK_LEFT || key == VK_HOME) && currentTab > TAB_SCREEN)
        return key == VK_LEFT ? currentTab - 1 : TAB_SCREEN;
    if ((key == VK_RIGHT || key == VK_END) && currentTab < TAB_ABOUT)
        return key == VK_RIGHT ? currentTab + 1 : TAB_ABOUT;
    return -1;
}

static INT_PTR OnTabKeyDown(ExtPropState *state, const NMTCKEYDOWN *key)
{
    int target = KeyboardTabTarget(state->currentTab, key->wVKey);
    if (target < 0)
        return 0;
    TabTargetFromKeyboard = TRUE;
    PendingTabTarget = target;
    PostMessageA(key->hdr.hwndFrom, WM_TAB_KEY_SETTLE, 0, 0);
    return 1;
}

INT_PTR TabNotify(ExtPropState *state, int id, NMHDR *header)
{
    if (id != IDC_TAB_CONTROL)
        return 0;
    switch (header->code) {
    case TCN_SELCHANGING:
        return OnTabSelChanging(state, header);
    case TCN_SELCHANGE:
        return OnTabSelChange(state, header);
    case TCN_KEYDOWN:
        return OnTabKeyDown(state, reinterpret_cast<NMTCKEYDOWN *>(header));
    }
    return 0;
}

// ---------------------------------------------------------------------------
// The owner-drawn strip.

int DrawTabText(HDC dc, const RECT *rect, const char *text, BOOL disabled)
{
    const UINT format = DT_CENTER | DT_VCENTER | DT_NOCLIP;
    RECT place = {rect->left + 22, rect->top + 4, rect->right, rect->bottom + 4};
    if (disabled) {
        RECT raised = {place.left + 1, place.top + 1, place.right + 1, place.bottom + 1};
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextA(dc, text, -1, &raised, format);
        SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    DrawTextA(dc, text, -1, &place, format);
    return 1;
}

INT_PTR DrawTabItem(ExtPropState *state, int, const DRAWITEMSTRUCT *item)
{
    char text[128] = "";
    TCITEMA tab = {};
    tab.mask = TCIF_TEXT | TCIF_IMAGE;
    tab.pszText = text;
    tab.cchTextMax = sizeof(text);
    SendMessageA(item->hwndItem, TCM_GETITEMA, item->itemID, reinterpret_cast<LPARAM>(&tab));

    RECT place = item->rcItem;
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    FillRect(item->hDC, &place, face);
    DeleteObject(face);

    // The strip's own selection: in the middle of a switch (the new page's
    // work may pump messages) it still names the tab being left, while
    // currentTab, which only the switch and the opening set, names the new one.
    int selected = (int)SendMessageA(item->hwndItem, TCM_GETCURSEL, 0, 0);
    int x = place.left + 4;
    UINT style = ILD_TRANSPARENT;
    if ((int)item->itemID == selected)
        x = place.left + 8;
    else if (state->options[OPT_DARK_ICON_IN_TAB])
        style = ILD_TRANSPARENT | ILD_BLEND25;
    ImageList_Draw(state->tabImages, tab.iImage, item->hDC, x, place.top + 2, style);

    DrawTabText(item->hDC, &place, text, item->itemID == TAB_SCREEN && state->screenCount == 1);
    return 1;
}

// ---------------------------------------------------------------------------
// The subclassed tab strip.

static LRESULT OnTabCtrlEraseBackground(HWND window, HDC dc, LPARAM lParam)
{
    RECT frame;
    if (ActiveExtPropState && GetWindowRectIn(ActiveExtPropState->canvasFrame, &frame, window))
        ExcludeClipRect(dc, frame.left, frame.top, frame.right, frame.bottom);
    return CallWindowProcA(TabCtrlFormerProc, window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), lParam);
}

// A keyboard target never outlives its key: when the strip did not move by
// itself, it is moved here, which runs the same notifications.
static LRESULT OnTabKeySettle(HWND window)
{
    if (!TabTargetFromKeyboard)
        return 0;
    SendMessageA(window, TCM_SETCURFOCUS, PendingTabTarget, 0);
    TabTargetFromKeyboard = FALSE;
    return 0;
}

LRESULT CALLBACK TabCtrlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return OnTabCtrlEraseBackground(window, reinterpret_cast<HDC>(wParam), lParam);
    case WM_NCPAINT:
        return 1;
    case WM_TAB_KEY_SETTLE:
        return OnTabKeySettle(window);
    }
    return CallWindowProcA(TabCtrlFormerProc, window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// The link buttons: blue text in the link font, nothing else.

static LRESULT PaintLinkButton(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetTextColor(dc, RGB(0, 0, 255));
    SetBkMode(dc, TRANSPARENT);
    RECT client;
    GetClientRect(window, &client);
    char text[128] = "";
    GetWindowTextA(window, text, sizeof(text));
    {
        ScopedSelection font(dc, LinkButtonFont);
        DrawTextA(dc, text, -1, &client, 0);
    }
    EndPaint(window, &paint);
    return 0;
}

static WNDPROC LinkFormerProc(HWND window)
{
    return GetDlgCtrlID(window) == IDC_MAIL_LINK && MailLinkFormerProc ? MailLinkFormerProc
                                                                       : LinkButtonFormerProc;
}

LRESULT CALLBACK LinkButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFONT:
        LinkButtonFont = reinterpret_cast<HFONT>(wParam);
        break;
    case WM_PAINT:
        return PaintLinkButton(window);
    }
    return CallWindowProcA(LinkFormerProc(window), window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// The screen list.

static HIMAGELIST LoadScreenPictures()
{
    HIMAGELIST pictures = ImageList_Create(24, 20, ILC_COLOR4 | ILC_MASK, 4, 0);
    HBITMAP strip = LoadBitmapA(InstanceHandle, MAKEINTRESOURCEA(IDB_SCREEN_PICTURES));
    if (pictures && strip)
        ImageList_AddMasked(pictures, strip, RGB(255, 0, 255));
    if (strip)
        DeleteObject(strip);
    return pictures;
}

int FillScreenCombo(ExtPropState *state, HWND, HWND combo)
{
    state->screenImages = LoadScreenPictures();
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof(device);
    for (int i = 0; i < state->screenCount; i++) {
        if (!EnumDisplayDevicesEntry(nullptr, i, &device, 0))
            break;
        COMBOBOXEXITEMA entry = {};
        entry.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        entry.iItem = i;
        entry.pszText = device.DeviceString;
        entry.cchTextMax = lstrlenA(device.DeviceString);
        entry.iImage = i;
        entry.iSelectedImage = i;
        if (SendMessageA(combo, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&entry)) == -1)
            return 0;
    }
    SendMessageA(combo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->screenImages));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    state->selectedScreen = 0;
    SendMessageA(state->primaryCheckBox, BM_SETCHECK, state->chosenPrimary == 0 ? BST_CHECKED : BST_UNCHECKED,
                 0);
    return 1;
}
