// The Screen tab: selecting a screen by its item or in the screen list, and
// making the selected display primary at "&Apply". Monitors are shown where
// they are; nothing here moves them.
#include "canvas/canvas.h"
#include "canvas/gdi_scope.h"
#include "dialog/ext_prop.h"
#include "display/catalogue.h"
#include "display/monitors.h"
#include "shell/platform.h"

static bool IsShownScreen(const ExtPropState *state, int index)
{
    return index >= 0 && index < state->screenCount && index < MAX_SCREEN_ITEMS;
}

static void TickPrimaryCheckBox(ExtPropState *state, int screen)
{
    SendMessageA(state->primaryCheckBox, BM_SETCHECK,
                 screen == state->chosenPrimary ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The highlight of the selected screen moves with the selection.
static void InvalidateScreen(ExtPropState *state, int index)
{
    if (IsShownScreen(state, index))
        RedrawWindow(state->screenItems[index], nullptr, nullptr, RDW_INVALIDATE);
}

void OnScreenListSelChange()
{
    ExtPropState *state = ActiveExtPropState;
    int chosen = (int)SendMessageA(state->screenCombo, CB_GETCURSEL, 0, 0);
    if (chosen == -1 || chosen == state->selectedScreen)
        return;
    int old = state->selectedScreen;
    state->selectedScreen = chosen;
    TickPrimaryCheckBox(state, chosen);
    InvalidateScreen(state, old);
    InvalidateScreen(state, chosen);
}

int SelectScreenAtCursor()
{
    ExtPropState *state = ActiveExtPropState;
    POINT cursor;
    GetCursorPos(&cursor);
    state->selectedScreen = -1;
    for (int i = 0; IsShownScreen(state, i); i++) {
        RECT item;
        GetWindowRect(state->screenItems[i], &item);
        if (PtInRect(&item, cursor)) {
            state->selectedScreen = i;
            TickPrimaryCheckBox(state, i);
            SendMessageA(state->screenCombo, CB_SETCURSEL, i, 0);
        }
        InvalidateScreen(state, i);
    }
    return state->selectedScreen;
}

void OnPrimaryCheckBoxClicked()
{
    ExtPropState *state = ActiveExtPropState;
    if (SendMessageA(state->primaryCheckBox, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        // Clearing drops the choice; "&Apply" stays as it was.
        state->chosenPrimary = -1;
        state->primaryPending = FALSE;
        return;
    }
    state->chosenPrimary = state->selectedScreen;
    if (!state->primaryPending) {
        state->primaryPending = TRUE;
        EnableApplyButton(state->dialogWindow);
    }
}

// The platform's refusal is not reported; the canvas keeps the old positions
// until its next layout.
void ApplyPrimaryDisplay()
{
    ExtPropState *state = ActiveExtPropState;
    int chosen = state->chosenPrimary;
    if (chosen >= 0 && DialogChangeDisplaySettingsExEntry) {
        MonitorMode present = GetMonitorMode(chosen);
        DEVMODEA mode = {};
        mode.dmSize = sizeof(mode);
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        mode.dmBitsPerPel = (DWORD)present.bitsPerPixel;
        mode.dmPelsWidth = (DWORD)present.width;
        mode.dmPelsHeight = (DWORD)present.height;
        char device[CCHDEVICENAME];
        lstrcpynA(device, DisplayDeviceName(chosen), sizeof(device));
        DialogChangeDisplaySettingsExEntry(device, &mode, nullptr, CDS_SET_PRIMARY | CDS_UPDATEREGISTRY,
                                           nullptr);
    }
    state->primaryPending = FALSE;
}

struct MonitorModeSearch {
    int index;
    int visited;
    MonitorMode mode;
};

BOOL CALLBACK GetMonitorModeProc(HMONITOR, HDC deviceContext, LPRECT, LPARAM data)
{
    MonitorModeSearch *search = reinterpret_cast<MonitorModeSearch *>(data);
    if (search->visited == search->index) {
        search->mode.width = Platform.GetDeviceCaps(deviceContext, HORZRES);
        search->mode.height = Platform.GetDeviceCaps(deviceContext, VERTRES);
        search->mode.bitsPerPixel =
            Platform.GetDeviceCaps(deviceContext, PLANES) * Platform.GetDeviceCaps(deviceContext, BITSPIXEL);
    }
    search->visited++;
    return TRUE;
}

MonitorMode GetMonitorMode(int index)
{
    MonitorModeSearch search = {index, 0, {}};
    ScopedWindowDC screen(nullptr);
    CompatEnumDisplayMonitors(screen.dc, nullptr, GetMonitorModeProc, reinterpret_cast<LPARAM>(&search));
    return search.mode;
}
