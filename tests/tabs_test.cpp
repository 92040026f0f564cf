#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/ext_prop.h"
#include "dialog/tab_pages.h"
#include "shell/tessivon.h"
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

} // namespace
