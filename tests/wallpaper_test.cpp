// The wallpaper as the desktop shows it: real JPEG and PNG files in each mode,
// read back from the screen items' pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/canvas_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

const COLORREF Red = RGB(220, 30, 30), Green = RGB(30, 200, 60), Blue = RGB(30, 60, 220),
               Desktop = CLR_INVALID;

// A picture WIDTH wide: its left quarter red, its right quarter blue, green between.
template <int WIDTH> COLORREF Quarters(int x, int)
{
    return x < WIDTH / 4 ? Red : x >= WIDTH * 3 / 4 ? Blue : Green;
}

struct Wallpaper : ::testing::Test {
    RegistryGuard registry;
    ScopedSimAdapter adapter;
};

// Within what JPEG and scaling blur; the desktop colour exactly.
::testing::AssertionResult Shows(HWND item, int x, int y, COLORREF color)
{
    COLORREF seen = Pixel(item, x, y);
    if (color == Desktop ? seen == GetSysColor(COLOR_BACKGROUND) : Near(seen, color, 30))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << x << ", " << y << ") shows " << seen << " for " << color;
}

// The dialog on the one 1024 by 768 monitor at scale 0.25 (the item 256 by 192).
void OnQuarterScale(const std::function<void(HWND item, ExtPropState &state)> &check)
{
    ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        ZoomToAQuarter(dialog, state);
        check(state.canvas.screenItems[0], state);
    }));
}

