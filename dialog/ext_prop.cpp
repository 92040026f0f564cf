#include "dialog/ext_prop.h"
#include "dialog/tab_pages.h"

#include "display/monitors.h"
#include "shell/platform.h"
#include "shell/tessivon.h"

ExtPropState *ActiveExtPropState;
GradientFillProc GradientFillEntry;
EnumDisplayDevicesProc EnumDisplayDevicesEntry;
ChangeDisplaySettingsExProc DialogChangeDisplaySettingsExEntry;

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
};

static const int ScreenItemIds[MAX_SCREEN_ITEMS] = {IDC_SCREEN_ITEM_1, IDC_SCREEN_ITEM_2, IDC_SCREEN_ITEM_3};

static const UINT PLACE_FLAGS = SWP_NOZORDER | SWP_NOACTIVATE;
static const UINT MOVE_FLAGS = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
static const UINT COLLAPSE_FLAGS = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

// Only one dialog at a time: its state is published through ActiveExtPropState.
static BOOL DialogRunning;

int OpenExtendedProperties(POINT point)
{
    if (DialogRunning)
        return 0;
    DialogRunning = TRUE;
    ExtPropState state = {};
    state.backgroundColor = GetSysColor(COLOR_BTNFACE);
    state.zoomMargin = ZOOM_MARGIN_START;
    state.optionDefaults = OPTION_DEFAULTS;
    state.canvasTimerId = CANVAS_TIMER_ID;
    ActiveExtPropState = &state;
    // The template holds a tab strip and a trackbar.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_EXTENDED_PROPERTIES), nullptr, ExtPropDialogProc,
                    reinterpret_cast<LPARAM>(&point));
    IconViewDestroy(&state.iconView);
    // The state dies with this call; nothing may reach it afterwards.
    ActiveExtPropState = nullptr;
    DialogRunning = FALSE;
    return 1;
}

// USER32's look-ups come from the platform table, where start-up put them
// (and where tests put their stand-ins).
static void BindOptionalFunctions()
{
    GradientFillEntry = ProcAddress<GradientFillProc>(LoadLibraryA("MSIMG32.DLL"), "GradientFill");
    EnumDisplayDevicesEntry = Platform.EnumDisplayDevicesA;
    if (!EnumDisplayDevicesEntry)
        EnumDisplayDevicesEntry = EnumDisplayDevicesFallback;
    DialogChangeDisplaySettingsExEntry = Platform.ChangeDisplaySettingsExA;
}

// Only as many monitors as there are screen items are shown.
static int ShownScreenCount()
{
    int count = CompatGetSystemMetrics(SM_CMONITORS);
    return count < MAX_SCREEN_ITEMS ? count : MAX_SCREEN_ITEMS;
}

