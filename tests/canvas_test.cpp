#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "canvas/canvas.h"
#include "dialog/ext_prop.h"
#include "shell/tessivon.h"
#include "tests/registry_guard.h"

namespace {

void SetDesktopValue(const char *name, const char *value)
{
    HKEY key;
    RegCreateKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &key);
    if (value)
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)value, lstrlenA(value) + 1);
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// The wallpaper that the desktop values name (read from the registry before
// Windows 2000, which a test can set): its size and how it is laid out.
TEST(Wallpaper, PictureSizeAndLayoutMode)
{
    char picture[MAX_PATH];
    lstrcatA((GetTempPathA(MAX_PATH, picture), picture), "tessivon_wallpaper_test.bmp");
    BITMAPFILEHEADER file = {0x4D42, 54 + 120 * 30, 0, 0, 54}; // 40 x 30 pixels of 24 bits
    BITMAPINFOHEADER header = {sizeof(header), 40, 30, 1, 24, 0, 0, 0, 0, 0, 0};
    std::string bytes =
        std::string((char *)&file, 14) + std::string((char *)&header, 40) + std::string(3600, 0);
    FILE *out = fopen(picture, "wb");
    fclose((fwrite(bytes.data(), 1, bytes.size(), out), out));
    ExtPropState state = {};
    ActiveExtPropState = &state;
    IsWindows2000OrLater = FALSE;
    // Untiled, the style gives the layout.
    const char *names[3] = {"Wallpaper", "TileWallpaper", "WallpaperStyle"}, *values[3] = {picture, "0", "2"};
    for (int k = 0; k < 3; k++)
        SetDesktopValue(names[k], values[k]);
    LoadWallpaper();
    EXPECT_EQ(std::make_tuple(state.wallpaperWidth, state.wallpaperHeight, state.wallpaperMode),
              std::make_tuple(40, 30, 2));
    DeleteObject(state.wallpaper);
    for (const char *name : names)
        SetDesktopValue(name, nullptr);
    ActiveExtPropState = nullptr;
    IsWindows2000OrLater = TRUE;
    DeleteFileA(picture);

    // Bottom-up and top-down pictures, each read into a cleared size.
    for (int signedHeight : {30, -30}) {
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 40, signedHeight, 1, 24, 0, 0, 0, 0, 0, 0}, {}};
        void *bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        int width = 0, height = 0;
        GetBitmapSize(nullptr, bitmap, &width, &height);
        EXPECT_EQ(width * 100 + height, 4030) << signedHeight;
        DeleteObject(bitmap);
    }
}

} // namespace
