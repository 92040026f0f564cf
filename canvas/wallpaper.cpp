#include <cstdlib>

#include "base/facts.h"
#include "base/scoped.h"
#include "canvas/canvas.h"
#include "settings/settings.h"

enum WallpaperMode { WALLPAPER_CENTRE, WALLPAPER_TILE, WALLPAPER_STRETCH };

unsigned long WallpaperStretchCount;

// The layout values hold one digit; anything else counts as centred.
static bool ReadLayoutDigit(HKEY key, const wchar_t *name, int *mode)
{
    wchar_t text[5] = L"XXXX";
    DWORD size = 4 * sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(text), &size) != ERROR_SUCCESS)
        return false;
    int digit = text[0] - L'0';
    *mode = digit >= 0 && digit <= 2 ? digit : 0;
    return true;
}

void LoadWallpaper(CanvasState *state)
{
    ScopedKey desktop;
    bool opened = desktop.Open(DESKTOP_KEY);

    wchar_t path[MAX_PATH] = L"";
    if (IsWindows2000OrLater) {
        SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
    } else if (opened) {
        DWORD size = sizeof(path) - sizeof(wchar_t);
        RegQueryValueExW(desktop.key, L"Wallpaper", nullptr, nullptr, reinterpret_cast<BYTE *>(path), &size);
    }
    path[MAX_PATH - 1] = L'\0';

    if (opened) {
        ReadLayoutDigit(desktop.key, L"TileWallpaper", &state->wallpaperMode);
        if (state->wallpaperMode == 0)
            ReadLayoutDigit(desktop.key, L"WallpaperStyle", &state->wallpaperMode);
    }

    if (path[0]) {
        state->wallpaper = static_cast<HBITMAP>(
            LoadImageW(InstanceHandle, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        if (state->wallpaper)
            GetBitmapSize(state->dialog, state->wallpaper, &state->wallpaperWidth, &state->wallpaperHeight);
    }
}

void GetBitmapSize(HWND window, HBITMAP bitmap, int *width, int *height)
{
    // Room for the colour masks or table that GetDIBits may write after the header.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info = {};
    info.header.biSize = sizeof(info.header);
    ScopedWindowDC dc(window);
    int lines =
        GetDIBits(dc.dc, bitmap, 0, 100, nullptr, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS);
    if (!lines)
        return;
    *width = info.header.biWidth;
    // A top-down picture reports its height as negative.
    *height = std::abs(info.header.biHeight);
}

void DeleteWallpaperCache(ScaledWallpaper *cache)
{
    if (cache->bitmap)
        DeleteObject(cache->bitmap);
    *cache = {};
}

static void StretchWallpaperToCache(ScaledWallpaper *cache, HBITMAP picture, HDC target, int width,
                                    int height, int sourceX, int sourceY, int sourceWidth, int sourceHeight)
{
    DeleteWallpaperCache(cache);
    HBITMAP scaled = CreateCompatibleBitmap(target, width, height);
    if (!scaled)
        return;
    {
        ScopedMemoryDC source(target), destination(target);
        ScopedSelection from(source.dc, picture), to(destination.dc, scaled);
        int formerMode = 0;
        POINT formerOrigin = {};
        if (IsWindows2000OrLater) {
            formerMode = SetStretchBltMode(destination.dc, HALFTONE);
            SetBrushOrgEx(destination.dc, 0, 0, &formerOrigin);
        }
        StretchBlt(destination.dc, 0, 0, width, height, source.dc, sourceX, sourceY, sourceWidth,
                   sourceHeight, SRCCOPY);
        WallpaperStretchCount++;
        if (IsWindows2000OrLater) {
            SetStretchBltMode(destination.dc, formerMode);
            SetBrushOrgEx(destination.dc, formerOrigin.x, formerOrigin.y, nullptr);
        }
    }
    *cache = {scaled, width, height, sourceWidth, sourceHeight};
}

// The picture's source rectangle scaled to the size, from the cache when the
// sizes are the last call's. The key holds neither the picture nor the source
// position: two screens of one size share the scaled image.
static HBITMAP ScaledPicture(ScaledWallpaper *cache, HBITMAP picture, HDC target, int width, int height,
                             int sourceX, int sourceY, int sourceWidth, int sourceHeight)
{
    if (!cache->bitmap || cache->width != width || cache->height != height ||
        cache->sourceWidth != sourceWidth || cache->sourceHeight != sourceHeight)
        StretchWallpaperToCache(cache, picture, target, width, height, sourceX, sourceY, sourceWidth,
                                sourceHeight);
    return cache->bitmap;
}

void DrawWallpaperCached(ScaledWallpaper *cache, HBITMAP picture, HDC target, int x, int y, int width,
                         int height, int sourceX, int sourceY, int sourceWidth, int sourceHeight)
{
    if (width <= 0 || height <= 0)
        return;
    HBITMAP scaled =
        ScaledPicture(cache, picture, target, width, height, sourceX, sourceY, sourceWidth, sourceHeight);
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

// One axis of the centred picture: where it goes on the item and which part of
// it is shown, for a monitor of `monitor` and a picture of `picture` pixels.
static void CentreAxis(int monitor, int picture, float scale, int *offset, int *source, int *sourceSize)
{
    if (monitor > picture) {
        *offset = ScaleToCanvas((monitor - picture) / 2, scale);
        *source = 0;
        *sourceSize = picture;
    } else {
        *offset = 0;
        *source = (picture - monitor) / 2;
        *sourceSize = monitor;
    }
}

static void DrawCentred(CanvasState *state, HDC dc, int width, int height, int monitorWidth,
                        int monitorHeight)
{
    int dx, dy, sourceX, sourceY, sourceWidth, sourceHeight;
    CentreAxis(monitorWidth, state->wallpaperWidth, state->scale, &dx, &sourceX, &sourceWidth);
    CentreAxis(monitorHeight, state->wallpaperHeight, state->scale, &dy, &sourceY, &sourceHeight);
    int drawnWidth = width - 2 * dx, drawnHeight = height - 2 * dy;
    DrawWallpaperCached(&state->wallpaperCache, state->wallpaper, dc, dx, dy, drawnWidth, drawnHeight,
                        sourceX, sourceY, sourceWidth, sourceHeight);
    // The margins around a small picture take the desktop colour.
    ExcludeClipRect(dc, dx, dy, dx + drawnWidth, dy + drawnHeight);
    FillDesktopColor(dc, width, height);
}

// The picture at its true scale, repeated across the item from its top-left
// corner as a pattern, so that even a tile of one pixel costs one fill. A
// picture larger than the monitor shows its top-left part, as the desktop does.
static void DrawTiled(CanvasState *state, HDC dc, int width, int height, int monitorWidth, int monitorHeight)
{
    int shownWidth = monitorWidth < state->wallpaperWidth ? monitorWidth : state->wallpaperWidth;
    int shownHeight = monitorHeight < state->wallpaperHeight ? monitorHeight : state->wallpaperHeight;
    int tileWidth = ScaleToCanvas(shownWidth, state->scale);
    int tileHeight = ScaleToCanvas(shownHeight, state->scale);
    HBITMAP tile = tileWidth > 0 && tileHeight > 0
                       ? ScaledPicture(&state->wallpaperCache, state->wallpaper, dc, tileWidth, tileHeight, 0,
                                       0, shownWidth, shownHeight)
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

bool DrawScreenWallpaper(CanvasState *state, HDC dc, int width, int height)
{
    int mode = state->wallpaperMode;
    if (mode != WALLPAPER_CENTRE && mode != WALLPAPER_TILE && mode != WALLPAPER_STRETCH)
        return false;
    // Without a picture the desktop shows its colour.
    if (!state->wallpaper || state->wallpaperWidth <= 0 || state->wallpaperHeight <= 0 || state->scale <= 0) {
        FillDesktopColor(dc, width, height);
        return true;
    }
    int monitorWidth = ScaleToDesktop(width, state->scale);
    int monitorHeight = ScaleToDesktop(height, state->scale);
    if (mode == WALLPAPER_CENTRE)
        DrawCentred(state, dc, width, height, monitorWidth, monitorHeight);
    else if (mode == WALLPAPER_TILE)
        DrawTiled(state, dc, width, height, monitorWidth, monitorHeight);
    else
        DrawWallpaperCached(&state->wallpaperCache, state->wallpaper, dc, 0, 0, width, height, 0, 0,
                            state->wallpaperWidth, state->wallpaperHeight);
    return true;
}
