#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/ext_prop.h"
#include "dialog/tab_pages.h"
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

// Two displays, opened with the cursor on the second: the controls, their ids
// and places, the tab strip, the focus and the screen items' colours.
TEST_F(ExtPropDialog, TwoDisplaysControlsIdsAndPixelPlaces)
{
    Monitors(2);
    auto body = [](HWND dialog, ExtPropState &state) {
        EXPECT_EQ(state.dialogWindow, dialog);
        EXPECT_EQ(GetFocus(), state.tabControl) << "the dialog manager moves the focus to the tab strip";

        RECT window;
        GetWindowRect(dialog, &window);
        EXPECT_EQ(window.left, 1024 + (1024 - (window.right - window.left)) / 2);
        EXPECT_EQ(window.top, (768 - (window.bottom - window.top)) / 2)
            << "the monitor's area, not its work area";

        // Which page shows what is checked with the tabs; here the ids and places.
        const std::pair<HWND, int> items[] = {{state.tabControl, 1022}, {state.hintLabel, 1025},
                                              {state.comboLabel, 1026}, {state.canvasFrame, 1012},
                                              {state.backdrop, 1034},   {state.zoomSlider, 1031},
                                              {state.okButton, 1}};
        for (auto [window, id] : items)
            EXPECT_EQ(GetDlgItem(dialog, id), window) << id;
        const std::pair<HWND, int> created[] = {
            {state.windowMiniature, 1020}, {state.primaryCheckBox, 1008},   {state.windowCombo, 1031},
            {state.webLink, 1019},         {state.mailLink, 1021},          {state.aboutText, 1042},
            {state.knownBugsText, 1040},   {state.futureFeaturesText, 1041}};
        for (auto [window, id] : created)
            EXPECT_EQ(GetDlgCtrlID(window), id);
        const int ids[OPTION_COUNT] = {1001, 1032, 1033, 1036, 1038, 1039, 1045,
                                       1046, 1047, 1048, 1049, 1050, 1051};
        ASSERT_EQ(state.optionCount, 13);
        for (int i = 0; i < OPTION_COUNT; i++)
            EXPECT_EQ(GetDlgCtrlID(state.optionCheckBoxes[i]), ids[i]) << i;

        EXPECT_TRUE(GetWindowLongA(state.tabControl, GWL_STYLE) & TCS_OWNERDRAWFIXED);
        EXPECT_TRUE(GetWindowLongA(state.tabControl, GWL_STYLE) & TCS_TOOLTIPS);
        const char *texts[] = {"Screen", "Windows", "Icons", "Settings", "About"};
        ASSERT_EQ(SendMessageA(state.tabControl, TCM_GETITEMCOUNT, 0, 0), 5);
        for (int k = 0; k < 5; k++) {
            char text[64] = "";
            TCITEMA item = {TCIF_TEXT | TCIF_IMAGE, 0, 0, text, sizeof(text), 0, 0};
            SendMessageA(state.tabControl, TCM_GETITEMA, k, reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ(text, texts[k]);
            EXPECT_EQ(item.iImage, k);
        }
        EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(state.tabControl, TCM_GETIMAGELIST, 0, 0)),
                  state.tabImages);
        EXPECT_EQ(ImageList_GetImageCount(state.tabImages), 5);

        RECT frame = RectIn(state.canvasFrame, dialog);
        EXPECT_TRUE(GetWindowLongA(state.canvasFrame, GWL_STYLE) & WS_CLIPCHILDREN);
        RECT backdrop = RectIn(state.backdrop, dialog);
        EXPECT_TRUE(EqualRect(&frame, &backdrop));
        // The window miniature lives in the frame, of no size; the icon view
        // window covers the frame's client area.
        EXPECT_EQ(GetParent(state.windowMiniature), state.canvasFrame);
        RECT miniature = RectIn(state.windowMiniature, nullptr);
        EXPECT_TRUE(IsRectEmpty(&miniature));
        EXPECT_EQ(ClassOf(state.iconViewWindow), "IconViewClass");
        EXPECT_EQ(GetParent(state.iconViewWindow), dialog);
        RECT frameClient;
        GetClientRect(state.canvasFrame, &frameClient);
        MapWindowPoints(state.canvasFrame, dialog, reinterpret_cast<POINT *>(&frameClient), 2);
        RECT iconView = RectIn(state.iconViewWindow, dialog);
        EXPECT_TRUE(EqualRect(&frameClient, &iconView));

        // Created windows: the primary check box, the two extended combo boxes.
        EXPECT_EQ(ClassOf(state.primaryCheckBox), "Button");
        EXPECT_EQ(WindowText(state.primaryCheckBox), "Use this screen as primary display");
        EXPECT_EQ(GetWindowLongA(state.primaryCheckBox, GWL_STYLE) & 0xF, BS_AUTOCHECKBOX);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(state.primaryCheckBox, WM_GETFONT, 0, 0)),
                  reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
        for (HWND combo : {state.screenCombo, state.windowCombo}) {
            EXPECT_EQ(ClassOf(combo), "ComboBoxEx32");
        }
        EXPECT_EQ(state.iconCombo, state.windowCombo);
        EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(state.windowCombo, CBEM_GETIMAGELIST, 0, 0)),
                  state.windowImages);

        EXPECT_EQ(SendMessageA(state.zoomSlider, TBM_GETRANGEMIN, 0, 0), 10);
        EXPECT_EQ(SendMessageA(state.zoomSlider, TBM_GETRANGEMAX, 0, 0), 200);
        EXPECT_EQ(SendMessageA(state.zoomSlider, TBM_GETPOS, 0, 0), 50);
        EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(1, DC_HASDEFID));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1002)));
        EXPECT_NE(state.activeCaptionBrush, nullptr);
        EXPECT_NE(state.inactiveCaptionBrush, nullptr);

        // Losing the activation puts the focus on OK.
        SetFocus(state.tabControl);
        SendMessageA(dialog, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
        EXPECT_EQ(GetFocus(), state.tabControl);
        SendMessageA(dialog, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
        EXPECT_EQ(GetFocus(), state.okButton);

        // The selected screen looks active only on the Screen tab. The
        // procedure's own answer: the dialog manager would put a default brush in for 0.
        HDC dc = GetDC(dialog);
        auto colour = [&](HWND item) {
            return reinterpret_cast<HBRUSH>(ExtPropDialogProc(
                dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(item)));
        };
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
    };
    ASSERT_TRUE(RunExtPropDialog(body, DialogEnd::Close, {1500, 300}));
}

