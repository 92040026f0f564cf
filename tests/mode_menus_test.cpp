#include <gtest/gtest.h>

#include "tests/program_fixture.h"
#include "tests/ui_driver.h"

namespace {

struct ModeMenus : ::testing::Test {
    ScopedSimAdapter adapter;
    void SetUp() override
    {
        PortraitOption = 0;
        Sim.candidates = {SimMode(640, 480, 8, 60),  SimMode(800, 600, 16, 60),  SimMode(800, 600, 16, 75),
                          SimMode(1024, 768, 16, 0), SimMode(1280, 1024, 16, 0), SimMode(1280, 1024, 16, 85),
                          SimMode(1024, 768, 32, 60)};
    }
    void TearDown() override
    {
        FreeProgramMenus();
        PortraitOption = 0;
    }
    void Build(int displays)
    {
        SimSetMonitors(displays);
        adapter.Install();
        BuildProgramMenus();
    }
};

// One line per item: text, or "-" for a separator, or "[title]" for a submenu
// followed by its items indented.
std::vector<std::string> Lines(HMENU menu, const std::string &indent = "")
{
    std::vector<std::string> lines;
    for (const MenuItemText &item : ReadMenu(menu)) {
        if (item.separator) {
            lines.push_back(indent + "-");
        } else if (item.submenu) {
            lines.push_back(indent + "[" + item.text + "]");
            for (const std::string &line : Lines(item.submenu, indent + "  "))
                lines.push_back(line);
        } else {
            lines.push_back(indent + item.text + " #" + std::to_string(item.id));
        }
    }
    return lines;
}

TEST_F(ModeMenus, OneDisplayListsModesDirectly)
{
    Build(1);
    EXPECT_EQ(Lines(DisplayMenu), (std::vector<std::string>{
                                      "640x480 (8bits) - 60Hz #50000",
                                      "-",
                                      "[800x600 (16bits)]",
                                      "  60Hz #50001",
                                      "  75Hz #50002",
                                      "1024x768 (16bits) #50003",
                                      "[1280x1024 (16bits)]",
                                      "  ?? #50004",
                                      "  85Hz #50005",
                                      "-",
                                      "1024x768 (32bits) - 60Hz #50006",
                                  }));
    EXPECT_EQ(ModeTables[0][1].groupPosition, 3) << "final position + 1 with one display";
    EXPECT_EQ(ModeTables[0][0].groupPosition, -1);
    EXPECT_EQ(ModeTables[0][6].commandId, 50006);
}

TEST_F(ModeMenus, PortraitTwinsShareTheResolutionSubmenu)
{
    PortraitOption = 1;
    Sim.candidates = {SimMode(800, 600, 16, 60), SimMode(800, 600, 16, 75), SimMode(1024, 768, 16, 60)};
    // 1024x768 is refused the right way up, taken as a portrait.
    Sim.accepts = [](int, const DEVMODEA &m) { return m.dmPelsWidth != 1024; };
    Build(1);
    EXPECT_EQ(Lines(DisplayMenu), (std::vector<std::string>{
                                      "[800x600 (16bits)]",
                                      "  60Hz #50000",
                                      "  60Hz \t(Portrait) #50001",
                                      "  75Hz #50002",
                                      "  75Hz \t(Portrait) #50003",
                                      "768x1024 (16bits) - 60Hz \t(Portrait) #50004",
                                  }));
}

TEST_F(ModeMenus, TwoAndThreeDisplaysGetTitledSubmenus)
{
    Sim.candidates = {SimMode(640, 480, 8, 60), SimMode(800, 600, 8, 60), SimMode(800, 600, 8, 75)};
    Build(2);
    std::vector<MenuItemText> top = ReadMenu(DisplayMenu);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0].text, "Display &1");
    EXPECT_EQ(top[1].text, "Display &2");
    EXPECT_EQ(Lines(top[1].submenu), (std::vector<std::string>{
                                         "  Display 2 #0",
                                         "640x480 (8bits) - 60Hz #51000",
                                         "[800x600 (8bits)]",
                                         "  60Hz #51001",
                                         "  75Hz #51002",
                                     }));
    MenuItemText title = ReadMenu(top[0].submenu)[0];
    EXPECT_EQ(title.text, "  Display 1");
    EXPECT_EQ(title.state & (MFS_DEFAULT | MFS_GRAYED), (UINT)(MFS_DEFAULT | MFS_GRAYED));
    EXPECT_EQ(ModeTables[1][1].groupPosition, 2) << "final position with several displays";

    Build(3);
    top = ReadMenu(DisplayMenu);
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[2].text, "Display &3");
    EXPECT_EQ(ReadMenu(top[2].submenu)[1].id, 52000u);
}

