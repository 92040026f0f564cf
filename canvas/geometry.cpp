// The canvas's geometry: scale, layout of the frame and miniature, and coordinate conversions.
#include "canvas/canvas.h"

#include <commctrl.h>

#include <vector>

#include "display/displays.h"
#include "display/monitors.h"

static const UINT PLACE_FLAGS = SWP_NOZORDER | SWP_NOACTIVATE;

int ScaleToCanvas(int value, float scale) { return (int)((double)value * (double)scale); }

int ScaleToDesktop(int value, float scale) { return (int)((double)value * (1.0 / (double)scale)); }

CanvasLayout ComputeCanvasLayout(const RECT &frame, int zoomMargin, int desktopWidth, int desktopHeight)
{
    CanvasLayout layout = {};
    int availW = frame.right - zoomMargin - frame.left;
    int availH = frame.bottom - zoomMargin - frame.top;
    // A scale of zero or below would leave nothing to draw and no way back to
    // desktop coordinates.
    if (availW < 1)
        availW = 1;
    if (availH < 1)
        availH = 1;
    if (desktopWidth < 1)
        desktopWidth = 1;
    if (desktopHeight < 1)
        desktopHeight = 1;
    double sx = (double)availW / desktopWidth;
    float sy = (float)((double)availH / desktopHeight);
    layout.scale = (double)sy <= sx ? sy : (float)sx;
    layout.miniWidth = ScaleToCanvas(desktopWidth, layout.scale);
    layout.miniHeight = ScaleToCanvas(desktopHeight, layout.scale);
    layout.desktopOrigin.x = frame.left + zoomMargin / 2 + (availW - layout.miniWidth) / 2;
    layout.desktopOrigin.y = frame.top + zoomMargin / 2 + (availH - layout.miniHeight) / 2;
    return layout;
}

RECT DesktopRectToCanvas(const RECT &desktop, POINT virtualCorner, POINT desktopOrigin, float scale)
{
    RECT canvas;
    canvas.left = desktopOrigin.x + ScaleToCanvas(desktop.left - virtualCorner.x, scale);
    canvas.top = desktopOrigin.y + ScaleToCanvas(desktop.top - virtualCorner.y, scale);
    // The size is scaled on its own, not as the difference of scaled corners.
    canvas.right = canvas.left + ScaleToCanvas(desktop.right - desktop.left, scale);
    canvas.bottom = canvas.top + ScaleToCanvas(desktop.bottom - desktop.top, scale);
    return canvas;
}

RECT CenterRectInArea(const RECT &rect, const RECT &area)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    RECT centred;
    centred.left = area.left + (area.right - area.left - width) / 2;
    centred.top = area.top + (area.bottom - area.top - height) / 2;
    centred.right = centred.left + width;
    centred.bottom = centred.top + height;
    return centred;
}

RECT KeepRectInArea(const RECT &rect, const RECT &area)
{
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int left = rect.left, top = rect.top;
    if (left + width > area.right)
        left = area.right - width;
    if (top + height > area.bottom)
        top = area.bottom - height;
    if (left < area.left)
        left = area.left;
    if (top < area.top)
        top = area.top;
    return {left, top, left + width, top + height};
}

POINT VirtualScreenCorner()
{
    return {CompatGetSystemMetrics(SM_XVIRTUALSCREEN), CompatGetSystemMetrics(SM_YVIRTUALSCREEN)};
}

// At most the window's width of its title bar must lie on a work area for the
// user to take hold of it.
static const int TITLE_BAR_GRIP = 40;

static LONG Clamp(LONG value, LONG low, LONG high) { return value < low ? low : value > high ? high : value; }

static int Grip(const RECT &window)
{
    return window.right - window.left < TITLE_BAR_GRIP ? window.right - window.left : TITLE_BAR_GRIP;
}

static bool TitleBarFits(const RECT &window, int titleHeight, const RECT &work)
{
    LONG shared = (window.right < work.right ? window.right : work.right) -
                  (window.left > work.left ? window.left : work.left);
    return window.top >= work.top && window.top + titleHeight <= work.bottom && shared >= Grip(window);
}