// The controls created beside the template are placed for the dialog's own
// units: on every page, none covers a template button or the zoom slider,
// none covers another, all lie inside the client area, in the order the user
// reads them.
TEST_F(ExtPropDialog, CreatedControlsClearTheTemplateControls)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        RECT client;
        GetClientRect(dialog, &client);
        HWND fixed[] = {GetDlgItem(dialog, IDC_OK), GetDlgItem(dialog, IDC_CANCEL),
                        GetDlgItem(dialog, IDC_APPLY), state.zoomSlider};
        HWND placed[] = {state.hintLabel,   state.canvasFrame, state.comboLabel,
                         state.screenCombo, state.windowCombo, state.primaryCheckBox};
        for (int tab = TAB_SCREEN; tab <= TAB_ABOUT; tab++) {
            SwitchToTab(state, tab);
            std::vector<HWND> shown;
            for (HWND window : placed)
                if (IsWindowVisible(window))
                    shown.push_back(window);
            for (HWND window : {state.webLink, state.mailLink, state.aboutText, state.knownBugsText,
                                state.futureFeaturesText})
                if (IsWindowVisible(window))
                    shown.push_back(window);
            for (size_t k = 0; k < shown.size(); k++) {
                RECT place = RectIn(shown[k], dialog), overlap;
                EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= client.right &&
                            place.bottom <= client.bottom)
                    << "tab " << tab << " control " << GetDlgCtrlID(shown[k]);
                for (HWND button : fixed) {
                    RECT other = RectIn(button, dialog);
                    EXPECT_FALSE(IntersectRect(&overlap, &place, &other))
                        << "tab " << tab << " control " << GetDlgCtrlID(shown[k]) << " covers "
                        << GetDlgCtrlID(button);
                }
            }
        }
        // Top to bottom: hint, canvas, label, combo box, check box, buttons.
        SwitchToTab(state, TAB_SCREEN);
        LONG bottom = 0;
        for (HWND window : {state.hintLabel, state.canvasFrame, state.comboLabel, state.screenCombo,
                            state.primaryCheckBox, fixed[0]}) {
            RECT place = RectIn(window, dialog);
            EXPECT_GE(place.top, bottom) << GetDlgCtrlID(window);
            bottom = place.bottom;
        }
        EXPECT_LE(RectIn(state.tabControl, dialog).bottom, RectIn(fixed[0], dialog).top);
    }));
}

