// The arrangement canvas of the Extended Display Properties dialog: the
// miniature of the whole virtual desktop, its geometry and zoom, and the
// coordinate utilities the whole dialog uses.
//
// Number rules: scale is a 32-bit float; a product of an integer and the
// scale is formed in double precision and truncated toward zero; the way back
// multiplies by 1.0 / scale, formed in double precision.
#pragma once
#include <windows.h>

#include <commctrl.h>

// The dialog has three screen items and three digit fonts, so at most three
// monitors are shown; further monitors are left out of the canvas.
#define MAX_SCREEN_ITEMS 3
#define MAX_SCREEN_RECORDS 4

#define ZOOM_MARGIN_MIN 10
#define ZOOM_MARGIN_MAX 200
#define ZOOM_MARGIN_START 50

// What the canvas shows and how the pointer acts on it; the dialog sets it
// for the page shown.
enum CanvasMode { CANVAS_SCREENS, CANVAS_WINDOWS, CANVAS_ICONS, CANVAS_HIDDEN };

struct ScreenRecord {
    HMONITOR monitor;
    HDC deviceContext;
    RECT monitorRect; // desktop (virtual-screen) coordinates
    RECT workRect;
};

// One remembered window position of the window undo table.
struct SavedPlacement {
    HWND window;
    LONG left;
    LONG top;
};

// The last scaled wallpaper and what it was scaled from and to.
struct ScaledWallpaper {
    HBITMAP bitmap;
    int width, height;             // destination size
    int sourceWidth, sourceHeight; // source size
};

// Pointer positions are signed client coordinates of the dialog.
struct DragPointer {
    short x, y;
    DWORD keys;
};

typedef BOOL(WINAPI *GradientFillProc)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// The canvas of one opening of the dialog. The windows are the dialog's
// children, given by the dialog; everything else the canvas creates is
// released by ReleaseCanvas.
struct CanvasState {
    HWND dialog;
    HWND canvasFrame;
    HWND backdrop; // covers the frame on the pages without a canvas
    HWND desktopMiniature;
    HWND windowMiniature;
    HWND screenItems[MAX_SCREEN_ITEMS];
    HWND zoomSlider;
    HWND screenCombo;
    HIMAGELIST screenImages;
    HWND primaryCheckBox;
    HWND windowCombo;
    HWND overlay; // laid over the frame's client area (the icon view window)
    CanvasMode mode;
    const DWORD *options; // the dialog's options, as the Settings page leaves them

    float scale; // canvas pixels per desktop pixel
    POINT desktopOrigin;
    int zoomMargin;
    BOOL zooming;
    int screenCount;
    ScreenRecord screens[MAX_SCREEN_RECORDS];
    int selectedScreen;
    int chosenPrimary;
    int platformPrimary;
    BOOL primaryPending;
    HFONT screenFonts[MAX_SCREEN_ITEMS];
    HBRUSH activeCaptionBrush, inactiveCaptionBrush;
    HCURSOR moveCursor;
    GradientFillProc gradientFill; // none without MSIMG32

    HBITMAP wallpaper;
    int wallpaperWidth, wallpaperHeight;
    int wallpaperMode; // 0 centre, 1 tile, 2 stretch
    ScaledWallpaper wallpaperCache;

    HIMAGELIST windowImages;
    HWND targetWindow;
    BOOL timerRunning;
    UINT timerId;
    SavedPlacement *undoTable; // new[]; grows by UNDO_TABLE_STEP
    int undoCount, undoCapacity;
    BOOL windowsPending;

    BOOL dragging;
    POINT dragOffset;
    DragPointer lastDragPointer; // the last window-drag move carried out
    POINT dragPress;             // the pointer at the press of a window drag, dialog coordinates
    RECT dragStart;              // the dragged window's rectangle at the press
    BOOL targetRefused;          // the last move left the window elsewhere than asked
};

#define CANVAS_TIMER_MS 200

// Takes the canvas windows from the dialog, subclasses them, reads the
// wallpaper and creates the drawing objects. The dialog then places the frame
// and lays the canvas out.
void SetUpCanvas(CanvasState *canvas, HWND dialog, const DWORD *options);
// Releases what the canvas created: pointer confinement of a held press, the
// sync timer, fonts, brushes, the wallpaper and its cache, the window list's
// images and the undo table (the moves stay).
void ReleaseCanvas(CanvasState *canvas);

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

// The rectangle moved, keeping its size, wholly into the area; one larger than
// the area keeps its left and top edges inside.
RECT KeepRectInArea(const RECT &rect, const RECT &area);
// The window's rectangle moved so that its title bar (the top titleHeight
// pixels) lies in the work area, at least grip pixels of its width inside.
RECT KeepTitleBarInArea(const RECT &window, int titleHeight, const RECT &work, int grip);
// True when some monitor's work area holds the rectangle wholly.
bool OnSomeWorkArea(const RECT &rect);
// The work area of the monitor nearest to the rectangle.
RECT NearestWorkArea(const RECT &rect);
// Where a window let go at this rectangle is kept: unchanged while its title
// bar can be reached on some monitor, else with the title bar on the nearest
// monitor's work area.
RECT KeepTitleBarReachable(const RECT &window);

