// Screen numbers: drawn outlined on the screen items, and shown on each monitor by Identify.
#include "canvas/screen_numbers.h"

#include <vector>

#include "base/facts.h"
#include "base/scoped.h"
#include "base/window_class.h"
#include "canvas/canvas.h"
#include "display/displays.h"

#define IDENTIFY_TIMER_ID 1
// Nearly opaque where the platform blends windows: the desk shows through a little.
#define IDENTIFY_ALPHA 224
#define IDENTIFY_BACKGROUND RGB(32, 32, 32)

void DrawOutlinedText(HDC dc, const wchar_t *text, const RECT &box, UINT format, COLORREF color,
                      COLORREF outline, int thickness)
{
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, outline);
    // Copies on the square's edge only: strokes wider than the ring close it.
    for (int dy = -thickness; dy <= thickness; dy++)
        for (int dx = -thickness; dx <= thickness; dx++) {
            if (dx != -thickness && dx != thickness && dy != -thickness && dy != thickness)
                continue;
            RECT shifted = box;
            OffsetRect(&shifted, dx, dy);
            DrawTextW(dc, text, -1, &shifted, format | DT_NOCLIP);
        }
    SetTextColor(dc, color);
    RECT place = box;
    DrawTextW(dc, text, -1, &place, format | DT_NOCLIP);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

// The monitors in the order of the display menu and the screen items, display
// k numbered k + 1. The one place this module learns of them.
static std::vector<RECT> NumberedMonitors()
{
    std::vector<RECT> monitors;
    for (const DisplayRecord &display : ReadDisplays())
        if ((int)monitors.size() < MAX_SCREEN_ITEMS)
            monitors.push_back(display.monitorRect);
    return monitors;
}

static HFONT CreateNumberFont(int height)
{
    return CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"Arial");
}

// The window's text is its number, on a dark box four fifths of its height.
static void PaintIdentifyWindow(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc)
        return;
    RECT client;
    GetClientRect(window, &client);
    {
        ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(IDENTIFY_BACKGROUND));
        FillRect(dc, &client, brush.handle);
        ScopedGdiObject<HFONT> font(CreateNumberFont(client.bottom * 4 / 5));
        ScopedSelection selected(dc, font.handle);
        wchar_t number[12] = L"";
        GetWindowTextW(window, number, ARRAYSIZE(number));
        DrawOutlinedText(dc, number, client, DT_SINGLELINE | DT_CENTER | DT_VCENTER, RGB(255, 255, 255),
                         RGB(0, 0, 0), client.bottom / 60 + 1);
    }
    EndPaint(window, &paint);
}

static LRESULT CALLBACK IdentifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1; // the paint covers the whole window
    case WM_PAINT:
        PaintIdentifyWindow(window);
        return 0;
    case WM_TIMER:
        if (wParam == IDENTIFY_TIMER_ID)
            DestroyWindow(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static BOOL CALLBACK CloseIdentifyWindowProc(HWND window, LPARAM)
{
    wchar_t name[64] = L"";
    if (GetClassNameW(window, name, ARRAYSIZE(name)) && !lstrcmpW(name, IDENTIFY_WINDOW_CLASS))
        DestroyWindow(window);
    return TRUE;
}

// A box a third of the monitor's shorter side high, wide enough for the
// number, in the middle of the monitor.
static RECT IdentifyBox(const RECT &monitor, const wchar_t *number)
{
    int side = monitor.right - monitor.left < monitor.bottom - monitor.top ? monitor.right - monitor.left
                                                                           : monitor.bottom - monitor.top;
    int height = side / 3 > 24 ? side / 3 : 24;
    RECT text = {0, 0, 0, 0};
    {
        ScopedWindowDC screen(nullptr);
        ScopedGdiObject<HFONT> font(CreateNumberFont(height * 4 / 5));
        ScopedSelection selected(screen.dc, font.handle);
        DrawTextW(screen.dc, number, -1, &text, DT_CALCRECT | DT_SINGLELINE);
    }
    int width = text.right + height / 2 > height ? text.right + height / 2 : height;
    int left = monitor.left + (monitor.right - monitor.left - width) / 2;
    int top = monitor.top + (monitor.bottom - monitor.top - height) / 2;
    return {left, top, left + width, top + height};
}

int IdentifyScreens()
{
    EnumThreadWindows(GetCurrentThreadId(), CloseIdentifyWindowProc, 0);
    // Registered at the first call; later calls find the class there.
    RegisterPlainWindowClass(InstanceHandle, IDENTIFY_WINDOW_CLASS, IdentifyWindowProc);
    std::vector<RECT> monitors = NumberedMonitors();
    int shown = 0;
    for (int k = 0; k < (int)monitors.size(); k++) {
        wchar_t number[12];
        ScreenNumberText(k, number);
        RECT box = IdentifyBox(monitors[k], number);
        HWND window = CreateWindowExW(
            WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
            IDENTIFY_WINDOW_CLASS, number, WS_POPUP, box.left, box.top, box.right - box.left,
            box.bottom - box.top, nullptr, nullptr, InstanceHandle, nullptr);
        if (!window)
            continue;
        SetLayeredWindowAttributes(window, 0, IDENTIFY_ALPHA, LWA_ALPHA);
        if (!SetTimer(window, IDENTIFY_TIMER_ID, IDENTIFY_MS, nullptr)) {
            DestroyWindow(window); // it would never go
            continue;
        }
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
        shown++;
    }
    return shown;
}
