// The Screen tab: a screen selected by its item or in the list, and made primary at "&Apply".
// Monitors are shown where they are; nothing here moves them.
#include "canvas/canvas.h"

#include <commctrl.h>

#include "base/facts.h"
#include "base/platform.h"
#include "base/scoped.h"
#include "display/catalogue.h"
#include "resources/resource_ids.h"

static bool IsShownScreen(const CanvasState *state, int index)
{
    return index >= 0 && index < ShownScreenItems(state);
}

static void TickPrimaryCheckBox(CanvasState *state, int screen)
{
    SendMessageW(state->primaryCheckBox, BM_SETCHECK,
                 screen == state->chosenPrimary ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The highlight of the selected screen moves with the selection.
static void InvalidateScreen(CanvasState *state, int index)
{
    if (IsShownScreen(state, index))
        RedrawWindow(state->screenItems[index], nullptr, nullptr, RDW_INVALIDATE);
}

void OnScreenListSelChange(CanvasState *state)
{
    int chosen = (int)SendMessageW(state->screenCombo, CB_GETCURSEL, 0, 0);
    if (chosen == -1 || chosen == state->selectedScreen)
        return;
    int old = state->selectedScreen;
    state->selectedScreen = chosen;
    TickPrimaryCheckBox(state, chosen);
    InvalidateScreen(state, old);
    InvalidateScreen(state, chosen);
}

int SelectScreenAtCursor(CanvasState *state)
{
    POINT cursor;
    GetCursorPos(&cursor);
    state->selectedScreen = -1;
    for (int i = 0; IsShownScreen(state, i); i++) {
        RECT item;
        GetWindowRect(state->screenItems[i], &item);
        if (PtInRect(&item, cursor)) {
            state->selectedScreen = i;
            TickPrimaryCheckBox(state, i);
            SendMessageW(state->screenCombo, CB_SETCURSEL, i, 0);
        }
        InvalidateScreen(state, i);
    }
    return state->selectedScreen;
}

bool OnPrimaryCheckBoxClicked(CanvasState *state)
{
    if (SendMessageW(state->primaryCheckBox, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        // Clearing drops the choice; "&Apply" stays as it was.
        state->chosenPrimary = -1;
        state->primaryPending = FALSE;
        return false;
    }
    state->chosenPrimary = state->selectedScreen;
    if (state->primaryPending)
        return false;
    state->primaryPending = TRUE;
    return true;
}

static HIMAGELIST LoadScreenPictures()
{
    HIMAGELIST pictures = ImageList_Create(24, 20, ILC_COLOR4 | ILC_MASK, 4, 4);
    ScopedGdiObject<HBITMAP> strip(LoadBitmapW(InstanceHandle, MAKEINTRESOURCEW(IDB_SCREEN_PICTURES)));
    if (pictures && strip.handle)
        ImageList_AddMasked(pictures, strip.handle, RGB(255, 0, 255));
    return pictures;
}

// The strip has pictures "1" to "4"; further screens get a monitor drawn with
// their number.
static void AddNumberedPicture(HIMAGELIST pictures, int index)
{
    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC dc(screen.dc);
    ScopedGdiObject<HBITMAP> picture(CreateCompatibleBitmap(screen.dc, 24, 20));
    {
        ScopedSelection selected(dc.dc, picture.handle);
        RECT all = {0, 0, 24, 20}, stand = {9, 16, 15, 19}, panel = {1, 1, 23, 16};
        ScopedGdiObject<HBRUSH> magenta(CreateSolidBrush(RGB(255, 0, 255)));
        FillRect(dc.dc, &all, magenta.handle);
        FillRect(dc.dc, &stand, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        FillRect(dc.dc, &panel, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&panel, -1, -1);
        ScopedGdiObject<HBRUSH> teal(CreateSolidBrush(RGB(0, 128, 128)));
        FillRect(dc.dc, &panel, teal.handle);
        wchar_t number[12];
        ScreenNumberText(index, number);
        SetBkMode(dc.dc, TRANSPARENT);
        SetTextColor(dc.dc, RGB(255, 255, 255));
        ScopedSelection font(dc.dc, GetStockObject(ANSI_VAR_FONT));
        DrawTextW(dc.dc, number, -1, &panel, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP);
    }
    ImageList_AddMasked(pictures, picture.handle, RGB(255, 0, 255));
}

// Stands in for a platform without EnumDisplayDevices: one device named "DISPLAY".
static BOOL EnumDisplayDevice(DWORD index, DISPLAY_DEVICEW *device)
{
    if (Platform.EnumDisplayDevicesW)
        return Platform.EnumDisplayDevicesW(nullptr, index, device, 0);
    if (index != 0)
        return FALSE;
    lstrcpyW(device->DeviceName, L"DISPLAY");
    lstrcpyW(device->DeviceString, L"DISPLAY");
    device->StateFlags = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP | DISPLAY_DEVICE_PRIMARY_DEVICE;
    return TRUE;
}

bool FillScreenCombo(CanvasState *state)
{
    if (!state->screenImages)
        state->screenImages = LoadScreenPictures();
    for (int i = ImageList_GetImageCount(state->screenImages); i >= 0 && i < state->screenCount; i++)
        AddNumberedPicture(state->screenImages, i);
    HWND combo = state->screenCombo;
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    DISPLAY_DEVICEW device = {};
    device.cb = sizeof(device);
    for (int i = 0; i < state->screenCount; i++) {
        if (!EnumDisplayDevice(i, &device))
            break;
        COMBOBOXEXITEMW entry = {};
        entry.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        entry.iItem = i;
        entry.pszText = device.DeviceString;
        entry.cchTextMax = lstrlenW(device.DeviceString);
        entry.iImage = i;
        entry.iSelectedImage = i;
        if (SendMessageW(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry)) == -1)
            return false;
    }
    SendMessageW(combo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->screenImages));
    if (state->selectedScreen < 0 || state->selectedScreen >= state->screenCount)
        state->selectedScreen = 0;
    SendMessageW(combo, CB_SETCURSEL, state->selectedScreen, 0);
    TickPrimaryCheckBox(state, state->selectedScreen);
    return true;
}
