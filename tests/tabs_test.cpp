// The tabs, the Settings and About pages, on the real dialog driven from
// inside its modal loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog/ext_prop.h"
#include "dialog/tab_pages.h"
#include "shell/tessivon.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"
#include "tests/ui_driver.h"

namespace {

const std::vector<DWORD> FirstRunOptions = {0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1};

TEST(TabKeys, ArrowsHomeAndEndStopAtTheEnds)
{
    const int steps[][3] = {{TAB_WINDOWS, VK_LEFT, TAB_SCREEN},
                            {TAB_ICONS, VK_RIGHT, TAB_SETTINGS},
                            {TAB_SETTINGS, VK_HOME, TAB_SCREEN},
                            {TAB_WINDOWS, VK_END, TAB_ABOUT},
                            {TAB_SCREEN, VK_LEFT, -1},
                            {TAB_SCREEN, VK_HOME, -1},
                            {TAB_ABOUT, VK_RIGHT, -1},
                            {TAB_ABOUT, VK_END, -1},
                            {TAB_ICONS, VK_UP, -1},
                            {TAB_ICONS, VK_TAB, -1}};
    for (auto [from, key, to] : steps)
        EXPECT_EQ(KeyboardTabTarget(from, (WORD)key), to) << from << " " << key;
}

const char *const TabNames[TAB_COUNT] = {"Screen", "Windows", "Icons", "Settings", "About"};

// The width of the text in the control's font.
int TextWidth(HWND control, const std::string &text)
{
    WindowTextDC dc(control);
    SIZE size = {};
    GetTextExtentPoint32A(dc.dc, text.c_str(), (int)text.size(), &size);
    return size.cx;
}

int ClientWidth(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    return client.right;
}

// The controls that a page shows.
std::vector<HWND> ShownOnPage(const ExtPropState &state, int page)
{
    std::vector<HWND> shown = {state.backdrop};
    if (page <= TAB_ICONS) {
        shown = {state.canvasFrame, state.desktopMiniature, state.zoomSlider};
        shown.insert(shown.end(), state.screenItems, state.screenItems + std::min(state.screenCount, 3));
    }
    if (page == TAB_SCREEN)
        shown.insert(shown.end(), {state.screenCombo, state.primaryCheckBox});
    if (page == TAB_WINDOWS)
        shown.push_back(state.windowCombo);
    if (page == TAB_ICONS)
        shown.insert(shown.end(), {state.iconCombo, state.iconViewWindow});
    if (page == TAB_SETTINGS)
        shown.insert(shown.end(), state.optionCheckBoxes, state.optionCheckBoxes + OPTION_COUNT);
    if (page == TAB_ABOUT)
        shown.insert(shown.end(), {state.aboutText, state.knownBugsText, state.futureFeaturesText,
                                   state.webLink, state.mailLink});
    return shown;
}

// Every control that a page shows or hides: those some page shows, the
// window miniature (shown only while a window is picked) and every screen item.
std::vector<HWND> PageWindows(const ExtPropState &state)
{
    std::vector<HWND> windows(state.screenItems, state.screenItems + MAX_SCREEN_ITEMS);
    windows.push_back(state.windowMiniature);
    for (int page = 0; page < TAB_COUNT; page++) {
        std::vector<HWND> shown = ShownOnPage(state, page);
        windows.insert(windows.end(), shown.begin(), shown.end());
    }
    return windows;
}

// The strip, the record, the labels and the real windows all show the page.
void ExpectPage(const ExtPropState &state, int page)
{
    const char *hints[TAB_COUNT] = {"Move screens like you want.", "Move windows like you want.",
                                    "Move icons like you want.", "", ""};
    const char *combos[TAB_COUNT] = {"Screen :", "Window :", "Icon :", "", ""};
    SCOPED_TRACE(std::string("page ") + TabNames[page]);
    EXPECT_EQ(SendMessageA(state.tabControl, TCM_GETCURSEL, 0, 0), page);
    EXPECT_EQ(state.currentTab, page);
    EXPECT_EQ(WindowText(state.hintLabel), hints[page]);
    EXPECT_EQ(WindowText(state.comboLabel), combos[page]);
    for (HWND label : {state.hintLabel, state.comboLabel})
        EXPECT_GE(ClientWidth(label), TextWidth(label, WindowText(label))) << "uncut: " << WindowText(label);
    std::vector<HWND> shown = ShownOnPage(state, page);
    for (HWND control : PageWindows(state)) {
        bool expected = std::find(shown.begin(), shown.end(), control) != shown.end();
        EXPECT_EQ(IsWindowVisible(control) != 0, expected)
            << GetDlgCtrlID(control) << " " << WindowText(control);
    }
    for (HWND always : {state.tabControl, state.okButton, state.hintLabel, state.comboLabel})
        EXPECT_TRUE(IsWindowVisible(always));
}

std::vector<DWORD> CheckBoxes(const ExtPropState &state)
{
    std::vector<DWORD> ticks;
    for (HWND box : state.optionCheckBoxes)
        ticks.push_back(SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
    return ticks;
}

std::vector<DWORD> Options(const ExtPropState &state)
{
    return std::vector<DWORD>(state.options, state.options + OPTION_COUNT);
}

// Pixels of one tab of the strip, right of its icon, as drawn on the screen.
bool TabTextHasColour(const ExtPropState &state, int tab, COLORREF colour)
{
    RECT item;
    SendMessageA(state.tabControl, TCM_GETITEMRECT, tab, reinterpret_cast<LPARAM>(&item));
    HDC dc = GetDC(state.tabControl);
    bool found = false;
    for (int y = item.top + 3; y < item.bottom - 2 && !found; y++)
        for (int x = item.left + 24; x < item.right - 3 && !found; x++)
            found = GetPixel(dc, x, y) == colour;
    ReleaseDC(state.tabControl, dc);
    return found;
}

// The picture at a tab's icon place, redrawn first.
std::vector<COLORREF> TabIconPixels(const ExtPropState &state, int tab)
{
    RedrawWindow(state.tabControl, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT item;
    SendMessageA(state.tabControl, TCM_GETITEMRECT, tab, reinterpret_cast<LPARAM>(&item));
    HDC dc = GetDC(state.tabControl);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            pixels.push_back(GetPixel(dc, item.left + 4 + x, item.top + 2 + y));
    ReleaseDC(state.tabControl, dc);
    return pixels;
}

// A click on the point: the cursor is put there and the window under it gets
// the button messages, as the platform's mouse input would give them.
void ClickScreenPoint(POINT point)
{
    // Moving the X pointer comes back as motion events a little later, which
    // can briefly put the cursor back: wait until it stays on the point.
    for (int settled = 0, tries = 0; settled < 3 && tries < 50; tries++) {
        POINT now;
        GetCursorPos(&now);
        settled = now.x == point.x && now.y == point.y ? settled + 1 : 0;
        if (!settled)
            SetCursorPos(point.x, point.y);
        PumpMessages(20);
    }
    HWND target = WindowFromPoint(point);
    POINT client = point;
    ScreenToClient(target, &client);
    PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    PostMessageA(target, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    PumpMessages(100);
}

void ClickTab(const ExtPropState &state, int tab)
{
    RECT item;
    ASSERT_TRUE(SendMessageA(state.tabControl, TCM_GETITEMRECT, tab, reinterpret_cast<LPARAM>(&item)));
    POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(state.tabControl, &centre);
    ClickScreenPoint(centre);
}

void ClickWindow(HWND window)
{
    RECT place = RectIn(window, nullptr);
    ClickScreenPoint({place.left + 5, (place.top + place.bottom) / 2});
}

// A real key press on the strip.
void PressTabKey(const ExtPropState &state, WORD key)
{
    SetFocus(state.tabControl);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_KEYBOARD;
    press[0].ki.wVk = press[1].ki.wVk = key;
    press[0].ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    press[1].ki.dwFlags = KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP;
    SendInput(2, press, sizeof(INPUT));
    PumpMessages(150);
}

void Tick(const ExtPropState &state, int option)
{
    SendMessageA(state.optionCheckBoxes[option], BM_CLICK, 0, 0);
}

struct DialogTabsTest : ::testing::Test {
    RegistryGuard registry;
    ScopedSimAdapter sim;

    void Displays(int count)
    {
        SimSetMonitors(count);
        sim.Install();
    }
};

// One display opens on the Windows page, more on the Screen page; each shown
// display (at most three) has its screen item and its entry in the list. With
// one display the Screen tab cannot be chosen.
TEST_F(DialogTabsTest, EachCountOfDisplaysOpensOnItsPageWithItsItems)
{
    for (int count = 1; count <= 4; count++) {
        SCOPED_TRACE(std::to_string(count) + " displays");
        Displays(count);
        if (count > 1)
            Sim.monitors[0].description = Sim.monitors[1].description = "Twin Adapter";
        int shown = std::min(count, MAX_SCREEN_ITEMS);
        ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
            EXPECT_EQ(state.screenCount, shown);
            ExpectPage(state, count == 1 ? TAB_WINDOWS : TAB_SCREEN);
            const int ids[MAX_SCREEN_ITEMS] = {1008, 1009, 1029};
            for (int i = 0; i < MAX_SCREEN_ITEMS; i++) {
                EXPECT_EQ(state.screenItems[i], GetDlgItem(dialog, ids[i]));
                RECT place = RectIn(state.screenItems[i], nullptr);
                if (i >= shown) {
                    EXPECT_TRUE(IsRectEmpty(&place)) << "an unused item stays collapsed";
                    continue;
                }
                EXPECT_EQ(WindowText(state.screenItems[i]), std::string(1, (char)('1' + i)));
                EXPECT_TRUE(EqualRect(&state.screens[i].monitorRect, &Sim.monitors[i].rect)) << i;
                EXPECT_NE(state.screenFonts[i], nullptr);
            }
            EXPECT_EQ(state.screens[3].monitor, nullptr) << "a fourth monitor is left out";
            ASSERT_EQ(SendMessageA(state.screenCombo, CB_GETCOUNT, 0, 0), shown);
            for (int k = 0; k < shown; k++) {
                char text[128] = "";
                COMBOBOXEXITEMA item = {
                    CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE, k, text, sizeof(text), 0, 0, 0, 0, 0};
                SendMessageA(state.screenCombo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
                EXPECT_EQ(text,
                          count > 1 && k < 2 ? "Twin Adapter" : "Simulated Monitor " + std::to_string(k + 1));
                EXPECT_EQ(item.iImage, k) << "each display its own picture";
                EXPECT_EQ(item.iSelectedImage, k);
            }
            EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCURSEL, 0, 0), 0);
            EXPECT_EQ(ImageList_GetImageCount(state.screenImages), 4);
            if (count > 1)
                return;
            // With one display the Screen tab is embossed and refused.
            PumpMessages(100);
            EXPECT_FALSE(TabTextHasColour(state, TAB_SCREEN, GetSysColor(COLOR_BTNTEXT)));
            EXPECT_TRUE(TabTextHasColour(state, TAB_SCREEN, GetSysColor(COLOR_3DSHADOW)));
            EXPECT_TRUE(TabTextHasColour(state, TAB_ICONS, GetSysColor(COLOR_BTNTEXT)));
            ClickTab(state, TAB_SCREEN);
            ExpectPage(state, TAB_WINDOWS);
            for (WORD key : {VK_LEFT, VK_HOME}) {
                PressTabKey(state, key);
                ExpectPage(state, TAB_WINDOWS);
            }
            ClickTab(state, TAB_ABOUT);
            PressTabKey(state, VK_HOME);
            ExpectPage(state, TAB_ABOUT);
        }));
    }
}

