// Icon layouts against the stand-in shell in its own process: saved and
// restored through the icon view's menu with the status line, twins, icons
// gone or not in the layout, 500 icons over either path to them, and a store
// holding junk.
#include <windows.h>

#include <gtest/gtest.h>

#include <shlwapi.h>

#include "base/platform.h"
#include "desktop_icons/desktop_icons.h"
#include "desktop_icons/icon_layout.h"
#include "tests/dialog_driver.h"
#include "tests/fixture_shell.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

struct IconLayouts : ::testing::Test {
    RegistryGuard registry;
    void SetUp() override { LoadPlatformTable(); }
};

TEST_F(IconLayouts, SavedAndRestoredFromTheIconViewTwinsKeptApartIconsGoneOrNotInTheLayoutPassedOver)
{
    for (const wchar_t *path : IconPaths) {
        RegistryGuard fresh;
        {
            // Icons 0 and 3 share a file, so their ID lists name one path; icons 4
            // and 5 have no ID list (no such file) and one label.
            std::vector<FixtureIcon> icons = GridIcons(6, 3);
            icons[4].text = icons[5].text = L"Twin";
            icons[4].file = icons[5].file = L"no|file";
            FixtureShell shell(icons, false, path);
            const std::vector<FixtureIcon> start = shell.Report();
            ASSERT_TRUE(RunExtPropDialog([&](HWND, ExtPropState &state) {
                SwitchToTab(state, TAB_ICONS);
                IconView &view = state.icons.view;
                SendMessageW(view.window, WM_COMMAND, ID_RESTORE_ICON_POSITIONS, 0);
                EXPECT_EQ(WindowText(state.iconStatus), "No icons position saved for this display setup.");
                SendMessageW(view.window, WM_COMMAND, ID_SAVE_ICON_POSITIONS, 0);
                EXPECT_EQ(WindowText(state.iconStatus), "Icons position saved: 6 icons.");
                shell.Move(4, start[5].x, start[5].y); // the twins swapped
                shell.Move(5, start[4].x, start[4].y);
                shell.Move(0, 500, 400);
                SendMessageW(view.window, WM_COMMAND, ID_RESTORE_ICON_POSITIONS, 0);
                EXPECT_EQ(WindowText(state.iconStatus), "Icons position restored: 6 icons.");
                EXPECT_TRUE(SamePlaces(shell.Report(), start));
                SwitchToTab(state, TAB_SETTINGS);
                EXPECT_FALSE(IsWindowVisible(state.iconStatus));
            }));

            // Icon 1 deleted since the save; the first twin no longer in the layout.
            SendMessageW(FindDesktopListView(), LVM_DELETEITEM, 1, 0);
            std::wstring key = ICON_LAYOUTS_KEY L"\\" + PresentDisplaySetup(),
                         second = ShellFolder() + L"picture 0.txt #2";
            EXPECT_EQ(SHGetValueW(HKEY_CURRENT_USER, key.c_str(), second.c_str(), nullptr, nullptr, nullptr),
                      ERROR_SUCCESS)
                << "stored by its file, the second icon of that file told apart";
            SHDeleteValueW(HKEY_CURRENT_USER, key.c_str(), L"Twin");
            for (int i : {0, 3, 4})
                shell.Move(i, 600, 100 * i);
            EXPECT_EQ(RestoreIconLayout(FindDesktopListView()), 4) << "icons 0, 2, 3 and 5";
            std::vector<FixtureIcon> now = shell.Report(),
                                     kept = {start[0], start[2], start[3], now[3], start[5]};
            EXPECT_TRUE(SamePlaces(now, kept) && now[3].x == 600) << "the first twin stays";
        }
        // 500 icons, every third moved away, all back in one restore.
        FixtureShell many(GridIcons(500, 20), false, path);
        const std::vector<FixtureIcon> saved = many.Report();
        ASSERT_EQ(SaveIconLayout(FindDesktopListView()), 500);
        for (int i = 0; i < 500; i += 3)
            many.Move(i, 950, 700);
        EXPECT_EQ(RestoreIconLayout(FindDesktopListView()), 500) << "path " << path;
        EXPECT_TRUE(SamePlaces(many.Report(), saved));
    }
}

