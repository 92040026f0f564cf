// The canvas's share of the dialog's opening and closing.
#include "canvas/canvas.h"

#include <commctrl.h>

#include "base/platform.h"
#include "resources/resource_ids.h"

static const UINT CANVAS_TIMER_ID = 5149;

static void Collapse(HWND window)
{
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void SetUpZoomSlider(CanvasState *canvas)
{
    canvas->zoomSlider = GetDlgItem(canvas->dialog, IDC_ZOOM_SLIDER);
    SendMessageW(canvas->zoomSlider, TBM_SETRANGEMIN, FALSE, ZOOM_MARGIN_MIN);
    SendMessageW(canvas->zoomSlider, TBM_SETRANGEMAX, FALSE, ZOOM_MARGIN_MAX);
    SendMessageW(canvas->zoomSlider, TBM_SETPOS, TRUE, canvas->zoomMargin);
}

static void CreateDrawingObjects(CanvasState *canvas)
{
    canvas->activeCaptionBrush = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));
    canvas->inactiveCaptionBrush = CreateSolidBrush(GetSysColor(COLOR_INACTIVECAPTION));
    canvas->moveCursor = LoadCursorW(nullptr, IDC_SIZEALL);
    canvas->windowImages = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 5, 5);
}

static void SetUpCanvasWindows(CanvasState *canvas)
{
    HWND dialog = canvas->dialog;
    canvas->backdrop = GetDlgItem(dialog, IDC_BACKDROP);
    canvas->canvasFrame = GetDlgItem(dialog, IDC_CANVAS_FRAME);
    SetWindowLongW(canvas->canvasFrame, GWL_STYLE,
                   GetWindowLongW(canvas->canvasFrame, GWL_STYLE) | WS_CLIPCHILDREN);
    SetWindowSubclass(canvas->canvasFrame, CanvasSubclassProc, 0, reinterpret_cast<DWORD_PTR>(canvas));
    ShowWindow(canvas->canvasFrame, SW_SHOW);
    canvas->windowMiniature = GetDlgItem(dialog, IDC_WINDOW_MINIATURE);
    SetParent(canvas->windowMiniature, canvas->canvasFrame);
    ShowWindow(canvas->windowMiniature, SW_HIDE);
    Collapse(canvas->windowMiniature);
    canvas->desktopMiniature = GetDlgItem(dialog, IDC_DESKTOP_MINIATURE);
    SetWindowSubclass(canvas->desktopMiniature, CanvasSubclassProc, 0, reinterpret_cast<DWORD_PTR>(canvas));
}

void SetUpCanvas(CanvasState *canvas, HWND dialog, const DWORD *options)
{
    canvas->dialog = dialog;
    canvas->options = options;
    canvas->zoomMargin = ZOOM_MARGIN_START;
    canvas->timerId = CANVAS_TIMER_ID;
    canvas->gradientFill = ProcAddress<GradientFillProc>(LoadLibraryW(L"MSIMG32.DLL"), "GradientFill");
    LoadWallpaper(canvas);
    SetUpZoomSlider(canvas);
    CreateDrawingObjects(canvas);
    SetUpCanvasWindows(canvas);
    AdoptTemplateScreenItems(canvas);
}

template <typename Handle> static void DeleteGdiObject(Handle &handle)
{
    if (handle)
        DeleteObject(handle);
    handle = nullptr;
}

void ReleaseCanvas(CanvasState *canvas)
{
    StopSyncTimer(canvas);
    EndCanvasPress(canvas);
    CommitWindowMoves(canvas);
    DeleteWallpaperCache(&canvas->wallpaperCache);
    DeleteGdiObject(canvas->activeCaptionBrush);
    DeleteGdiObject(canvas->inactiveCaptionBrush);
    ReleaseWallpapers(canvas);
    HIMAGELIST *lists[] = {&canvas->windowImages, &canvas->screenImages};
    for (HIMAGELIST *list : lists) {
        if (*list)
            ImageList_Destroy(*list);
        *list = nullptr;
    }
    // The subclass goes before the state it points at.
    RemoveWindowSubclass(canvas->canvasFrame, CanvasSubclassProc, 0);
    RemoveWindowSubclass(canvas->desktopMiniature, CanvasSubclassProc, 0);
    ReleaseScreenItems(canvas);
}