TEST_F(DialogTabsTest, MouseAndKeysVisitEveryPageAndCanvasPagesHandOverTheirControls)
{
    Displays(3);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        for (int tab : {TAB_WINDOWS, TAB_ICONS, TAB_SETTINGS, TAB_ABOUT, TAB_SCREEN, TAB_SETTINGS, TAB_ICONS,
                        TAB_ABOUT, TAB_WINDOWS, TAB_SCREEN}) {
            ClickTab(state, tab);
            ExpectPage(state, tab);
            EXPECT_EQ(GetFocus(), state.okButton) << "a click hands the focus to OK";
        }

        const std::pair<WORD, int> steps[] = {{VK_RIGHT, TAB_WINDOWS}, {VK_END, TAB_ABOUT},
                                              {VK_RIGHT, TAB_ABOUT},   {VK_LEFT, TAB_SETTINGS},
                                              {VK_HOME, TAB_SCREEN},   {VK_LEFT, TAB_SCREEN}};
        for (auto [key, page] : steps) {
            PressTabKey(state, key);
            ExpectPage(state, page);
            EXPECT_EQ(GetFocus(), state.tabControl) << "keys keep the focus on the strip";
        }
        EXPECT_FALSE(TabTargetFromKeyboard) << "no key target is left over for the next click";
        ClickTab(state, TAB_ICONS);
        ExpectPage(state, TAB_ICONS);

        // A selection change with no tab under the cursor is refused.
        ClickTab(state, TAB_WINDOWS);
        RECT ok = RectIn(state.okButton, nullptr);
        SetCursorPos(ok.left + 2, ok.top + 2);
        PumpMessages(100);
        NMHDR header = {state.tabControl, IDC_TAB_CONTROL, (UINT)TCN_SELCHANGING};
        SendMessageA(dialog, WM_NOTIFY, IDC_TAB_CONTROL, reinterpret_cast<LPARAM>(&header));
        header.code = (UINT)TCN_SELCHANGE;
        SendMessageA(dialog, WM_NOTIFY, IDC_TAB_CONTROL, reinterpret_cast<LPARAM>(&header));
        ExpectPage(state, TAB_WINDOWS);

        // Windows and Icons share one combo box, each with its pictures.
        auto comboPictures = [&] {
            return reinterpret_cast<HIMAGELIST>(SendMessageA(state.windowCombo, CBEM_GETIMAGELIST, 0, 0));
        };
        EXPECT_EQ(comboPictures(), state.windowImages);
        state.timerRunning = TRUE;
        ClickTab(state, TAB_ICONS);
        EXPECT_EQ(comboPictures(), state.iconImages);
        EXPECT_FALSE(state.timerRunning) << "leaving Windows stops the canvas timer";
        RECT miniature = RectIn(state.windowMiniature, nullptr);
        EXPECT_TRUE(IsRectEmpty(&miniature));
        // A primary choice waiting for Apply is dropped on the next canvas page.
        state.primaryPending = TRUE;
        ClickTab(state, TAB_SETTINGS);
        EXPECT_TRUE(state.primaryPending);
        ClickTab(state, TAB_SCREEN);
        EXPECT_FALSE(state.primaryPending);
    }));
}

