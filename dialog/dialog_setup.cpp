// The dialog's set-up at WM_INITDIALOG, its closing and its background.
#include "dialog/dialog_setup.h"

#include "base/facts.h"
#include "base/messages.h"
#include "base/scoped.h"
#include "dialog/dialog_fit.h"
#include "dialog/dialog_tools.h"
#include "dialog/profiles_page.h"
#include "dialog/settings_about.h"
#include "dialog/tabs.h"
#include "resources/resource_ids.h"
#include "session/display_session.h"

static const int OptionCheckBoxIds[OPTION_COUNT] = {
    IDC_OPT_SHOW_WINDOW_CLASS_NAME,
    IDC_OPT_SHOW_TRAY_BAR_AS_WINDOW,
    IDC_OPT_FILL_BACKGROUND_WITH_GRADIENT_COLOR,
    IDC_OPT_SHOW_WALLPAPER_DESKTOP,
    IDC_OPT_SHOW_DESKTOP_DURING_ZOOM,
    IDC_OPT_DARK_ICON_IN_TAB,
    IDC_OPT_EXT_PROP_AS_DBL_CLICK,
    IDC_OPT_HIDE_ICON_TEXT_AT_STARTUP,
    IDC_OPT_RESTORE_ICON_POS_AT_STARTUP,
    IDC_OPT_AUTOMATICLY_SAVE_ICON_POS,
    IDC_OPT_TESSIVON_TRAY_ICON_IN_256_COLORS,
    IDC_OPT_LAUNCH_AT_WINDOWS_STARTUP,
    IDC_OPT_DISPLAY_PORTRAIT_RESOLUTION,
    IDC_OPT_CONFIRM_MODE_CHANGE,
    IDC_OPT_KEEP_ICON_LAYOUT,
};

static const UINT PLACE_FLAGS = SWP_NOZORDER | SWP_NOACTIVATE;
static const UINT MOVE_FLAGS = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

// Moves a control to a laid-out pixel place (see DialogPixelsX).
static void MoveTo(HWND window, int x, int y)
{
    HWND dialog = GetParent(window);
    SetWindowPos(window, nullptr, DialogPixelsX(dialog, x), DialogPixelsY(dialog, y), 0, 0, MOVE_FLAGS);
}

// Places a control at a laid-out pixel place, as wide as the content column.
static void PlaceInColumn(HWND window, int y, int height)
{
    HWND dialog = GetParent(window);
    RECT client;
    GetClientRect(dialog, &client);
    int margin = DialogPixelsX(dialog, CONTENT_MARGIN);
    SetWindowPos(window, nullptr, margin, DialogPixelsY(dialog, y), client.right - 2 * margin,
                 DialogPixelsY(dialog, height), PLACE_FLAGS);
}

static void PlaceAt(HWND window, int x, int y, int width, int height)
{
    SetWindowPos(window, nullptr, x, y, width, height, PLACE_FLAGS);
}

static void LoadOptions(ExtPropState *state, HWND dialog)
{
    for (int i = 0; i < OPTION_COUNT; i++)
        state->optionCheckBoxes[i] = GetDlgItem(dialog, OptionCheckBoxIds[i]);
    if (!state->canvas.gradientFill)
        SetStyleBits(state->optionCheckBoxes[OPT_FILL_BACKGROUND_WITH_GRADIENT], 0, WS_DISABLED);
    LoadDialogOptions(state->options, OPTION_DEFAULTS);
}

static void AddTabIcon(HIMAGELIST list, int id)
{
    HICON icon =
        static_cast<HICON>(LoadImageW(InstanceHandle, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_SHARED));
    ImageList_AddIcon(list, icon);
}

static void SetUpTabControl(ExtPropState *state, HWND dialog, int width, int height)
{
    state->tabControl = GetDlgItem(dialog, IDC_TAB_CONTROL);
    SetStyleBits(state->tabControl, 0, TCS_OWNERDRAWFIXED | TCS_TOOLTIPS);
    PlaceAt(state->tabControl, 4, 4, width - 8, height - DialogPixelsY(dialog, 46));

    state->tabImages = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, TAB_COUNT, 0);
    AddTabIcon(state->tabImages, IDI_TAB_SCREEN);
    AddTabIcon(state->tabImages, IDI_TAB_WINDOW);
    AddTabIcon(state->tabImages, IDI_TAB_ICONS);
    AddTabIcon(state->tabImages, IDI_TAB_SETTINGS);
    AddTabIcon(state->tabImages, IDI_TAB_ABOUT);
    AddTabIcon(state->tabImages, IDI_TAB_SCREEN); // a profile is an arrangement of screens
    SendMessageW(state->tabControl, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->tabImages));
    SetWindowSubclass(state->tabControl, TabCtrlProc, 0, reinterpret_cast<DWORD_PTR>(state));

    // Each goes in front, so the strip reads Screen, Windows, Icons, Settings, About, Profiles.
    InsertTab(state->tabControl, L"Profiles", TAB_PROFILES);
    InsertTab(state->tabControl, L"About", TAB_ABOUT);
    InsertTab(state->tabControl, L"Settings", TAB_SETTINGS);
    InsertTab(state->tabControl, L"Icons", TAB_ICONS);
    InsertTab(state->tabControl, L"Windows", TAB_WINDOWS);
    InsertTab(state->tabControl, L"Screen", TAB_SCREEN);
}

