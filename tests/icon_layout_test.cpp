// Icon layouts against the stand-in shell in its own process: saved and
// restored through the icon view's menu with the status line, icons gone or
// not in the layout, twins, and a store holding junk.
#include <windows.h>

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>
#include <vector>

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

// Moves icon i as a user's drag on the desktop would.
void MoveIcon(int i, int x, int y)
{
    ScopedSharedBlock shared(FindDesktopListView());
    SetIconPosition(&shared.block, i, x, y);
}

bool SamePlace(const FixtureIcon &a, const FixtureIcon &b) { return a.x == b.x && a.y == b.y; }

std::vector<IconPlace> Stored()
{
    std::vector<IconPlace> places;
    ReadIconLayout(PresentDisplaySetup().c_str(), &places);
    return places;
}

const IconPlace *Find(const std::vector<IconPlace> &places, const std::wstring &identity)
{
    for (const IconPlace &place : places)
        if (place.identity == identity)
            return &place;
    return nullptr;
}

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[64] = L"";
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

std::wstring StatusLine(const ExtPropState &state)
{
    wchar_t text[128] = L"";
    GetWindowTextW(state.iconStatus, text, 128);
    return text;
}

// Icons 0 and 3 share a file, so their ID lists name the same path; icons 4
// and 5 have no ID list and the same label.
std::vector<FixtureIcon> TwinIcons()
{
    std::vector<FixtureIcon> icons = GridIcons(6, 3);
    icons[4].text = icons[5].text = L"Twin";
    icons[4].file = icons[5].file = L"no|file"; // no such file: no ID list
    return icons;
}

TEST_F(IconLayouts, SavedAndRestoredFromTheIconViewTwinsKeptApartIconsGoneOrNotInTheLayoutPassedOver)
{
    FixtureShell shell(TwinIcons());
    const std::vector<FixtureIcon> start = shell.Report();
    ASSERT_EQ(start.size(), 6u);
    ASSERT_TRUE(RunExtPropDialog([&](HWND, ExtPropState &state) {
        SwitchToTab(state, TAB_ICONS);
        IconView &view = state.icons.view;
        EXPECT_TRUE(MenuText(view.desktopMenu, 0) == L"&Save Icons Position" &&
                    MenuText(view.desktopMenu, 1) == L"&Restore Icons Position");
        EXPECT_FALSE(IsWindowVisible(state.iconStatus)) << "nothing to say yet";
        SendMessageW(view.window, WM_COMMAND, ID_RESTORE_ICON_POSITIONS, 0);
        EXPECT_EQ(StatusLine(state), L"No icons position saved for this display setup.");
        EXPECT_TRUE(IsWindowVisible(state.iconStatus));
        SendMessageW(view.window, WM_COMMAND, ID_SAVE_ICON_POSITIONS, 0);
        EXPECT_EQ(StatusLine(state), L"Icons position saved: 6 icons.");

        // Twins swapped, another icon moved: all back in one restore.
        MoveIcon(4, start[5].x, start[5].y);
        MoveIcon(5, start[4].x, start[4].y);
        MoveIcon(0, 500, 400);
        SendMessageW(view.window, WM_COMMAND, ID_RESTORE_ICON_POSITIONS, 0);
        EXPECT_EQ(StatusLine(state), L"Icons position restored: 6 icons.");
        std::vector<FixtureIcon> now = shell.Report();
        for (int i = 0; i < 6; i++)
            EXPECT_TRUE(SamePlace(now[i], start[i])) << "icon " << i;
        EXPECT_EQ(view.items[0].x - view.items[1].x, ScaleToCanvas(start[0].x, state.canvas.scale) -
                                                         ScaleToCanvas(start[1].x, state.canvas.scale))
            << "the pictures follow";
        SwitchToTab(state, TAB_SETTINGS);
        EXPECT_FALSE(IsWindowVisible(state.iconStatus));
        SwitchToTab(state, TAB_ICONS);
        EXPECT_TRUE(IsWindowVisible(state.iconStatus)) << "it still tells the last command";
    }));

    // One identity per icon: the path of the ID list, else the label; twins numbered.
    std::vector<IconPlace> stored = Stored();
    ASSERT_EQ(stored.size(), 6u);
    std::wstring picture0 = ShellFolder() + L"picture 0.txt";
    for (const wchar_t *identity : {L"Twin", L"Twin #2"})
        EXPECT_NE(Find(stored, identity), nullptr) << identity;
    const IconPlace *first = Find(stored, picture0), *second = Find(stored, picture0 + L" #2");
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->x == start[0].x && second->x == start[3].x);

    // An icon deleted since the save is passed over; one the layout does not
    // hold stays where it is.
    HWND listView = FindDesktopListView();
    SendMessageW(listView, LVM_DELETEITEM, 1, 0);
    SHDeleteValueW(HKEY_CURRENT_USER, (ICON_LAYOUTS_KEY L"\\" + PresentDisplaySetup()).c_str(), L"Twin");
    MoveIcon(0, 600, 300); // icon 0
    MoveIcon(3, 620, 320); // icon 4, the first "Twin", no longer in the layout
    MoveIcon(4, 640, 340); // icon 5, "Twin #2"
    EXPECT_EQ(RestoreIconLayout(listView), 4) << "icons 0, 2, 3 and 5";
    std::vector<FixtureIcon> now = shell.Report();
    ASSERT_EQ(now.size(), 5u);
    EXPECT_TRUE(SamePlace(now[0], start[0]) && SamePlace(now[1], start[2]) && SamePlace(now[2], start[3]) &&
                SamePlace(now[4], start[5]));
    EXPECT_EQ(now[3].x, 620) << "not in the layout: stays";
}