RECT KeepTitleBarInArea(const RECT &window, int titleHeight, const RECT &work, int grip)
{
    LONG width = window.right - window.left, height = window.bottom - window.top;
    if (grip > width)
        grip = width;
    LONG top = Clamp(window.top, work.top, work.bottom - titleHeight);
    top = top < work.top ? work.top : top;
    LONG left = Clamp(window.left, work.left - width + grip, work.right - grip);
    return {left, top, left + width, top + height};
}

bool OnSomeWorkArea(const RECT &rect)
{
    for (const DisplayRecord &display : ReadDisplays()) {
        const RECT &work = display.workRect;
        RECT common;
        if (IntersectRect(&common, &rect, &work) && EqualRect(&common, &rect))
            return true;
    }
    return false;
}

RECT NearestWorkArea(const RECT &rect)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!CompatGetMonitorInfo(CompatMonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info))
        return rect;
    return info.rcWork;
}

RECT KeepTitleBarReachable(const RECT &window)
{
    int titleHeight = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    for (const DisplayRecord &display : ReadDisplays())
        if (TitleBarFits(window, titleHeight, display.workRect))
            return window;
    RECT titleBar = {window.left, window.top, window.right, window.top + titleHeight};
    return KeepTitleBarInArea(window, titleHeight, NearestWorkArea(titleBar), TITLE_BAR_GRIP);
}

static void PlaceWindow(HWND window, const RECT &rect)
{
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 PLACE_FLAGS);
}

void LayoutCanvas(CanvasState *state)
{
    int desktopWidth = CompatGetSystemMetrics(SM_CXVIRTUALSCREEN);
    int desktopHeight = CompatGetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT frame;
    GetWindowRectIn(state->canvasFrame, &frame, state->dialog);
    CanvasLayout layout = ComputeCanvasLayout(frame, state->zoomMargin, desktopWidth, desktopHeight);
    state->scale = layout.scale;
    state->desktopOrigin = layout.desktopOrigin;
    SetWindowPos(state->desktopMiniature, nullptr, layout.desktopOrigin.x, layout.desktopOrigin.y,
                 layout.miniWidth, layout.miniHeight, PLACE_FLAGS);

    RECT frameClient;
    GetClientRect(state->canvasFrame, &frameClient);
    RectClientToScreen(state->canvasFrame, &frameClient);
    MapWindowPoints(nullptr, state->dialog, reinterpret_cast<POINT *>(&frameClient), 2);
    if (state->overlay)
        PlaceWindow(state->overlay, frameClient);

    std::vector<DisplayRecord> displays = ReadDisplays();
    int count = displays.size() < MAX_SCREEN_ITEMS ? (int)displays.size() : MAX_SCREEN_ITEMS;
    if (count != state->screenCount) {
        MatchScreenItems(state, count);
        count = count < state->screenItemCount ? count : state->screenItemCount;
    }
    state->screenCount = count;
    for (int i = 0; i < count; i++) {
        const DisplayRecord &display = displays[i];
        state->screens[i] = {display.monitor, display.monitorRect, display.workRect, display.primary};
        if (display.primary) {
            state->chosenPrimary = i;
            state->platformPrimary = i;
        }
    }
    for (int i = state->screenCount - 1; i >= 0; i--)
        PlaceScreenItem(state, i);

    RedrawWindow(state->canvasFrame, nullptr, nullptr, RDW_INVALIDATE);
    RedrawWindow(state->desktopMiniature, nullptr, nullptr, RDW_INVALIDATE);
    for (int i = 0; i < state->screenCount; i++)
        RedrawWindow(state->screenItems[i], nullptr, nullptr, RDW_INVALIDATE);
}

void PlaceScreenItem(CanvasState *state, int index)
{
    if (index < 0 || index >= state->screenCount)
        return;
    RECT item = DesktopRectToCanvas(state->screens[index].monitorRect, VirtualScreenCorner(),
                                    state->desktopOrigin, state->scale);
    PlaceWindow(state->screenItems[index], item);
}