// The canvas on the real windows: the miniature desktop and each screen item.
TEST_F(ExtPropDialog, TheCanvasIsLaidOutInTheFrame)
{
    // One 1024 x 768 monitor in the frame as the dialog lays it out (450 x 248
    // here): available 400 x 198, the height constrains, scale 198/768. Then
    // the worked example, in a 450 x 250 frame.
    Monitors(1);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        UseLaidOutFrame(state);
        RECT frame = RectIn(state.canvasFrame, dialog);
        ASSERT_EQ(frame.right - frame.left, 450) << "the dialog's font gives a 468-pixel client area";
        EXPECT_EQ(state.scale, 0.2578125f);
        EXPECT_RECT(RectIn(state.desktopMiniature, dialog), 9 + 25 + 68, 47 + 25, 9 + 25 + 68 + 264,
                    47 + 25 + 198);
        EXPECT_EQ(state.desktopOrigin.x, 102);
        EXPECT_EQ(state.desktopOrigin.y, 72);
        EXPECT_RECT(RectIn(state.screenItems[0], dialog), 102, 72, 102 + 264, 72 + 198);
        EXPECT_EQ(state.chosenPrimary, 0);
        EXPECT_EQ(state.platformPrimary, 0);
        EXPECT_TRUE(EqualRect(&state.screens[0].workRect, &Sim.monitors[0].work));

        SetWindowPos(state.canvasFrame, nullptr, 9, 47, 450, 250, SWP_NOZORDER | SWP_NOACTIVATE);
        LayoutCanvas();
        EXPECT_EQ(state.scale, (float)(200.0 / 768));
        EXPECT_LT((double)state.scale, 200.0 / 768) << "the 32-bit float lies just below 200/768";
        // 266 x 199: the height truncated, not rounded to 200.
        EXPECT_RECT(RectIn(state.desktopMiniature, dialog), 9 + 25 + 67, 47 + 25, 101 + 266, 72 + 199);
        EXPECT_RECT(RectIn(state.screenItems[0], dialog), 101, 72, 101 + 266, 72 + 199);
    }));

    // Two 702-pixel monitors: each scales to 180.98, truncated to 180; the right
    // one starts at trunc(702 x scale), not after the left one's width, and the
    // whole desktop is 361 wide, so a pixel stays free at the right.
    Monitors(2, 702, 768);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        UseLaidOutFrame(state);
        EXPECT_EQ(state.scale, 0.2578125f);
        // 400 x 198 available: the 361 x 198 desktop starts at 9 + 25 + 19.
        EXPECT_RECT(RectIn(state.desktopMiniature, dialog), 53, 72, 53 + 361, 72 + 198);
        EXPECT_RECT(RectIn(state.screenItems[0], dialog), 53, 72, 53 + 180, 72 + 198);
        EXPECT_RECT(RectIn(state.screenItems[1], dialog), 53 + 180, 72, 53 + 180 + 180, 72 + 198);
    }));

    // Monitor 0 (primary) at the origin, monitor 1 to its left and higher: the
    // virtual screen starts at (-1280, -256) and is 2304 x 1024, so the width
    // constrains: scale = 400 / 2304.
    Monitors(2);
    SetRect(&Sim.monitors[1].rect, -1280, -256, 0, 768);
    Sim.monitors[1].work = Sim.monitors[1].rect;
    adapter.Install();
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        UseLaidOutFrame(state);
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

void Scroll(HWND dialog, ExtPropState &state, int code, int position, HWND from = nullptr)
{
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(code, position),
                 reinterpret_cast<LPARAM>(from ? from : state.zoomSlider));
}