TEST_F(IconLayouts, JunkInTheStoreIsPassedOverAndTheRestKept)
{
    for (const wchar_t *setup : {L"1920x1080@0,0;1280x1024@1920,0", L"800x600@-800,0", L"1024x768@0,-768"})
        EXPECT_TRUE(IsDisplaySetupText(setup)) << setup;
    for (const wchar_t *setup :
         {L"", L"1920x1080", L"0x768@0,0", L"1024x768@0,0;", L"axb@c,d", L"1024x768@0,0;junk",
          L"99999999x1@0,0", L"1024x768@0,0,5", L"1024x-768@0,0"})
        EXPECT_FALSE(IsDisplaySetupText(setup)) << "\"" << std::string(setup, setup + wcslen(setup)) << "\"";
    EXPECT_FALSE(WriteIconLayout(L"not a setup", {{L"a", 1, 2}}));

    FixtureShell shell(GridIcons(4, 4));
    const std::vector<FixtureIcon> start = shell.Report();
    HWND listView = FindDesktopListView();
    ASSERT_EQ(SaveIconLayout(listView), 4);
    std::wstring key = ICON_LAYOUTS_KEY L"\\" + PresentDisplaySetup();
    std::vector<IconPlace> stored = Stored();
    ASSERT_EQ(stored.size(), 4u);
    // A save without the shell's icon list keeps the layout.
    EXPECT_EQ(SaveIconLayout(nullptr), -1);
    EXPECT_EQ(Stored().size(), 4u);
    // Icon 1's value cut short, icon 2's of another type, icon 3's far off
    // any desktop, a value for an icon gone; another setup and a key that
    // names no setup beside them.
    DWORD number = 7;
    LONG offDesktop[2] = {70000, 10}, gone[2] = {5, 5};
    SHSetValueW(HKEY_CURRENT_USER, key.c_str(), stored[1].identity.c_str(), REG_BINARY, &number, 4);
    SHSetValueW(HKEY_CURRENT_USER, key.c_str(), stored[2].identity.c_str(), REG_DWORD, &number, 4);
    SHSetValueW(HKEY_CURRENT_USER, key.c_str(), stored[3].identity.c_str(), REG_BINARY, offDesktop,
                sizeof(offDesktop));
    SHSetValueW(HKEY_CURRENT_USER, key.c_str(), L"Z:\\gone.txt", REG_BINARY, gone, sizeof(gone));
    ASSERT_TRUE(WriteIconLayout(L"2048x1536@0,0", {{stored[0].identity, 9, 9}}));
    SHSetValueW(HKEY_CURRENT_USER, ICON_LAYOUTS_KEY L"\\not a setup", L"x", REG_SZ, L"junk", 10);

    for (int i = 0; i < 4; i++)
        MoveIcon(i, 700, 100 + 90 * i);
    EXPECT_EQ(RestoreIconLayout(listView), 1);
    std::vector<FixtureIcon> now = shell.Report();
    EXPECT_TRUE(SamePlace(now[0], start[0]));
    EXPECT_TRUE(now[1].x == 700 && now[2].x == 700 && now[3].x == 700) << "their junk values moved nothing";

    // Saving again replaces this setup's values only.
    ASSERT_EQ(SaveIconLayout(listView), 4);
    EXPECT_EQ(Stored().size(), 4u);
    EXPECT_EQ(SHGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Z:\\gone.txt", nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    std::vector<IconPlace> other;
    EXPECT_TRUE(ReadIconLayout(L"2048x1536@0,0", &other) && other.size() == 1u && other[0].x == 9);
    EXPECT_EQ(
        SHGetValueW(HKEY_CURRENT_USER, ICON_LAYOUTS_KEY L"\\not a setup", L"x", nullptr, nullptr, nullptr),
        ERROR_SUCCESS);
}

// The setup string names every monitor by size and place, ordered by place.
TEST(DisplaySetup, EveryMonitorBySizeAndPlace)
{
    ScopedSimAdapter adapter;
    SimSetMonitors(2, 1280, 1024);
    std::swap(Sim.monitors[0], Sim.monitors[1]);
    EXPECT_EQ(PresentDisplaySetup(), L"1280x1024@0,0;1280x1024@1280,0");
}

} // namespace