TEST_F(ModeMenus, CommandMenuOrder)
{
    Build(1);
    EXPECT_EQ(Lines(CommandMenu), (std::vector<std::string>{
                                      "&About... #40004",
                                      "-",
                                      "&Properties ... #40006",
                                      "E&xtended Properties ... #40013",
                                      "-",
                                      "&Exit Tessivon #40007",
                                  }));
}

bool Checked(HMENU menu, UINT item, UINT how) { return GetMenuState(menu, item, how) & MF_CHECKED; }

TEST_F(ModeMenus, MarksOneDisplay)
{
    Build(1);
    HMENU resolution800 = GetSubMenu(DisplayMenu, 2);
    MarkCurrentModes(0, {800, 600, 16, 75});
    EXPECT_TRUE(Checked(DisplayMenu, 2, MF_BYPOSITION));
    EXPECT_TRUE(Checked(resolution800, 1, MF_BYPOSITION));
    EXPECT_FALSE(Checked(resolution800, 0, MF_BYPOSITION));
    EXPECT_FALSE(Checked(DisplayMenu, 4, MF_BYPOSITION));

    // Frequency 0: every rate of that resolution and depth.
    MarkCurrentModes(0, {1280, 1024, 16, 0});
    HMENU resolution1280 = GetSubMenu(DisplayMenu, 4);
    EXPECT_FALSE(Checked(DisplayMenu, 2, MF_BYPOSITION)) << "the old mark is cleared";
    EXPECT_FALSE(Checked(resolution800, 1, MF_BYPOSITION));
    EXPECT_TRUE(Checked(DisplayMenu, 4, MF_BYPOSITION));
    EXPECT_TRUE(Checked(resolution1280, 0, MF_BYPOSITION));
    EXPECT_TRUE(Checked(resolution1280, 1, MF_BYPOSITION));

    // A resolution with one rate is a plain item and carries the mark alone.
    MarkCurrentModes(0, {640, 480, 8, 60});
    for (int position = 0; position < GetMenuItemCount(DisplayMenu); position++)
        EXPECT_EQ(Checked(DisplayMenu, position, MF_BYPOSITION), position == 0) << position;
    EXPECT_FALSE(Checked(resolution1280, 0, MF_BYPOSITION));
}

TEST_F(ModeMenus, MarksSecondDisplay)
{
    Build(2);
    HMENU second = GetSubMenu(DisplayMenu, 1);
    // Title, 640x480, separator, then the 800x600 submenu.
    ASSERT_EQ(ModeTables[1][1].groupPosition, 3);
    HMENU resolution = GetSubMenu(second, 3);
    ASSERT_TRUE(resolution);
    MarkCurrentModes(1, {800, 600, 16, 60});
    EXPECT_TRUE(Checked(second, 3, MF_BYPOSITION));
    EXPECT_TRUE(Checked(resolution, 0, MF_BYPOSITION));
    EXPECT_FALSE(Checked(resolution, 1, MF_BYPOSITION));
    EXPECT_FALSE(Checked(GetSubMenu(DisplayMenu, 0), 3, MF_BYPOSITION)) << "display 1 untouched";

    MarkCurrentModes(1, {1024, 768, 32, 60});
    EXPECT_TRUE(Checked(second, 51006, MF_BYCOMMAND)) << "the plain item";
    EXPECT_FALSE(Checked(second, 3, MF_BYPOSITION)) << "the old mark is cleared";
    EXPECT_FALSE(Checked(resolution, 0, MF_BYPOSITION));
}

TEST_F(ModeMenus, AThousandEntriesAtMost)
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
