#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "canvas/canvas.h"
#include "dialog/ext_prop.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"

namespace {

TEST(CanvasGeometry, LayoutAndTransformsTruncateTowardZero)
{
    // The float of 200/768 lies just below it, so the height truncates to 199;
    // the margin is taken once from each direction.
    for (auto [bottom, margin, scale, width, height] :
         {std::tuple{250, 50, (float)(200.0 / 768), 266, 199}, std::tuple{248, 200, 0.0625f, 64, 48}}) {
        CanvasLayout layout = ComputeCanvasLayout({0, 0, 450, bottom}, margin, 1024, 768);
        EXPECT_EQ(std::make_tuple(layout.scale, layout.miniWidth, layout.miniHeight),
                  std::make_tuple(scale, width, height));
    }
    // 49 / 0.19140625 is exactly 256, but 49 x (1 / 0.19140625) is a hair below.
    EXPECT_EQ(ScaleToDesktop(49, 0.19140625f), 255);
    // The size scaled on its own: trunc(702 s) = 180 wide, not trunc(1404 s) - trunc(702 s) = 181.
    EXPECT_RECT(DesktopRectToCanvas({702, 0, 1404, 768}, {0, 0}, {10, 20}, 0.2578125f), 190, 20, 370, 218);
    // A rectangle larger than the area hangs over by half the excess, halved toward zero.
    EXPECT_RECT(CenterRectInArea({0, 0, 1101, 800}, {-1024, 0, 0, 768}), -1062, -16, 39, 784);
}

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
    // Tiled ignores the style, untiled takes it, odd values mean centred (0).
    const char *names[3] = {"Wallpaper", "TileWallpaper", "WallpaperStyle"};
    for (auto [tile, style, mode] : {std::tuple{"1", "2", 1}, {"0", "2", 2}, {"", "7", 0}}) {
        const char *values[3] = {picture, tile, style};
        for (int k = 0; k < 3; k++)
            SetDesktopValue(names[k], values[k]);
        DeleteObject(state.wallpaper);
        state = {};
        LoadWallpaper();
        EXPECT_EQ(std::make_tuple(state.wallpaperWidth, state.wallpaperHeight, state.wallpaperMode),
                  std::make_tuple(40, 30, mode));
    }
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
