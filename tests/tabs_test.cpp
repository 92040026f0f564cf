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

const int OptionCheckBoxIds[OPTION_COUNT] = {1001, 1032, 1033, 1036, 1038, 1039, 1045,
                                             1046, 1047, 1048, 1049, 1050, 1051};

// A hidden top-level window for controls made by a test; they go with it.
struct TestParent {
    HWND window;
    TestParent()
    {
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_TAB_CLASSES | ICC_USEREX_CLASSES};
        InitCommonControlsEx(&classes);
        window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    }
    ~TestParent() { DestroyWindow(window); }
    HWND Child(const char *className, DWORD style, int id = 0, const char *text = "")
    {
        return CreateWindowExA(0, className, text, WS_CHILD | style, 0, 0, 300, 200, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                               nullptr);
    }
};

// A 32-bit picture with a device context to draw into and read back.
struct TestPicture {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ former;
    int width, height;
    TestPicture(int width, int height) : width(width), height(height)
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        former = SelectObject(dc, bitmap);
    }
    ~TestPicture()
    {
        SelectObject(dc, former);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Fill(COLORREF colour)
    {
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    // The smallest rectangle holding every pixel of the colour (empty when none).
    RECT Bounds(COLORREF colour) const
    {
        RECT box = {width, height, -1, -1};
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                if (GetPixel(dc, x, y) == colour) {
                    box.left = x < box.left ? x : box.left;
                    box.top = y < box.top ? y : box.top;
                    box.right = x > box.right ? x : box.right;
                    box.bottom = y > box.bottom ? y : box.bottom;
                }
        return box;
    }
};

bool Found(const RECT &box) { return box.right >= box.left; }

// ---------------------------------------------------------------------------
// Plain functions and single controls.

TEST(TabKeys, ArrowsHomeAndEndStopAtTheEnds)
{
    EXPECT_EQ(KeyboardTabTarget(TAB_WINDOWS, VK_LEFT), TAB_SCREEN);
    EXPECT_EQ(KeyboardTabTarget(TAB_ICONS, VK_RIGHT), TAB_SETTINGS);
    EXPECT_EQ(KeyboardTabTarget(TAB_SETTINGS, VK_HOME), TAB_SCREEN);
    EXPECT_EQ(KeyboardTabTarget(TAB_WINDOWS, VK_END), TAB_ABOUT);
    EXPECT_EQ(KeyboardTabTarget(TAB_SCREEN, VK_LEFT), -1);
    EXPECT_EQ(KeyboardTabTarget(TAB_SCREEN, VK_HOME), -1);
    EXPECT_EQ(KeyboardTabTarget(TAB_ABOUT, VK_RIGHT), -1);
    EXPECT_EQ(KeyboardTabTarget(TAB_ABOUT, VK_END), -1);
    EXPECT_EQ(KeyboardTabTarget(TAB_ICONS, VK_UP), -1);
    EXPECT_EQ(KeyboardTabTarget(TAB_ICONS, VK_TAB), -1);
}

TEST(TabStrip, InsertingAtTheFrontBuildsTheStripBackwards)
{
    TestParent parent;
    HWND strip = parent.Child(WC_TABCONTROLA, 0);
    EXPECT_EQ(InsertTab(strip, "About", 4), 0);
    EXPECT_EQ(InsertTab(strip, "Settings", 3), 0);
    EXPECT_EQ(InsertTab(strip, nullptr, -1), 0);
    ASSERT_EQ(SendMessageA(strip, TCM_GETITEMCOUNT, 0, 0), 3);

    const char *texts[] = {"", "Settings", "About"};
    const int images[] = {-1, 3, 4};
    for (int k = 0; k < 3; k++) {
        char text[64] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        item.iImage = 99;
        SendMessageA(strip, TCM_GETITEMA, k, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, texts[k]) << "tab " << k;
        EXPECT_EQ(item.iImage, images[k]) << "tab " << k;
    }
}

TEST(TabStrip, RefusedTabTextIsEmbossed)
{
    const COLORREF background = RGB(1, 2, 3);
    const COLORREF highlight = GetSysColor(COLOR_3DHILIGHT);
    const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const RECT tab = {0, 0, 200, 20};

    TestPicture plain(220, 40);
    plain.Fill(background);
    SetBkColor(plain.dc, background);
    DrawTabText(plain.dc, &tab, "Screen", FALSE);
    RECT ink = plain.Bounds(text);
    ASSERT_TRUE(Found(ink));
    EXPECT_FALSE(Found(plain.Bounds(shadow)));
    // Centred between the icon's place (22 pixels) and the right edge, 4 down.
    EXPECT_NEAR((ink.left + ink.right) / 2.0, (22 + 200) / 2.0, 2.0);
    EXPECT_GE(ink.top, 4);

    TestPicture embossed(220, 40);
    embossed.Fill(background);
    SetBkColor(embossed.dc, background);
    DrawTabText(embossed.dc, &tab, "Screen", TRUE);
    RECT dark = embossed.Bounds(shadow);
    RECT light = embossed.Bounds(highlight);
    ASSERT_TRUE(Found(dark));
    ASSERT_TRUE(Found(light));
    EXPECT_FALSE(Found(embossed.Bounds(text)));
    // The light copy lies one pixel right of and below the dark one.
    EXPECT_EQ(light.right, dark.right + 1);
    EXPECT_EQ(light.bottom, dark.bottom + 1);
    EXPECT_EQ(dark.left, ink.left);
    EXPECT_EQ(dark.top, ink.top);
}

// The screen list, filled from the simulated display devices.
struct ScreenListTest : ::testing::Test {
    ScopedSimAdapter sim;
    TestParent parent;
    ExtPropState state = {};
    HWND combo = nullptr;
    EnumDisplayDevicesProc savedEntry = EnumDisplayDevicesEntry;
    HINSTANCE savedInstance = InstanceHandle;

    void SetUp() override
    {
        combo = parent.Child(WC_COMBOBOXEXA, CBS_DROPDOWNLIST);
        state.primaryCheckBox = parent.Child("BUTTON", BS_AUTOCHECKBOX, 1008);
        InstanceHandle = GetModuleHandleA(nullptr);
    }
    void TearDown() override
    {
        if (state.screenImages)
            ImageList_Destroy(state.screenImages);
        EnumDisplayDevicesEntry = savedEntry;
        InstanceHandle = savedInstance;
    }
    void Fill(int monitors, int screenCount)
    {
        SimSetMonitors(monitors);
        sim.Install();
        EnumDisplayDevicesEntry = Platform.EnumDisplayDevicesA;
        state.screenCount = screenCount;
        state.selectedScreen = -1;
        ASSERT_EQ(FillScreenCombo(&state, parent.window, combo), 1);
    }
    struct Entry {
        std::string text;
        int image, selectedImage;
    };
    std::vector<Entry> Entries()
    {
        std::vector<Entry> entries;
        int count = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
        for (int k = 0; k < count; k++) {
            char text[128] = "";
            COMBOBOXEXITEMA item = {};
            item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
            item.iItem = k;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            entries.push_back({text, item.iImage, item.iSelectedImage});
        }
        return entries;
    }
};

TEST_F(ScreenListTest, ListsEachDisplayWithItsPicture)
{
    Fill(3, 3);
    std::vector<Entry> entries = Entries();
    ASSERT_EQ(entries.size(), 3u);
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(entries[k].text, "Simulated Monitor " + std::to_string(k + 1));
        EXPECT_EQ(entries[k].image, k);
        EXPECT_EQ(entries[k].selectedImage, k);
    }
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(state.selectedScreen, 0);
    EXPECT_EQ(SendMessageA(state.primaryCheckBox, BM_GETCHECK, 0, 0), BST_CHECKED);

    // Four 24 x 20 pictures from the bitmap, given to the list.
    ASSERT_NE(state.screenImages, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(state.screenImages), 4);
    int width = 0, height = 0;
    ImageList_GetIconSize(state.screenImages, &width, &height);
    EXPECT_EQ(width, 24);
    EXPECT_EQ(height, 20);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(combo, CBEM_GETIMAGELIST, 0, 0)), state.screenImages);
}