// Lays the canvas out again: scale, desktop origin, desktop miniature, the
// overlay, screen table and screen items.
void LayoutCanvas(CanvasState *canvas);
void PlaceScreenItem(CanvasState *canvas, int index);
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
void RebuildScreenFonts(CanvasState *canvas);
// A horizontal-scroll notification of the zoom slider: code and position are
// the low and high words of its first parameter. True when a zoom ended, so
// that what lies over the canvas follows the new scale.
bool OnZoomSliderScroll(CanvasState *canvas, int code, int position);
// The screen items of the monitors shown (at most MAX_SCREEN_ITEMS).
int ShownScreenItems(const CanvasState *canvas);
// The index of a shown screen item, or -1.
int ShownScreenItemIndex(const CanvasState *canvas, HWND window);

// Screen arrangement (canvas/screen_arrangement.cpp): selecting a screen and
// making a display primary. Screen record i, screen item i, entry i of the
// screen combo box and display device i are one display.
// Fills the screen list with one entry per display device and its pictures;
// false when an entry could not be added.
bool FillScreenCombo(CanvasState *canvas);
// The screen combo box reports a new selection.
void OnScreenListSelChange(CanvasState *canvas);
// Selects the screen item under the cursor; gives its index, or -1.
int SelectScreenAtCursor(CanvasState *canvas);
// True when this click made a primary-display choice pending.
bool OnPrimaryCheckBoxClicked(CanvasState *canvas);
// "&Apply" with a primary-display choice pending; gives the platform's result.
LONG ApplyPrimaryDisplay(CanvasState *canvas);

// Window arrangement (canvas/window_arrangement.cpp): the window list, the
// miniature of the chosen window, its live moves and their undo table.
#define UNDO_TABLE_STEP 50
// Rebuilds the window list; only while the Windows page is shown.
void FillWindowCombo(CanvasState *canvas);
// The window of the selected entry, or none when it is gone.
HWND GetSelectedWindow(CanvasState *canvas);
void ShowSelectedWindow(CanvasState *canvas);
// Puts the miniature over the selected window.
void SyncWindowMiniature(CanvasState *canvas);
// Starts the 200 ms timer unless it runs; TRUE when this call started it.
BOOL StartSyncTimer(CanvasState *canvas);
void StopSyncTimer(CanvasState *canvas);
// Hides the window miniature at no size.
void CollapseMiniature(CanvasState *canvas);
// The screens leave the miniature's place unpainted, so they are redrawn when it moves.
void InvalidateScreenItems(CanvasState *canvas);
// Moves the target window, raised but not activated, by the pointer's travel
// since the press, scaled, from where it stood at the press; remembers where
// it stood before its first move and notes whether it refused.
void MoveTargetByTravel(CanvasState *canvas, int x, int y);
// Puts the target window at the place given, raised but not activated; false
// when the window is not there afterwards (it refused to move).
bool PlaceTargetWindow(CanvasState *canvas, int left, int top);
// True for the first move since the last "&Apply" or "Cancel".
bool MarkWindowsMoved(CanvasState *canvas);
// FALSE only when the handle is no window.
BOOL RememberPlacement(CanvasState *canvas, HWND window);
// Empties the undo table: the moves are final.
void CommitWindowMoves(CanvasState *canvas);
// Puts every remembered window that still exists back, then empties the table.
void RestoreWindowMoves(CanvasState *canvas);

// Drag mechanics (canvas/drag.cpp).
// Where the pointer may go while it holds a screen item: the item, carried at
// its present distance from the pointer, stays inside the frame's client area.
// frameClient in screen coordinates; item and pointer in dialog coordinates.
RECT ScreenPressConfinement(const RECT &frameClient, const RECT &item, POINT pointer);
void OnCanvasButtonDown(CanvasState *canvas, DWORD keys, int x, int y);
// True when this move was the first since the last "&Apply" or "Cancel" to
// move a window.
bool OnCanvasMouseMove(CanvasState *canvas, DWORD keys, int x, int y);
// True when a dragged window refused to go where it was let go.
bool OnCanvasButtonUp(CanvasState *canvas, DWORD keys, int x, int y);
// The dialog ends while the button is held: the pointer is freed.
void EndCanvasPress(CanvasState *canvas);
// TRUE when it set the move cursor over something that can be dragged.
BOOL OnCanvasSetCursor(CanvasState *canvas, int hitTest);

// Painting (canvas/painting.cpp, canvas/wallpaper.cpp).
// The wallpaper settings and picture, read once per opening.
void LoadWallpaper(CanvasState *canvas);
// The bitmap's width and height; left untouched when they cannot be read.
void GetBitmapSize(HWND window, HBITMAP bitmap, int *width, int *height);
// Given to the canvas frame, the desktop miniature and the screen items with
// the canvas as reference data.
LRESULT CALLBACK CanvasSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR canvas);
BOOL PaintScreenItem(CanvasState *canvas, HWND item, HDC dc);
// The four-colour gradient of the frame.
void FillGradientBackground(GradientFillProc gradientFill, HDC dc, const RECT &rect);
// The wallpaper of a monitor of the given size (in item pixels) into the rectangle
// (0, 0, width, height) of the item's DC; false when there is no wallpaper to
// draw in that mode (the caller paints the plain screen).
bool DrawScreenWallpaper(CanvasState *canvas, HDC dc, int width, int height);
// Draws the source rectangle of the picture scaled into the destination
// rectangle, scaling only when the sizes differ from the cache's.
void DrawWallpaperCached(ScaledWallpaper *cache, HBITMAP picture, HDC target, int x, int y, int width,
                         int height, int sourceX, int sourceY, int sourceWidth, int sourceHeight);
// How many times the wallpaper was scaled since the program started (for the benchmark).
extern unsigned long WallpaperStretchCount;
void DeleteWallpaperCache(ScaledWallpaper *cache);