void CenterRectOnMonitor(POINT point, RECT *rect)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!CompatGetMonitorInfo(CompatMonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info))
        return;
    *rect = CenterRectInArea(*rect, info.rcMonitor);
}

BOOL GetWindowRectIn(HWND window, RECT *rect, HWND reference)
{
    BOOL result = GetWindowRect(window, rect);
    if (reference) {
        POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
        ScreenToClient(reference, &corners[0]);
        ScreenToClient(reference, &corners[1]);
        SetRect(rect, corners[0].x, corners[0].y, corners[1].x, corners[1].y);
    }
    return result;
}

void RectClientToScreen(HWND window, RECT *rect)
{
    POINT bottomRight = {rect->right, rect->bottom};
    ClientToScreen(window, &bottomRight);
    POINT topLeft = {rect->left, rect->top};
    ClientToScreen(window, &topLeft);
    SetRect(rect, topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

BOOL MoveWindowToClientPoint(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags,
                             HWND reference)
{
    POINT point = {x, y};
    if (reference)
        ClientToScreen(reference, &point);
    HWND parent = GetParent(window);
    if (parent)
        ScreenToClient(parent, &point);
    return SetWindowPos(window, insertAfter, point.x, point.y, width, height, flags);
}

HFONT CreateScreenFont(int itemHeight)
{
    return CreateFontW(itemHeight - 5, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, L"Arial");
}

static int WindowHeight(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

void RebuildScreenFonts(CanvasState *state)
{
    for (int i = 0; i < state->screenCount; i++) {
        if (state->screenFonts[i])
            DeleteObject(state->screenFonts[i]);
        state->screenFonts[i] = CreateScreenFont(WindowHeight(state->screenItems[i]));
        SendMessageW(state->screenItems[i], WM_SETFONT, reinterpret_cast<WPARAM>(state->screenFonts[i]),
                     FALSE);
    }
}

// During a zoom the items show no digit and the tab's own overlay is hidden.
static void BeginZoom(CanvasState *state)
{
    state->zooming = TRUE;
    for (int i = 0; i < state->screenCount; i++)
        SetWindowTextW(state->screenItems[i], L"");
    if (state->mode == CANVAS_ICONS)
        ShowWindow(state->overlay, SW_HIDE);
    else if (state->mode == CANVAS_WINDOWS)
        ShowWindow(state->windowMiniature, SW_HIDE);
}

static void EndZoom(CanvasState *state)
{
    state->zooming = FALSE;
    RebuildScreenFonts(state);
    for (int i = 0; i < state->screenCount; i++) {
        wchar_t number[12];
        ScreenNumberText(i, number);
        SetWindowTextW(state->screenItems[i], number);
        InvalidateRect(state->screenItems[i], nullptr, TRUE);
    }
    if (state->mode == CANVAS_ICONS)
        ShowWindow(state->overlay, SW_SHOW);
    else if (state->mode == CANVAS_WINDOWS)
        ShowWindow(state->windowMiniature, SW_SHOW);
}

static int SliderPosition(CanvasState *state)
{
    return (int)SendMessageW(state->zoomSlider, TBM_GETPOS, 0, 0);
}

bool OnZoomSliderScroll(CanvasState *state, int code, int position)
{
    switch (code) {
    case TB_PAGEUP:
    case TB_PAGEDOWN:
        position = SliderPosition(state);
        BeginZoom(state);
        break;
    case TB_THUMBTRACK:
        BeginZoom(state);
        break;
    case TB_ENDTRACK:
        EndZoom(state);
        position = SliderPosition(state);
        break;
    default:
        // Line steps, thumb position, top and bottom wait for the end of the track.
        return false;
    }
    int margin = (short)position;
    if (margin != state->zoomMargin) {
        state->zoomMargin = margin;
        LayoutCanvas(state);
    }
    return code == TB_ENDTRACK;
}

int ShownScreenItems(const CanvasState *state) { return state->screenCount; }

int ShownScreenItemIndex(const CanvasState *state, HWND window)
{
    for (int i = 0; i < ShownScreenItems(state); i++)
        if (state->screenItems[i] == window)
            return i;
    return -1;
}