TEST_F(ScreenListTest, StopsAtTheScreenCountOrWhenTheDevicesEnd)
{
    Fill(3, 2);
    EXPECT_EQ(Entries().size(), 2u);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    ImageList_Destroy(state.screenImages);
    state.screenImages = nullptr;

    Fill(1, 3);
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_EQ(Entries()[0].text, "Simulated Monitor 1");
}

TEST_F(ScreenListTest, SameDescriptionsKeepTheirOwnPictures)
{
    SimSetMonitors(2);
    Sim.monitors[1].description = Sim.monitors[0].description = "Twin Adapter";
    sim.Install();
    EnumDisplayDevicesEntry = Platform.EnumDisplayDevicesA;
    state.screenCount = 2;
    state.chosenPrimary = 1;
    ASSERT_EQ(FillScreenCombo(&state, parent.window, combo), 1);
    std::vector<Entry> entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, "Twin Adapter");
    EXPECT_EQ(entries[1].text, "Twin Adapter");
    EXPECT_EQ(entries[0].image, 0);
    EXPECT_EQ(entries[1].image, 1);
    EXPECT_EQ(SendMessageA(state.primaryCheckBox, BM_GETCHECK, 0, 0), BST_UNCHECKED)
        << "the first screen is not the chosen primary";
}

