// The wallpaper drawn on the screen items, from the one scaled copy they share.
// Also when each picture is decoded: scheduled once the screens want a part
// of it at the present zoom.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/facts.h"
#include "base/scoped.h"
#include "canvas/canvas.h"
#include "display/monitors.h"

#ifdef TESSIVON_BENCH_COUNTERS
unsigned long WallpaperStretchCount;
#endif

static bool KnownMode(int mode)
{
    return mode == WALLPAPER_CENTRE || mode == WALLPAPER_TILE || mode == WALLPAPER_STRETCH ||
           mode == WALLPAPER_FIT || mode == WALLPAPER_FILL || mode == WALLPAPER_SPAN;
}

WallpaperPicture *MonitorWallpaper(const CanvasState *state, const RECT &monitor)
{
    for (int i = 1; i < state->wallpaperCount; i++)
        if (EqualRect(&state->wallpapers[i].monitor, &monitor))
            return &state->wallpapers[i];
    return state->wallpaperCount ? &state->wallpapers[0] : nullptr;
}

static RECT VirtualScreenRect()
{
    POINT corner = VirtualScreenCorner();
    return {corner.x, corner.y, corner.x + CompatGetSystemMetrics(SM_CXVIRTUALSCREEN),
            corner.y + CompatGetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// The shown monitors that show the picture; at most room of them.
static int MonitorsShowing(const CanvasState *state, const WallpaperPicture *picture, RECT *monitors,
                           int room)
{
    int count = 0;
    for (int i = 0; i < ShownScreenItems(state) && count < room; i++)
        if (MonitorWallpaper(state, state->screens[i].monitorRect) == picture)
            monitors[count++] = state->screens[i].monitorRect;
    return count;
}

// A picture to decode: never read yet, or held in another part or size than
// the screens now want.
static bool WantsDecoding(const CanvasState *state, const WallpaperPicture *picture, float scale,
                          WallpaperJob *job)
{
    if (picture->unreadable || !picture->path[0])
        return false;
    job->monitorCount = MonitorsShowing(state, picture, job->monitors, MAX_WALLPAPER_MONITORS);
    if (!job->monitorCount)
        return false;
    if (!picture->width)
        return true;
    RECT part;
    SIZE size;
    return WantedWallpaperPart(state->wallpaperMode, {picture->width, picture->height}, job->monitors,
                               job->monitorCount, VirtualScreenRect(), scale, &part, &size) &&
           !(picture->bitmap && EqualRect(&part, &picture->part) && size.cx == picture->bitmapWidth &&
             size.cy == picture->bitmapHeight);
}

// The scale at the highest zoom: the decoded picture serves every zoom.
static float HighestZoomScale(const CanvasState *state)
{
    RECT frame;
    if (!GetWindowRectIn(state->canvasFrame, &frame, state->dialog))
        return state->scale;
    RECT screen = VirtualScreenRect();
    CanvasLayout layout =
        ComputeCanvasLayout(frame, ZOOM_MARGIN_MIN, screen.right - screen.left, screen.bottom - screen.top);
    return std::max(layout.scale, state->scale);
}

static void DecodeWallpapers(CanvasState *state, float scale)
{
    WallpaperDecoding &decoding = state->wallpaperDecoding;
    if (decoding.jobs)
        return;
    WallpaperJob job;
    int count = 0;
    for (int i = 0; i < state->wallpaperCount; i++)
        count += WantsDecoding(state, &state->wallpapers[i], scale, &job);
    if (!count)
        return;
    WallpaperJob *jobs = new WallpaperJob[count]();
    for (int i = 0, k = 0; i < state->wallpaperCount && k < count; i++) {
        if (WantsDecoding(state, &state->wallpapers[i], scale, &jobs[k])) {
            jobs[k].picture = i;
            lstrcpyW(jobs[k++].path, state->wallpapers[i].path);
        }
    }
    decoding = {FALSE, ScopedHandle(), state->canvasFrame, state->wallpaperMode, scale, VirtualScreenRect(),
                jobs,  count};
    StartWallpaperDecoding(&decoding);
}

// A paint found pictures to decode: the decoding starts with the timer, which
// comes once the dialog has painted and handled all else.
static void ScheduleWallpaperDecoding(CanvasState *state, float scale)
{
    WallpaperDecoding &decoding = state->wallpaperDecoding;
    WallpaperJob job;
    for (int i = 0; i < state->wallpaperCount && !decoding.jobs && !decoding.scheduled; i++)
        if (WantsDecoding(state, &state->wallpapers[i], scale, &job))
            decoding.scheduled =
                SetTimer(state->canvasFrame, WALLPAPER_TIMER_ID, USER_TIMER_MINIMUM, nullptr) != 0;
}

void OnWallpaperTimer(CanvasState *state)
{
    KillTimer(state->canvasFrame, WALLPAPER_TIMER_ID);
    state->wallpaperDecoding.scheduled = FALSE;
    DecodeWallpapers(state, HighestZoomScale(state));
}

void DeleteWallpaperCache(ScaledWallpaper *cache)
{
    if (cache->bitmap)
        DeleteObject(cache->bitmap);
    *cache = {};
}

static void StretchWallpaperToCache(ScaledWallpaper *cache, HBITMAP picture, HDC target, int width,
                                    int height, const RECT &source)
{
    DeleteWallpaperCache(cache);
    HBITMAP scaled = CreateCompatibleBitmap(target, width, height);
    if (!scaled)
        return;
    int sourceWidth = source.right - source.left, sourceHeight = source.bottom - source.top;
    {
        ScopedMemoryDC from(target), to(target);
        ScopedSelection selectedFrom(from.dc, picture), selectedTo(to.dc, scaled);
        POINT formerOrigin = {};
        int formerMode = SetStretchBltMode(to.dc, HALFTONE);
        SetBrushOrgEx(to.dc, 0, 0, &formerOrigin);
        StretchBlt(to.dc, 0, 0, width, height, from.dc, source.left, source.top, sourceWidth, sourceHeight,
                   SRCCOPY);
#ifdef TESSIVON_BENCH_COUNTERS
        WallpaperStretchCount++;
#endif
        SetStretchBltMode(to.dc, formerMode);
        SetBrushOrgEx(to.dc, formerOrigin.x, formerOrigin.y, nullptr);
    }
    *cache = {scaled, width, height, sourceWidth, sourceHeight, picture, (int)source.left, (int)source.top};
}

// The picture's source rectangle scaled to the size, from the cache when it is
// the last call's. Screens of one size showing the same part share it.
static HBITMAP ScaledPicture(ScaledWallpaper *cache, HBITMAP picture, HDC target, int width, int height,
                             const RECT &source)
{
    if (!cache->bitmap || cache->width != width || cache->height != height || cache->picture != picture ||
        cache->sourceX != source.left || cache->sourceY != source.top ||
        cache->sourceWidth != source.right - source.left || cache->sourceHeight != source.bottom - source.top)
        StretchWallpaperToCache(cache, picture, target, width, height, source);
    return cache->bitmap;
}

void DrawWallpaperCached(ScaledWallpaper *cache, HBITMAP picture, HDC target, int x, int y, int width,
                         int height, int sourceX, int sourceY, int sourceWidth, int sourceHeight)
{
    if (width <= 0 || height <= 0)
        return;
    RECT source = {sourceX, sourceY, sourceX + sourceWidth, sourceY + sourceHeight};
    HBITMAP scaled = ScaledPicture(cache, picture, target, width, height, source);
    ScopedMemoryDC memory(target);
    ScopedSelection selected(memory.dc, scaled);
    if (scaled)
        BitBlt(target, x, y, width, height, memory.dc, 0, 0, SRCCOPY);
}

static void FillDesktopColor(HDC dc, int width, int height)
{
    RECT item = {0, 0, width, height};
    ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(GetSysColor(COLOR_BACKGROUND)));
    FillRect(dc, &item, brush.handle);
}

// A rectangle of the file's picture in the pixels of the decoded part.
static RECT InDecodedPart(const WallpaperPicture *picture, const RECT &source)
{
    int partWidth = picture->part.right - picture->part.left;
    int partHeight = picture->part.bottom - picture->part.top;
    auto x = [&](LONG value) {
        return std::clamp(MulDiv(value - picture->part.left, picture->bitmapWidth, partWidth), 0,
                          picture->bitmapWidth);
    };
    auto y = [&](LONG value) {
        return std::clamp(MulDiv(value - picture->part.top, picture->bitmapHeight, partHeight), 0,
                          picture->bitmapHeight);
    };
    RECT decoded = {x(source.left), y(source.top), x(source.right), y(source.bottom)};
    decoded.right = std::max(decoded.right, decoded.left + 1);
    decoded.bottom = std::max(decoded.bottom, decoded.top + 1);
    return decoded;
}

// The first tile scaled once and repeated across the item from its top-left
// corner as a pattern, so that even a tile of one pixel costs one fill. A
// picture larger than the monitor shows its top-left part, as the desktop does.
static void DrawTiled(CanvasState *state, const WallpaperPicture *picture, HDC dc, int width, int height,
                      const WallpaperPlacement &placement)
{
    int tileWidth = ScaleToCanvas(placement.shown.right, state->scale);
    int tileHeight = ScaleToCanvas(placement.shown.bottom, state->scale);
    HBITMAP tile = tileWidth > 0 && tileHeight > 0
                       ? ScaledPicture(&state->wallpaperCache, picture->bitmap, dc, tileWidth, tileHeight,
                                       InDecodedPart(picture, placement.source))
                       : nullptr;
    // A tile too small to see would never cover the item.
    if (!tile) {
        FillDesktopColor(dc, width, height);
        return;
    }
    ScopedGdiObject<HBRUSH> pattern(CreatePatternBrush(tile));
    SetBrushOrgEx(dc, 0, 0, nullptr);
    RECT item = {0, 0, width, height};
    FillRect(dc, &item, pattern.handle);
}

// The shown part on the item: each edge keeps its scaled distance from the
// item's edge on its side, so a centred picture stays centred.
static RECT ShownOnItem(const RECT &shown, const RECT &monitor, int width, int height, float scale)
{
    return {ScaleToCanvas(shown.left, scale), ScaleToCanvas(shown.top, scale),
            width - ScaleToCanvas(monitor.right - monitor.left - shown.right, scale),
            height - ScaleToCanvas(monitor.bottom - monitor.top - shown.bottom, scale)};
}

bool DrawScreenWallpaper(CanvasState *state, HDC dc, const RECT &monitor, int width, int height)
{
    int mode = state->wallpaperMode;
    if (!KnownMode(mode))
        return false;
    if (state->scale > 0)
        ScheduleWallpaperDecoding(state, HighestZoomScale(state));
    // Until its picture is ready, or without one, the monitor shows the desktop colour.
    WallpaperPicture *picture = MonitorWallpaper(state, monitor);
    if (!picture || !picture->bitmap || state->scale <= 0) {
        FillDesktopColor(dc, width, height);
        return true;
    }
    WallpaperPlacement placement =
        PlaceWallpaper(mode, {picture->width, picture->height}, monitor, VirtualScreenRect());
    if (mode == WALLPAPER_TILE) {
        DrawTiled(state, picture, dc, width, height, placement);
        return true;
    }
    if (!IsRectEmpty(&placement.shown)) {
        RECT drawn = ShownOnItem(placement.shown, monitor, width, height, state->scale);
        RECT source = InDecodedPart(picture, placement.source);
        DrawWallpaperCached(&state->wallpaperCache, picture->bitmap, dc, drawn.left, drawn.top,
                            drawn.right - drawn.left, drawn.bottom - drawn.top, source.left, source.top,
                            source.right - source.left, source.bottom - source.top);
        if (drawn.left <= 0 && drawn.top <= 0 && drawn.right >= width && drawn.bottom >= height)
            return true;
        // The margins around a small or fitted picture take the desktop colour.
        ExcludeClipRect(dc, drawn.left, drawn.top, drawn.right, drawn.bottom);
    }
    FillDesktopColor(dc, width, height);
    return true;
}