static WNDPROC Subclass(HWND window, WNDPROC procedure)
{
    if (!GetWindowLongPtrA(window, GWLP_WNDPROC))
        return nullptr;
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

#define LAID_OUT_BASE_X 6
#define LAID_OUT_BASE_Y 13

// Four by eight dialog units are one base unit each way.
static RECT BaseUnits(HWND dialog)
{
    RECT units = {0, 0, 4, 8};
    if (!MapDialogRect(dialog, &units))
        SetRect(&units, 0, 0, LAID_OUT_BASE_X, LAID_OUT_BASE_Y);
    return units;
}

int DialogPixelsX(HWND dialog, int pixels)
{
    return MulDiv(pixels, BaseUnits(dialog).right, LAID_OUT_BASE_X);
}

int DialogPixelsY(HWND dialog, int pixels)
{
    return MulDiv(pixels, BaseUnits(dialog).bottom, LAID_OUT_BASE_Y);
}

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

static void Collapse(HWND window) { SetWindowPos(window, nullptr, 0, 0, 0, 0, COLLAPSE_FLAGS); }

static void LoadOptions(ExtPropState *state, HWND dialog)
{
    for (int i = 0; i < OPTION_COUNT; i++)
        state->optionCheckBoxes[i] = GetDlgItem(dialog, OptionCheckBoxIds[i]);
    state->optionCount = OPTION_COUNT;
    if (!GradientFillEntry)
        SetStyleBits(state->optionCheckBoxes[OPT_FILL_BACKGROUND_WITH_GRADIENT], 0, WS_DISABLED);
    LoadDialogOptions(state->options, state->optionDefaults);
}

static void SetUpZoomSlider(ExtPropState *state, HWND dialog)
{
    state->zoomSlider = GetDlgItem(dialog, IDC_ZOOM_SLIDER);
    SendMessageA(state->zoomSlider, TBM_SETRANGEMIN, FALSE, ZOOM_MARGIN_MIN);
    SendMessageA(state->zoomSlider, TBM_SETRANGEMAX, FALSE, ZOOM_MARGIN_MAX);
    SendMessageA(state->zoomSlider, TBM_SETPOS, TRUE, state->zoomMargin);
}

static void AddTabIcon(HIMAGELIST list, int id)
{
    HICON icon =
        static_cast<HICON>(LoadImageA(InstanceHandle, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_SHARED));
    ImageList_AddIcon(list, icon);
}

static void SetUpTabControl(ExtPropState *state, HWND dialog, int width, int height)
{
    state->tabControl = GetDlgItem(dialog, IDC_TAB_CONTROL);
    SetStyleBits(state->tabControl, 0, TCS_OWNERDRAWFIXED | TCS_TOOLTIPS);
    PlaceAt(state->tabControl, 4, 4, width - 8, height - DialogPixelsY(dialog, 46));

    state->tabImages = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 5, 0);
    AddTabIcon(state->tabImages, IDI_TAB_SCREEN);
    AddTabIcon(state->tabImages, IDI_TAB_WINDOW);
    AddTabIcon(state->tabImages, IDI_TAB_ICONS);
    AddTabIcon(state->tabImages, IDI_TAB_SETTINGS);
    AddTabIcon(state->tabImages, IDI_TAB_ABOUT);
    SendMessageA(state->tabControl, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->tabImages));
    WNDPROC former = Subclass(state->tabControl, TabCtrlProc);
    if (former)
        TabCtrlFormerProc = former;

    // Each goes in front, so the strip reads Screen, Windows, Icons, Settings, About.
    InsertTab(state->tabControl, "About", TAB_ABOUT);
    InsertTab(state->tabControl, "Settings", TAB_SETTINGS);
    InsertTab(state->tabControl, "Icons", TAB_ICONS);
    InsertTab(state->tabControl, "Windows", TAB_WINDOWS);
    InsertTab(state->tabControl, "Screen", TAB_SCREEN);
}

static void CreateDrawingObjects(ExtPropState *state)
{
    state->hollowBrush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    state->activeCaptionBrush = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));
    state->inactiveCaptionBrush = CreateSolidBrush(GetSysColor(COLOR_INACTIVECAPTION));
    state->moveCursor = LoadCursorA(nullptr, IDC_SIZEALL);
    state->waitCursor = LoadCursorA(nullptr, IDC_WAIT);
    state->windowImages = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 5, 5);
}

static void SetUpCanvasWindows(ExtPropState *state, HWND dialog)
{
    state->backdrop = GetDlgItem(dialog, IDC_BACKDROP);
    state->canvasFrame = GetDlgItem(dialog, IDC_CANVAS_FRAME);
    SetStyleBits(state->canvasFrame, 0, WS_CLIPCHILDREN);
    state->canvasFrameProc = Subclass(state->canvasFrame, CanvasSubclassProc);
    ShowWindow(state->canvasFrame, SW_SHOW);
    state->windowMiniature = GetDlgItem(dialog, IDC_WINDOW_MINIATURE);
    SetParent(state->windowMiniature, state->canvasFrame);
    ShowWindow(state->windowMiniature, SW_HIDE);
    Collapse(state->windowMiniature);
    state->desktopMiniature = GetDlgItem(dialog, IDC_DESKTOP_MINIATURE);
    state->desktopMiniatureProc = Subclass(state->desktopMiniature, CanvasSubclassProc);
}

static void SetUpScreenItems(ExtPropState *state, HWND dialog)
{
    for (int i = MAX_SCREEN_ITEMS - 1; i >= 0; i--) {
        state->screenItems[i] = GetDlgItem(dialog, ScreenItemIds[i]);
        state->screenItemProcs[i] = Subclass(state->screenItems[i], CanvasSubclassProc);
        Collapse(state->screenItems[i]);
        if (i >= state->screenCount)
            ShowWindow(state->screenItems[i], SW_HIDE);
    }
}