// StoreOptions on a state of its own, with real check boxes.
struct StoreTest : ::testing::Test {
    RegistryGuard registry;
    TestParent parent;
    ExtPropState state = {};
    char savedPath[MAX_PATH];

    void SetUp() override
    {
        lstrcpynA(savedPath, ModulePath, MAX_PATH);
        lstrcpynA(ModulePath, "C:\\Program Files\\Tessivon\\tessivon.exe", MAX_PATH);
        for (int i = 0; i < OPTION_COUNT; i++)
            state.optionCheckBoxes[i] = parent.Child("BUTTON", BS_AUTOCHECKBOX, OptionCheckBoxIds[i]);
        LoadDialogOptions(state.options, OPTION_DEFAULTS);
    }
    void TearDown() override { lstrcpynA(ModulePath, savedPath, MAX_PATH); }
    void Tick(int option, bool ticked)
    {
        SendMessageA(state.optionCheckBoxes[option], BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
};

TEST_F(StoreTest, OnTheSettingsPageTheBoxesAreTakenFirst)
{
    const int ticked[OPTION_COUNT] = {1, 1, 0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0};
    for (int i = 0; i < OPTION_COUNT; i++)
        Tick(i, ticked[i]);
    state.currentTab = TAB_SETTINGS;
    StoreOptions(&state);
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_EQ(ReadStoredOption(i), ticked[i]) << OptionNames[i + 1];
    EXPECT_EQ(ReadRunValue(), "\"C:\\Program Files\\Tessivon\\tessivon.exe\"");
}

TEST_F(StoreTest, ElsewhereTheBoxesAreIgnored)
{
    for (int i = 0; i < OPTION_COUNT; i++)
        Tick(i, true);
    state.currentTab = TAB_ABOUT;
    state.options[OPT_SHOW_TRAY_BAR_AS_WINDOW] = 7;
    state.options[OPT_LAUNCH_AT_WINDOWS_STARTUP] = 0;
    StoreOptions(&state);
    const int stored[OPTION_COUNT] = {0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 1};
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_EQ(ReadStoredOption(i), stored[i]) << OptionNames[i + 1];
    EXPECT_EQ(ReadRunValue(), "<missing>");
}

TEST_F(StoreTest, UntickingLaunchRemovesARunValueItDidNotWrite)
{
    HKEY run;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, RUN_KEY, &run), ERROR_SUCCESS);
    RegSetValueExA(run, OptionNames[0], 0, REG_SZ, reinterpret_cast<const BYTE *>("C:\\old.exe"), 11);
    RegCloseKey(run);
    Tick(OPT_LAUNCH_AT_WINDOWS_STARTUP, false);
    state.currentTab = TAB_SETTINGS;
    StoreOptions(&state);
    EXPECT_EQ(ReadStoredOption(OPT_LAUNCH_AT_WINDOWS_STARTUP), 0);
    EXPECT_EQ(ReadRunValue(), "<missing>");
}

// ---------------------------------------------------------------------------
// The real dialog, driven from inside its modal loop.

// The width of the control's text in the control's font.
int TextWidth(HWND control)
{
    std::string text = WindowText(control);
    HDC dc = GetDC(control);
    HGDIOBJ former = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &size);
    SelectObject(dc, former);
    ReleaseDC(control, dc);
    return size.cx;
}

const char *const TabNames[TAB_COUNT] = {"Screen", "Windows", "Icons", "Settings", "About"};

struct NamedWindow {
    std::string name;
    HWND window;
};

