#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/ext_prop.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

struct ExtPropDialog : ::testing::Test {
    RegistryGuard registry;
    ScopedSimAdapter adapter;
    void Monitors(int count, LONG width = 1024, LONG height = 768)
    {
        SimSetMonitors(count, width, height);
        adapter.Install();
    }
};

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

SIZE ClientSize(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    return {client.right, client.bottom};
}

TEST_F(ExtPropDialog, ControlsHaveTheirIdsAndPixelPlaces)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        SIZE size = ClientSize(dialog);
        int W = size.cx, H = size.cy;
        EXPECT_EQ(state.dialogWindow, dialog);

        EXPECT_EQ(state.tabControl, GetDlgItem(dialog, 1022));
        EXPECT_RECT(RectIn(state.tabControl, dialog), 4, 4, W - 4, H - 42);
        EXPECT_TRUE(GetWindowLongA(state.tabControl, GWL_STYLE) & TCS_OWNERDRAWFIXED);
        EXPECT_TRUE(GetWindowLongA(state.tabControl, GWL_STYLE) & TCS_TOOLTIPS);

        EXPECT_EQ(state.hintLabel, GetDlgItem(dialog, 1025));
        EXPECT_EQ(RectIn(state.hintLabel, dialog).left, 9);
        EXPECT_EQ(RectIn(state.hintLabel, dialog).top, 30);
        EXPECT_EQ(state.comboLabel, GetDlgItem(dialog, 1026));
        EXPECT_EQ(RectIn(state.comboLabel, dialog).left, 9);
        EXPECT_EQ(RectIn(state.comboLabel, dialog).top, 300);

        EXPECT_EQ(state.canvasFrame, GetDlgItem(dialog, 1012));
        EXPECT_RECT(RectIn(state.canvasFrame, dialog), 9, 47, W - 9, 47 + 248);
        EXPECT_TRUE(IsWindowVisible(state.canvasFrame));
        EXPECT_TRUE(GetWindowLongA(state.canvasFrame, GWL_STYLE) & WS_CLIPCHILDREN);
        EXPECT_EQ(state.backdrop, GetDlgItem(dialog, 1034));
        RECT frame = RectIn(state.canvasFrame, dialog);
        RECT backdrop = RectIn(state.backdrop, dialog);
        EXPECT_TRUE(EqualRect(&frame, &backdrop));
        EXPECT_FALSE(IsWindowVisible(state.backdrop));

        // The window miniature lives in the frame, hidden and of no size.
        EXPECT_EQ(GetParent(state.windowMiniature), state.canvasFrame);
        EXPECT_EQ(GetDlgCtrlID(state.windowMiniature), 1020);
        EXPECT_FALSE(IsWindowVisible(state.windowMiniature));
        RECT miniature;
        GetWindowRect(state.windowMiniature, &miniature);
        EXPECT_TRUE(IsRectEmpty(&miniature));

        // The icon view window covers the frame's client area.
        EXPECT_EQ(ClassOf(state.iconViewWindow), "IconViewClass");
        EXPECT_EQ(GetParent(state.iconViewWindow), dialog);
        EXPECT_FALSE(IsWindowVisible(state.iconViewWindow));
        RECT frameClient;
        GetClientRect(state.canvasFrame, &frameClient);
        MapWindowPoints(state.canvasFrame, dialog, reinterpret_cast<POINT *>(&frameClient), 2);
        RECT iconView = RectIn(state.iconViewWindow, dialog);
        EXPECT_TRUE(EqualRect(&frameClient, &iconView));

        // Created windows: the primary check box, the two extended combo boxes.
        EXPECT_EQ(ClassOf(state.primaryCheckBox), "Button");
        EXPECT_EQ(GetDlgCtrlID(state.primaryCheckBox), 1008);
        EXPECT_EQ(WindowText(state.primaryCheckBox), "Use this screen as primary display");
        EXPECT_EQ(GetWindowLongA(state.primaryCheckBox, GWL_STYLE) & 0xF, BS_AUTOCHECKBOX);
        EXPECT_RECT(RectIn(state.primaryCheckBox, dialog), 9, 344, W - 9, 364);
        EXPECT_TRUE(IsWindowVisible(state.primaryCheckBox));
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(state.primaryCheckBox, WM_GETFONT, 0, 0)),
                  reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));

        EXPECT_EQ(ClassOf(state.screenCombo), "ComboBoxEx32");
        EXPECT_EQ(RectIn(state.screenCombo, dialog).left, 9);
        EXPECT_EQ(RectIn(state.screenCombo, dialog).top, 316);
        EXPECT_EQ(RectIn(state.screenCombo, dialog).right, W - 9);
        EXPECT_TRUE(IsWindowVisible(state.screenCombo));

        EXPECT_EQ(ClassOf(state.windowCombo), "ComboBoxEx32");
        EXPECT_EQ(state.iconCombo, state.windowCombo);
        EXPECT_EQ(GetDlgCtrlID(state.windowCombo), 1031);
        EXPECT_EQ(RectIn(state.windowCombo, dialog).left, 9);
        EXPECT_EQ(RectIn(state.windowCombo, dialog).top, 316);
        EXPECT_EQ(RectIn(state.windowCombo, dialog).right, W - 9);
        EXPECT_FALSE(IsWindowVisible(state.windowCombo));
        EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(state.windowCombo, CBEM_GETIMAGELIST, 0, 0)),
                  state.windowImages);

        EXPECT_EQ(state.zoomSlider, GetDlgItem(dialog, 1031));
        EXPECT_EQ(SendMessageA(state.zoomSlider, TBM_GETRANGEMIN, 0, 0), 10);
        EXPECT_EQ(SendMessageA(state.zoomSlider, TBM_GETRANGEMAX, 0, 0), 200);
        EXPECT_EQ(SendMessageA(state.zoomSlider, TBM_GETPOS, 0, 0), 50);

        EXPECT_EQ(state.okButton, GetDlgItem(dialog, 1));
        EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(1, DC_HASDEFID));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1002)));
        EXPECT_EQ(GetFocus(), state.tabControl) << "the dialog manager moves the focus to the tab strip";

        const int ids[OPTION_COUNT] = {1001, 1032, 1033, 1036, 1038, 1039, 1045,
                                       1046, 1047, 1048, 1049, 1050, 1051};
        ASSERT_EQ(state.optionCount, 13);
        for (int i = 0; i < OPTION_COUNT; i++)
            EXPECT_EQ(GetDlgCtrlID(state.optionCheckBoxes[i]), ids[i]) << i;
        EXPECT_EQ(GetDlgCtrlID(state.webLink), 1019);
        EXPECT_EQ(GetDlgCtrlID(state.mailLink), 1021);
        EXPECT_EQ(GetDlgCtrlID(state.aboutText), 1042);
        EXPECT_EQ(GetDlgCtrlID(state.knownBugsText), 1040);
        EXPECT_EQ(GetDlgCtrlID(state.futureFeaturesText), 1041);

        EXPECT_EQ(state.canvasTimerId, 5149u);
        EXPECT_EQ(state.optionDefaults, 0x1C28u);
        EXPECT_EQ(state.backgroundColor, GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(state.hollowBrush, GetStockObject(NULL_BRUSH));
        EXPECT_EQ(state.moveCursor, LoadCursorA(nullptr, IDC_SIZEALL));
        EXPECT_EQ(state.waitCursor, LoadCursorA(nullptr, IDC_WAIT));
        EXPECT_NE(state.activeCaptionBrush, nullptr);
        EXPECT_NE(state.inactiveCaptionBrush, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(state.tabImages), 5);
    }));
}