TEST_F(ExtPropDialog, ZoomSliderCodes)
{
    Monitors(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        UseLaidOutFrame(state);
        Scroll(dialog, state, TB_THUMBTRACK, 150, state.okButton);
        EXPECT_EQ(state.zoomMargin, 50) << "other scrollers do not zoom";
        EXPECT_FALSE(state.zooming);

        // Dragging the thumb lays the canvas out again at once.
        RECT before = RectIn(state.desktopMiniature, dialog);
        Scroll(dialog, state, TB_THUMBTRACK, 120);
        EXPECT_EQ(state.zoomMargin, 120);
        EXPECT_TRUE(state.zooming);
        RECT during = RectIn(state.desktopMiniature, dialog);
        EXPECT_LT(during.right - during.left, before.right - before.left);
        // 450 - 120 = 330 wide for 2048: scale 330/2048.
        EXPECT_EQ(state.scale, (float)(330.0 / 2048));
        EXPECT_EQ(WindowText(state.screenItems[0]), "");
        EXPECT_EQ(WindowText(state.screenItems[1]), "");

        // The end of the track rebuilds the digit fonts for the new size.
        HFONT oldFont = state.screenFonts[0];
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 120);
        Scroll(dialog, state, TB_ENDTRACK, 0);
        EXPECT_FALSE(state.zooming);
        EXPECT_EQ(state.zoomMargin, 120);
        EXPECT_EQ(WindowText(state.screenItems[0]), "1");
        EXPECT_EQ(WindowText(state.screenItems[1]), "2");
        EXPECT_NE(state.screenFonts[0], oldFont);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(state.screenItems[0], WM_GETFONT, 0, 0)),
                  state.screenFonts[0]);
        LOGFONTA font = {};
        GetObjectA(state.screenFonts[0], sizeof(font), &font);
        RECT item = RectIn(state.screenItems[0], dialog);
        EXPECT_EQ(font.lfHeight, item.bottom - item.top - 5);
        EXPECT_STREQ(font.lfFaceName, "Arial");

        // Released at the same value: new fonts, no new layout (which would
        // move the miniature away from a marker place).
        SetWindowPos(state.desktopMiniature, nullptr, 1, 2, 3, 4, SWP_NOZORDER | SWP_NOACTIVATE);
        oldFont = state.screenFonts[1];
        Scroll(dialog, state, TB_ENDTRACK, 0);
        EXPECT_EQ(state.zoomMargin, 120);
        EXPECT_RECT(RectIn(state.desktopMiniature, dialog), 1, 2, 4, 6);
        EXPECT_NE(state.screenFonts[1], oldFont);
        EXPECT_EQ(WindowText(state.screenItems[1]), "2");

        // Keyboard steps wait for the end of the track.
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 121);
        for (int code : {TB_LINEDOWN, TB_LINEUP, TB_THUMBPOSITION, TB_TOP, TB_BOTTOM})
            Scroll(dialog, state, code, 121);
        EXPECT_EQ(state.zoomMargin, 120);
        EXPECT_FALSE(state.zooming);
        EXPECT_RECT(RectIn(state.desktopMiniature, dialog), 1, 2, 4, 6);
        Scroll(dialog, state, TB_ENDTRACK, 0);
        EXPECT_EQ(state.zoomMargin, 121);
        EXPECT_NE(RectIn(state.desktopMiniature, dialog).left, 1);

        // Paging takes the slider's position.
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 70);
        Scroll(dialog, state, TB_PAGEDOWN, 0);
        EXPECT_EQ(state.zoomMargin, 70);
        EXPECT_TRUE(state.zooming);
    }));
}

const char TestModulePath[] = "C:\\Program Files\\Tessivon\\tessivon.exe";

struct StoredOptions : ExtPropDialog {
    char savedPath[MAX_PATH];
    void SetUp() override
    {
        lstrcpyA(savedPath, ModulePath);
        lstrcpyA(ModulePath, TestModulePath);
        Monitors(2);
    }
    void TearDown() override { lstrcpyA(ModulePath, savedPath); }
    void ExpectStored(const std::vector<long long> &stored, const std::string &run)
    {
        for (int i = 0; i < OPTION_COUNT; i++)
            EXPECT_EQ(ReadStoredOption(i), stored[i]) << OptionNames[i + 1];
        EXPECT_EQ(ReadRunValue(), run);
        EXPECT_EQ(FindExtPropDialog(), nullptr);
    }
};

