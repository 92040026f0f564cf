// The dialog kept within reach: fitted to a low work area and kept on the monitors.
#include "dialog/dialog_fit.h"

#include "dialog/dialog_tools.h"
#include "display/monitors.h"

static const UINT PLACE_FLAGS = SWP_NOZORDER | SWP_NOACTIVATE;
static const UINT MOVE_FLAGS = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

static bool InSomeWorkArea(POINT point)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR monitor = CompatMonitorFromPoint(point, MONITOR_DEFAULTTONULL);
    return monitor && CompatGetMonitorInfo(monitor, &info) && PtInRect(&info.rcWork, point);
}

bool KeepWindowOnMonitors(HWND window)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    const POINT corners[] = {{rect.left, rect.top},
                             {rect.right - 1, rect.top},
                             {rect.left, rect.bottom - 1},
                             {rect.right - 1, rect.bottom - 1}};
    bool fits = true;
    for (POINT corner : corners)
        fits = fits && InSomeWorkArea(corner);
    if (fits)
        return false;
    RECT kept = KeepRectInArea(rect, NearestWorkArea(rect));
    SetWindowPos(window, nullptr, kept.left, kept.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

// The least height the canvas keeps on a low screen, in laid-out pixels.
#define CANVAS_LEAST_HEIGHT 100

static void ShiftAndGrow(HWND window, int down, int grow)
{
    HWND dialog = GetParent(window);
    RECT rect;
    GetWindowRectIn(window, &rect, dialog);
    SetWindowPos(window, nullptr, rect.left, rect.top + down, rect.right - rect.left,
                 rect.bottom - rect.top + grow, PLACE_FLAGS);
}

// Spaces the controls, in the order given, from the first one's top so that
// the last ends above limit; never wider apart than they were.
static void SqueezeColumn(const HWND *controls, int count, int limit)
{
    HWND dialog = GetParent(controls[0]);
    RECT first, last;
    GetWindowRectIn(controls[0], &first, dialog);
    GetWindowRectIn(controls[count - 1], &last, dialog);
    int span = last.top - first.top, room = limit - (last.bottom - last.top) - first.top;
    if (span <= 0 || room >= span)
        return;
    room = room < 0 ? 0 : room;
    for (int i = 0; i < count; i++) {
        RECT rect;
        GetWindowRectIn(controls[i], &rect, dialog);
        SetWindowPos(controls[i], nullptr, rect.left, first.top + MulDiv(rect.top - first.top, room, span), 0,
                     0, MOVE_FLAGS);
    }
}

static bool IsOptionCheckBox(const ExtPropState *state, HWND window)
{
    for (HWND box : state->optionCheckBoxes)
        if (box == window)
            return true;
    return false;
}

void FitDialogToWorkArea(ExtPropState *state)
{
    HWND dialog = state->dialogWindow;
    RECT window, frame, tabs;
    GetWindowRect(dialog, &window);
    RECT work = NearestWorkArea(window);
    GetWindowRectIn(state->canvas.canvasFrame, &frame, dialog);
    int excess = (window.bottom - window.top) - (work.bottom - work.top);
    int spare = frame.bottom - frame.top - DialogPixelsY(dialog, CANVAS_LEAST_HEIGHT);
    int give = excess < spare ? excess : spare;
    if (give <= 0)
        return;
    // The miniature gives up the room: what lies below it moves up, what
    // spans it shrinks.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRectIn(child, &rect, dialog);
        if (rect.top >= frame.bottom && !IsOptionCheckBox(state, child))
            ShiftAndGrow(child, -give, 0);
    }
    const ProfilesPage &page = state->profiles;
    for (HWND spanning : {state->tabControl, state->canvas.canvasFrame, state->canvas.backdrop, page.list})
        ShiftAndGrow(spanning, 0, -give);
    // The Profiles page stands in the canvas's column, its list in the miniature's place.
    for (HWND below : {page.nameLabel, page.nameEdit, page.renameButton, page.deleteButton, page.hotkeyLabel,
                       page.hotkey, page.autoApply, page.warning})
        ShiftAndGrow(below, -give, 0);
    GetWindowRectIn(state->tabControl, &tabs, dialog);
    int limit = tabs.bottom - DialogPixelsY(dialog, CONTENT_MARGIN);
    SqueezeColumn(state->optionCheckBoxes, OPTION_COUNT, limit);
    HWND about[] = {state->aboutText, state->knownBugsText, state->futureFeaturesText};
    SqueezeColumn(about, 3, limit);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - give,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutCanvas(&state->canvas);
}
