// The dialog's six tabs in one window: the tab strip, the switch between pages, the links.
// The tab strip only draws the tabs, and a switch hides the old page's
// controls and shows the new ones. Also the owner-drawn strip, the two
// subclassed controls and the screen list.
#include "dialog/tabs.h"

#include "base/messages.h"
#include "base/scoped.h"
#include "dialog/dialog_tools.h"
#include "dialog/profiles_page.h"
#include "resources/resource_ids.h"

struct TabPage {
    const wchar_t *hint;  // upper label
    const wchar_t *combo; // label over the combo box
};

static const TabPage TabPages[TAB_COUNT] = {
    {L"Move screens like you want.", L"Screen :"},
    {L"Move windows like you want.", L"Window :"},
    {L"Move icons like you want.", L"Icon :"},
    {L"", L""},
    {L"", L""},
    {L"", L""},
};

static void ShowControl(HWND control, BOOL shown) { ShowWindow(control, shown ? SW_SHOW : SW_HIDE); }

static BOOL IsCanvasTab(int tab) { return tab != TAB_SETTINGS && tab != TAB_ABOUT && tab != TAB_PROFILES; }

CanvasMode CanvasModeOfTab(int tab)
{
    switch (tab) {
    case TAB_SCREEN:
        return CANVAS_SCREENS;
    case TAB_WINDOWS:
        return CANVAS_WINDOWS;
    case TAB_ICONS:
        return CANVAS_ICONS;
    default:
        return CANVAS_HIDDEN;
    }
}

int ReloadCanvasIcons(ExtPropState *state)
{
    int loaded = LoadCanvasIcons(&state->icons, state->canvas.scale, state->currentTab == TAB_ICONS);
    if (state->currentTab == TAB_ICONS)
        ShowTabLabels(state, TAB_ICONS);
    return loaded;
}