TEST_F(ExtPropDialog, TheTabStripReadsScreenToAbout)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        const char *texts[] = {"Screen", "Windows", "Icons", "Settings", "About"};
        ASSERT_EQ(SendMessageA(state.tabControl, TCM_GETITEMCOUNT, 0, 0), 5);
        for (int k = 0; k < 5; k++) {
            char text[64] = "";
            TCITEMA item = {};
            item.mask = TCIF_TEXT | TCIF_IMAGE;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(state.tabControl, TCM_GETITEMA, k, reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ(text, texts[k]);
            EXPECT_EQ(item.iImage, k);
        }
        EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(state.tabControl, TCM_GETIMAGELIST, 0, 0)),
                  state.tabImages);
    }));
}

// The label is as wide as its text in its own font.
bool LabelShowsAllOfItsText(HWND label)
{
    std::string text = WindowText(label);
    HDC dc = GetDC(label);
    HGDIOBJ former = SelectObject(dc, (HGDIOBJ)SendMessageA(label, WM_GETFONT, 0, 0));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &extent);
    SelectObject(dc, former);
    ReleaseDC(label, dc);
    RECT client;
    GetClientRect(label, &client);
    return client.right >= extent.cx;
}

TEST_F(ExtPropDialog, OneDisplayOpensOnTheWindowsTab)
{
    Monitors(1);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        EXPECT_EQ(state.screenCount, 1);
        EXPECT_EQ(SendMessageA(state.tabControl, TCM_GETCURSEL, 0, 0), 1);
        EXPECT_EQ(WindowText(state.hintLabel), "Move windows like you want.");
        EXPECT_EQ(WindowText(state.comboLabel), "Window :");
        EXPECT_TRUE(LabelShowsAllOfItsText(state.hintLabel)) << "the opening label is cut";
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, 1008)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 1009)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 1029)));
        EXPECT_FALSE(IsWindowVisible(state.screenCombo));
        EXPECT_FALSE(IsWindowVisible(state.primaryCheckBox));
        EXPECT_TRUE(IsWindowVisible(state.windowCombo));
    }));
}

