// The canvas read back in pixels from the real dialog.
#include <gtest/gtest.h>

#include "canvas/canvas.h"
#include "tests/canvas_driver.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

struct Painting : ::testing::Test {
    RegistryGuard registry;
    ScopedSimAdapter adapter;
};

COLORREF System(int index) { return GetSysColor(index); }

// A screen drawn plain in these colours; with its digit when text is shown somewhere.
void ExpectPlain(HWND item, int back, int text, bool digit)
{
    EXPECT_EQ(Pixel(item, 1, 1), System(back));
    RECT client;
    GetClientRect(item, &client);
    bool shown = false;
    HDC dc = GetDC(item);
    for (int y = 0; y < client.bottom && !shown; y++)
        for (int x = 0; x < client.right && !shown; x++)
            shown = GetPixel(dc, x, y) == System(text);
    ReleaseDC(item, dc);
    EXPECT_EQ(shown, digit);
}

void Zoom(HWND dialog, ExtPropState &state, int code, int margin)
{
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(code, margin), (LPARAM)state.zoomSlider);
}

void Repaint(HWND item, ExtPropState &state, int mode)
{
    state.wallpaperMode = mode;
    InvalidateRect(item, nullptr, FALSE);
}

TEST_F(Painting, DigitsInThePlainAndTheSelectedColours)
{
    SimSetMonitors(3);
    adapter.Install();
    WriteOption(OPT_SHOW_WALLPAPER_DESKTOP, 0);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        ExpectPlain(state.screenItems[0], COLOR_HIGHLIGHT, COLOR_BTNSHADOW, true);
        ExpectPlain(state.screenItems[1], COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, true);
        ChooseEntry(dialog, state.screenCombo, 1);
        ExpectPlain(state.screenItems[0], COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, true);
        ExpectPlain(state.screenItems[1], COLOR_HIGHLIGHT, COLOR_BTNSHADOW, true);
        SwitchToTab(state, TAB_WINDOWS);
        ExpectPlain(state.screenItems[1], COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, true);

        // No digit while the slider is dragged, even with the wallpaper on.
        state.options[OPT_SHOW_WALLPAPER_DESKTOP] = 1;
        Zoom(dialog, state, TB_THUMBTRACK, 60);
        ExpectPlain(state.screenItems[2], COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, false);
        Zoom(dialog, state, TB_ENDTRACK, 0);
        // A layout the platform does not define shows the plain screens.
        Repaint(state.screenItems[2], state, 40);
        ExpectPlain(state.screenItems[2], COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, true);
    }));
}

TEST_F(Painting, WallpaperCentredStretchedTiledAndTheGradient)
{
    const COLORREF picture = RGB(200, 40, 90), desktop = System(COLOR_BACKGROUND);
    ScopedWallpaper wallpaper(800, 600, picture, "0", "0");
    WriteOption(OPT_FILL_BACKGROUND_WITH_GRADIENT, 1);
    ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        // A margin of 56 leaves 192 pixels of the laid-out frame's height:
        // scale 0.25, the monitor 256 by 192.
        UseLaidOutFrame(state);
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 56);
        Zoom(dialog, state, TB_ENDTRACK, 0);
        HWND item = state.screenItems[0];
        ASSERT_EQ(state.scale, 0.25f);
        ASSERT_EQ(WindowRect(item).right - WindowRect(item).left, 256);
        // The picture at (28, 21), 200 by 150; the desktop colour around it.
        EXPECT_TRUE(Near(Pixel(item, 28, 21), picture));
        EXPECT_TRUE(Near(Pixel(item, 227, 170), picture));
        for (POINT outside : {POINT{27, 21}, POINT{28, 20}, POINT{228, 170}, POINT{227, 171}})
            EXPECT_EQ(Pixel(item, outside.x, outside.y), desktop) << outside.x << "," << outside.y;

        Repaint(item, state, 2);
        for (POINT corner : {POINT{0, 0}, POINT{255, 0}, POINT{0, 191}, POINT{255, 191}})
            EXPECT_TRUE(Near(Pixel(item, corner.x, corner.y), picture)) << corner.x << "," << corner.y;
        // A tile that scales to nothing ends in the desktop colour; tiles of
        // 200 by 150 cover the item.
        state.wallpaperWidth = state.wallpaperHeight = 3;
        Repaint(item, state, 1);
        EXPECT_EQ(Pixel(item, 255, 191), desktop);
        state.wallpaperWidth = 800, state.wallpaperHeight = 600;
        Repaint(item, state, 1);
        EXPECT_TRUE(Near(Pixel(item, 255, 191), picture));

        // Darker toward the top-left corner, lighter toward the bottom-left.
        RECT frame;
        GetClientRect(state.canvasFrame, &frame);
        EXPECT_TRUE(Near(Pixel(state.canvasFrame, 3, 3), System(COLOR_BTNSHADOW), 6));
        EXPECT_TRUE(Near(Pixel(state.canvasFrame, frame.right - 4, 3), System(COLOR_BTNFACE), 6));
        EXPECT_TRUE(Near(Pixel(state.canvasFrame, 3, frame.bottom - 4), System(COLOR_3DLIGHT), 6));
    }));
}

} // namespace
