// How the canvas looks: the frame (plain or a gradient), the desktop miniature,
// and each screen item with its number, plain or over the wallpaper. The
// window miniature and the icon view paint themselves.
#include "canvas/canvas.h"

#include <commctrl.h>

#include "base/messages.h"
#include "base/scoped.h"
#include "canvas/screen_numbers.h"
#include "settings/settings.h"

static void FillWithColor(HDC dc, const RECT &rect, COLORREF color)
{
    ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.handle);
}

// A one-pixel frame just inside the rectangle.
static void FillFrame(HDC dc, const RECT &rect, COLORREF color)
{
    ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FrameRect(dc, &rect, brush.handle);
}

static void ExcludeWindow(HDC dc, HWND window, HWND reference)
{
    RECT rect;
    if (GetWindowRectIn(window, &rect, reference))
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
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
void FillGradientBackground(GradientFillProc gradientFill, HDC dc, const RECT &rect)
{
    if (!gradientFill)
        return;
    TRIVERTEX vertices[4] = {
        Vertex(rect.left, rect.top, COLOR_BTNSHADOW, 0xFFFF),
        Vertex(rect.right, rect.top, COLOR_BTNFACE, 0),
        Vertex(rect.right, rect.bottom, COLOR_BTNFACE, 0),
        Vertex(rect.left, rect.bottom, COLOR_3DLIGHT, 0),
    };
    GRADIENT_TRIANGLE triangles[2] = {{0, 1, 2}, {0, 2, 3}};
    gradientFill(dc, vertices, 4, triangles, 2, GRADIENT_FILL_TRIANGLE);
}

static LRESULT EraseCanvasFrame(CanvasState *state, HWND frame, HDC dc)
{
    ExcludeWindow(dc, state->desktopMiniature, frame);
    RECT client;
    GetClientRect(frame, &client);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    if (state->options[OPT_FILL_BACKGROUND_WITH_GRADIENT] && state->gradientFill)
        FillGradientBackground(state->gradientFill, dc, client);
    else
        FillWithColor(dc, client, GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

// Every item, shown or not: each has the canvas's procedure.
static int ScreenItemIndex(const CanvasState *state, HWND window)
{
    for (int i = 0; i < state->screenItemCount; i++)
        if (state->screenItems[i] == window)
            return i;
    return -1;
}

// The digit in the middle of the item on its opaque background; its box, one
// pixel shorter at the top and the bottom, is kept out of the fill that follows.
static void DrawScreenDigit(HDC dc, HFONT font, int index, const RECT &item)
{
    ScopedSelection selected(dc, font);
    SetBkMode(dc, OPAQUE);
    wchar_t text[12];
    ScreenNumberText(index, text);
    RECT measured = {0, 0, item.right - item.left, item.bottom - item.top};
    DrawTextW(dc, text, -1, &measured, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    int width = measured.right - measured.left, height = measured.bottom - measured.top;
    RECT place = item;
    DrawTextW(dc, text, -1, &place, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    int left = item.left + (item.right - item.left - width) / 2;
    int top = item.top + (item.bottom - item.top - height) / 2;
    ExcludeClipRect(dc, left, top + 1, left + width, top + height - 1);
}

#define PRIMARY_MARK_TEXT L"Primary"

// "Primary" in the item's bottom-left corner, in a font an eighth of its
// height (within bounds); none on an item too small to hold it beside the
// number. On a plain screen it is drawn opaque and kept out of the fill that
// follows, over a picture ringed like the number.
static void DrawPrimaryMark(HDC dc, const RECT &item, bool overPicture)
{
    int itemWidth = item.right - item.left, itemHeight = item.bottom - item.top;
    int size = itemHeight / 8 < 10 ? 10 : itemHeight / 8 > 16 ? 16 : itemHeight / 8;
    ScopedGdiObject<HFONT> font(CreateFontW(size, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                            DEFAULT_PITCH, L"Arial"));
    ScopedSelection selected(dc, font.handle);
    RECT text = {0, 0, 0, 0};
    DrawTextW(dc, PRIMARY_MARK_TEXT, -1, &text, DT_CALCRECT | DT_SINGLELINE);
    int margin = 3 + itemHeight / 40;
    if (itemWidth < 3 * (text.right + margin) || itemHeight < 4 * text.bottom)
        return;
    OffsetRect(&text, item.left + 2 * margin, item.bottom - 2 * margin - text.bottom);
    if (overPicture) {
        DrawOutlinedText(dc, PRIMARY_MARK_TEXT, text, DT_SINGLELINE, RGB(255, 255, 255), RGB(0, 0, 0), 1);
        return;
    }
    SetBkMode(dc, OPAQUE);
    DrawTextW(dc, PRIMARY_MARK_TEXT, -1, &text, DT_SINGLELINE | DT_NOCLIP);
    ExcludeClipRect(dc, text.left, text.top, text.right, text.bottom);
}

static void PaintPlainScreen(CanvasState *state, HDC dc, int index, const RECT &item)
{
    bool selected = state->mode == CANVAS_SCREENS && index == state->selectedScreen;
    COLORREF text = GetSysColor(selected ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    if (!state->zooming) {
        DrawScreenDigit(dc, state->screenFonts[index], index, item);
        if (state->screens[index].primary)
            DrawPrimaryMark(dc, item, false);
    }
    FillWithColor(dc, item, back);
}

// The selection colour inside the item's edge, with a white line inside it,
// so that it stands out from light and dark pictures alike.
static void FrameSelectedScreen(HDC dc, const RECT &item)
{
    int width = item.right - item.left, height = item.bottom - item.top;
    int thickness = (width < height ? width : height) / 50 + 2;
    RECT edge = item;
    for (int k = 0; k < thickness; k++, InflateRect(&edge, -1, -1))
        FillFrame(dc, edge, GetSysColor(COLOR_HIGHLIGHT));
    FillFrame(dc, edge, GetSysColor(COLOR_HIGHLIGHTTEXT));
}

// Over the screen's picture: its number, half the item high, white ringed in
// black; the primary display's mark; the selected screen's frame.
static void DrawMarksOverPicture(CanvasState *state, HDC dc, int index, const RECT &item)
{
    int height = item.bottom - item.top;
    wchar_t number[12];
    ScreenNumberText(index, number);
    {
        ScopedGdiObject<HFONT> font(CreateScreenFont(height / 2 + 5));
        ScopedSelection selected(dc, font.handle);
        DrawOutlinedText(dc, number, item, DT_SINGLELINE | DT_CENTER | DT_VCENTER, RGB(255, 255, 255),
                         RGB(0, 0, 0), height / 80 + 1);
    }
    if (state->screens[index].primary)
        DrawPrimaryMark(dc, item, true);
    if (state->mode == CANVAS_SCREENS && index == state->selectedScreen)
        FrameSelectedScreen(dc, item);
}

BOOL PaintScreenItem(CanvasState *state, HWND window, HDC given)
{
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
        if (state->mode == CANVAS_WINDOWS && IsWindowVisible(state->windowMiniature))
            ExcludeWindow(dc, state->windowMiniature, window);
        bool wallpaper = !state->zooming && state->options[OPT_SHOW_WALLPAPER_DESKTOP];
        if (wallpaper &&
            DrawScreenWallpaper(state, dc, state->screens[index].monitorRect, item.right, item.bottom))
            DrawMarksOverPicture(state, dc, index, item);
        else
            PaintPlainScreen(state, dc, index, item);
    }
    ValidateRect(window, nullptr);
    return TRUE;
}

static LRESULT OnCanvasErase(CanvasState *state, HWND window, HDC dc)
{
    if (window == state->canvasFrame)
        return EraseCanvasFrame(state, window, dc);
    if (ShownScreenItemIndex(state, window) >= 0)
        return TRUE; // the paint covers the whole item
    if (window == state->desktopMiniature)
        for (int i = 0; i < ShownScreenItems(state); i++)
            ExcludeWindow(dc, state->screenItems[i], window);
    return DefSubclassProc(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
}

LRESULT CALLBACK CanvasSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data)
{
    CanvasState *state = reinterpret_cast<CanvasState *>(data);
    switch (message) {
    case WM_PAINT:
        if (ScreenItemIndex(state, window) >= 0)
            return PaintScreenItem(state, window, reinterpret_cast<HDC>(wParam));
        break;
    case WM_ERASEBKGND:
        return OnCanvasErase(state, window, reinterpret_cast<HDC>(wParam));
    case WM_WALLPAPER_DECODED:
        OnWallpapersDecoded(state);
        return 0;
    case WM_TIMER:
        if (wParam == WALLPAPER_TIMER_ID && window == state->canvasFrame) {
            OnWallpaperTimer(state);
            return 0;
        }
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
