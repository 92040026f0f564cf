#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "canvas/canvas.h"
#include "dialog/ext_prop.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"

namespace {

TEST(CanvasGeometry, LayoutAndTransformsTruncateTowardZero)
{
    struct Case {
        RECT frame;
        int margin, width, height;
        float scale;
        int miniWidth, miniHeight, x, y;
    } const cases[] = {
        // The float of 200/768 lies just below it, so the height truncates to 199.
        {{7, 11, 457, 261}, 50, 1024, 768, (float)(200.0 / 768), 266, 199, 7 + 25 + 67, 11 + 25},
        {{9, 47, 459, 295}, 50, 2048, 768, 0.1953125f, 400, 150, 9 + 25, 47 + 25 + 24},
        // The margin is taken once from each direction: 450 - 200 by 248 - 200.
        {{0, 0, 450, 248}, 200, 1024, 768, 0.0625f, 64, 48, 100 + 93, 100}};
    for (const Case &c : cases) {
        CanvasLayout layout = ComputeCanvasLayout(c.frame, c.margin, c.width, c.height);
        EXPECT_EQ(layout.scale, c.scale);
        EXPECT_EQ(std::make_tuple(layout.desktopOrigin.x, layout.desktopOrigin.y, layout.miniWidth,
                                  layout.miniHeight),
                  std::make_tuple((LONG)c.x, (LONG)c.y, c.miniWidth, c.miniHeight));
    }
    // A frame smaller than the margin, or an empty desktop, still gives a positive scale.
    EXPECT_GT(ComputeCanvasLayout({0, 0, 40, 40}, 50, 1024, 768).scale, 0.0f);
    EXPECT_GT(ComputeCanvasLayout({0, 0, 450, 248}, 50, 0, 0).scale, 0.0f);
    EXPECT_EQ(ScaleToCanvas(-7, 0.5f), -3);
    // 49 / 0.19140625 is exactly 256, but 49 x (1 / 0.19140625) is a hair below.
    EXPECT_EQ(ScaleToDesktop(49, 0.19140625f), 255);
    // A monitor left of and above the primary; the size scaled on its own:
    // trunc(702 s) = 180 wide, not trunc(1404 s) - trunc(702 s) = 181.
    EXPECT_RECT(DesktopRectToCanvas({702, 0, 1404, 768}, {0, 0}, {10, 20}, 0.2578125f), 190, 20, 370, 218);
    // A rectangle larger than the area hangs over by half the excess, halved toward zero.
    EXPECT_RECT(CenterRectInArea({0, 0, 1101, 800}, {-1024, 0, 0, 768}), -1024 - 38, -16, -1024 - 38 + 1101,
                784);
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
    GetTempPathA(MAX_PATH, picture);
    lstrcatA(picture, "tessivon_wallpaper_test.bmp");
    BITMAPFILEHEADER file = {0x4D42, 54 + 120 * 30, 0, 0, 54}; // 40 x 30 pixels of 24 bits
    BITMAPINFOHEADER header = {sizeof(header), 40, 30, 1, 24, 0, 0, 0, 0, 0, 0};
    std::string bytes =
        std::string((char *)&file, 14) + std::string((char *)&header, 40) + std::string(3600, 0);
    HANDLE handle = CreateFileA(picture, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(handle, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(handle);
    ExtPropState state = {};
    ActiveExtPropState = &state;
    IsWindows2000OrLater = FALSE;
    // Tiled ignores the style, untiled takes it, missing or odd values mean
    // centred (0); without a picture nothing is loaded (-1).
    const char *names[3] = {"Wallpaper", "TileWallpaper", "WallpaperStyle"};
    const std::tuple<const char *, const char *, const char *, int> cases[] = {
        {picture, "1", "2", 1},
        {picture, "0", "2", 2},
        {picture, "", "7", 0},
        {"C:\\no\\such.bmp", nullptr, nullptr, -1}};
    for (auto [path, tile, style, mode] : cases) {
        const char *values[3] = {path, tile, style};
        for (int k = 0; k < 3; k++)
            SetDesktopValue(names[k], values[k]);
        DeleteObject(state.wallpaper);
        state = {};
        LoadWallpaper();
        EXPECT_EQ(state.wallpaperWidth * 100 + state.wallpaperHeight, mode < 0 ? 0 : 4030);
        EXPECT_EQ(state.wallpaperMode, mode < 0 ? 0 : mode);
    }
    for (const char *name : names)
        SetDesktopValue(name, nullptr);
    ActiveExtPropState = nullptr;
    IsWindows2000OrLater = TRUE;
    DeleteFileA(picture);

    // Bottom-up and top-down pictures, each read into a cleared size.
    int width, height;
    for (int signedHeight : {30, -30}) {
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 40, signedHeight, 1, 24, 0, 0, 0, 0, 0, 0}, {}};
        void *bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        width = height = 0;
        GetBitmapSize(nullptr, bitmap, &width, &height);
        EXPECT_EQ(width * 100 + height, 4030) << signedHeight;
        DeleteObject(bitmap);
    }
}

} // namespace
