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

// The virtual screen's top-left corner in desktop coordinates.
POINT VirtualScreenCorner();

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

// Screen arrangement (canvas/screen_arrangement.cpp): selecting a screen and
// making a display primary. Screen record i, screen item i, entry i of the
// screen combo box and display device i are one display.
struct MonitorMode {
    int width;
    int height;
    int bitsPerPixel;
};
// The screen combo box reports a new selection.
void OnScreenListSelChange();
// Selects the screen item under the cursor; gives its index, or -1.
int SelectScreenAtCursor();
void OnPrimaryCheckBoxClicked();
// "&Apply" with a primary-display choice pending.
void ApplyPrimaryDisplay();
// The present mode of the monitor with the index in the enumeration order;
// all zero when no monitor has that index.
MonitorMode GetMonitorMode(int index);
BOOL CALLBACK GetMonitorModeProc(HMONITOR monitor, HDC deviceContext, LPRECT rect, LPARAM data);

// Window arrangement (canvas/window_arrangement.cpp): the window list, the
// miniature of the chosen window, its live moves and their undo table.
#define UNDO_TABLE_STEP 50
// Rebuilds the window list; only while the Windows tab is shown.
void FillWindowCombo();
BOOL CALLBACK AddWindowEntryProc(HWND window, LPARAM state);
// The window of the selected entry, or none when it is gone.
HWND GetSelectedWindow();
int ShowSelectedWindow();
// Puts the miniature over the selected window; always 1.
int SyncWindowMiniature();
// Starts the 200 ms timer unless it runs; TRUE when this call started it.
BOOL StartSyncTimer();
void StopSyncTimer();
// Hides the window miniature at no size.
void CollapseMiniature(ExtPropState *state);
// The screens leave the miniature's place unpainted, so they are redrawn when it moves.
void InvalidateScreenItems(ExtPropState *state);
// Moves the target window, raised but not activated, to the place the
// miniature shows, remembering where it stood before its first move.
void MoveTargetToMiniature();
// The first move since the last "&Apply" or "Cancel" enables "&Apply".
void MarkWindowsMoved();
// FALSE only when the handle is no window.
BOOL RememberPlacement(HWND window);
// Empties the undo table: the moves are final.
void CommitWindowMoves();
// Puts every remembered window that still exists back, then empties the table.
void RestoreWindowMoves();

// Drag mechanics (canvas/drag.cpp). Pointer positions are signed client
// coordinates of the dialog.
struct DragPointer {
    short x, y;
    DWORD keys;
};
// The last window-drag move that was carried out, kept from one drag to the next.
extern DragPointer LastDragPointer;
// Where the pointer may go while it holds a screen item: the item, carried at
// its present distance from the pointer, stays inside the frame's client area.
// frameClient in screen coordinates; item and pointer in dialog coordinates.
RECT ScreenPressConfinement(const RECT &frameClient, const RECT &item, POINT pointer);
LRESULT OnCanvasButtonDown(DWORD keys, int x, int y);
LRESULT OnCanvasMouseMove(DWORD keys, int x, int y);
LRESULT OnCanvasButtonUp(DWORD keys, int x, int y);
// The dialog ends while the button is held: the pointer is freed.
void EndCanvasPress();
// TRUE when it set the move cursor over something that can be dragged.
BOOL OnCanvasSetCursor(int hitTest);

// Painting (canvas/painting.cpp, canvas/wallpaper.cpp).
// The wallpaper settings and picture, read once per opening.
void LoadWallpaper();
// The bitmap's width and height; left untouched when they cannot be read.
void GetBitmapSize(HWND window, HBITMAP bitmap, int *width, int *height);
// The procedure given to the canvas frame, the desktop miniature and the
// screen items.
LRESULT CALLBACK CanvasSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The dialog's background erase; always TRUE.
BOOL EraseDialogBackground(HDC dc);
BOOL PaintScreenItem(HWND item, HDC dc);
// The four-colour gradient of the frame.
void FillGradientBackground(HDC dc, const RECT &rect);
// The wallpaper of a monitor of the given size (in item pixels) into the rectangle
// (0, 0, width, height) of the item's DC; false when there is no wallpaper to
// draw in that mode (the caller paints the plain screen).
bool DrawScreenWallpaper(ExtPropState *state, HDC dc, int width, int height);
// Draws the source rectangle of the picture scaled into the destination
// rectangle, scaling only when the sizes differ from the last call's.
void DrawWallpaperCached(HBITMAP picture, HDC target, int x, int y, int width, int height, int sourceX,
                         int sourceY, int sourceWidth, int sourceHeight);
// The last scaled wallpaper and what it was scaled from and to.
struct ScaledWallpaper {
    HBITMAP bitmap;
    int width, height;             // destination size
    int sourceWidth, sourceHeight; // source size
};
extern ScaledWallpaper WallpaperCache;
// How many times the wallpaper was scaled since the program started.
extern unsigned long WallpaperStretchCount;
void DeleteWallpaperCache();