TEST_F(ExtPropDialog, ThreeDisplaysOpenOnTheScreenTab)
{
    Monitors(3);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        EXPECT_EQ(state.screenCount, 3);
        EXPECT_EQ(SendMessageA(state.tabControl, TCM_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(WindowText(state.hintLabel), "Move screens like you want.");
        EXPECT_EQ(WindowText(state.comboLabel), "Screen :");
        const int ids[3] = {1008, 1009, 1029};
        for (int i = 0; i < 3; i++) {
            EXPECT_EQ(state.screenItems[i], GetDlgItem(dialog, ids[i]));
            EXPECT_TRUE(IsWindowVisible(state.screenItems[i])) << i;
            EXPECT_EQ(WindowText(state.screenItems[i]), std::string(1, (char)('1' + i)));
        }
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCOUNT, 0, 0), 3);
        EXPECT_TRUE(IsWindowVisible(state.primaryCheckBox));
        EXPECT_FALSE(IsWindowVisible(state.windowCombo));
    }));
}

TEST_F(ExtPropDialog, TwoDisplaysShowTwoItems)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        EXPECT_EQ(state.screenCount, 2);
        EXPECT_TRUE(IsWindowVisible(state.screenItems[0]));
        EXPECT_TRUE(IsWindowVisible(state.screenItems[1]));
        EXPECT_FALSE(IsWindowVisible(state.screenItems[2]));
        RECT third;
        GetWindowRect(state.screenItems[2], &third);
        EXPECT_TRUE(IsRectEmpty(&third)) << "an unused item stays collapsed";
        EXPECT_EQ(SendMessageA(state.tabControl, TCM_GETCURSEL, 0, 0), 0);
    }));
}

TEST_F(ExtPropDialog, MoreMonitorsThanItemsShowTheFirstThree)
{
    Monitors(4);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        EXPECT_EQ(state.screenCount, 3);
        for (int i = 0; i < 3; i++)
            EXPECT_TRUE(EqualRect(&state.screens[i].monitorRect, &Sim.monitors[i].rect)) << i;
        EXPECT_EQ(state.screens[3].monitor, nullptr) << "the fourth monitor is left out";
        EXPECT_NE(state.screenFonts[2], nullptr);
    }));
}

// The frame as the dialog lays it out (450 x 248 here) with one 1024 x 768
// monitor: available 400 x 198, the height constrains, scale 198/768.
TEST_F(ExtPropDialog, OneMonitorIsLaidOutInTheFrame)
{
    Monitors(1);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        ASSERT_EQ(ClientSize(dialog).cx - 18, 450) << "the dialog's font gives a 468-pixel client area";
        EXPECT_EQ(state.scale, 0.2578125f);
        EXPECT_RECT(RectIn(state.desktopMiniature, dialog), 9 + 25 + 68, 47 + 25, 9 + 25 + 68 + 264,
                    47 + 25 + 198);
        EXPECT_EQ(state.desktopOrigin.x, 102);
        EXPECT_EQ(state.desktopOrigin.y, 72);
        EXPECT_RECT(RectIn(state.screenItems[0], dialog), 102, 72, 102 + 264, 72 + 198);
        EXPECT_EQ(state.chosenPrimary, 0);
        EXPECT_EQ(state.platformPrimary, 0);
        EXPECT_TRUE(EqualRect(&state.screens[0].workRect, &Sim.monitors[0].work));
    }));
}

TEST_F(ExtPropDialog, WorkedExampleInA450By250Frame)
{
    Monitors(1);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        SetWindowPos(state.canvasFrame, nullptr, 9, 47, 450, 250, SWP_NOZORDER | SWP_NOACTIVATE);
        LayoutCanvas();
        EXPECT_EQ(state.scale, (float)(200.0 / 768));
        EXPECT_LT((double)state.scale, 200.0 / 768) << "the 32-bit float lies just below 200/768";
        RECT miniature = RectIn(state.desktopMiniature, dialog);
        EXPECT_EQ(miniature.right - miniature.left, 266);
        EXPECT_EQ(miniature.bottom - miniature.top, 199) << "truncated, not rounded to 200";
        EXPECT_EQ(miniature.left, 9 + 25 + 67);
        EXPECT_EQ(miniature.top, 47 + 25);
        EXPECT_RECT(RectIn(state.screenItems[0], dialog), 101, 72, 101 + 266, 72 + 199);
    }));
}