static void CreateScreenFonts(ExtPropState *state)
{
    for (int i = 0; i < state->screenCount; i++) {
        RECT item;
        GetWindowRect(state->screenItems[i], &item);
        state->screenFonts[i] = CreateScreenFont(item.bottom - item.top);
        SendMessageA(state->screenItems[i], WM_SETFONT, reinterpret_cast<WPARAM>(state->screenFonts[i]),
                     FALSE);
    }
}

static void CentreOnMonitor(HWND dialog, POINT point)
{
    RECT rect;
    GetWindowRect(dialog, &rect);
    CenterRectOnMonitor(point, &rect);
    SetWindowPos(dialog, nullptr, rect.left, rect.top, 0, 0, MOVE_FLAGS);
}

static HWND CreateChild(HWND dialog, const char *className, DWORD style, int width, int height, int id)
{
    HWND child = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, width, height, dialog,
                                 nullptr, InstanceHandle, nullptr);
    if (child && id)
        SetWindowLongPtrA(child, GWLP_ID, id);
    return child;
}

static void CreatePrimaryCheckBox(ExtPropState *state, HWND dialog)
{
    state->primaryCheckBox =
        CreateChild(dialog, "BUTTON", WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, IDC_PRIMARY_CHECK_BOX);
    PlaceInColumn(state->primaryCheckBox, 344, 20);
    SetWindowTextA(state->primaryCheckBox, "Use this screen as primary display");
    state->dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    SendMessageA(state->primaryCheckBox, WM_SETFONT, reinterpret_cast<WPARAM>(state->dialogFont), FALSE);
}

static void CreateCombos(ExtPropState *state, HWND dialog)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_USEREX_CLASSES};
    InitCommonControlsEx(&controls);

    state->screenCombo = CreateChild(dialog, WC_COMBOBOXEXA, WS_TABSTOP | CBS_DROPDOWNLIST, 0, 120, 0);
    FillScreenCombo(state, dialog, state->screenCombo);
    PlaceInColumn(state->screenCombo, 316, 245);

    state->windowCombo =
        CreateChild(dialog, WC_COMBOBOXEXA, WS_TABSTOP | CBS_DROPDOWNLIST, 0, 125, IDC_WINDOW_COMBO);
    SendMessageA(state->windowCombo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->windowImages));
    state->iconCombo = state->windowCombo;

    RECT frame;
    GetWindowRectIn(state->canvasFrame, &frame, dialog);
    PlaceAt(state->backdrop, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
    PlaceInColumn(state->windowCombo, 316, 125);
    ShowWindow(state->windowCombo, SW_HIDE);
    PlaceInColumn(state->iconCombo, 316, 125);
    ShowWindow(state->iconCombo, SW_HIDE);
}

// The opening selects its tab without the switch, so the record is set here.
static void ChooseStartingTab(ExtPropState *state)
{
    state->currentTab = state->screenCount == 1 ? TAB_WINDOWS : TAB_SCREEN;
    if (state->screenCount == 1) {
        // The Screen page is not offered with a single display.
        SendMessageA(state->tabControl, TCM_SETCURSEL, TAB_WINDOWS, 0);
        ShowWindow(state->screenCombo, SW_HIDE);
        ShowWindow(state->primaryCheckBox, SW_HIDE);
        ShowWindow(state->windowCombo, SW_SHOW);
        ShowTabLabels(state, TAB_WINDOWS);
    } else {
        SendMessageA(state->tabControl, TCM_SETCURSEL, TAB_SCREEN, 0);
        ShowTabLabels(state, TAB_SCREEN);
    }
}

static void StackCanvasAndPages(ExtPropState *state)
{
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(state->windowMiniature, state->canvasFrame, 0, 0, 0, 0, flags);
    SetWindowPos(state->backdrop, state->windowMiniature, 0, 0, 0, 0, flags);
    for (int i = 0; i < OPTION_COUNT; i++)
        SetWindowPos(state->optionCheckBoxes[i], state->backdrop, 0, 0, 0, 0, flags);
}