// Every control that a page shows or hides.
std::vector<NamedWindow> PageWindows(const ExtPropState &state)
{
    std::vector<NamedWindow> windows = {
        {"screenCombo", state.screenCombo},
        {"primaryCheckBox", state.primaryCheckBox},
        {"windowCombo", state.windowCombo},
        {"windowMiniature", state.windowMiniature},
        {"iconViewWindow", state.iconViewWindow},
        {"canvasFrame", state.canvasFrame},
        {"desktopMiniature", state.desktopMiniature},
        {"zoomSlider", state.zoomSlider},
        {"backdrop", state.backdrop},
        {"aboutText", state.aboutText},
        {"knownBugsText", state.knownBugsText},
        {"futureFeaturesText", state.futureFeaturesText},
        {"webLink", state.webLink},
        {"mailLink", state.mailLink},
    };
    for (int i = 0; i < MAX_SCREEN_ITEMS; i++)
        windows.push_back({"screen item " + std::to_string(i + 1), state.screenItems[i]});
    for (int i = 0; i < OPTION_COUNT; i++)
        windows.push_back({std::string("check box ") + OptionNames[i + 1], state.optionCheckBoxes[i]});
    return windows;
}

std::vector<HWND> ShownOnPage(const ExtPropState &state, int page)
{
    std::vector<HWND> shown;
    if (page <= TAB_ICONS) {
        shown = {state.canvasFrame, state.desktopMiniature, state.zoomSlider};
        for (int i = 0; i < state.screenCount && i < MAX_SCREEN_ITEMS; i++)
            shown.push_back(state.screenItems[i]);
    } else {
        shown = {state.backdrop};
    }
    switch (page) {
    case TAB_SCREEN:
        shown.insert(shown.end(), {state.screenCombo, state.primaryCheckBox});
        break;
    case TAB_WINDOWS:
        shown.push_back(state.windowCombo);
        break;
    case TAB_ICONS:
        shown.insert(shown.end(), {state.iconCombo, state.iconViewWindow});
        break;
    case TAB_SETTINGS:
        shown.insert(shown.end(), state.optionCheckBoxes, state.optionCheckBoxes + OPTION_COUNT);
        break;
    case TAB_ABOUT:
        shown.insert(shown.end(), {state.aboutText, state.knownBugsText, state.futureFeaturesText,
                                   state.webLink, state.mailLink});
        break;
    }
    return shown;
}

// The strip, the record and the real windows all show the page.
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
    std::vector<HWND> shown = ShownOnPage(state, page);
    for (const NamedWindow &control : PageWindows(state)) {
        bool expected = std::find(shown.begin(), shown.end(), control.window) != shown.end();
        EXPECT_EQ(IsWindowVisible(control.window) != 0, expected) << control.name;
    }
    for (HWND always : {state.tabControl, state.okButton, state.hintLabel, state.comboLabel})
        EXPECT_TRUE(IsWindowVisible(always));
    for (HWND label : {state.hintLabel, state.comboLabel}) {
        RECT client;
        GetClientRect(label, &client);
        EXPECT_GE(client.right, TextWidth(label)) << "uncut: " << WindowText(label);
    }
}

std::vector<DWORD> CheckBoxes(const ExtPropState &state)
{
    std::vector<DWORD> ticks;
    for (int i = 0; i < OPTION_COUNT; i++)
        ticks.push_back(SendMessageA(state.optionCheckBoxes[i], BM_GETCHECK, 0, 0) == BST_CHECKED);
    return ticks;
}

std::vector<DWORD> Options(const ExtPropState &state)
{
    return std::vector<DWORD>(state.options, state.options + OPTION_COUNT);
}

void SendInputs(std::vector<INPUT> inputs)
{
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
    PumpMessages(150);
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
    LPARAM at = MAKELPARAM(client.x, client.y);
    PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(target, WM_LBUTTONUP, 0, at);
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

// A real key press on the strip.
void PressTabKey(const ExtPropState &state, WORD key)
{
    SetFocus(state.tabControl);
    INPUT down = {};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    down.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    INPUT up = down;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInputs({down, up});
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

TEST_F(DialogTabsTest, ThreeDisplaysOpenOnTheScreenPageWithEveryDisplayListed)
{
    Displays(3);
    Sim.monitors[1].description = "Second Adapter";
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        ASSERT_EQ(state.screenCount, 3);
        ExpectPage(state, TAB_SCREEN);
        ASSERT_EQ(SendMessageA(state.screenCombo, CB_GETCOUNT, 0, 0), 3);
        const char *texts[] = {"Simulated Monitor 1", "Second Adapter", "Simulated Monitor 3"};
        for (int k = 0; k < 3; k++) {
            char text[128] = "";
            COMBOBOXEXITEMA item = {};
            item.mask = CBEIF_TEXT | CBEIF_IMAGE;
            item.iItem = k;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(state.screenCombo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ(text, texts[k]);
            EXPECT_EQ(item.iImage, k);
        }
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCURSEL, 0, 0), 0);
    }));
}

