#include <gtest/gtest.h>

#include "tests/program_fixture.h"
#include "tests/ui_driver.h"

namespace {

struct ModeMenus : ::testing::Test {
    ScopedSimAdapter adapter;
    MainWindowState program = {};
    HMENU &DisplayMenu = program.displayMenu;
    void SetUp() override
    {
        Sim.candidates = {SimMode(640, 480, 8, 60),  SimMode(800, 600, 16, 60),  SimMode(800, 600, 16, 75),
                          SimMode(1024, 768, 16, 0), SimMode(1280, 1024, 16, 0), SimMode(1280, 1024, 16, 85),
                          SimMode(1024, 768, 32, 60)};
    }
    void TearDown() override { FreeProgramMenus(&program); }
    void Build(int displays)
    {
        SimSetMonitors(displays);
        adapter.Install();
        RebuildProgramMenus(&program);
    }
    void MarkCurrentModes(int display, const ModeSnapshot &snapshot)
    {
        ::MarkCurrentModes(program.catalogue, program.displayMenu, display, snapshot);
    }
};

// One line per item: text and id, "-" for a separator, "[text]" for a
// submenu followed by its items indented.
std::vector<std::string> Lines(HMENU menu, const std::string &indent = "")
{
    std::vector<std::string> lines;
    for (const MenuItemText &item : ReadMenu(menu)) {
        lines.push_back(indent + (item.separator ? "-"
                                  : item.submenu ? "[" + item.text + "]"
                                                 : item.text + " #" + std::to_string(item.id)));
        for (const std::string &line :
             item.submenu ? Lines(item.submenu, indent + "  ") : std::vector<std::string>())
            lines.push_back(line);
    }
    return lines;
}

using Text = std::vector<std::string>;

// One display lists its modes directly, grouped by depth; several get titled
// submenus with their own ids.
TEST_F(ModeMenus, ModesListedDirectlyOrInTitledSubmenusPerDisplay)
{
    Build(1);
    EXPECT_EQ(Lines(DisplayMenu),
              (Text{"640x480 (8bits) - 60Hz #50000", "-", "[800x600 (16bits)]", "  60Hz #50001",
                    "  75Hz #50002", "1024x768 (16bits) #50003", "[1280x1024 (16bits)]", "  ?? #50004",
                    "  85Hz #50005", "-", "1024x768 (32bits) - 60Hz #50006"}));

    Sim.candidates = {SimMode(640, 480, 8, 60), SimMode(800, 600, 8, 60), SimMode(800, 600, 8, 75)};
    Build(2);
    EXPECT_EQ(Lines(DisplayMenu), (Text{"[Display &1]", "    Display 1 #0", "  640x480 (8bits) - 60Hz #50000",
                                        "  [800x600 (8bits)]", "    60Hz #50001", "    75Hz #50002",
                                        "[Display &2]", "    Display 2 #0", "  640x480 (8bits) - 60Hz #51000",
                                        "  [800x600 (8bits)]", "    60Hz #51001", "    75Hz #51002"}));
}

bool Checked(HMENU menu, UINT position) { return GetMenuState(menu, position, MF_BYPOSITION) & MF_CHECKED; }

TEST_F(ModeMenus, TheCurrentModeIsMarkedInItsSubmenuOnItsDisplayOnly)
{
    Build(1);
    HMENU resolution800 = GetSubMenu(DisplayMenu, 2), resolution1280 = GetSubMenu(DisplayMenu, 4);
    MarkCurrentModes(0, {800, 600, 16, 75});
    EXPECT_TRUE(Checked(DisplayMenu, 2) && Checked(resolution800, 1) && !Checked(resolution800, 0));
    // Frequency 0: every rate of that resolution and depth; the old mark goes.
    MarkCurrentModes(0, {1280, 1024, 16, 0});
    EXPECT_FALSE(Checked(DisplayMenu, 2) || Checked(resolution800, 1));
    EXPECT_TRUE(Checked(DisplayMenu, 4) && Checked(resolution1280, 0) && Checked(resolution1280, 1));
    // A resolution with one rate is a plain item and carries the mark itself.
    MarkCurrentModes(0, {640, 480, 8, 60});
    for (int position = 0; position < GetMenuItemCount(DisplayMenu); position++)
        EXPECT_EQ(Checked(DisplayMenu, position), position == 0) << position;
    EXPECT_FALSE(Checked(resolution1280, 0));

    Build(2); // title, 640x480, separator, then the 800x600 submenu
    HMENU second = GetSubMenu(DisplayMenu, 1);
    MarkCurrentModes(1, {800, 600, 16, 60});
    EXPECT_TRUE(Checked(second, 3) && Checked(GetSubMenu(second, 3), 0));
    EXPECT_FALSE(Checked(GetSubMenu(DisplayMenu, 0), 3)) << "display 1 untouched";
    MarkCurrentModes(1, {1024, 768, 32, 60});
    EXPECT_TRUE(GetMenuState(second, 51006, MF_BYCOMMAND) & MF_CHECKED) << "the plain item";
    EXPECT_FALSE(Checked(second, 3) || Checked(GetSubMenu(second, 3), 0)) << "the old mark is cleared";
}

TEST_F(ModeMenus, AThousandEntriesAtMostSoDisplaysKeepTheirIds)
{
    Sim.candidates.clear();
    for (int k = 0; k < 1100; k++)
        Sim.candidates.push_back(SimMode(640 + k, 480, 32, 60));
    Build(2);
    HMENU first = GetSubMenu(DisplayMenu, 0);
    EXPECT_EQ(GetMenuItemCount(first), 1 + MAX_ENTRIES_PER_DISPLAY);
    EXPECT_EQ(GetMenuItemID(first, MAX_ENTRIES_PER_DISPLAY), 50999u);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(DisplayMenu, 1), 1), 51000u);
}

} // namespace