// Monitor 0 (primary) at the origin, monitor 1 to its left and higher: the
// virtual screen starts at (-1280, -256) and is 2304 x 1024, so the width
// constrains: scale = 400 / 2304.
TEST_F(ExtPropDialog, AMonitorLeftOfThePrimary)
{
    Monitors(2);
    SetRect(&Sim.monitors[1].rect, -1280, -256, 0, 768);
    Sim.monitors[1].work = Sim.monitors[1].rect;
    adapter.Install();
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        EXPECT_EQ(state.scale, (float)(400.0 / 2304));
        POINT origin = state.desktopOrigin;
        EXPECT_EQ(origin.x, 9 + 25);
        EXPECT_EQ(origin.y, 47 + 25 + (198 - 177) / 2);
        EXPECT_RECT(RectIn(state.screenItems[1], dialog), origin.x, origin.y, origin.x + 222, origin.y + 177);
        EXPECT_RECT(RectIn(state.screenItems[0], dialog), origin.x + 222, origin.y + 44, origin.x + 222 + 177,
                    origin.y + 44 + 133);
        EXPECT_EQ(state.chosenPrimary, 0);
    }));
}

// Two 702-pixel monitors: each scales to 180.98, truncated to 180; the right
// one starts at trunc(702 x scale), not after the left one's width, and the
// whole desktop is 361 wide, so a pixel stays free at the right.
TEST_F(ExtPropDialog, SideBySideItemsTruncateEachOnItsOwn)
{
    Monitors(2, 702, 768);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        EXPECT_EQ(state.scale, 0.2578125f);
        RECT miniature = RectIn(state.desktopMiniature, dialog);
        EXPECT_EQ(miniature.right - miniature.left, 361);
        RECT left = RectIn(state.screenItems[0], dialog);
        RECT right = RectIn(state.screenItems[1], dialog);
        EXPECT_EQ(left.left, miniature.left);
        EXPECT_EQ(left.right - left.left, 180);
        EXPECT_EQ(right.left, miniature.left + 180);
        EXPECT_EQ(right.right - right.left, 180);
        EXPECT_EQ(right.right, miniature.right - 1);
    }));
}

TEST_F(ExtPropDialog, CentredOnTheWholeMonitorUnderTheCursor)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog(
        [](HWND dialog, ExtPropState &) {
            RECT window;
            GetWindowRect(dialog, &window);
            int width = window.right - window.left, height = window.bottom - window.top;
            EXPECT_EQ(window.left, 1024 + (1024 - width) / 2);
            EXPECT_EQ(window.top, (768 - height) / 2) << "the monitor's area, not its work area";
        },
        DialogEnd::Close, {1500, 300}));
}

TEST_F(ExtPropDialog, NoSettingsGiveTheDefaultOptions)
{
    Monitors(1);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        const DWORD expected[OPTION_COUNT] = {0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1};
        for (int i = 0; i < OPTION_COUNT; i++)
            EXPECT_EQ(state.options[i], expected[i]) << i;
    }));
    EXPECT_EQ(ReadStoredOption(OPT_SHOW_WINDOW_CLASS_NAME), -1) << "opening writes nothing";
}

TEST_F(ExtPropDialog, StoredNumbersAreReadAndTextTakesTheDefault)
{
    Monitors(1);
    WriteOption(OPT_SHOW_WINDOW_CLASS_NAME, 1);
    WriteOption(OPT_DISPLAY_PORTRAIT_RESOLUTION, 0);
    WriteSettingsValue(OptionNames[1 + OPT_DARK_ICON_IN_TAB], REG_SZ, "0", 2);
    WriteSettingsValue(OptionNames[1 + OPT_SHOW_TRAY_BAR_AS_WINDOW], REG_SZ, "1", 2);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        EXPECT_EQ(state.options[OPT_SHOW_WINDOW_CLASS_NAME], 1u);
        EXPECT_EQ(state.options[OPT_DISPLAY_PORTRAIT_RESOLUTION], 0u);
        EXPECT_EQ(state.options[OPT_DARK_ICON_IN_TAB], 1u);
        EXPECT_EQ(state.options[OPT_SHOW_TRAY_BAR_AS_WINDOW], 0u);
    }));
}

// ---------------------------------------------------------------------------
// Zoom slider.

void Scroll(HWND dialog, ExtPropState &state, int code, int position)
{
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(state.zoomSlider));
}