static void CentreOnMonitor(HWND dialog, POINT point)
{
    RECT rect;
    GetWindowRect(dialog, &rect);
    CenterRectOnMonitor(point, &rect);
    SetWindowPos(dialog, nullptr, rect.left, rect.top, 0, 0, MOVE_FLAGS);
}

static HWND CreateChild(HWND dialog, const wchar_t *className, DWORD style, int width, int height, int id)
{
    HWND child = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, width, height,
                                 dialog, nullptr, InstanceHandle, nullptr);
    if (child && id)
        SetWindowLongPtrW(child, GWLP_ID, id);
    return child;
}

static void CreatePrimaryCheckBox(ExtPropState *state, HWND dialog)
{
    HWND box =
        CreateChild(dialog, L"BUTTON", WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, IDC_PRIMARY_CHECK_BOX);
    state->canvas.primaryCheckBox = box;
    PlaceInColumn(box, 344, 20);
    SetWindowTextW(box, L"Use this screen as primary display");
    SendMessageW(box, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
}

// "&Identify" at the right end of the primary check box's line; the box gives it room.
static void CreateIdentifyButton(ExtPropState *state, HWND dialog)
{
    HWND button = CreateChild(dialog, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, 0, IDC_IDENTIFY_BUTTON);
    SetWindowTextW(button, L"&Identify");
    SendMessageW(button, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    RECT box;
    GetWindowRectIn(state->canvas.primaryCheckBox, &box, dialog);
    int width = DialogPixelsX(dialog, 80), height = DialogPixelsY(dialog, 23);
    int left = box.right - width;
    PlaceAt(button, left, box.top, width, height); // the screen list lies right above
    PlaceAt(state->canvas.primaryCheckBox, box.left, box.top, left - box.left - DialogPixelsX(dialog, 8),
            box.bottom - box.top);
}

static void CreateCombos(ExtPropState *state, HWND dialog)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_USEREX_CLASSES};
    InitCommonControlsEx(&controls);
    CanvasState &canvas = state->canvas;

    canvas.screenCombo = CreateChild(dialog, WC_COMBOBOXEXW, WS_TABSTOP | CBS_DROPDOWNLIST, 0, 120, 0);
    FillScreenCombo(&canvas);
    PlaceInColumn(canvas.screenCombo, 316, 245);

    canvas.windowCombo =
        CreateChild(dialog, WC_COMBOBOXEXW, WS_TABSTOP | CBS_DROPDOWNLIST, 0, 125, IDC_WINDOW_COMBO);
    SendMessageW(canvas.windowCombo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(canvas.windowImages));
    state->icons.combo = canvas.windowCombo;

    RECT frame;
    GetWindowRectIn(canvas.canvasFrame, &frame, dialog);
    PlaceAt(canvas.backdrop, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
    PlaceInColumn(canvas.windowCombo, 316, 125);
    ShowWindow(canvas.windowCombo, SW_HIDE);
}

// On the combo label's line, right-aligned in the right half; shown on the Icons tab.
static void CreateIconStatus(ExtPropState *state, HWND dialog)
{
    RECT client, label;
    GetClientRect(dialog, &client);
    GetWindowRectIn(state->comboLabel, &label, dialog);
    int margin = DialogPixelsX(dialog, CONTENT_MARGIN);
    state->iconStatus = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_RIGHT | SS_NOPREFIX,
                                        client.right / 2, label.top, client.right / 2 - margin,
                                        label.bottom - label.top, dialog, nullptr, InstanceHandle, nullptr);
    SendMessageW(state->iconStatus, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
}

// The opening selects its tab without the switch, so the record is set here.
static void ChooseStartingTab(ExtPropState *state)
{
    CanvasState &canvas = state->canvas;
    state->currentTab = canvas.screenCount == 1 ? TAB_WINDOWS : TAB_SCREEN;
    canvas.mode = CanvasModeOfTab(state->currentTab);
    if (canvas.screenCount == 1) {
        // The Screen page is not offered with a single display.
        SendMessageW(state->tabControl, TCM_SETCURSEL, TAB_WINDOWS, 0);
        ShowWindow(canvas.screenCombo, SW_HIDE);
        ShowWindow(canvas.primaryCheckBox, SW_HIDE);
        ShowWindow(GetDlgItem(state->dialogWindow, IDC_IDENTIFY_BUTTON), SW_HIDE);
        ShowWindow(canvas.windowCombo, SW_SHOW);
        ShowTabLabels(state, TAB_WINDOWS);
    } else {
        SendMessageW(state->tabControl, TCM_SETCURSEL, TAB_SCREEN, 0);
        ShowTabLabels(state, TAB_SCREEN);
    }
}

static void StackCanvasAndPages(ExtPropState *state)
{
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE;
    const CanvasState &canvas = state->canvas;
    SetWindowPos(canvas.windowMiniature, canvas.canvasFrame, 0, 0, 0, 0, flags);
    SetWindowPos(canvas.backdrop, canvas.windowMiniature, 0, 0, 0, 0, flags);
    for (int i = 0; i < OPTION_COUNT; i++)
        SetWindowPos(state->optionCheckBoxes[i], canvas.backdrop, 0, 0, 0, 0, flags);
    const ProfilesPage &page = state->profiles;
    for (HWND control : {page.list, page.nameLabel, page.nameEdit, page.renameButton, page.deleteButton,
                         page.hotkeyLabel, page.hotkey, page.autoApply, page.warning})
        SetWindowPos(control, canvas.backdrop, 0, 0, 0, 0, flags);
}

int InitExtPropDialog(ExtPropState *state)
{
    HWND dialog = state->dialogWindow;
    RECT client;
    GetClientRect(dialog, &client);

    SetUpCanvas(&state->canvas, dialog, state->options);
    LoadOptions(state, dialog);
    SetUpTabControl(state, dialog, client.right, client.bottom);

    if (!SetUpIconPage(&state->icons, dialog, nullptr, state->canvas.desktopMiniature))
        return 0;
    state->canvas.overlay = state->icons.viewWindow;

    state->hintLabel = GetDlgItem(dialog, IDC_HINT_LABEL);
    MoveTo(state->hintLabel, 9, 30);
    state->comboLabel = GetDlgItem(dialog, IDC_COMBO_LABEL);
    MoveTo(state->comboLabel, 9, 300);

    PlaceInColumn(state->canvas.canvasFrame, 47, 248);
    LayoutCanvas(&state->canvas);
    RebuildScreenFonts(&state->canvas);
    CentreOnMonitor(dialog, state->openingPoint);

    CreatePrimaryCheckBox(state, dialog);
    CreateIdentifyButton(state, dialog);
    state->okButton = GetDlgItem(dialog, IDC_OK);
    SendMessageW(dialog, DM_SETDEFID, IDC_OK, 0);
    CreateCombos(state, dialog);
    CreateIconStatus(state, dialog);
    SetUpProfilesPage(state);

    state->futureFeaturesText = GetDlgItem(dialog, IDC_FUTURE_FEATURES);
    state->aboutText = GetDlgItem(dialog, IDC_ABOUT_TEXT);
    state->knownBugsText = GetDlgItem(dialog, IDC_KNOWN_BUGS);
    state->webLink = GetDlgItem(dialog, IDC_WEB_LINK);
    state->mailLink = GetDlgItem(dialog, IDC_MAIL_LINK);
    SetUpAboutPage(state);

    ChooseStartingTab(state);
    PlaceAboutPage(state);
    StackCanvasAndPages(state);
    FitDialogToWorkArea(state);
    KeepWindowOnMonitors(dialog);
    SetFocus(state->okButton);
    state->taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    SetTimer(dialog, ICON_SHELL_TIMER_ID, ICON_SHELL_TIMER_MS, nullptr);
    PostMessageW(dialog, WM_PREPARE_ICONS, 0, 0);
    return 1;
}

void CloseExtPropDialog(ExtPropState *state, INT_PTR result)
{
    KillTimer(state->dialogWindow, ICON_SHELL_TIMER_ID);
    KillTimer(state->dialogWindow, ICON_LOAD_TIMER_ID);
    ReleaseCanvas(&state->canvas);
    ReleaseIconPage(&state->icons);
    RemoveWindowSubclass(state->tabControl, TabCtrlProc, 0);
    RemoveWindowSubclass(state->webLink, LinkButtonProc, 0);
    RemoveWindowSubclass(state->mailLink, LinkButtonProc, 0);
    if (state->linkFont)
        DeleteObject(state->linkFont);
    state->linkFont = nullptr;
    if (state->tabImages)
        ImageList_Destroy(state->tabImages);
    state->tabImages = nullptr;
    EndDialog(state->dialogWindow, result);
}

static void FillWithColor(HDC dc, const RECT &rect, COLORREF color)
{
    ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.handle);
}

BOOL EraseDialogBackground(ExtPropState *state, HDC dc)
{
    HWND dialog = state->dialogWindow;
    // During BeginPaint the update region is already taken: the clip box holds it then.
    if (!GetUpdateRect(dialog, &state->updateRect, FALSE) || IsRectEmpty(&state->updateRect))
        GetClipBox(dc, &state->updateRect);
    RECT tabs;
    GetWindowRectIn(state->tabControl, &tabs, dialog);
    const RECT &update = state->updateRect;
    if (update.left > tabs.left && update.top > tabs.top && update.right < tabs.right &&
        update.bottom < tabs.bottom)
        return TRUE;
    ExcludeClipRect(dc, tabs.left, tabs.top, tabs.right, tabs.bottom);
    FillWithColor(dc, update, GetSysColor(COLOR_BTNFACE));
    return TRUE;
}