TEST_F(StoredOptions, OkWritesAllThirteenAndSetsOrDeletesTheRunValue)
{
    auto elsewhere = [](HWND, ExtPropState &state) { SwitchToTab(state, TAB_ABOUT); };
    WriteOption(OPT_EXT_PROP_AS_DBL_CLICK, 7);
    ASSERT_TRUE(RunExtPropDialog(elsewhere, DialogEnd::Ok));
    // Away from the Settings page what was read is stored: the defaults where
    // nothing was, any non-zero number as 1.
    ExpectStored({0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1, 1, 1}, std::string("\"") + TestModulePath + "\"");

    WriteOption(OPT_LAUNCH_AT_WINDOWS_STARTUP, 0);
    WriteSettingsValue("ShowWallpaperDesktop", REG_SZ, "0", 2);
    HKEY run;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, RUN_KEY, &run), ERROR_SUCCESS);
    RegSetValueExA(run, OptionNames[0], 0, REG_SZ, reinterpret_cast<const BYTE *>("C:\\other.exe"), 13);
    RegCloseKey(run);
    ASSERT_TRUE(RunExtPropDialog(elsewhere, DialogEnd::Ok));
    // The Run value is removed although another program wrote it.
    ExpectStored({0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1, 0, 1}, "<missing>");
}

// Cancel, WM_CLOSE and the title bar's close box (or Alt+F4) store nothing,
// though an option was changed on the Settings page; Escape (IDCANCEL) has no
// handler.
TEST_F(StoredOptions, CancelAndCloseWriteNothing)
{
    for (DialogEnd end : {DialogEnd::Cancel, DialogEnd::Close, DialogEnd::ByTest}) {
        ASSERT_TRUE(RunExtPropDialog(
            [end](HWND dialog, ExtPropState &state) {
                SwitchToTab(state, TAB_SETTINGS);
                SendMessageA(state.optionCheckBoxes[OPT_SHOW_WINDOW_CLASS_NAME], BM_CLICK, 0, 0);
                SwitchToTab(state, TAB_ABOUT);
                EXPECT_EQ(state.options[OPT_SHOW_WINDOW_CLASS_NAME], 1u);
                if (end == DialogEnd::ByTest) {
                    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                    EXPECT_TRUE(IsWindowVisible(dialog)) << "IDCANCEL has no handler";
                    SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                    EXPECT_FALSE(IsWindowVisible(dialog));
                }
            },
            end));
        ExpectStored(std::vector<long long>(OPTION_COUNT, -1), "<missing>");
    }
}

