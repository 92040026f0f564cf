// Pointer handling of the canvas: presses on screen items and drags of the window miniature.
// On the Screen tab a press selects a screen and keeps the pointer where the
// item would stay inside the frame; nothing moves. On the Windows tab the
// miniature follows the pointer and the real window follows the miniature. A
// drag begins with the press.
#include "canvas/canvas.h"

RECT ScreenPressConfinement(const RECT &frameClient, const RECT &item, POINT pointer)
{
    RECT confined;
    confined.left = frameClient.left + (pointer.x - item.left);
    confined.top = frameClient.top + (pointer.y - item.top);
    confined.right = frameClient.right + (pointer.x - item.right);
    confined.bottom = frameClient.bottom + (pointer.y - item.bottom);
    return confined;
}

static bool MiniatureHolds(const CanvasState *state, POINT cursor)
{
    RECT miniature;
    return IsWindowVisible(state->windowMiniature) && GetWindowRect(state->windowMiniature, &miniature) &&
           PtInRect(&miniature, cursor);
}

static void PressScreen(CanvasState *state, int x, int y)
{
    int screen = SelectScreenAtCursor(state);
    if (screen < 0)
        return;
    RECT item;
    GetWindowRectIn(state->screenItems[screen], &item, state->dialog);
    state->dragOffset = {item.left - x, item.top - y};
    state->dragging = TRUE;
    RECT frame;
    GetClientRect(state->canvasFrame, &frame);
    RectClientToScreen(state->canvasFrame, &frame);
    RECT confined = ScreenPressConfinement(frame, item, {x, y});
    ClipCursor(&confined);
    SetCapture(state->dialog);
}

// The pointer is not confined: the miniature may leave the frame.
static void PressMiniature(CanvasState *state, POINT cursor, int x, int y)
{
    if (!MiniatureHolds(state, cursor) || !GetWindowRect(state->targetWindow, &state->dragStart))
        return;
    RECT miniature;
    GetWindowRect(state->windowMiniature, &miniature);
    state->dragOffset = {miniature.left - cursor.x, miniature.top - cursor.y};
    state->dragPress = {x, y};
    state->targetRefused = FALSE;
    state->dragging = TRUE;
    SetCapture(state->dialog);
}

void OnCanvasButtonDown(CanvasState *state, DWORD, int x, int y)
{
    POINT cursor;
    if (!GetCursorPos(&cursor))
        return;
    if (state->mode == CANVAS_SCREENS)
        PressScreen(state, x, y);
    else if (state->mode == CANVAS_WINDOWS)
        PressMiniature(state, cursor, x, y);
}

static void EndWindowDrag(CanvasState *state)
{
    state->dragging = FALSE;
    ReleaseCapture();
    StopSyncTimer(state);
    CollapseMiniature(state);
}

// The miniature goes under the pointer and the real window moves by the
// pointer's travel since the press, so both stand where the pointer is.
static bool DragWindowTo(CanvasState *state, DWORD keys, int x, int y)
{
    DragPointer pointer = {(short)x, (short)y, keys};
    const DragPointer &last = state->lastDragPointer;
    if (pointer.x == last.x && pointer.y == last.y && pointer.keys == last.keys)
        return false;
    state->lastDragPointer = pointer;
    MoveWindowToClientPoint(state->windowMiniature, nullptr, state->dragOffset.x + x, state->dragOffset.y + y,
                            0, 0, SWP_NOSIZE | SWP_NOZORDER, state->dialog);
    MoveTargetByTravel(state, x, y);
    InvalidateScreenItems(state);
    RedrawWindow(state->dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return MarkWindowsMoved(state);
}

bool OnCanvasMouseMove(CanvasState *state, DWORD keys, int x, int y)
{
    if (!state->dragging || state->mode != CANVAS_WINDOWS)
        return false;
    if (!IsWindow(state->targetWindow)) {
        EndWindowDrag(state);
        return false;
    }
    StopSyncTimer(state);
    return DragWindowTo(state, keys, x, y);
}

// The release point counts as a move: the pointer may reach it without a
// move message. A window let go with its title bar beyond every monitor is
// kept where the user can take hold of it.
static bool ReleaseWindow(CanvasState *state, int x, int y)
{
    if (!IsWindow(state->targetWindow)) {
        EndWindowDrag(state);
        return false;
    }
    RECT window;
    auto moved = [&] {
        return GetWindowRect(state->targetWindow, &window) &&
               (window.left != state->dragStart.left || window.top != state->dragStart.top);
    };
    if (moved() || x != state->dragPress.x || y != state->dragPress.y)
        DragWindowTo(state, MK_LBUTTON, x, y);
    // Only a window this drag moved: a click leaves any window where it is.
    if (!state->targetRefused && moved()) {
        RECT kept = KeepTitleBarReachable(window);
        if (!EqualRect(&kept, &window))
            PlaceTargetWindow(state, kept.left, kept.top);
    }
    state->dragging = FALSE;
    StartSyncTimer(state);
    ReleaseCapture();
    return state->targetRefused;
}

bool OnCanvasButtonUp(CanvasState *state, DWORD, int x, int y)
{
    if (!state->dragging)
        return false;
    if (state->mode == CANVAS_SCREENS) {
        state->dragging = FALSE;
        ClipCursor(nullptr);
        ReleaseCapture();
    } else if (state->mode == CANVAS_WINDOWS) {
        return ReleaseWindow(state, x, y);
    }
    return false;
}

void EndCanvasPress(CanvasState *state)
{
    if (!state->dragging)
        return;
    state->dragging = FALSE;
    if (state->mode == CANVAS_SCREENS)
        ClipCursor(nullptr);
}

BOOL OnCanvasSetCursor(CanvasState *state, int hitTest)
{
    POINT cursor;
    if (hitTest != HTCLIENT || !GetCursorPos(&cursor))
        return FALSE;
    bool draggable = false;
    if (state->mode == CANVAS_SCREENS) {
        for (int i = 0; i < ShownScreenItems(state) && !draggable; i++) {
            RECT item;
            draggable = GetWindowRect(state->screenItems[i], &item) && PtInRect(&item, cursor);
        }
    } else if (state->mode == CANVAS_WINDOWS) {
        draggable = MiniatureHolds(state, cursor);
    }
    if (draggable)
        SetCursor(state->moveCursor);
    return draggable;
}
