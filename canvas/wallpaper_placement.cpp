// Where a wallpaper shows in each of the desktop's modes, and the part of the picture worth decoding.
// Plain arithmetic on the picture's and the monitors' sizes, used by both the
// decoding (canvas/wallpaper_file.cpp) and the drawing (canvas/wallpaper.cpp).
#include <algorithm>
#include <cmath>

#include "canvas/canvas.h"

// Whole numbers only; anything else, or a style the desktop does not know, is centred.
int WallpaperModeFromValues(const wchar_t *tile, const wchar_t *style)
{
    if (tile && tile[0] == L'1' && !tile[1])
        return WALLPAPER_TILE;
    int value = 0, digits = 0;
    for (; style && style[digits] >= L'0' && style[digits] <= L'9' && digits < 4; digits++)
        value = value * 10 + (style[digits] - L'0');
    if (!digits || (style && style[digits]))
        return WALLPAPER_CENTRE;
    static const int known[] = {WALLPAPER_CENTRE, WALLPAPER_STRETCH, WALLPAPER_FIT, WALLPAPER_FILL,
                                WALLPAPER_SPAN};
    for (int mode : known)
        if (value == mode)
            return mode;
    return WALLPAPER_CENTRE;
}

static int Round(double value) { return (int)std::floor(value + 0.5); }

WallpaperPlacement PlaceWallpaper(int mode, SIZE picture, const RECT &monitor, const RECT &virtualScreen)
{
    int monitorWidth = monitor.right - monitor.left, monitorHeight = monitor.bottom - monitor.top;
    WallpaperPlacement placement = {};
    if (mode == WALLPAPER_TILE) {
        placement.source = {0, 0, std::min(monitorWidth, (int)picture.cx),
                            std::min(monitorHeight, (int)picture.cy)};
        placement.shown = placement.source;
        return placement;
    }
    // The picture's place (left, top, kx, ky: its scale on each axis) on the
    // monitor's pixels; it is centred on the monitor, or on the virtual screen
    // for span. Centring halves in whole pixels, as the desktop does.
    const RECT &area = mode == WALLPAPER_SPAN ? virtualScreen : monitor;
    double areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    double kx = areaWidth / picture.cx, ky = areaHeight / picture.cy;
    if (mode == WALLPAPER_CENTRE)
        kx = ky = 1;
    else if (mode == WALLPAPER_FIT)
        kx = ky = std::min(kx, ky);
    else if (mode == WALLPAPER_FILL || mode == WALLPAPER_SPAN)
        kx = ky = std::max(kx, ky);
    double left = area.left - monitor.left + std::trunc((areaWidth - picture.cx * kx) / 2);
    double top = area.top - monitor.top + std::trunc((areaHeight - picture.cy * ky) / 2);
    double shownLeft = std::max(left, 0.0), shownTop = std::max(top, 0.0);
    double shownRight = std::min(left + picture.cx * kx, (double)monitorWidth);
    double shownBottom = std::min(top + picture.cy * ky, (double)monitorHeight);
    if (shownRight <= shownLeft || shownBottom <= shownTop)
        return placement;
    placement.shown = {Round(shownLeft), Round(shownTop), Round(shownRight), Round(shownBottom)};
    placement.source = {Round((shownLeft - left) / kx), Round((shownTop - top) / ky),
                        Round((shownRight - left) / kx), Round((shownBottom - top) / ky)};
    return placement;
}

bool WantedWallpaperPart(int mode, SIZE picture, const RECT *monitors, int monitorCount,
                         const RECT &virtualScreen, float scale, RECT *part, SIZE *size)
{
    RECT wanted = {};
    double factor = 0;
    for (int i = 0; i < monitorCount; i++) {
        WallpaperPlacement placement = PlaceWallpaper(mode, picture, monitors[i], virtualScreen);
        const RECT &source = placement.source, &shown = placement.shown;
        if (IsRectEmpty(&source))
            continue;
        UnionRect(&wanted, &wanted, &source);
        factor = std::max(factor, (double)(shown.right - shown.left) * scale / (source.right - source.left));
        factor = std::max(factor, (double)(shown.bottom - shown.top) * scale / (source.bottom - source.top));
    }
    if (IsRectEmpty(&wanted))
        return false;
    // Never larger than the file's own picture.
    factor = std::min(factor, 1.0);
    *part = wanted;
    size->cx = std::max(1, (int)std::ceil((wanted.right - wanted.left) * factor));
    size->cy = std::max(1, (int)std::ceil((wanted.bottom - wanted.top) * factor));
    return true;
}
