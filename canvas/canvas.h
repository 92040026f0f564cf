// The dialog's arrangement canvas: its state, geometry, zoom and the coordinate tools.
// The canvas is the miniature of the whole virtual desktop; its coordinate
// utilities serve the whole dialog.
//
// Number rules: scale is a 32-bit float; a product of an integer and the
// scale is formed in double precision and truncated toward zero; the way back
// multiplies by 1.0 / scale, formed in double precision.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "base/scoped.h"

// Every monitor the platform reports has a screen item: the template's three,
// then items made alike. MAX_SCREEN_ITEMS bounds what is believed of the platform.
#define TEMPLATE_SCREEN_ITEMS 3
#define MAX_SCREEN_ITEMS 64

#define ZOOM_MARGIN_MIN 10
#define ZOOM_MARGIN_MAX 200
#define ZOOM_MARGIN_START 50

// What the canvas shows and how the pointer acts on it; the dialog sets it
// for the page shown.
enum CanvasMode { CANVAS_SCREENS, CANVAS_WINDOWS, CANVAS_ICONS, CANVAS_HIDDEN };

struct ScreenRecord {
    HMONITOR monitor;
    RECT monitorRect; // desktop (virtual-screen) coordinates
    RECT workRect;
    bool primary;
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
    HBITMAP picture;               // scaled from
    int sourceX, sourceY;
};

// How the desktop shows its wallpaper: the values of "WallpaperStyle", and
// tiling ("TileWallpaper" 1) as 1.
enum WallpaperMode {
    WALLPAPER_CENTRE = 0,
    WALLPAPER_TILE = 1,
    WALLPAPER_STRETCH = 2,
    WALLPAPER_FIT = 6,
    WALLPAPER_FILL = 10,
    WALLPAPER_SPAN = 22
};

// One wallpaper picture as the canvas holds it: the file, and the part of its
// picture decoded no larger than the screen items can show it.
struct WallpaperPicture {
    wchar_t path[MAX_PATH];
    RECT monitor;      // the monitor that shows it; empty: every monitor without a picture of its own
    int width, height; // the file's picture; 0 until read
    BOOL unreadable;   // no picture could be read from the file
    HBITMAP bitmap;    // the decoded part, or none
    RECT part;         // the part of the file's picture the bitmap holds
    int bitmapWidth, bitmapHeight;
};

#define MAX_WALLPAPER_MONITORS 16

// One picture to decode, with what decides its part and size, and the result.
struct WallpaperJob {
    int picture; // index in the canvas's table
    wchar_t path[MAX_PATH];
    RECT monitors[MAX_WALLPAPER_MONITORS]; // those that show it
    int monitorCount;
    int width, height;
    BOOL unreadable;
    HBITMAP bitmap;
    RECT part;
    SIZE size;
};

// The pictures decoded on a thread of their own, started once the dialog has
// nothing else to do, so that it opens and answers at once however large they
// are; the screens show the desktop colour until their picture is ready.
struct WallpaperDecoding {
    BOOL scheduled;      // its start waits for WALLPAPER_TIMER_ID
    ScopedHandle thread; // none when it ran on the dialog's own thread

    HWND notify; // the canvas frame, posted WM_WALLPAPER_DECODED at the end
    int mode;
    float scale;
    RECT virtualScreen;
    WallpaperJob *jobs; // new[]; none when no decoding runs
    int jobCount;
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
    HWND *screenItems; // screenItemCount each, new[], as screenFonts
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
    int screenCount;       // monitors shown at the last layout
    int screenItemCount;   // screen items made (the rest hidden)
    ScreenRecord *screens; // screenItemCount records, new[]
    int selectedScreen;
    int chosenPrimary;
    int platformPrimary;
    BOOL primaryPending;
    HFONT *screenFonts;
    HBRUSH activeCaptionBrush, inactiveCaptionBrush;
    HCURSOR moveCursor;
    GradientFillProc gradientFill; // none without MSIMG32