TEST_F(ExtPropDialog, DraggingTheThumbRelaysTheCanvas)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        RECT before = RectIn(state.desktopMiniature, dialog);
        float scaleBefore = state.scale;
        Scroll(dialog, state, TB_THUMBTRACK, 120);
        EXPECT_EQ(state.zoomMargin, 120);
        EXPECT_TRUE(state.zooming);
        EXPECT_LT(state.scale, scaleBefore);
        RECT during = RectIn(state.desktopMiniature, dialog);
        EXPECT_LT(during.right - during.left, before.right - before.left);
        // 450 - 120 = 330 wide for 2048: scale 330/2048.
        EXPECT_EQ(state.scale, (float)(330.0 / 2048));
        EXPECT_EQ(WindowText(state.screenItems[0]), "");
        EXPECT_EQ(WindowText(state.screenItems[1]), "");

        HFONT oldFont = state.screenFonts[0];
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 120);
        Scroll(dialog, state, TB_ENDTRACK, 0);
        EXPECT_FALSE(state.zooming);
        EXPECT_EQ(state.zoomMargin, 120);
        EXPECT_EQ(WindowText(state.screenItems[0]), "1");
        EXPECT_EQ(WindowText(state.screenItems[1]), "2");
        EXPECT_NE(state.screenFonts[0], oldFont) << "the digit font is made anew for the new size";
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(state.screenItems[0], WM_GETFONT, 0, 0)),
                  state.screenFonts[0]);
        LOGFONTA font = {};
        GetObjectA(state.screenFonts[0], sizeof(font), &font);
        RECT item = RectIn(state.screenItems[0], dialog);
        EXPECT_EQ(font.lfHeight, item.bottom - item.top - 5);
        EXPECT_STREQ(font.lfFaceName, "Arial");
    }));
}

TEST_F(ExtPropDialog, ReleasedAtTheSameValueRebuildsFontsButDoesNotRelay)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        // A marker place: a new layout would move the miniature back.
        SetWindowPos(state.desktopMiniature, nullptr, 1, 2, 3, 4, SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT oldFont = state.screenFonts[1];
        Scroll(dialog, state, TB_ENDTRACK, 0);
        EXPECT_EQ(state.zoomMargin, 50);
        EXPECT_RECT(RectIn(state.desktopMiniature, dialog), 1, 2, 4, 6);
        EXPECT_NE(state.screenFonts[1], oldFont);
        EXPECT_EQ(WindowText(state.screenItems[1]), "2");
    }));
}

TEST_F(ExtPropDialog, KeyboardStepsWaitForTheEndOfTheTrack)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 51);
        SetWindowPos(state.desktopMiniature, nullptr, 1, 2, 3, 4, SWP_NOZORDER | SWP_NOACTIVATE);
        for (int code : {TB_LINEDOWN, TB_LINEUP, TB_THUMBPOSITION, TB_TOP, TB_BOTTOM})
            Scroll(dialog, state, code, 51);
        EXPECT_EQ(state.zoomMargin, 50);
        EXPECT_FALSE(state.zooming);
        EXPECT_RECT(RectIn(state.desktopMiniature, dialog), 1, 2, 4, 6);
        Scroll(dialog, state, TB_ENDTRACK, 0);
        EXPECT_EQ(state.zoomMargin, 51);
        EXPECT_NE(RectIn(state.desktopMiniature, dialog).left, 1);
    }));
}

TEST_F(ExtPropDialog, PagingTakesTheSliderPosition)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 70);
        Scroll(dialog, state, TB_PAGEDOWN, 0);
        EXPECT_EQ(state.zoomMargin, 70);
        EXPECT_TRUE(state.zooming);
    }));
}

TEST_F(ExtPropDialog, OtherScrollersDoNotZoom)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 150),
                     reinterpret_cast<LPARAM>(state.okButton));
        EXPECT_EQ(state.zoomMargin, 50);
        EXPECT_FALSE(state.zooming);
    }));
}

// ---------------------------------------------------------------------------
// Screen item colours.

TEST_F(ExtPropDialog, TheSelectedScreenLooksActiveOnlyOnTheScreenTab)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        HDC dc = GetDC(dialog);
        // The procedure's own answer; the dialog manager would put a default brush in for 0.
        auto colour = [&](HWND item) {
            return reinterpret_cast<HBRUSH>(ExtPropDialogProc(
                dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(item)));
        };
        state.currentTab = TAB_SCREEN;
        state.selectedScreen = 1;
        EXPECT_EQ(colour(state.screenItems[1]), state.activeCaptionBrush);
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_CAPTIONTEXT));
        EXPECT_EQ(colour(state.screenItems[0]), state.inactiveCaptionBrush);
        state.currentTab = TAB_WINDOWS;
        EXPECT_EQ(colour(state.screenItems[1]), state.inactiveCaptionBrush);
        EXPECT_EQ(colour(state.screenItems[2]), nullptr) << "no answer for a screen item beyond the count";
        EXPECT_EQ(colour(state.hintLabel), nullptr);
        ReleaseDC(dialog, dc);
    }));
}

