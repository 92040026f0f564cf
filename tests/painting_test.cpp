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

// A screen drawn plain in the selected colours or the others, with its digit somewhere.
void ExpectPlain(HWND item, bool selected)
{
    EXPECT_EQ(Pixel(item, 1, 1), System(selected ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
    COLORREF text = System(selected ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    bool shown = false;
    RECT client;
    GetClientRect(item, &client);
    HDC dc = GetDC(item);
    for (int y = 0; y < client.bottom && !shown; y++)
        for (int x = 0; x < client.right && !shown; x++)
            shown = GetPixel(dc, x, y) == text;
    ReleaseDC(item, dc);
    EXPECT_TRUE(shown) << "the digit";
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
        for (int selected : {0, 1}) {
            ChooseEntry(dialog, state.screenCombo, selected);
            ExpectPlain(state.screenItems[0], selected == 0);
            ExpectPlain(state.screenItems[1], selected == 1);
        }
    }));
}

TEST_F(Painting, WallpaperCentredStretchedTiledAndTheGradient)
{
    const COLORREF picture = RGB(200, 40, 90), desktop = System(COLOR_BACKGROUND);
    ScopedWallpaper wallpaper(800, 600, picture, "0");
    WriteOption(OPT_FILL_BACKGROUND_WITH_GRADIENT, 1);
    ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        // A margin of 56 leaves 192 pixels of the laid-out frame's height:
        // scale 0.25, the monitor 256 by 192.
        UseLaidOutFrame(state);
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 56);
        SendMessageA(dialog, WM_HSCROLL, TB_ENDTRACK, (LPARAM)state.zoomSlider);
        HWND item = state.screenItems[0];
        ASSERT_EQ(state.scale, 0.25f);
        // The picture at (28, 21), 200 by 150; the desktop colour around it.
        EXPECT_TRUE(Near(Pixel(item, 28, 21), picture) && Near(Pixel(item, 227, 170), picture));
        for (POINT outside : {POINT{27, 21}, POINT{28, 20}, POINT{228, 170}, POINT{227, 171}})
            EXPECT_EQ(Pixel(item, outside.x, outside.y), desktop) << outside.x << "," << outside.y;
        Repaint(item, state, 2); // stretched
        for (POINT corner : {POINT{0, 0}, POINT{255, 0}, POINT{0, 191}, POINT{255, 191}})
            EXPECT_TRUE(Near(Pixel(item, corner.x, corner.y), picture)) << corner.x << "," << corner.y;
        // A tile that scales to nothing ends in the desktop colour.
        state.wallpaperWidth = state.wallpaperHeight = 3;
        Repaint(item, state, 1);
        EXPECT_EQ(Pixel(item, 255, 191), desktop);
        // A layout the platform does not define shows the plain screen.
        Repaint(item, state, 40);
        EXPECT_EQ(Pixel(item, 1, 1), System(COLOR_BTNSHADOW)) << "one screen: the Screen tab is not shown";

        // Darker toward the top-left corner, lighter toward the bottom-left.
        RECT frame;
        GetClientRect(state.canvasFrame, &frame);
        EXPECT_TRUE(Near(Pixel(state.canvasFrame, 3, 3), System(COLOR_BTNSHADOW), 6));
        EXPECT_TRUE(Near(Pixel(state.canvasFrame, frame.right - 4, 3), System(COLOR_BTNFACE), 6));
        EXPECT_TRUE(Near(Pixel(state.canvasFrame, 3, frame.bottom - 4), System(COLOR_3DLIGHT), 6));
    }));
}

} // namespace