TEST_F(DialogTabsTest, MouseVisitsEveryPage)
{
    Displays(3);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        for (int tab : {TAB_WINDOWS, TAB_ICONS, TAB_SETTINGS, TAB_ABOUT, TAB_SCREEN, TAB_SETTINGS, TAB_ICONS,
                        TAB_ABOUT, TAB_WINDOWS, TAB_SCREEN}) {
            ClickTab(state, tab);
            ExpectPage(state, tab);
            EXPECT_EQ(GetFocus(), state.okButton) << "a click hands the focus to OK";
        }
    }));
}

TEST_F(DialogTabsTest, WindowsAndIconsShareTheComboWithTheirOwnPictures)
{
    Displays(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        ClickTab(state, TAB_WINDOWS);
        EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(state.windowCombo, CBEM_GETIMAGELIST, 0, 0)),
                  state.windowImages);
        state.timerRunning = TRUE;
        ClickTab(state, TAB_ICONS);
        ExpectPage(state, TAB_ICONS);
        EXPECT_TRUE(IsWindowVisible(state.windowCombo));
        EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(state.iconCombo, CBEM_GETIMAGELIST, 0, 0)),
                  state.iconImages);
        EXPECT_FALSE(state.timerRunning) << "leaving Windows stops the canvas timer";
        RECT miniature;
        GetWindowRect(state.windowMiniature, &miniature);
        EXPECT_TRUE(IsRectEmpty(&miniature));
    }));
}

TEST_F(DialogTabsTest, APendingPrimaryChoiceIsDroppedOnTheWayToAnotherCanvasPage)
{
    Displays(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        state.primaryPending = TRUE;
        ClickTab(state, TAB_SETTINGS);
        EXPECT_TRUE(state.primaryPending) << "no canvas on the Settings page";
        ClickTab(state, TAB_WINDOWS);
        EXPECT_FALSE(state.primaryPending);
    }));
}

TEST_F(DialogTabsTest, KeysMoveAlongTheStripAndKeepTheFocusThere)
{
    Displays(3);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        PressTabKey(state, VK_RIGHT);
        ExpectPage(state, TAB_WINDOWS);
        EXPECT_EQ(GetFocus(), state.tabControl);
        PressTabKey(state, VK_END);
        ExpectPage(state, TAB_ABOUT);
        PressTabKey(state, VK_RIGHT);
        ExpectPage(state, TAB_ABOUT);
        PressTabKey(state, VK_LEFT);
        ExpectPage(state, TAB_SETTINGS);
        PressTabKey(state, VK_HOME);
        ExpectPage(state, TAB_SCREEN);
        PressTabKey(state, VK_LEFT);
        ExpectPage(state, TAB_SCREEN);
        EXPECT_FALSE(TabTargetFromKeyboard) << "no key target is left over for the next click";
        ClickTab(state, TAB_ICONS);
        ExpectPage(state, TAB_ICONS);
    }));
}

TEST_F(DialogTabsTest, WithOneDisplayTheScreenTabIsRefused)
{
    Displays(1);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        PumpMessages(100);
        ExpectPage(state, TAB_WINDOWS);
        ClickTab(state, TAB_SCREEN);
        ExpectPage(state, TAB_WINDOWS);
        PressTabKey(state, VK_LEFT);
        ExpectPage(state, TAB_WINDOWS);
        PressTabKey(state, VK_HOME);
        ExpectPage(state, TAB_WINDOWS);
        ClickTab(state, TAB_ABOUT);
        ExpectPage(state, TAB_ABOUT);
        PressTabKey(state, VK_HOME);
        ExpectPage(state, TAB_ABOUT);
    }));
}