    WallpaperPicture *wallpapers; // new[]; the first for every monitor without a picture of its own
    int wallpaperCount;
    int wallpaperMode; // a WallpaperMode
    ScaledWallpaper wallpaperCache;
    WallpaperDecoding wallpaperDecoding;

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

// Screen items (canvas/screen_items.cpp).
// Takes the template's items, subclassed and collapsed.
void AdoptTemplateScreenItems(CanvasState *canvas);
// Makes items (and records and font slots) for count monitors; items from
// count on are hidden, those below shown unless the canvas is hidden.
bool MatchScreenItems(CanvasState *canvas, int count);
// Removes the subclass of every item and frees the fonts and tables.
void ReleaseScreenItems(CanvasState *canvas);
// The number the item of screen index shows, "1" on; text holds 12 characters.
void ScreenNumberText(int index, wchar_t *text);

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
// The rectangle moved, keeping its size, so that it lies wholly in the area
// (from the area's top-left corner when it is larger).
RECT KeepRectInArea(const RECT &rect, const RECT &area);

// The virtual screen's top-left corner in desktop coordinates.
POINT VirtualScreenCorner();

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
// The screen items of the monitors shown.
int ShownScreenItems(const CanvasState *canvas);
// The index of a shown screen item, or -1.
int ShownScreenItemIndex(const CanvasState *canvas, HWND window);

// Screen arrangement (canvas/screen_arrangement.cpp): selecting a screen and
// making a display primary. Screen record i, screen item i, entry i of the
// screen combo box and display device i are one display.
// Fills the screen list (again) with one entry per display device and its
// pictures, keeping the selection where it still names a screen; false when
// an entry could not be added.
bool FillScreenCombo(CanvasState *canvas);
// The screen combo box reports a new selection.
void OnScreenListSelChange(CanvasState *canvas);
// Selects the screen item under the cursor; gives its index, or -1.
int SelectScreenAtCursor(CanvasState *canvas);
// True when this click made a primary-display choice pending.
bool OnPrimaryCheckBoxClicked(CanvasState *canvas);

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

// Painting (canvas/painting.cpp, canvas/wallpaper.cpp, canvas/wallpaper_file.cpp,
// canvas/wallpaper_placement.cpp).
// The wallpaper settings and the path of each picture, read once per opening;
// the pictures are decoded when first drawn.
void LoadWallpaper(CanvasState *canvas);
// The style as the desktop's "TileWallpaper" and "WallpaperStyle" texts give it.
int WallpaperModeFromValues(const wchar_t *tile, const wchar_t *style);
// Waits for a running decoding, then deletes the decoded pictures and the table.
void ReleaseWallpapers(CanvasState *canvas);
// The picture the monitor shows.
WallpaperPicture *MonitorWallpaper(const CanvasState *canvas, const RECT &monitor);
// Where a picture of the given size shows on a monitor in the mode: the part of
// the picture (in its pixels) and where that part lands (in the monitor's
// pixels from its top-left corner); for tiling, the first tile. Span lays one
// picture over the virtual screen.
struct WallpaperPlacement {
    RECT source;
    RECT shown;
};
WallpaperPlacement PlaceWallpaper(int mode, SIZE picture, const RECT &monitor, const RECT &virtualScreen);
// The part of the picture to decode and its decoded size, so that each of the
// monitors can show it at the scale without enlarging it; false when none shows any of it.
bool WantedWallpaperPart(int mode, SIZE picture, const RECT *monitors, int monitorCount,
                         const RECT &virtualScreen, float scale, RECT *part, SIZE *size);
// The canvas frame's timer that starts a decoding of the wallpapers.
#define WALLPAPER_TIMER_ID 5150
// WALLPAPER_TIMER_ID: decodes every picture whose decoded part the screens
// want and do not have, unless a decoding runs.
void OnWallpaperTimer(CanvasState *canvas);
// Runs the decoding's jobs on a thread of their own (on this one when no
// thread can be had), which posts WM_WALLPAPER_DECODED at the end.
void StartWallpaperDecoding(WallpaperDecoding *decoding);
// WM_WALLPAPER_DECODED: takes the pictures and repaints the screens.
void OnWallpapersDecoded(CanvasState *canvas);
// Given to the canvas frame, the desktop miniature and the screen items with
// the canvas as reference data.
LRESULT CALLBACK CanvasSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR canvas);
BOOL PaintScreenItem(CanvasState *canvas, HWND item, HDC dc);
// The four-colour gradient of the frame.
void FillGradientBackground(GradientFillProc gradientFill, HDC dc, const RECT &rect);
// The wallpaper of the monitor (desktop coordinates) into the rectangle
// (0, 0, width, height) of its item's DC; false when there is no wallpaper to
// draw in that mode (the caller paints the plain screen).
bool DrawScreenWallpaper(CanvasState *canvas, HDC dc, const RECT &monitor, int width, int height);
// Draws the source rectangle of the picture scaled into the destination
// rectangle, scaling only when the sizes differ from the cache's.
void DrawWallpaperCached(ScaledWallpaper *cache, HBITMAP picture, HDC target, int x, int y, int width,
                         int height, int sourceX, int sourceY, int sourceWidth, int sourceHeight);
#ifdef TESSIVON_BENCH_COUNTERS
// How many times the wallpaper was scaled since the program started; only the
// benchmarks' build of the program counts them.
extern unsigned long WallpaperStretchCount;
#endif
void DeleteWallpaperCache(ScaledWallpaper *cache);