// ---------------------------------------------------------------------------
// OK, Cancel, close box, Apply.

const char QuotedTestPath[] = "\"C:\\Program Files\\Tessivon\\tessivon.exe\"";

struct StoredOptions : ExtPropDialog {
    char savedPath[MAX_PATH];
    void SetUp() override
    {
        lstrcpyA(savedPath, ModulePath);
        lstrcpyA(ModulePath, "C:\\Program Files\\Tessivon\\tessivon.exe");
        Monitors(2);
    }
    void TearDown() override { lstrcpyA(ModulePath, savedPath); }
    void ExpectNothingStored()
    {
        for (int i = 0; i < OPTION_COUNT; i++)
            EXPECT_EQ(ReadStoredOption(i), -1) << i;
        EXPECT_EQ(ReadRunValue(), "<missing>");
    }
};

TEST_F(StoredOptions, OkWritesAllThirteenAndTheQuotedRunEntry)
{
    WriteOption(OPT_EXT_PROP_AS_DBL_CLICK, 1);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &) {}, DialogEnd::Ok));
    const long long expected[OPTION_COUNT] = {0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1, 1, 1};
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_EQ(ReadStoredOption(i), expected[i]) << i;
    EXPECT_EQ(ReadRunValue(), QuotedTestPath);
    EXPECT_EQ(FindExtPropDialog(), nullptr);
}

TEST_F(StoredOptions, OkStoresTheDialogsValuesAndDeletesTheRunEntryWhenLaunchIsOff)
{
    HKEY run;
    RegCreateKeyA(HKEY_CURRENT_USER, RUN_KEY, &run);
    RegSetValueExA(run, OptionNames[0], 0, REG_SZ, reinterpret_cast<const BYTE *>("old"), 4);
    RegCloseKey(run);
    ASSERT_TRUE(RunExtPropDialog(
        [](HWND, ExtPropState &state) {
            state.options[OPT_LAUNCH_AT_WINDOWS_STARTUP] = 0;
            state.options[OPT_SHOW_TRAY_BAR_AS_WINDOW] = 1;
        },
        DialogEnd::Ok));
    EXPECT_EQ(ReadStoredOption(OPT_LAUNCH_AT_WINDOWS_STARTUP), 0);
    EXPECT_EQ(ReadStoredOption(OPT_SHOW_TRAY_BAR_AS_WINDOW), 1);
    EXPECT_EQ(ReadRunValue(), "<missing>");
}

TEST_F(StoredOptions, CancelWritesNothing)
{
    ASSERT_TRUE(RunExtPropDialog(
        [](HWND, ExtPropState &state) { state.options[OPT_SHOW_WINDOW_CLASS_NAME] = 1; }, DialogEnd::Cancel));
    ExpectNothingStored();
    EXPECT_EQ(FindExtPropDialog(), nullptr);
}

TEST_F(StoredOptions, TheCloseBoxWritesNothing)
{
    ASSERT_TRUE(RunExtPropDialog(
        [](HWND dialog, ExtPropState &state) {
            state.options[OPT_SHOW_WINDOW_CLASS_NAME] = 1;
            // What the title bar's close box and Alt+F4 send.
            SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            EXPECT_FALSE(IsWindowVisible(dialog));
        },
        DialogEnd::ByTest));
    ExpectNothingStored();
    EXPECT_EQ(FindExtPropDialog(), nullptr);
}

TEST_F(StoredOptions, EscapeDoesNothing)
{
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "IDCANCEL has no handler";
    }));
    ExpectNothingStored();
}

TEST_F(StoredOptions, ApplySettlesThePendingMovesWritesNothingAndStaysOpen)
{
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        HWND apply = GetDlgItem(dialog, 1002);
        state.iconsPending = TRUE;
        state.windowsPending = TRUE;
        state.savedIconPositions = new POINT[3]();
        state.savedIconCount = 3;
        EXPECT_EQ(EnableApplyButton(dialog), 1);
        EXPECT_TRUE(IsWindowEnabled(apply));
        state.options[OPT_SHOW_WINDOW_CLASS_NAME] = 1;

        ClickDialogButton(dialog, 1002);
        EXPECT_FALSE(state.iconsPending);
        EXPECT_FALSE(state.windowsPending);
        EXPECT_EQ(state.savedIconPositions, nullptr);
        EXPECT_FALSE(IsWindowEnabled(apply));
        EXPECT_TRUE(IsWindowVisible(dialog));
    }));
    ExpectNothingStored();
}