TEST_F(DialogTabsTest, ASelectionChangeWithNoTabUnderTheCursorIsRefused)
{
    Displays(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        ClickTab(state, TAB_WINDOWS);
        RECT ok;
        GetWindowRect(state.okButton, &ok);
        SetCursorPos(ok.left + 2, ok.top + 2);
        PumpMessages(100);
        NMHDR header = {state.tabControl, IDC_TAB_CONTROL, (UINT)TCN_SELCHANGING};
        SendMessageA(dialog, WM_NOTIFY, IDC_TAB_CONTROL, reinterpret_cast<LPARAM>(&header));
        header.code = (UINT)TCN_SELCHANGE;
        SendMessageA(dialog, WM_NOTIFY, IDC_TAB_CONTROL, reinterpret_cast<LPARAM>(&header));
        ExpectPage(state, TAB_WINDOWS);
    }));
}

TEST_F(DialogTabsTest, AFourthDisplayIsLeftOutOfTheListAndThePages)
{
    Displays(4);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        ExpectPage(state, TAB_SCREEN);
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCOUNT, 0, 0), MAX_SCREEN_ITEMS);
        for (int tab : {TAB_SETTINGS, TAB_SCREEN, TAB_ABOUT, TAB_ICONS}) {
            ClickTab(state, tab);
            ExpectPage(state, tab);
        }
    }));
}

// The colours of the picture at the tab's icon place, as drawn on the screen.
std::vector<COLORREF> TabIconPixels(const ExtPropState &state, int tab)
{
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

TEST_F(DialogTabsTest, DarkIconsFollowTheOptionOnceTheSettingsPageIsLeft)
{
    Displays(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        ASSERT_EQ(state.options[OPT_DARK_ICON_IN_TAB], 1u);
        ClickTab(state, TAB_SETTINGS);
        RedrawWindow(state.tabControl, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        std::vector<COLORREF> dark = TabIconPixels(state, TAB_ICONS);
        SendMessageA(state.optionCheckBoxes[OPT_DARK_ICON_IN_TAB], BM_CLICK, 0, 0);
        RedrawWindow(state.tabControl, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(TabIconPixels(state, TAB_ICONS), dark) << "still dark while the page is shown";
        ClickTab(state, TAB_ABOUT);
        RedrawWindow(state.tabControl, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        std::vector<COLORREF> plain = TabIconPixels(state, TAB_ICONS);
        EXPECT_NE(plain, dark);
    }));
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

TEST_F(DialogTabsTest, TheRefusedScreenTabIsDrawnEmbossed)
{
    Displays(1);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        RedrawWindow(state.tabControl, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        EXPECT_FALSE(TabTextHasColour(state, TAB_SCREEN, GetSysColor(COLOR_BTNTEXT)));
        EXPECT_TRUE(TabTextHasColour(state, TAB_SCREEN, GetSysColor(COLOR_3DSHADOW)));
        EXPECT_TRUE(TabTextHasColour(state, TAB_ICONS, GetSysColor(COLOR_BTNTEXT)));
    }));
}

TEST_F(DialogTabsTest, SettingsPageShowsTheOptionsAndGivesThemBack)
{
    Displays(2);
    WriteSettingsValue("DarkIconInTab", REG_SZ, "0", 2);
    WriteOption(OPT_SHOW_TRAY_BAR_AS_WINDOW, 1);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        const std::vector<DWORD> opened = {0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1};
        EXPECT_EQ(Options(state), opened);
        EXPECT_EQ(CheckBoxes(state), std::vector<DWORD>(OPTION_COUNT, 0)) << "ticked only on entry";
        ClickTab(state, TAB_SETTINGS);
        ExpectPage(state, TAB_SETTINGS);
        EXPECT_EQ(CheckBoxes(state), opened);
        EXPECT_FALSE(IsWindowEnabled(state.optionCheckBoxes[OPT_SHOW_DESKTOP_DURING_ZOOM]));
        for (HWND box : state.optionCheckBoxes) {
            RECT client;
            GetClientRect(box, &client);
            // The box, a gap, the whole text and a little room: glyphs may be
            // drawn a pixel or two beyond their measured cells.
            EXPECT_GE(client.right, GetSystemMetrics(SM_CXMENUCHECK) + 8 + TextWidth(box))
                << "uncut: " << WindowText(box);
        }

        SendMessageA(state.optionCheckBoxes[OPT_DARK_ICON_IN_TAB], BM_CLICK, 0, 0);
        SendMessageA(state.optionCheckBoxes[OPT_SHOW_WINDOW_CLASS_NAME], BM_CLICK, 0, 0);
        EXPECT_EQ(Options(state), opened) << "options follow the boxes only when the page is left";
        ClickTab(state, TAB_ABOUT);
        std::vector<DWORD> changed = opened;
        changed[OPT_DARK_ICON_IN_TAB] = 0;
        changed[OPT_SHOW_WINDOW_CLASS_NAME] = 1;
        EXPECT_EQ(Options(state), changed);

        // The boxes are ticked from the options again on the next entry.
        state.options[OPT_HIDE_ICON_TEXT_AT_STARTUP] = 1;
        ClickTab(state, TAB_SETTINGS);
        changed[OPT_HIDE_ICON_TEXT_AT_STARTUP] = 1;
        EXPECT_EQ(CheckBoxes(state), changed);
    }));
}

