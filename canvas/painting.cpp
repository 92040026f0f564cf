// How the canvas looks: the dialog's background, the frame (plain or a
// gradient), the desktop miniature, and each screen item with its digit or
// the wallpaper. The window miniature and the icon view paint themselves.
#include "canvas/canvas.h"
#include "canvas/gdi_scope.h"
#include "dialog/ext_prop.h"

static void FillWithColor(HDC dc, const RECT &rect, COLORREF color)
{
    ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.handle);
}

static void ExcludeWindow(HDC dc, HWND window, HWND reference)
{
    RECT rect;
    if (GetWindowRectIn(window, &rect, reference))
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
}

BOOL EraseDialogBackground(HDC dc)
{
    ExtPropState *state = ActiveExtPropState;
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
    FillWithColor(dc, update, state->backgroundColor);
    return TRUE;
}

static TRIVERTEX Vertex(LONG x, LONG y, int colorIndex, COLOR16 alpha)
{
    COLORREF color = GetSysColor(colorIndex);
    return {x,
            y,
            (COLOR16)(GetRValue(color) << 8),
            (COLOR16)(GetGValue(color) << 8),
            (COLOR16)(GetBValue(color) << 8),
            alpha};
}

// Darker toward the top-left corner, lighter toward the bottom-left.
void FillGradientBackground(HDC dc, const RECT &rect)
{
    if (!GradientFillEntry)
        return;
    TRIVERTEX vertices[4] = {
        Vertex(rect.left, rect.top, COLOR_BTNSHADOW, 0xFFFF),
        Vertex(rect.right, rect.top, COLOR_BTNFACE, 0),
        Vertex(rect.right, rect.bottom, COLOR_BTNFACE, 0),
        Vertex(rect.left, rect.bottom, COLOR_3DLIGHT, 0),
    };
    GRADIENT_TRIANGLE triangles[2] = {{0, 1, 2}, {0, 2, 3}};
    GradientFillEntry(dc, vertices, 4, triangles, 2, GRADIENT_FILL_TRIANGLE);
}

static LRESULT EraseCanvasFrame(ExtPropState *state, HWND frame, HDC dc)
{
    ExcludeWindow(dc, state->desktopMiniature, frame);
    RECT client;
    GetClientRect(frame, &client);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    if (state->options[OPT_FILL_BACKGROUND_WITH_GRADIENT] && GradientFillEntry)
        FillGradientBackground(dc, client);
    else
        FillWithColor(dc, client, GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

static int ScreenItemIndex(const ExtPropState *state, HWND window)
{
    for (int i = 0; i < MAX_SCREEN_ITEMS; i++)
        if (state->screenItems[i] == window)
            return i;
    return -1;
}

// The digit in the middle of the item on its opaque background; its box, one
// pixel shorter at the top and the bottom, is kept out of the fill that follows.
static void DrawScreenDigit(HDC dc, HFONT font, char digit, const RECT &item)
{
    ScopedSelection selected(dc, font);
    SetBkMode(dc, OPAQUE);
    char text[2] = {digit, '\0'};
    RECT measured = {0, 0, item.right - item.left, item.bottom - item.top};
    DrawTextA(dc, text, 1, &measured, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    int width = measured.right - measured.left, height = measured.bottom - measured.top;
    RECT place = item;
    DrawTextA(dc, text, 1, &place, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    int left = item.left + (item.right - item.left - width) / 2;
    int top = item.top + (item.bottom - item.top - height) / 2;
    ExcludeClipRect(dc, left, top + 1, left + width, top + height - 1);
}

static void PaintPlainScreen(ExtPropState *state, HDC dc, int index, const RECT &item)
{
    bool selected = state->currentTab == TAB_SCREEN && index == state->selectedScreen;
    COLORREF text = GetSysColor(selected ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    if (!state->zooming)
        DrawScreenDigit(dc, state->screenFonts[index], (char)('1' + index), item);
    FillWithColor(dc, item, back);
}

BOOL PaintScreenItem(HWND window, HDC given)
{
    ExtPropState *state = ActiveExtPropState;
    int index = ScreenItemIndex(state, window);
    RECT update;
    if (index < 0 || !GetUpdateRect(window, &update, FALSE) || update.bottom <= update.top ||
        update.right <= update.left) {
        ValidateRect(window, nullptr);
        return TRUE;
    }
    {
        ScopedWindowDC own(given ? nullptr : window);
        HDC dc = given ? given : own.dc;
        SavedDCState saved(dc);
        IntersectClipRect(dc, update.left, update.top, update.right, update.bottom);
        RECT item;
        GetWindowRectIn(window, &item, window);
        // The window miniature, a child of the frame, stays visible over the screens.
        if (state->currentTab == TAB_WINDOWS && IsWindowVisible(state->windowMiniature))
            ExcludeWindow(dc, state->windowMiniature, window);
        bool wallpaper = !state->zooming && state->options[OPT_SHOW_WALLPAPER_DESKTOP];
        if (!wallpaper || !DrawScreenWallpaper(state, dc, item.right, item.bottom))
            PaintPlainScreen(state, dc, index, item);
    }
    ValidateRect(window, nullptr);
    return TRUE;
}

static LRESULT PassOn(ExtPropState *state, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC former = nullptr;
    if (state) {
        int index = ScreenItemIndex(state, window);
        if (index >= 0)
            former = state->screenItemProcs[index];
        else if (window == state->canvasFrame)
            former = state->canvasFrameProc;
        else if (window == state->desktopMiniature)
            former = state->desktopMiniatureProc;
    }
    if (!former)
        return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(former, window, message, wParam, lParam);
}

static LRESULT OnCanvasErase(ExtPropState *state, HWND window, HDC dc, LPARAM lParam)
{
    if (window == state->canvasFrame)
        return EraseCanvasFrame(state, window, dc);
    int index = ScreenItemIndex(state, window);
    if (index >= 0 && index < state->screenCount)
        return TRUE; // the paint covers the whole item
    if (window == state->desktopMiniature)
        for (int i = 0; i < state->screenCount && i < MAX_SCREEN_ITEMS; i++)
            ExcludeWindow(dc, state->screenItems[i], window);
    return PassOn(state, window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), lParam);
}

LRESULT CALLBACK CanvasSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ExtPropState *state = ActiveExtPropState;
    if (!state)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        if (ScreenItemIndex(state, window) >= 0)
            return PaintScreenItem(window, reinterpret_cast<HDC>(wParam));
        break;
    case WM_ERASEBKGND:
        return OnCanvasErase(state, window, reinterpret_cast<HDC>(wParam), lParam);
    }
    return PassOn(state, window, message, wParam, lParam);
}
