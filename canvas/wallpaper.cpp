#include <cstdlib>

#include "canvas/canvas.h"
#include "dialog/ext_prop.h"
#include "settings/settings.h"
#include "shell/tessivon.h"

// The layout values hold one digit; anything else counts as centred.
static bool ReadLayoutDigit(HKEY key, const char *name, int *mode)
{
    char text[5] = "XXXX";
    DWORD size = 4;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(text), &size) != ERROR_SUCCESS)
        return false;
    int digit = text[0] - '0';
    *mode = digit >= 0 && digit <= 2 ? digit : 0;
    return true;
}

void LoadWallpaper()
{
    ExtPropState *state = ActiveExtPropState;
    ScopedKey desktop;
    bool opened = desktop.Open(DESKTOP_KEY);

    char path[MAX_PATH] = "";
    if (IsWindows2000OrLater) {
        SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof(path), path, 0);
    } else if (opened) {
        DWORD size = sizeof(path) - 1;
        RegQueryValueExA(desktop.key, "Wallpaper", nullptr, nullptr, reinterpret_cast<BYTE *>(path), &size);
    }
    path[sizeof(path) - 1] = '\0';

    if (opened) {
        ReadLayoutDigit(desktop.key, "TileWallpaper", &state->wallpaperMode);
        if (state->wallpaperMode == 0)
            ReadLayoutDigit(desktop.key, "WallpaperStyle", &state->wallpaperMode);
    }

    if (path[0]) {
        state->wallpaper = static_cast<HBITMAP>(
            LoadImageA(InstanceHandle, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        if (state->wallpaper)
            GetBitmapSize(state->dialogWindow, state->wallpaper, &state->wallpaperWidth,
                          &state->wallpaperHeight);
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
    HDC dc = GetDC(window);
    int lines = GetDIBits(dc, bitmap, 0, 100, nullptr, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS);
    ReleaseDC(window, dc);
    if (!lines)
        return;
    *width = info.header.biWidth;
    // A top-down picture reports its height as negative.
    *height = std::abs(info.header.biHeight);
}

static WNDPROC FormerCanvasProc(HWND window)
{
    ExtPropState *state = ActiveExtPropState;
    WNDPROC former = nullptr;
    if (state) {
        for (int i = 0; i < MAX_SCREEN_ITEMS; i++)
            if (window == state->screenItems[i])
                former = state->screenItemProcs[i];
        if (window == state->canvasFrame)
            former = state->canvasFrameProc;
        else if (window == state->desktopMiniature)
            former = state->desktopMiniatureProc;
    }
    return former ? former : DefWindowProcA;
}

// The canvas controls are taken over here; until their own painting exists
// every message goes on to the procedure each control had before.
LRESULT CALLBACK CanvasSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(FormerCanvasProc(window), window, message, wParam, lParam);
}