LRESULT InsertTab(HWND tabControl, const wchar_t *text, int image)
{
    TCITEMW item = {};
    if (text) {
        item.mask |= TCIF_TEXT;
        item.pszText = const_cast<wchar_t *>(text);
        item.cchTextMax = lstrlenW(text);
    }
    if (image != -1) {
        item.mask |= TCIF_IMAGE;
        item.iImage = image;
    }
    return SendMessageW(tabControl, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

// ---------------------------------------------------------------------------
// The switch.

void TakeOptionsFromCheckBoxes(ExtPropState *state)
{
    for (int i = 0; i < OPTION_COUNT; i++)
        state->options[i] = SendMessageW(state->optionCheckBoxes[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

static void PutOptionsIntoCheckBoxes(ExtPropState *state)
{
    for (int i = 0; i < OPTION_COUNT; i++)
        SendMessageW(state->optionCheckBoxes[i], BM_SETCHECK, state->options[i] ? BST_CHECKED : BST_UNCHECKED,
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
    StopSyncTimer(&state->canvas);
    CollapseMiniature(&state->canvas);
    if (target != TAB_ICONS)
        ShowControl(state->canvas.windowCombo, FALSE);
}

static void LeavePage(ExtPropState *state, int tab, int target)
{
    switch (tab) {
    case TAB_SCREEN:
        ShowControl(state->canvas.screenCombo, FALSE);
        ShowControl(state->canvas.primaryCheckBox, FALSE);
        ShowControl(GetDlgItem(state->dialogWindow, IDC_IDENTIFY_BUTTON), FALSE);
        break;
    case TAB_WINDOWS:
        LeaveWindowsPage(state, target);
        break;
    case TAB_ICONS:
        ShowControl(state->icons.viewWindow, FALSE);
        if (target != TAB_WINDOWS)
            ShowControl(state->icons.combo, FALSE);
        break;
    case TAB_SETTINGS:
        ShowOptionCheckBoxes(state, FALSE);
        TakeOptionsFromCheckBoxes(state);
        break;
    case TAB_ABOUT:
        ShowAboutPage(state, FALSE);
        break;
    case TAB_PROFILES:
        ShowProfilesPage(state, FALSE);
        break;
    }
}

static void ShowCanvas(const CanvasState *canvas, BOOL shown)
{
    for (int i = 0; i < ShownScreenItems(canvas); i++)
        ShowControl(canvas->screenItems[i], shown);
    ShowControl(canvas->canvasFrame, shown);
    ShowControl(canvas->desktopMiniature, shown);
    ShowControl(canvas->backdrop, !shown);
    ShowControl(canvas->zoomSlider, shown);
}

// The selected screen's colours depend on the page.
static void InvalidateSelectedScreen(const CanvasState *canvas)
{
    if (canvas->selectedScreen >= 0 && canvas->selectedScreen < ShownScreenItems(canvas))
        InvalidateRect(canvas->screenItems[canvas->selectedScreen], nullptr, TRUE);
}

// The Icons page is drawn at once; its icons come a chunk at a time.
static void StartIconLoad(ExtPropState *state)
{
    BeginCanvasIconLoad(&state->icons, true);
    PostMessageW(state->dialogWindow, WM_ICON_LOAD_STEP, 0, 0);
}

static void EnterPage(ExtPropState *state, int tab, BOOL fromCanvas)
{
    switch (tab) {
    case TAB_SCREEN:
        ShowControl(state->canvas.screenCombo, TRUE);
        ShowControl(state->canvas.primaryCheckBox, TRUE);
        ShowControl(GetDlgItem(state->dialogWindow, IDC_IDENTIFY_BUTTON), TRUE);
        if (fromCanvas)
            InvalidateSelectedScreen(&state->canvas);
        break;
    case TAB_WINDOWS:
        SendMessageW(state->canvas.windowCombo, CB_RESETCONTENT, 0, 0);
        if (fromCanvas)
            InvalidateSelectedScreen(&state->canvas);
        ShowControl(state->canvas.windowCombo, TRUE);
        break;
    case TAB_ICONS:
        StartIconLoad(state);
        ShowControl(state->icons.combo, TRUE);
        if (fromCanvas)
            InvalidateSelectedScreen(&state->canvas);
        ShowControl(state->icons.viewWindow, TRUE);
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
    case TAB_PROFILES:
        ShowProfilesPage(state, TRUE);
        break;
    }
}

int SwitchTab(ExtPropState *state, NMHDR *header, int target)
{
    CanvasState &canvas = state->canvas;
    state->tabBeingLeft = (int)SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0);
    // A click beside the tabs names no tab: switching to it would leave no
    // page at all, so it is refused like the Screen tab with one display.
    if (target < 0 || target >= TAB_COUNT)
        return 1;
    if (target == TAB_SCREEN && canvas.screenCount == 1)
        return 1;
    state->currentTab = target;
    canvas.mode = CanvasModeOfTab(target);
    BOOL fromCanvas = IsCanvasTab(state->tabBeingLeft);
    BOOL toCanvas = IsCanvasTab(target);
    if (target == TAB_WINDOWS)
        SendMessageW(canvas.windowCombo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(canvas.windowImages));
    if (target == TAB_ICONS)
        SendMessageW(state->icons.combo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->icons.images));
    LeavePage(state, state->tabBeingLeft, target);
    if (toCanvas && canvas.primaryPending) {
        LayoutCanvas(&canvas);
        canvas.primaryPending = FALSE;
    }
    ShowCanvas(&canvas, toCanvas);
    // Shown once it has something to say: an empty line would still paint.
    ShowControl(state->iconStatus, target == TAB_ICONS && GetWindowTextLengthW(state->iconStatus) > 0);
    EnterPage(state, target, fromCanvas);
    ShowTabLabels(state, target);
    return 0;
}

void ShowTabLabels(ExtPropState *state, int tab)
{
    // On the Icons page a shell that does not answer is said in its place.
    const wchar_t *problem = tab == TAB_ICONS ? IconPageProblem(&state->icons) : nullptr;
    const wchar_t *hint = problem ? problem : TabPages[tab].hint;
    SendMessageW(state->hintLabel, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hint));
    SendMessageW(state->comboLabel, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(TabPages[tab].combo));
    WidenToText(state->hintLabel, state->dialogWindow, 0);
    WidenToText(state->comboLabel, state->dialogWindow, 0);
    // Empty, it would still paint its background over the options below the list.
    ShowControl(state->comboLabel, TabPages[tab].combo[0] != L'\0');
}

void SetHintText(ExtPropState *state, const wchar_t *text)
{
    SendMessageW(state->hintLabel, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    WidenToText(state->hintLabel, state->dialogWindow, 0);
}

// ---------------------------------------------------------------------------
// Notifications of the strip.

static int TabUnderCursor(HWND tabControl)
{
    TCHITTESTINFO hit = {};
    GetCursorPos(&hit.pt);
    ScreenToClient(tabControl, &hit.pt);
    return (int)SendMessageW(tabControl, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
}

static INT_PTR OnTabSelChanging(ExtPropState *state, NMHDR *header)
{
    if (!state->tabTargetFromKeyboard)
        state->pendingTabTarget = TabUnderCursor(header->hwndFrom);
    int refused = SwitchTab(state, header, state->pendingTabTarget);
    state->tabChangeRefused = refused;
    if (refused)
        state->tabToRestore = state->currentTab;
    return refused;
}

// Some strips move the selection for a key without moving the pressed state
// that their own clicks look at, and then ignore every later click; only the
// selected tab is left pressed.
static void PressOnlySelectedTab(HWND tabControl)
{
    int selected = (int)SendMessageW(tabControl, TCM_GETCURSEL, 0, 0);
    int count = (int)SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0);
    for (int k = 0; k < count; k++) {
        TCITEMW item = {};
        item.mask = TCIF_STATE;
        item.dwStateMask = TCIS_BUTTONPRESSED;
        item.dwState = k == selected ? TCIS_BUTTONPRESSED : 0;
        SendMessageW(tabControl, TCM_SETITEMW, k, reinterpret_cast<LPARAM>(&item));
    }
}

static INT_PTR OnTabSelChange(ExtPropState *state, NMHDR *header)
{
    if (state->tabChangeRefused) {
        SendMessageW(header->hwndFrom, TCM_SETCURSEL, state->tabToRestore, 0);
        state->tabChangeRefused = FALSE;
    }
    if (state->tabTargetFromKeyboard) {
        state->tabTargetFromKeyboard = FALSE;
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
    if ((key == VK_RIGHT || key == VK_END) && currentTab < TAB_COUNT - 1)
        return key == VK_RIGHT ? currentTab + 1 : TAB_COUNT - 1;
    return -1;
}

static INT_PTR OnTabKeyDown(ExtPropState *state, const NMTCKEYDOWN *key)
{
    int target = KeyboardTabTarget(state->currentTab, key->wVKey);
    if (target < 0)
        return 0;
    state->tabTargetFromKeyboard = TRUE;
    state->pendingTabTarget = target;
    PostMessageW(key->hdr.hwndFrom, WM_TAB_KEY_SETTLE, 0, 0);
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

void DrawTabText(HDC dc, const RECT *rect, const wchar_t *text, BOOL disabled)
{
    const UINT format = DT_CENTER | DT_VCENTER | DT_NOCLIP;
    RECT place = {rect->left + 22, rect->top + 4, rect->right, rect->bottom + 4};
    if (disabled) {
        RECT raised = {place.left + 1, place.top + 1, place.right + 1, place.bottom + 1};
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, text, -1, &raised, format);
        SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    DrawTextW(dc, text, -1, &place, format);
}

INT_PTR DrawTabItem(ExtPropState *state, int, const DRAWITEMSTRUCT *item)
{
    wchar_t text[128] = L"";
    TCITEMW tab = {};
    tab.mask = TCIF_TEXT | TCIF_IMAGE;
    tab.pszText = text;
    tab.cchTextMax = 128;
    SendMessageW(item->hwndItem, TCM_GETITEMW, item->itemID, reinterpret_cast<LPARAM>(&tab));

    RECT place = item->rcItem;
    {
        ScopedGdiObject<HBRUSH> face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
        FillRect(item->hDC, &place, face.handle);
    }

    // The strip's own selection: in the middle of a switch (the new page's
    // work may pump messages) it still names the tab being left, while
    // currentTab, which only the switch and the opening set, names the new one.
    int selected = (int)SendMessageW(item->hwndItem, TCM_GETCURSEL, 0, 0);
    int x = place.left + 4;
    UINT style = ILD_TRANSPARENT;
    if ((int)item->itemID == selected)
        x = place.left + 8;
    else if (state->options[OPT_DARK_ICON_IN_TAB])
        style = ILD_TRANSPARENT | ILD_BLEND25;
    ImageList_Draw(state->tabImages, tab.iImage, item->hDC, x, place.top + 2, style);

    DrawTabText(item->hDC, &place, text, item->itemID == TAB_SCREEN && state->canvas.screenCount == 1);
    return 1;
}

// ---------------------------------------------------------------------------
// The subclassed tab strip.

static LRESULT OnTabCtrlEraseBackground(ExtPropState *state, HWND window, HDC dc, LPARAM lParam)
{
    RECT frame;
    if (GetWindowRectIn(state->canvas.canvasFrame, &frame, window))
        ExcludeClipRect(dc, frame.left, frame.top, frame.right, frame.bottom);
    return DefSubclassProc(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), lParam);
}

// A keyboard target never outlives its key: when the strip did not move by
// itself, it is moved here, which runs the same notifications.
static LRESULT OnTabKeySettle(ExtPropState *state, HWND window)
{
    if (!state->tabTargetFromKeyboard)
        return 0;
    SendMessageW(window, TCM_SETCURFOCUS, state->pendingTabTarget, 0);
    state->tabTargetFromKeyboard = FALSE;
    return 0;
}

LRESULT CALLBACK TabCtrlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR data)
{
    ExtPropState *state = reinterpret_cast<ExtPropState *>(data);
    switch (message) {
    case WM_ERASEBKGND:
        return OnTabCtrlEraseBackground(state, window, reinterpret_cast<HDC>(wParam), lParam);
    case WM_NCPAINT:
        return 1;
    case WM_TAB_KEY_SETTLE:
        return OnTabKeySettle(state, window);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// The link buttons: blue text in the link font, nothing else.

static LRESULT PaintLinkButton(ExtPropState *state, HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetTextColor(dc, RGB(0, 0, 255));
    SetBkMode(dc, TRANSPARENT);
    RECT client;
    GetClientRect(window, &client);
    wchar_t text[128] = L"";
    GetWindowTextW(window, text, 128);
    {
        ScopedSelection font(dc, state->linkFont);
        DrawTextW(dc, text, -1, &client, 0);
    }
    EndPaint(window, &paint);
    return 0;
}

LRESULT CALLBACK LinkButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR data)
{
    if (message == WM_PAINT)
        return PaintLinkButton(reinterpret_cast<ExtPropState *>(data), window);
    return DefSubclassProc(window, message, wParam, lParam);
}