int InitExtPropDialog(ExtPropState *state, POINT point)
{
    HWND dialog = state->dialogWindow;
    RECT client;
    GetClientRect(dialog, &client);
    int width = client.right;
    int height = client.bottom;

    BindOptionalFunctions();
    state->screenCount = ShownScreenCount();
    LoadWallpaper();
    LoadOptions(state, dialog);
    SetUpZoomSlider(state, dialog);
    SetUpTabControl(state, dialog, width, height);

    state->iconViewWindow = IconViewCreate(&state->iconView, dialog, InstanceHandle, "IconView");
    if (!state->iconViewWindow)
        return 0;
    state->desktopListView = FindDesktopListView();

    state->hintLabel = GetDlgItem(dialog, IDC_HINT_LABEL);
    MoveTo(state->hintLabel, 9, 30);
    state->comboLabel = GetDlgItem(dialog, IDC_COMBO_LABEL);
    MoveTo(state->comboLabel, 9, 300);

    CreateDrawingObjects(state);
    SetUpCanvasWindows(state, dialog);
    state->screenCount = ShownScreenCount();
    SetUpScreenItems(state, dialog);
    PlaceInColumn(state->canvasFrame, 47, 248);
    LayoutCanvas();
    CreateScreenFonts(state);
    CentreOnMonitor(dialog, point);

    CreatePrimaryCheckBox(state, dialog);
    state->okButton = GetDlgItem(dialog, IDC_OK);
    SendMessageA(dialog, DM_SETDEFID, IDC_OK, 0);
    CreateCombos(state, dialog);

    state->futureFeaturesText = GetDlgItem(dialog, IDC_FUTURE_FEATURES);
    state->aboutText = GetDlgItem(dialog, IDC_ABOUT_TEXT);
    state->knownBugsText = GetDlgItem(dialog, IDC_KNOWN_BUGS);
    state->webLink = GetDlgItem(dialog, IDC_WEB_LINK);
    state->mailLink = GetDlgItem(dialog, IDC_MAIL_LINK);
    SetUpAboutPage(state);

    ChooseStartingTab(state);
    PlaceAboutPage(state);
    StackCanvasAndPages(state);
    SetFocus(state->okButton);
    return 1;
}

template <typename Handle> static void DeleteGdiObject(Handle &handle)
{
    if (handle)
        DeleteObject(handle);
    handle = nullptr;
}

static void DestroyImageList(HIMAGELIST &list)
{
    if (list)
        ImageList_Destroy(list);
    list = nullptr;
}

void CloseExtPropDialog(ExtPropState *state, INT_PTR result)
{
    StopSyncTimer();
    EndCanvasPress();
    CommitWindowMoves();
    DeleteWallpaperCache();
    delete[] state->savedIconPositions;
    state->savedIconPositions = nullptr;
    state->savedIconCount = 0;
    for (HFONT &font : state->screenFonts)
        DeleteGdiObject(font);
    DeleteGdiObject(state->linkFont);
    DeleteGdiObject(state->activeCaptionBrush);
    DeleteGdiObject(state->inactiveCaptionBrush);
    DeleteGdiObject(state->wallpaper);
    DestroyImageList(state->screenImages);
    DestroyImageList(state->tabImages);
    DestroyImageList(state->windowImages);
    DestroyImageList(state->iconImages);
    EndDialog(state->dialogWindow, result);
}

BOOL WINAPI EnumDisplayDevicesFallback(LPCSTR device, DWORD index, DISPLAY_DEVICEA *info, DWORD)
{
    if (device || index != 0 || !info || info->cb < sizeof(DISPLAY_DEVICEA))
        return FALSE;
    lstrcpyA(info->DeviceName, "DISPLAY");
    lstrcpyA(info->DeviceString, "DISPLAY");
    info->StateFlags = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE;
    return TRUE;
}

int SetStyleBits(HWND window, LONG clear, LONG set)
{
    LONG style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, (style & ~clear) | set);
    return 1;
}

static int SetApplyDisabled(HWND dialog, bool disabled)
{
    HWND apply = GetDlgItem(dialog, IDC_APPLY);
    SetStyleBits(apply, disabled ? 0 : WS_DISABLED, disabled ? WS_DISABLED : 0);
    RedrawWindow(apply, nullptr, nullptr, RDW_INVALIDATE);
    return 1;
}

int EnableApplyButton(HWND dialog) { return SetApplyDisabled(dialog, false); }

int DisableApplyButton(HWND dialog) { return SetApplyDisabled(dialog, true); }