TEST_F(IconLayouts, JunkInTheStoreIsPassedOverAndTheRestKept)
{
    EXPECT_TRUE(IsDisplaySetupText(L"1920x1080@0,0;1280x1024@1920,0") &&
                IsDisplaySetupText(L"800x600@-800,0"));
    for (const wchar_t *setup : {L"", L"1920x1080", L"0x768@0,0", L"1024x768@0,0;", L"1024x768@0,0;junk",
                                 L"99999999x1@0,0", L"1024x-768@0,0"})
        EXPECT_FALSE(IsDisplaySetupText(setup)) << std::string(setup, setup + wcslen(setup));
    EXPECT_FALSE(WriteIconLayout(L"not a setup", {{L"a", 1, 2}}));
    {
        // The same two sizes the other way round are another setup with a layout of its own.
        ScopedSimAdapter adapter;
        SimSetMonitors(2);
        adapter.Install();
        std::wstring sideBySide = PresentDisplaySetup();
        for (SimMonitor &monitor : Sim.monitors)
            OffsetRect(&monitor.rect, monitor.primary ? 0 : -2048, 0);
        adapter.Install();
        EXPECT_EQ(sideBySide, L"1024x768@0,0;1024x768@1024,0");
        EXPECT_EQ(PresentDisplaySetup(), L"1024x768@-1024,0;1024x768@0,0");
    }

    FixtureShell shell(GridIcons(4, 4));
    const std::vector<FixtureIcon> start = shell.Report();
    HWND listView = FindDesktopListView();
    ASSERT_EQ(SaveIconLayout(listView), 4);
    EXPECT_EQ(SaveIconLayout(nullptr), -1) << "without the shell's icon list";
    std::vector<IconPlace> stored;
    ASSERT_TRUE(ReadIconLayout(PresentDisplaySetup().c_str(), &stored) && stored.size() == 4u) << "kept";
    // Icon 1's value cut short, icon 2's of another type, icon 3's off any
    // desktop, one for an icon gone; another setup and a key naming none.
    std::wstring key = ICON_LAYOUTS_KEY L"\\" + PresentDisplaySetup();
    DWORD number = 7;
    LONG offDesktop[2] = {70000, 10}, gone[2] = {5, 5};
    SHSetValueW(HKEY_CURRENT_USER, key.c_str(), stored[1].identity.c_str(), REG_BINARY, &number, 4);
    SHSetValueW(HKEY_CURRENT_USER, key.c_str(), stored[2].identity.c_str(), REG_DWORD, &number, 4);
    SHSetValueW(HKEY_CURRENT_USER, key.c_str(), stored[3].identity.c_str(), REG_BINARY, offDesktop, 8);
    SHSetValueW(HKEY_CURRENT_USER, key.c_str(), L"Z:\\gone.txt", REG_BINARY, gone, sizeof(gone));
    ASSERT_TRUE(WriteIconLayout(L"2048x1536@0,0", {{stored[0].identity, 9, 9}}));
    SHSetValueW(HKEY_CURRENT_USER, ICON_LAYOUTS_KEY L"\\not a setup", L"x", REG_SZ, L"junk", 10);
    for (int i = 0; i < 4; i++)
        shell.Move(i, 700, 100 + 90 * i);
    EXPECT_EQ(RestoreIconLayout(listView), 1);
    std::vector<FixtureIcon> now = shell.Report();
    EXPECT_TRUE(SamePlaces({now[0]}, {start[0]}));
    EXPECT_TRUE(now[1].x == 700 && now[2].x == 700 && now[3].x == 700) << "their junk values moved nothing";

    // Saving again replaces this setup's values only.
    ASSERT_EQ(SaveIconLayout(listView), 4);
    std::vector<IconPlace> other;
    EXPECT_TRUE(ReadIconLayout(L"2048x1536@0,0", &other) && other.size() == 1u && other[0].x == 9);
    EXPECT_EQ(
        SHGetValueW(HKEY_CURRENT_USER, ICON_LAYOUTS_KEY L"\\not a setup", L"x", nullptr, nullptr, nullptr),
        ERROR_SUCCESS);
}

} // namespace
