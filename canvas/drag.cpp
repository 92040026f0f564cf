// Pointer handling of the canvas. On the Screen tab a press selects a screen
// and keeps the pointer where the item would stay inside the frame; nothing
// moves. On the Windows tab the miniature follows the pointer and the real
// window follows the miniature. A drag begins with the press.
#include "canvas/canvas.h"
#include "dialog/ext_prop.h"

DragPointer LastDragPointer;

RECT ScreenPressConfinement(const RECT &frameClient, const RECT &item, POINT pointer)
{
    RECT confined;
    confined.left = frameClient.left + (pointer.x - item.left);
    confined.top = frameClient.top + (pointer.y - item.top);
    confined.right = frameClient.right + (pointer.x - item.right);
    confined.bottom = frameClient.bottom + (pointer.y - item.bottom);
    return confined;
}

static bool MiniatureHolds(const ExtPropState *state, POINT cursor)
{
    RECT miniature;
    return IsWindowVisible(state->windowMiniature) && GetWindowRect(state->windowMiniature, &miniature) &&
           PtInRect(&miniature, cursor);
}

static void PressScreen(ExtPropState *state, int x, int y)
{
    int screen = SelectScreenAtCursor();
    if (screen < 0)
        return;
    RECT item;
    GetWindowRectIn(state->screenItems[screen], &item, state->dialogWindow);
    state->dragOffset = {item.left - x, item.top - y};
    state->dragging = TRUE;
    RECT frame;
    GetClientRect(state->canvasFrame, &frame);
    RectClientToScreen(state->canvasFrame, &frame);
    RECT confined = ScreenPressConfinement(frame, item, {x, y});
    ClipCursor(&confined);
    SetCapture(state->dialogWindow);
}

// The pointer is not confined: the miniature may leave the frame.
static void PressMiniature(ExtPropState *state, POINT cursor)
{
    if (!MiniatureHolds(state, cursor))
        return;
    RECT miniature;
    GetWindowRect(state->windowMiniature, &miniature);
    state->dragOffset = {miniature.left - cursor.x, miniature.top - cursor.y};
    state->dragging = TRUE;
    SetCapture(state->dialogWindow);
}

LRESULT OnCanvasButtonDown(DWORD, int x, int y)
{
    ExtPropState *state = ActiveExtPropState;
    POINT cursor;
    if (!GetCursorPos(&cursor))
        return 0;
    if (state->currentTab == TAB_SCREEN)
        PressScreen(state, x, y);
    else if (state->currentTab == TAB_WINDOWS)
        PressMiniature(state, cursor);
    return 0;
}

static void EndWindowDrag(ExtPropState *state)
{
    state->dragging = FALSE;
    ReleaseCapture();
    StopSyncTimer();
    CollapseMiniature(state);
}

// The real window takes the place the miniature had before this move, then
// the miniature goes under the pointer: the window lags by one move until the
// timer brings the miniature back over it.
LRESULT OnCanvasMouseMove(DWORD keys, int x, int y)
{
    ExtPropState *state = ActiveExtPropState;
    if (state->currentTab != TAB_WINDOWS)
        return 0;
    if (!IsWindow(state->targetWindow)) {
        EndWindowDrag(state);
        return 0;
    }
    StopSyncTimer();
    DragPointer pointer = {(short)x, (short)y, keys};
    if (pointer.x == LastDragPointer.x && pointer.y == LastDragPointer.y &&
        pointer.keys == LastDragPointer.keys)
        return 0;
    LastDragPointer = pointer;
    MoveTargetToMiniature();
    MoveWindowToClientPoint(state->windowMiniature, nullptr, state->dragOffset.x + x, state->dragOffset.y + y,
                            0, 0, SWP_NOSIZE | SWP_NOZORDER, state->dialogWindow);
    InvalidateScreenItems(state);
    RedrawWindow(state->dialogWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MarkWindowsMoved();
    return 0;
}

LRESULT OnCanvasButtonUp(DWORD, int, int)
{
    ExtPropState *state = ActiveExtPropState;
    if (state->currentTab == TAB_SCREEN) {
        state->dragging = FALSE;
        ClipCursor(nullptr);
        ReleaseCapture();
    } else if (state->currentTab == TAB_WINDOWS) {
        state->dragging = FALSE;
        StartSyncTimer();
        ReleaseCapture();
    }
    return 0;
}

void EndCanvasPress()
{
    ExtPropState *state = ActiveExtPropState;
    if (!state->dragging)
        return;
    state->dragging = FALSE;
    if (state->currentTab == TAB_SCREEN)
        ClipCursor(nullptr);
}

BOOL OnCanvasSetCursor(int hitTest)
{
    ExtPropState *state = ActiveExtPropState;
    POINT cursor;
    if (hitTest != HTCLIENT || !GetCursorPos(&cursor))
        return FALSE;
    bool draggable = false;
    if (state->currentTab == TAB_SCREEN) {
        for (int i = 0; i < state->screenCount && i < MAX_SCREEN_ITEMS && !draggable; i++) {
            RECT item;
            draggable = GetWindowRect(state->screenItems[i], &item) && PtInRect(&item, cursor);
        }
    } else if (state->currentTab == TAB_WINDOWS) {
        draggable = MiniatureHolds(state, cursor);
    }
    if (draggable)
        SetCursor(state->moveCursor);
    return draggable;
}