// The boxes are ticked from the options on entry and give them back when the
// page is left, or at OK while it is shown; the dark tab icons follow too.
TEST_F(DialogTabsTest, SettingsPageCopiesTheOptionsInAndOut)
{
    Displays(2);
    WriteSettingsValue("DarkIconInTab", REG_SZ, "0", 2);
    WriteSettingsValue(OptionNames[1 + OPT_FILL_BACKGROUND_WITH_GRADIENT], REG_SZ, "1", 2);
    WriteOption(OPT_SHOW_TRAY_BAR_AS_WINDOW, 1);
    WriteOption(OPT_DISPLAY_PORTRAIT_RESOLUTION, 0);
    ASSERT_TRUE(RunExtPropDialog(
        [](HWND, ExtPropState &state) {
            std::vector<DWORD> opened = FirstRunOptions;
            opened[OPT_SHOW_TRAY_BAR_AS_WINDOW] = 1;
            opened[OPT_DISPLAY_PORTRAIT_RESOLUTION] = 0;
            EXPECT_EQ(Options(state), opened) << "a value stored as text takes its default";
            EXPECT_EQ(CheckBoxes(state), std::vector<DWORD>(OPTION_COUNT, 0)) << "ticked only on entry";
            ClickTab(state, TAB_SETTINGS);
            ExpectPage(state, TAB_SETTINGS);
            EXPECT_EQ(CheckBoxes(state), opened);
            EXPECT_FALSE(IsWindowEnabled(state.optionCheckBoxes[OPT_SHOW_DESKTOP_DURING_ZOOM]));
            // The box, a gap, the whole text and a little room: glyphs may be
            // drawn a pixel or two beyond their measured cells.
            for (HWND box : state.optionCheckBoxes)
                EXPECT_GE(ClientWidth(box),
                          GetSystemMetrics(SM_CXMENUCHECK) + 8 + TextWidth(box, WindowText(box)))
                    << "uncut: " << WindowText(box);

            std::vector<COLORREF> dark = TabIconPixels(state, TAB_ICONS);
            Tick(state, OPT_DARK_ICON_IN_TAB);
            Tick(state, OPT_SHOW_WINDOW_CLASS_NAME);
            EXPECT_EQ(Options(state), opened) << "options follow the boxes only when the page is left";
            EXPECT_EQ(TabIconPixels(state, TAB_ICONS), dark) << "still dark while the page is shown";
            ClickTab(state, TAB_ABOUT);
            std::vector<DWORD> changed = opened;
            changed[OPT_DARK_ICON_IN_TAB] = 0;
            changed[OPT_SHOW_WINDOW_CLASS_NAME] = 1;
            EXPECT_EQ(Options(state), changed);
            EXPECT_NE(TabIconPixels(state, TAB_ICONS), dark);

            state.options[OPT_HIDE_ICON_TEXT_AT_STARTUP] = 1;
            ClickTab(state, TAB_SETTINGS);
            changed[OPT_HIDE_ICON_TEXT_AT_STARTUP] = 1;
            EXPECT_EQ(CheckBoxes(state), changed) << "ticked from the options again on the next entry";
            Tick(state, OPT_TRAY_ICON_IN_256_COLORS);
        },
        DialogEnd::Ok));
    // OK on the Settings page takes the boxes first.
    const long long stored[OPTION_COUNT] = {1, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0};
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_EQ(ReadStoredOption(i), stored[i]) << OptionNames[i + 1];
    EXPECT_EQ(ReadRunValue(), std::string("\"") + ModulePath + "\"");
}

