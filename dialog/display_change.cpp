// The dialog after the platform's monitors changed: canvas rebuilt, dialog kept reachable.
// A mode switch, a monitor attached or removed: the canvas shows the monitors
// present and the dialog stays on a work area.
#include "dialog/display_change.h"

#include "dialog/dialog_fit.h"
#include "dialog/tabs.h"
#include "display/monitors.h"
#include "resources/resource_ids.h"

// The Screen page is offered only with several displays.
static void LeaveScreenPageIfAlone(ExtPropState *state)
{
    RedrawWindow(state->tabControl, nullptr, nullptr, RDW_INVALIDATE);
    if (state->canvas.screenCount != 1 || state->currentTab != TAB_SCREEN)
        return;
    NMHDR header = {state->tabControl, IDC_TAB_CONTROL, (UINT)TCN_SELCHANGING};
    if (!SwitchTab(state, &header, TAB_WINDOWS))
        SendMessageW(state->tabControl, TCM_SETCURSEL, TAB_WINDOWS, 0);
}

void FollowDisplayChange(ExtPropState *state)
{
    CanvasState &canvas = state->canvas;
    // A held press is confined to the old canvas.
    EndCanvasPress(&canvas);
    LayoutCanvas(&canvas);
    // A pending primary choice names a screen by its old index.
    canvas.primaryPending = FALSE;
    RebuildScreenFonts(&canvas);
    FillScreenCombo(&canvas);
    if (state->currentTab == TAB_WINDOWS)
        SyncWindowMiniature(&canvas);
    else if (state->currentTab == TAB_ICONS)
        ReloadCanvasIcons(state);
    LeaveScreenPageIfAlone(state);
    FitDialogToWorkArea(state);
    KeepWindowOnMonitors(state->dialogWindow);
}