// An 800 by 400 picture on the 4:3 monitor in each mode, from JPEG and PNG
// files and a JPEG without an extension; a smaller one tiled.
TEST_F(Wallpaper, EachModeShowsThePictureAsTheDesktopDoes)
{
    const struct {
        std::vector<std::tuple<int, int, COLORREF>> points;
        const wchar_t *name, *style, *tile;
    } modes[] = {
        // clang-format off
        // Centred at (112, 184): (28, 46) to (228, 146) on the item.
        {{{30, 48, Red}, {128, 96, Green}, {225, 143, Blue}, {27, 96, Desktop}, {128, 45, Desktop},
          {228, 96, Desktop}, {128, 146, Desktop}}, L"centre.jpg", L"0", L"0"},
        // Fitted to 1024 by 512 between bands of the desktop colour (rows 32 to 160).
        {{{1, 34, Red}, {254, 157, Blue}, {128, 31, Desktop}, {128, 160, Desktop}}, L"fit.png", L"6", L"0"},
        // Filled, not tiled: 1536 by 768 cropped to the picture's columns 133 to
        // 667, red to item column 32, blue from 224; tiles of 200 would show red at 210.
        {{{1, 1, Red}, {28, 190, Red}, {36, 96, Green}, {210, 96, Green}, {228, 1, Blue}, {254, 190, Blue}},
         L"fill.jpg", L"10", L"0"},
        // Stretched, from the copy the desktop keeps without an extension.
        {{{1, 1, Red}, {60, 190, Red}, {68, 96, Green}, {254, 190, Blue}}, L"TranscodedWallpaper", L"2", L"0"},
        // A 100 by 50 picture in tiles of 25 by 12 from the corner.
        {{{2, 2, Red}, {12, 6, Green}, {22, 2, Blue}, {27, 2, Red}, {47, 30, Blue}, {251, 186, Red}},
         L"tile.png", L"0", L"1"},
        // clang-format on
    };
    for (const auto &mode : modes) {
        bool tiled = mode.tile[0] == L'1';
        ASSERT_TRUE(
            WritePicture(TempPath(mode.name), tiled ? 100 : 800, tiled ? 50 : 400, 0,
                         tiled ? Quarters<100> : Quarters<800>,
                         wcsstr(mode.name, L".png") ? GUID_ContainerFormatPng : GUID_ContainerFormatJpeg));
        ScopedWallpaper wallpaper(TempPath(mode.name), mode.style, mode.tile);
        OnQuarterScale([&](HWND item, ExtPropState &) {
            for (auto [x, y, color] : mode.points)
                EXPECT_TRUE(Shows(item, x, y, color)) << mode.name;
        });
    }
    // What the desktop does not know is centred.
    for (const wchar_t *unknown : {L"1", L"100", L"10x", L"", L"99999999999"})
        EXPECT_EQ(WallpaperModeFromValues(L"0", unknown), WALLPAPER_CENTRE) << unknown;

    // Files without a picture to show (text, a header claiming 100,000 by
    // 100,000 pixels) draw the desktop colour; a large picture is held no
    // larger than the largest screen item shows it.
    BITMAPINFOHEADER info = {sizeof(info), 100000, 100000, 1, 24, 0, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file = {0x4D42, sizeof(file) + sizeof(info) + 16, 0, 0, sizeof(file) + sizeof(info)};
    std::ofstream(TempPath(L"huge.bmp").c_str(), std::ios::binary)
        << std::string((const char *)&file, sizeof(file)) << std::string((const char *)&info, sizeof(info))
        << std::string(16, '\x7F');
    std::ofstream(TempPath(L"text.jpg").c_str(), std::ios::binary) << "this is no picture\r\n";
    for (const wchar_t *name : {L"huge.bmp", L"text.jpg"}) {
        ScopedWallpaper wallpaper(TempPath(name), L"2");
        OnQuarterScale([&](HWND item, ExtPropState &state) {
            EXPECT_TRUE(Shows(item, 1, 1, Desktop) && Shows(item, 254, 190, Desktop)) << name;
            EXPECT_TRUE(state.canvas.wallpapers[0].unreadable);
        });
    }
    ScopedWallpaper wallpaper(3840, 2160, 0, L"2", Quarters<3840>, GUID_ContainerFormatJpeg, L"large.jpg");
    OnQuarterScale([&](HWND item, ExtPropState &state) {
        // The green middle above the screen's number.
        EXPECT_TRUE(Shows(item, 1, 1, Red) && Shows(item, 128, 30, Green) && Shows(item, 254, 190, Blue));
        const WallpaperPicture &picture = state.canvas.wallpapers[0];
        RECT frame;
        GetClientRect(state.canvas.canvasFrame, &frame);
        EXPECT_EQ(picture.width * 10000 + picture.height, 3840 * 10000 + 2160);
        EXPECT_TRUE(picture.bitmapWidth >= 256 && picture.bitmapWidth <= frame.right &&
                    picture.bitmapHeight <= frame.bottom)
            << picture.bitmapWidth << " x " << picture.bitmapHeight;
    });
}

// Span lays one picture over both monitors (2048 by 1024: red on the first's
// left half, blue on the second's right half); stretch gives each the whole
// picture. This platform keeps no wallpaper per monitor: each shows the one.
TEST_F(Wallpaper, SpanAcrossTwoMonitorsAndTheOneWallpaperOnEach)
{
    SimSetMonitors(2);
    adapter.Install();
    for (bool span : {true, false}) {
        ScopedWallpaper wallpaper(800, 400, 0, span ? L"22" : L"2", Quarters<800>, GUID_ContainerFormatJpeg,
                                  L"span.jpg");
        ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
            WaitForWallpapers(dialog, state);
            EXPECT_EQ(state.canvas.wallpaperCount, 1);
            HWND first = state.canvas.screenItems[0], second = state.canvas.screenItems[1];
            RECT item;
            GetClientRect(first, &item);
            // Inside the frame of the selected first screen.
            int w = item.right, h = item.bottom;
            EXPECT_TRUE(Shows(first, span ? w / 4 : 8, h / 2, Red));
            EXPECT_TRUE(Shows(first, span ? w * 3 / 4 : w - 9, h / 2, span ? Green : Blue));
            EXPECT_TRUE(Shows(second, span ? w / 4 : 8, h / 2, span ? Green : Red));
            EXPECT_TRUE(Shows(second, span ? w * 3 / 4 : w - 9, h / 2, Blue));
        }));
    }
    // The scaled copy of one part of the picture is not another part of the same size.
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 2, 1, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    DWORD *bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, (void **)&bits, nullptr, 0);
    bits[0] = 0xDC1E1E, bits[1] = 0x1E3CDC; // red, blue
    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC target(screen.dc);
    ScopedGdiObject<HBITMAP> canvas(CreateCompatibleBitmap(screen.dc, 8, 8));
    ScopedSelection selected(target.dc, canvas.handle);
    ScaledWallpaper cache = {};
    for (int part = 0; part < 2; part++) {
        DrawWallpaperCached(&cache, picture, target.dc, 0, 0, 8, 8, part, 0, 1, 1);
        EXPECT_EQ(GetPixel(target.dc, 4, 4), part ? Blue : Red);
    }
    DeleteWallpaperCache(&cache);
    DeleteObject(picture);
}

} // namespace