// How tall the static's text is when wrapped at the static's width.
int WrappedTextHeight(HWND text)
{
    RECT client;
    GetClientRect(text, &client);
    WindowTextDC dc(text);
    DrawTextA(dc.dc, WindowText(text).c_str(), -1, &client, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    return client.bottom - client.top;
}

TEST_F(DialogTabsTest, AboutPageTextsAndLinks)
{
    Displays(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        ClickTab(state, TAB_ABOUT);
        ExpectPage(state, TAB_ABOUT);
        std::string about = WindowText(state.aboutText);
        EXPECT_EQ(about.rfind("Tessivon v2.61 alpha", 0), 0u) << about;
        EXPECT_NE(about.find("\n\n  "), std::string::npos);
        EXPECT_NE(about.find("[ " TESSIVON_MAIL_ADDRESS " ]\n  "), std::string::npos);
        EXPECT_EQ(about.back(), '\n');
        EXPECT_EQ(WindowText(state.knownBugsText).rfind("Known Bugs:\n- Accelerator keys doesn't work.\n", 0),
                  0u);
        EXPECT_NE(WindowText(state.futureFeaturesText).find("- Include english help && manual.\n"),
                  std::string::npos);
        EXPECT_EQ(WindowText(state.webLink), TESSIVON_WEB_ADDRESS);
        EXPECT_EQ(WindowText(state.mailLink), TESSIVON_MAIL_ADDRESS);
        LOGFONTA font = {};
        ASSERT_TRUE(GetObjectA(state.linkFont, sizeof(font), &font));
        EXPECT_TRUE(font.lfUnderline);
        EXPECT_EQ(LinkButtonFont, state.linkFont);

        // The three texts follow each other down from the laid-out place, each
        // showing all of its lines.
        RECT a = RectIn(state.aboutText, dialog);
        RECT bugs = RectIn(state.knownBugsText, dialog);
        RECT future = RectIn(state.futureFeaturesText, dialog);
        EXPECT_EQ(std::make_pair(a.left, a.top),
                  std::make_pair((LONG)DialogPixelsX(dialog, 109), (LONG)DialogPixelsY(dialog, 49)));
        EXPECT_EQ(bugs.left, a.left);
        EXPECT_EQ(future.left, a.left);
        EXPECT_GT(bugs.top, a.bottom);
        EXPECT_GT(future.top, bugs.bottom);
        for (HWND text : {state.aboutText, state.knownBugsText, state.futureFeaturesText})
            EXPECT_LE(WrappedTextHeight(text), RectIn(text, dialog).bottom - RectIn(text, dialog).top)
                << WindowText(text);

        // Each link lies over its address: on its line, after the words
        // before it; the mail link about as wide as the address.
        TEXTMETRICA metrics = {};
        GetTextMetricsA(WindowTextDC(state.aboutText).dc, &metrics);
        std::string third = about.substr(about.find("\n\n") + 2);
        std::string fourth = third.substr(third.find('\n') + 1);
        int beforeMail = TextWidth(state.aboutText, third.substr(0, third.find(TESSIVON_MAIL_ADDRESS)));
        int beforeWeb = TextWidth(state.aboutText, fourth.substr(0, fourth.find(TESSIVON_WEB_ADDRESS)));
        int mailWidth = TextWidth(state.aboutText, TESSIVON_MAIL_ADDRESS);
        RECT web = RectIn(state.webLink, dialog);
        RECT mail = RectIn(state.mailLink, dialog);
        EXPECT_EQ(mail.left, a.left + beforeMail);
        EXPECT_EQ(mail.top, a.top + 2 * metrics.tmHeight);
        EXPECT_GE(mail.right - mail.left, mailWidth);
        EXPECT_LT(mail.right - mail.left, mailWidth + metrics.tmAveCharWidth)
            << "the closing bracket stays visible";
        EXPECT_EQ(mail.bottom - mail.top, (font.lfHeight < 0 ? -font.lfHeight : font.lfHeight) + 2);
        EXPECT_EQ(web.left, a.left + beforeWeb);
        EXPECT_EQ(web.top, a.top + 3 * metrics.tmHeight);

        // The links are blue and open their addresses.
        UpdateWindow(state.webLink);
        HDC linkDc = GetDC(state.webLink);
        int blue = 0;
        for (int y = 0; y < 12; y++)
            for (int x = 0; x < 40; x++)
                blue += GetPixel(linkDc, x, y) == RGB(0, 0, 255);
        ReleaseDC(state.webLink, linkDc);
        EXPECT_GT(blue, 20);
        ClickWindow(state.webLink);
        ClickWindow(state.mailLink);
        EXPECT_EQ(Sim.launches, std::vector<std::string>({"http://" TESSIVON_WEB_ADDRESS " ",
                                                          "mailto:" TESSIVON_MAIL_ADDRESS " "}));
        ExpectPage(state, TAB_ABOUT);
    }));
}

} // namespace