TEST_F(DialogTabsTest, OkOnTheSettingsPageStoresTheBoxesAsTheyAre)
{
    Displays(2);
    ASSERT_TRUE(RunExtPropDialog(
        [](HWND, ExtPropState &state) {
            ClickTab(state, TAB_SETTINGS);
            const std::vector<DWORD> firstRun = {0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1};
            EXPECT_EQ(CheckBoxes(state), firstRun) << "nothing stored: the dialog's defaults";
            SendMessageA(state.optionCheckBoxes[OPT_SHOW_WINDOW_CLASS_NAME], BM_CLICK, 0, 0);
            SendMessageA(state.optionCheckBoxes[OPT_TRAY_ICON_IN_256_COLORS], BM_CLICK, 0, 0);
        },
        DialogEnd::Ok));
    const int stored[OPTION_COUNT] = {1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 1};
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_EQ(ReadStoredOption(i), stored[i]) << OptionNames[i + 1];
    EXPECT_EQ(ReadRunValue(), std::string("\"") + ModulePath + "\"");
}

TEST_F(DialogTabsTest, OkElsewhereStoresWhatWasReadAtOpening)
{
    Displays(2);
    WriteOption(OPT_EXT_PROP_AS_DBL_CLICK, 1);
    WriteOption(OPT_LAUNCH_AT_WINDOWS_STARTUP, 0);
    WriteSettingsValue("ShowWallpaperDesktop", REG_SZ, "0", 2);
    ASSERT_TRUE(
        RunExtPropDialog([](HWND, ExtPropState &state) { ClickTab(state, TAB_ABOUT); }, DialogEnd::Ok));
    const int stored[OPTION_COUNT] = {0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1, 0, 1};
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_EQ(ReadStoredOption(i), stored[i]) << OptionNames[i + 1];
    EXPECT_EQ(ReadRunValue(), "<missing>");
}

TEST_F(DialogTabsTest, CancelStoresNothing)
{
    Displays(2);
    ASSERT_TRUE(RunExtPropDialog(
        [](HWND, ExtPropState &state) {
            ClickTab(state, TAB_SETTINGS);
            SendMessageA(state.optionCheckBoxes[OPT_SHOW_WINDOW_CLASS_NAME], BM_CLICK, 0, 0);
            ClickTab(state, TAB_ABOUT);
        },
        DialogEnd::Cancel));
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_EQ(ReadStoredOption(i), -1) << OptionNames[i + 1];
    EXPECT_EQ(ReadRunValue(), "<missing>");
}

// How tall the static's text is when wrapped at the static's width.
int WrappedTextHeight(HWND text)
{
    RECT client;
    GetClientRect(text, &client);
    HDC dc = GetDC(text);
    HGDIOBJ former = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(text, WM_GETFONT, 0, 0)));
    std::string content = WindowText(text);
    DrawTextA(dc, content.c_str(), -1, &client, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, former);
    ReleaseDC(text, dc);
    return client.bottom - client.top;
}

