// The arrangement canvas of the Extended Display Properties dialog: the
// miniature of the whole virtual desktop, its geometry and zoom, and the
// coordinate utilities the whole dialog uses.
//
// Number rules: scale is a 32-bit float; a product of an integer and the
// scale is formed in double precision and truncated toward zero; the way back
// multiplies by 1.0 / scale, formed in double precision.
#pragma once
#include <windows.h>

// The dialog has three screen items and three digit fonts, so at most three
// monitors are shown; further monitors are left out of the canvas.
#define MAX_SCREEN_ITEMS 3
#define MAX_SCREEN_RECORDS 4

#define ZOOM_MARGIN_MIN 10
#define ZOOM_MARGIN_MAX 200
#define ZOOM_MARGIN_START 50

struct ExtPropState;

struct ScreenRecord {
    HMONITOR monitor;
    HDC deviceContext;
    RECT monitorRect; // desktop (virtual-screen) coordinates
    RECT workRect;
};

// What a layout computes from the frame, the zoom margin and the size of the
// virtual desktop; rectangles are in dialog client coordinates.
struct CanvasLayout {
    float scale;
    POINT desktopOrigin;
    int miniWidth;
    int miniHeight;
};

// The arithmetic, free of windows.
CanvasLayout ComputeCanvasLayout(const RECT &frame, int zoomMargin, int desktopWidth, int desktopHeight);
// trunc(value * scale), the product in double precision.
int ScaleToCanvas(int value, float scale);
// trunc(value * (1.0 / scale)).
int ScaleToDesktop(int value, float scale);
// A desktop rectangle on the canvas: origin plus the scaled offset from the
// virtual screen's corner; the size is scaled on its own.
RECT DesktopRectToCanvas(const RECT &desktop, POINT virtualCorner, POINT desktopOrigin, float scale);
// The rectangle moved, keeping its size, so that it is centred on the area.
RECT CenterRectInArea(const RECT &rect, const RECT &area);

// Lays the canvas out again for ActiveExtPropState: scale, desktop origin,
// desktop miniature, icon view window, screen table and screen items.
void LayoutCanvas();
BOOL CALLBACK AddScreenRecordProc(HMONITOR monitor, HDC deviceContext, LPRECT monitorRect, LPARAM state);
void PlaceScreenItem(int index);
// Moves the rectangle so that it is centred on the whole area (not the work
// area) of the monitor nearest to the point.
void CenterRectOnMonitor(POINT point, RECT *rect);

// The window's rectangle in the client coordinates of the reference window
// (screen coordinates when there is none); the result of GetWindowRect.
BOOL GetWindowRectIn(HWND window, RECT *rect, HWND reference);
void RectClientToScreen(HWND window, RECT *rect);
// SetWindowPos with a point given in the reference window's client
// coordinates (screen coordinates when there is none).
BOOL MoveWindowToClientPoint(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags,
                             HWND reference);

// The digit font of a screen item whose window is the given height.
HFONT CreateScreenFont(int itemHeight);
// Deletes and recreates the digit font of each shown screen item.
void RebuildScreenFonts(ExtPropState *state);
// A horizontal-scroll notification of the zoom slider: code and position are
// the low and high words of its first parameter.
void OnZoomSliderScroll(ExtPropState *state, int code, int position);

// Painting. The wallpaper settings and picture, read once per opening.
void LoadWallpaper();
// The bitmap's width and height; left untouched when they cannot be read.
void GetBitmapSize(HWND window, HBITMAP bitmap, int *width, int *height);
// The procedure given to the canvas frame, the desktop miniature and the
// screen items.
LRESULT CALLBACK CanvasSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