TEST_F(StoredOptions, ApplySettlesThePendingMovesWritesNothingAndStaysOpen)
{
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        HWND apply = GetDlgItem(dialog, 1002);
        EXPECT_EQ(EnableApplyButton(dialog), 1);
        EXPECT_FALSE(GetWindowLongA(apply, GWL_STYLE) & WS_DISABLED);
        EXPECT_EQ(DisableApplyButton(dialog), 1);
        EXPECT_TRUE(GetWindowLongA(apply, GWL_STYLE) & WS_DISABLED);

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
    ExpectStored(std::vector<long long>(OPTION_COUNT, -1), "<missing>");

    // The button's style goes through SetStyleBits, which clears, then sets.
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

// Opening and closing ten times, and an opening whose icon view cannot be
// made, leave no object behind.
TEST_F(ExtPropDialog, OpeningsLeakNothing)
{
    Monitors(3);
    RunExtPropDialog([](HWND, ExtPropState &) {}); // classes and shared pictures load once
    unsigned gdi = CountGdiObjects(), user = CountUserObjects();
    // The counters see objects come and go.
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(CountGdiObjects(), gdi + 1);
    EXPECT_EQ(CountUserObjects(), user + 1);
    DeleteObject(brush);
    DestroyMenu(menu);

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

    IconView other = {};
    IconViewInstance = &other; // another view is active: creation fails
    bool shown = RunExtPropDialog([](HWND, ExtPropState &) {}, DialogEnd::Close, {100, 100}, 500);
    EXPECT_FALSE(shown) << "a failed icon view closes the dialog";
    EXPECT_EQ(FindExtPropDialog(), nullptr);
    EXPECT_EQ(CountGdiObjects(), gdi);
    EXPECT_EQ(CountUserObjects(), user);
    EXPECT_EQ(IconViewInstance, &other) << "another view's slot is left alone";
    IconViewInstance = nullptr;
    EXPECT_TRUE(RunExtPropDialog([](HWND, ExtPropState &) {})) << "the next opening works";
}

// With a stand-in for the shell's desktop ("Progman" > "SHELLDLL_DefView" >
// "SysListView32") the dialog finds the icon list; without one it opens all the same.
TEST_F(ExtPropDialog, FindsTheDesktopIconListOrOpensWithoutIt)
{
    Monitors(1);
    if (!FindWindowA("Progman", nullptr)) {
        ASSERT_TRUE(
            RunExtPropDialog([](HWND, ExtPropState &state) { EXPECT_EQ(state.desktopListView, nullptr); }));
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    for (const char *name : {"Progman", "SHELLDLL_DefView"}) {
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    auto make = [&](const char *type, DWORD style, HWND parent) {
        return CreateWindowExA(0, type, "", style, 0, 0, 10, 10, parent, nullptr, instance, nullptr);
    };
    HWND program = make("Progman", WS_POPUP, nullptr);
    HWND listView = make(WC_LISTVIEWA, WS_CHILD, make("SHELLDLL_DefView", WS_CHILD, program));
    EXPECT_NE(listView, nullptr);
    int nested = -1;
    EXPECT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        EXPECT_EQ(state.desktopListView, listView);
        nested = OpenExtendedProperties({0, 0});
        EXPECT_EQ(ActiveExtPropState, &state);
        EXPECT_TRUE(IsWindowVisible(dialog));
    }));
    DestroyWindow(program);
    EXPECT_EQ(nested, 0) << "a second opening while one runs is refused";
}

TEST_F(ExtPropDialog, OptionalPlatformFunctions)
{
    // Without EnumDisplayDevicesA the fallback lists one display.
    Monitors(1);
    Sim.hasEnumDisplayDevices = false;
    adapter.Install();
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        EXPECT_EQ(EnumDisplayDevicesEntry, EnumDisplayDevicesFallback);
        ASSERT_EQ(SendMessageA(state.screenCombo, CB_GETCOUNT, 0, 0), 1);
        char text[64] = "";
        COMBOBOXEXITEMA item = {CBEIF_TEXT, 0, text, sizeof(text), 0, 0, 0, 0, 0};
        SendMessageA(state.screenCombo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, "DISPLAY");
    }));
    // The fallback gives only the first device, and only to a record of full size.
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof(device);
    ASSERT_TRUE(EnumDisplayDevicesFallback(nullptr, 0, &device, 0));
    EXPECT_STREQ(device.DeviceName, "DISPLAY");
    EXPECT_STREQ(device.DeviceString, "DISPLAY");
    EXPECT_EQ(device.StateFlags, 5u);
    EXPECT_FALSE(EnumDisplayDevicesFallback(nullptr, 1, &device, 0));
    EXPECT_FALSE(EnumDisplayDevicesFallback("\\\\.\\Display1", 0, &device, 0));
    EXPECT_FALSE(EnumDisplayDevicesFallback(nullptr, 0, nullptr, 0));
    DISPLAY_DEVICEA small = {};
    small.cb = sizeof(small) - 1;
    EXPECT_FALSE(EnumDisplayDevicesFallback(nullptr, 0, &small, 0));
    EXPECT_EQ(small.DeviceName[0], '\0');

    Monitors(2);
    Sim.hasEnumDisplayDevices = true;
    Sim.hasChangeEx = false;
    adapter.Install();
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        EXPECT_EQ(EnumDisplayDevicesEntry, Platform.EnumDisplayDevicesA);
        EXPECT_EQ(DialogChangeDisplaySettingsExEntry, nullptr);
        EXPECT_NE(GradientFillEntry, nullptr) << "MSIMG32 is there under Wine";
        EXPECT_TRUE(IsWindowEnabled(state.optionCheckBoxes[OPT_FILL_BACKGROUND_WITH_GRADIENT]));
    }));
}

} // namespace