TEST_F(ExtPropDialog, LosingActivationPutsTheFocusOnOk)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        SetFocus(state.tabControl);
        SendMessageA(dialog, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
        EXPECT_EQ(GetFocus(), state.tabControl);
        SendMessageA(dialog, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
        EXPECT_EQ(GetFocus(), state.okButton);
    }));
}

TEST_F(ExtPropDialog, ApplyButtonStyleFollowsTheCalls)
{
    Monitors(1);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &) {
        HWND apply = GetDlgItem(dialog, 1002);
        EXPECT_EQ(EnableApplyButton(dialog), 1);
        EXPECT_FALSE(GetWindowLongA(apply, GWL_STYLE) & WS_DISABLED);
        EXPECT_EQ(DisableApplyButton(dialog), 1);
        EXPECT_TRUE(GetWindowLongA(apply, GWL_STYLE) & WS_DISABLED);
    }));
}

// ---------------------------------------------------------------------------
// Nothing survives an opening.

// Where the platform counts the process's objects it says so; Wine answers 0,
// so there the handle tables are probed instead: a handle whose high word is
// zero names its table slot whatever the slot's generation.
unsigned CountGdiObjects()
{
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return count;
    unsigned count = 0;
    for (ULONG_PTR slot = 1; slot < 0x10000; slot++)
        count += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    return count;
}

unsigned CountUserObjects()
{
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))
        return count;
    // Windows of other processes (the taskbar's buttons among them) come and go.
    unsigned count = 0;
    DWORD self = GetCurrentProcessId();
    for (ULONG_PTR slot = 0x20; slot < 0x10000; slot += 2) {
        DWORD owner = 0;
        HWND window = reinterpret_cast<HWND>(slot);
        if (IsWindow(window) && GetWindowThreadProcessId(window, &owner) && owner == self)
            count++;
        else if (IsMenu(reinterpret_cast<HMENU>(slot)))
            count++;
    }
    return count;
}

TEST_F(ExtPropDialog, TheCountersSeeObjectsComeAndGo)
{
    unsigned gdi = CountGdiObjects(), user = CountUserObjects();
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(CountGdiObjects(), gdi + 1);
    EXPECT_EQ(CountUserObjects(), user + 1);
    DeleteObject(brush);
    DestroyMenu(menu);
    EXPECT_EQ(CountGdiObjects(), gdi);
    EXPECT_EQ(CountUserObjects(), user);
}

TEST_F(ExtPropDialog, OpeningAndClosingTenTimesLeaksNothing)
{
    Monitors(3);
    RunExtPropDialog([](HWND, ExtPropState &) {}); // classes and shared pictures load once
    unsigned gdi = CountGdiObjects(), user = CountUserObjects();
    const DialogEnd ends[3] = {DialogEnd::Ok, DialogEnd::Cancel, DialogEnd::Close};
    for (int k = 0; k < 10; k++) {
        bool shown = RunExtPropDialog(
            [k](HWND, ExtPropState &state) {
                // Visit every page so that each one's objects exist.
                for (int tab = 1; tab <= TAB_COUNT; tab++)
                    SwitchToTab(state, (tab + k) % TAB_COUNT);
            },
            ends[k % 3]);
        ASSERT_TRUE(shown) << k;
    }
    EXPECT_EQ(CountGdiObjects(), gdi);
    EXPECT_EQ(CountUserObjects(), user);
    EXPECT_EQ(IconViewInstance, nullptr);
    EXPECT_EQ(ActiveExtPropState, nullptr);
}

TEST_F(ExtPropDialog, AFailedIconViewClosesTheDialogAndReleasesWhatExists)
{
    Monitors(2);
    RunExtPropDialog([](HWND, ExtPropState &) {});
    unsigned gdi = CountGdiObjects(), user = CountUserObjects();
    IconView other = {};
    IconViewInstance = &other; // another view is active: creation fails
    bool shown = RunExtPropDialog([](HWND, ExtPropState &) {}, DialogEnd::Close, {100, 100}, 500);
    EXPECT_FALSE(shown);
    EXPECT_EQ(FindExtPropDialog(), nullptr);
    EXPECT_EQ(CountGdiObjects(), gdi);
    EXPECT_EQ(CountUserObjects(), user);
    EXPECT_EQ(IconViewInstance, &other) << "another view's slot is left alone";
    IconViewInstance = nullptr;
    EXPECT_TRUE(RunExtPropDialog([](HWND, ExtPropState &) {})) << "the next opening works";
}

