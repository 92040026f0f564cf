// The canvas read back in pixels from the real dialog.
#include <gtest/gtest.h>

#include <string>

#include "canvas/canvas.h"
#include "dialog/ext_prop.h"
#include "tests/canvas_driver.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

struct Painting : ::testing::Test {
    RegistryGuard registry;
    ScopedSimAdapter adapter;
    void Monitors(int count)
    {
        SimSetMonitors(count);
        adapter.Install();
    }
};

COLORREF System(int index) { return GetSysColor(index); }

// Screens drawn plain: the colour away from the digit, and whether the digit shows.
void ExpectPlain(HWND item, COLORREF back, COLORREF text, bool digit)
{
    PaintNow(GetParent(item));
    EXPECT_EQ(Pixel(item, 1, 1), back);
    EXPECT_EQ(Shows(item, text), digit);
}

void Zoom(HWND dialog, ExtPropState &state, int code)
{
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(code, state.zoomMargin), (LPARAM)state.zoomSlider);
}

TEST_F(Painting, DigitsInThePlainAndTheSelectedColours)
{
    Monitors(3);
    WriteOption(OPT_SHOW_WALLPAPER_DESKTOP, 0);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        ExpectPlain(state.screenItems[0], System(COLOR_HIGHLIGHT), System(COLOR_BTNSHADOW), true);
        ExpectPlain(state.screenItems[1], System(COLOR_BTNSHADOW), System(COLOR_BTNHIGHLIGHT), true);
        ChooseEntry(dialog, state.screenCombo, 1);
        ExpectPlain(state.screenItems[0], System(COLOR_BTNSHADOW), System(COLOR_BTNHIGHLIGHT), true);
        ExpectPlain(state.screenItems[1], System(COLOR_HIGHLIGHT), System(COLOR_BTNSHADOW), true);
        SwitchToTab(state, TAB_WINDOWS);
        ExpectPlain(state.screenItems[1], System(COLOR_BTNSHADOW), System(COLOR_BTNHIGHLIGHT), true);

        // No digit while the slider is dragged, even with the wallpaper on.
        state.options[OPT_SHOW_WALLPAPER_DESKTOP] = 1;
        Zoom(dialog, state, TB_THUMBTRACK);
        ExpectPlain(state.screenItems[2], System(COLOR_BTNSHADOW), System(COLOR_BTNHIGHLIGHT), false);
        Zoom(dialog, state, TB_ENDTRACK);

        // A layout the platform does not define shows the plain screens.
        state.wallpaperMode = 40;
        InvalidateRect(state.screenItems[2], nullptr, FALSE);
        ExpectPlain(state.screenItems[2], System(COLOR_BTNSHADOW), System(COLOR_BTNHIGHLIGHT), true);
    }));
}

TEST_F(Painting, WallpaperCentredStretchedTiledAndTheGradient)
{
    Monitors(1);
    const COLORREF picture = RGB(200, 40, 90), desktop = System(COLOR_BACKGROUND);
    ScopedWallpaper wallpaper(800, 600, picture, "0", "0");
    WriteOption(OPT_FILL_BACKGROUND_WITH_GRADIENT, 1);
    ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        ASSERT_EQ(state.wallpaperWidth, 800);
        // A margin of 56 leaves 192 pixels of height: scale 0.25, the monitor 256 by 192.
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 56);
        Zoom(dialog, state, TB_ENDTRACK);
        ASSERT_EQ(state.scale, 0.25f);
        HWND item = state.screenItems[0];
        RECT client;
        GetClientRect(item, &client);
        ASSERT_EQ(client.right, 256);
        ASSERT_EQ(client.bottom, 192);
        PaintNow(dialog);
        // The picture at (28, 21), 200 by 150; the desktop colour around it.
        EXPECT_TRUE(Near(Pixel(item, 28, 21), picture));
        EXPECT_TRUE(Near(Pixel(item, 227, 170), picture));
        for (POINT outside : {POINT{27, 21}, POINT{28, 20}, POINT{228, 170}, POINT{227, 171}, POINT{0, 0}})
            EXPECT_EQ(Pixel(item, outside.x, outside.y), desktop) << outside.x << "," << outside.y;

        state.wallpaperMode = 2;
        InvalidateRect(item, nullptr, FALSE);
        PaintNow(dialog);
        for (POINT corner : {POINT{0, 0}, POINT{255, 0}, POINT{0, 191}, POINT{255, 191}})
            EXPECT_TRUE(Near(Pixel(item, corner.x, corner.y), picture)) << corner.x << "," << corner.y;

        // A tile that scales to nothing ends in the desktop colour.
        state.wallpaperMode = 1;
        state.wallpaperWidth = state.wallpaperHeight = 3;
        InvalidateRect(item, nullptr, FALSE);
        PaintNow(dialog);
        EXPECT_EQ(Pixel(item, 128, 96), desktop);

        // Darker toward the top-left corner, lighter toward the bottom-left.
        RECT frame;
        GetClientRect(state.canvasFrame, &frame);
        EXPECT_TRUE(Near(Pixel(state.canvasFrame, 3, 3), System(COLOR_BTNSHADOW), 6));
        EXPECT_TRUE(Near(Pixel(state.canvasFrame, frame.right - 4, 3), System(COLOR_BTNFACE), 6));
        EXPECT_TRUE(Near(Pixel(state.canvasFrame, 3, frame.bottom - 4), System(COLOR_3DLIGHT), 6));
    }));
}

} // namespace
