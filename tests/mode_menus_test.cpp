#include <gtest/gtest.h>

#include "app/main_window.h"
#include "display/mode_menus.h"
#include "tests/sim_adapter.h"

namespace {

struct ModeMenus : ::testing::Test {
    ScopedSimAdapter adapter;
    MainWindowState program = {};
    HMENU &menu = program.displayMenu;
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
        FreeProgramMenus(&program);
        BuildProgramMenus(&program, GetModuleHandleW(nullptr));
    }
    void Mark(int display, const ModeSnapshot &snapshot)
    {
        MarkCurrentModes(program.catalogue, menu, display, snapshot);
    }
};

// One line per item: text and id, "-" for a separator, "[text]" for a
// submenu followed by its items indented.
std::vector<std::string> Lines(HMENU menu, const std::string &indent = "")
{
    std::vector<std::string> lines;
    for (int k = 0; k < GetMenuItemCount(menu); k++) {
        char text[100] = "";
        GetMenuStringA(menu, k, text, sizeof(text), MF_BYPOSITION);
        HMENU submenu = GetSubMenu(menu, k);
        std::string line = indent + text;
        if (GetMenuState(menu, k, MF_BYPOSITION) & MF_SEPARATOR)
            line = indent + "-";
        else if (submenu)
            line = indent + "[" + text + "]";
        else
            line += " #" + std::to_string(GetMenuItemID(menu, k));
        lines.push_back(line);
        for (const std::string &inner : submenu ? Lines(submenu, indent + "  ") : std::vector<std::string>())
            lines.push_back(inner);
    }
    return lines;
}

using Text = std::vector<std::string>;

// One display lists its modes directly, grouped by depth; several get titled
// submenus with their own ids.
TEST_F(ModeMenus, ModesListedDirectlyOrInTitledSubmenusPerDisplay)
{
    Build(1);
    EXPECT_EQ(Lines(menu), (Text{"640x480 (8bits) - 60Hz #50000", "-", "[800x600 (16bits)]", "  60Hz #50001",
                                 "  75Hz #50002", "1024x768 (16bits) #50003", "[1280x1024 (16bits)]",
                                 "  ?? #50004", "  85Hz #50005", "-", "1024x768 (32bits) - 60Hz #50006"}));

    Sim.candidates = {SimMode(640, 480, 8, 60), SimMode(800, 600, 8, 60), SimMode(800, 600, 8, 75)};
    Build(2);
    EXPECT_EQ(Lines(menu), (Text{"[Display &1]", "    Display 1 #0", "  640x480 (8bits) - 60Hz #50000",
                                 "  [800x600 (8bits)]", "    60Hz #50001", "    75Hz #50002", "[Display &2]",
                                 "    Display 2 #0", "  640x480 (8bits) - 60Hz #51000", "  [800x600 (8bits)]",
                                 "    60Hz #51001", "    75Hz #51002"}));
}

bool Checked(HMENU menu, UINT position) { return GetMenuState(menu, position, MF_BYPOSITION) & MF_CHECKED; }

TEST_F(ModeMenus, TheCurrentModeIsMarkedInItsSubmenuOnItsDisplayOnly)
{
    Build(1);
    HMENU resolution800 = GetSubMenu(menu, 2), resolution1280 = GetSubMenu(menu, 4);
    Mark(0, {800, 600, 16, 75});
    EXPECT_TRUE(Checked(menu, 2) && Checked(resolution800, 1) && !Checked(resolution800, 0));
    // Frequency 0: every rate of that resolution and depth; the old mark goes.
    Mark(0, {1280, 1024, 16, 0});
    EXPECT_FALSE(Checked(menu, 2) || Checked(resolution800, 1));
    EXPECT_TRUE(Checked(menu, 4) && Checked(resolution1280, 0) && Checked(resolution1280, 1));
    // A resolution with one rate is a plain item and carries the mark itself.
    Mark(0, {640, 480, 8, 60});
    for (int position = 0; position < GetMenuItemCount(menu); position++)
        EXPECT_EQ(Checked(menu, position), position == 0) << position;

    Build(2); // title, 640x480, separator, then the 800x600 submenu
    HMENU second = GetSubMenu(menu, 1);
    Mark(1, {800, 600, 16, 60});
    EXPECT_TRUE(Checked(second, 3) && Checked(GetSubMenu(second, 3), 0));
    EXPECT_FALSE(Checked(GetSubMenu(menu, 0), 3)) << "display 1 untouched";
    Mark(1, {1024, 768, 32, 60});
    EXPECT_TRUE(GetMenuState(second, 51006, MF_BYCOMMAND) & MF_CHECKED) << "the plain item";
    EXPECT_FALSE(Checked(second, 3) || Checked(GetSubMenu(second, 3), 0)) << "the old mark is cleared";
}

TEST_F(ModeMenus, AThousandEntriesAtMostSoDisplaysKeepTheirIds)
{
    Sim.candidates.clear();
    for (int k = 0; k < 1100; k++)
        Sim.candidates.push_back(SimMode(640 + k, 480, 32, 60));
    Build(2);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), 1 + MAX_ENTRIES_PER_DISPLAY);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 1), 1), 51000u);
}

} // namespace