TEST_F(ExtPropDialog, ASecondOpeningWhileOneRunsIsRefused)
{
    Monitors(1);
    int nested = -1;
    ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        nested = OpenExtendedProperties({0, 0});
        EXPECT_EQ(ActiveExtPropState, &state);
        EXPECT_TRUE(IsWindowVisible(dialog));
    }));
    EXPECT_EQ(nested, 0);
}

// A stand-in for the shell's desktop: "Progman" > "SHELLDLL_DefView" > "SysListView32".
struct FakeShellDesktop {
    HWND program = nullptr;
    HWND listView = nullptr;
    FakeShellDesktop()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        for (const char *name : {"Progman", "SHELLDLL_DefView"}) {
            windowClass.lpszClassName = name;
            RegisterClassA(&windowClass);
        }
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        program = CreateWindowExA(0, "Progman", "Program Manager", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        HWND view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD, 0, 0, 10, 10, program, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        listView = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD, 0, 0, 10, 10, view, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    }
    ~FakeShellDesktop() { DestroyWindow(program); }
};

TEST_F(ExtPropDialog, FindsTheDesktopIconListOrOpensWithoutIt)
{
    Monitors(1);
    if (!FindWindowA("Progman", nullptr)) {
        ASSERT_TRUE(
            RunExtPropDialog([](HWND, ExtPropState &state) { EXPECT_EQ(state.desktopListView, nullptr); }));
    }
    FakeShellDesktop shell;
    ASSERT_NE(shell.listView, nullptr);
    ASSERT_TRUE(RunExtPropDialog(
        [&](HWND, ExtPropState &state) { EXPECT_EQ(state.desktopListView, shell.listView); }));
}

// ---------------------------------------------------------------------------
// Optional functions.

TEST_F(ExtPropDialog, WithoutEnumDisplayDevicesTheFallbackListsOneDisplay)
{
    Monitors(1);
    Sim.hasEnumDisplayDevices = false;
    adapter.Install();
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        EXPECT_EQ(EnumDisplayDevicesEntry, EnumDisplayDevicesFallback);
        ASSERT_EQ(SendMessageA(state.screenCombo, CB_GETCOUNT, 0, 0), 1);
        char text[64] = "";
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(state.screenCombo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, "DISPLAY");
    }));
}

TEST_F(ExtPropDialog, TheDialogBindsThePlatformsFunctions)
{
    Monitors(2);
    Sim.hasChangeEx = false;
    adapter.Install();
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        EXPECT_EQ(EnumDisplayDevicesEntry, Platform.EnumDisplayDevicesA);
        EXPECT_EQ(DialogChangeDisplaySettingsExEntry, nullptr);
        EXPECT_NE(GradientFillEntry, nullptr) << "MSIMG32 is there under Wine";
        EXPECT_TRUE(IsWindowEnabled(state.optionCheckBoxes[OPT_FILL_BACKGROUND_WITH_GRADIENT]));
    }));
}

TEST(EnumDisplayDevicesFallbackTest, OnlyTheFirstDeviceWithARecordOfFullSize)
{
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof(device);
    EXPECT_EQ(sizeof(device), 424u);
    ASSERT_TRUE(EnumDisplayDevicesFallback(nullptr, 0, &device, 0));
    EXPECT_STREQ(device.DeviceName, "DISPLAY");
    EXPECT_STREQ(device.DeviceString, "DISPLAY");
    EXPECT_EQ(device.StateFlags, 5u);
    EXPECT_FALSE(EnumDisplayDevicesFallback(nullptr, 1, &device, 0));
    EXPECT_FALSE(EnumDisplayDevicesFallback("\\\\.\\Display1", 0, &device, 0));
    EXPECT_FALSE(EnumDisplayDevicesFallback(nullptr, 0, nullptr, 0));
    DISPLAY_DEVICEA small = {};
    small.cb = 423;
    EXPECT_FALSE(EnumDisplayDevicesFallback(nullptr, 0, &small, 0));
    EXPECT_EQ(small.DeviceName[0], '\0');
}

TEST(SetStyleBitsTest, ClearsThenSets)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_BORDER | SS_CENTER, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    EXPECT_EQ(SetStyleBits(window, WS_BORDER | SS_CENTER, SS_RIGHT | WS_DISABLED), 1);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_FALSE(style & WS_BORDER);
    EXPECT_EQ(style & SS_TYPEMASK, SS_RIGHT);
    EXPECT_TRUE(style & WS_DISABLED);
    EXPECT_TRUE(style & WS_POPUP);
    DestroyWindow(window);
}

} // namespace