RECT RectInDialog(HWND window, HWND dialog)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
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
        EXPECT_EQ(WindowText(state.futureFeaturesText).rfind("Future features:\n", 0), 0u);
        EXPECT_NE(WindowText(state.futureFeaturesText).find("- Include english help && manual.\n"),
                  std::string::npos);
        EXPECT_EQ(WindowText(state.webLink), TESSIVON_WEB_ADDRESS);
        EXPECT_EQ(WindowText(state.mailLink), TESSIVON_MAIL_ADDRESS);

        LOGFONTA font = {};
        ASSERT_TRUE(GetObjectA(state.linkFont, sizeof(font), &font));
        EXPECT_TRUE(font.lfUnderline);
        EXPECT_EQ(LinkButtonFont, state.linkFont);

        // The three texts follow each other from (109, 49) down, each
        // showing all of its lines.
        RECT a = RectInDialog(state.aboutText, dialog);
        RECT bugs = RectInDialog(state.knownBugsText, dialog);
        RECT future = RectInDialog(state.futureFeaturesText, dialog);
        EXPECT_EQ(a.left, 109);
        EXPECT_EQ(a.top, 49);
        EXPECT_EQ(bugs.left, a.left);
        EXPECT_EQ(bugs.top, a.bottom + 10);
        EXPECT_EQ(future.left, a.left);
        EXPECT_EQ(future.top, bugs.bottom + 10);
        for (HWND text : {state.aboutText, state.knownBugsText, state.futureFeaturesText}) {
            RECT place = RectInDialog(text, dialog);
            EXPECT_LE(WrappedTextHeight(text), place.bottom - place.top) << WindowText(text);
        }

        // Each link lies over its address in the About text: on its line,
        // after the words before it; the mail link about as wide as the address.
        TEXTMETRICA metrics = {};
        SIZE beforeMail = {}, beforeWeb = {}, mailSize = {};
        {
            HDC dc = GetDC(state.aboutText);
            HGDIOBJ former =
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(state.aboutText, WM_GETFONT, 0, 0)));
            GetTextMetricsA(dc, &metrics);
            std::string third = about.substr(about.find("\n\n") + 2);
            GetTextExtentPoint32A(dc, third.c_str(), (int)third.find(TESSIVON_MAIL_ADDRESS), &beforeMail);
            GetTextExtentPoint32A(dc, TESSIVON_MAIL_ADDRESS, lstrlenA(TESSIVON_MAIL_ADDRESS), &mailSize);
            std::string fourth = third.substr(third.find('\n') + 1);
            GetTextExtentPoint32A(dc, fourth.c_str(), (int)fourth.find(TESSIVON_WEB_ADDRESS), &beforeWeb);
            SelectObject(dc, former);
            ReleaseDC(state.aboutText, dc);
        }
        int h = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
        RECT web = RectInDialog(state.webLink, dialog);
        RECT mail = RectInDialog(state.mailLink, dialog);
        EXPECT_EQ(mail.left, a.left + beforeMail.cx);
        EXPECT_EQ(mail.top, a.top + 2 * metrics.tmHeight);
        EXPECT_GE(mail.right - mail.left, mailSize.cx);
        EXPECT_LT(mail.right - mail.left, mailSize.cx + metrics.tmAveCharWidth)
            << "the closing bracket stays visible";
        EXPECT_EQ(mail.bottom - mail.top, h + 2);
        EXPECT_EQ(web.left, a.left + beforeWeb.cx);
        EXPECT_EQ(web.top, a.top + 3 * metrics.tmHeight);
        EXPECT_GT(beforeMail.cx, beforeWeb.cx) << "the author's name comes before the mail address";
    }));
}

TEST_F(DialogTabsTest, LinksAreBlueAndOpenTheirAddresses)
{
    Displays(2);
    ASSERT_TRUE(RunExtPropDialog([](HWND, ExtPropState &state) {
        ClickTab(state, TAB_ABOUT);
        UpdateWindow(state.webLink);
        RECT link;
        GetClientRect(state.webLink, &link);
        HDC dc = GetDC(state.webLink);
        int blue = 0;
        for (int y = 0; y < link.bottom; y++)
            for (int x = 0; x < link.right; x++)
                blue += GetPixel(dc, x, y) == RGB(0, 0, 255);
        ReleaseDC(state.webLink, dc);
        EXPECT_GT(blue, 20);

        RECT web;
        GetWindowRect(state.webLink, &web);
        ClickScreenPoint({web.left + 5, (web.top + web.bottom) / 2});
        ASSERT_EQ(Sim.launches.size(), 1u);
        EXPECT_EQ(Sim.launches[0], "http://" TESSIVON_WEB_ADDRESS " ");
        RECT mail;
        GetWindowRect(state.mailLink, &mail);
        ClickScreenPoint({mail.left + 5, (mail.top + mail.bottom) / 2});
        ASSERT_EQ(Sim.launches.size(), 2u);
        EXPECT_EQ(Sim.launches[1], "mailto:" TESSIVON_MAIL_ADDRESS " ");
        ExpectPage(state, TAB_ABOUT);
    }));
}

} // namespace
