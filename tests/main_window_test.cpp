#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/startup.h"
#include "base/messages.h"
#include "display/mode_menus.h"
#include "resources/resource_ids.h"
#include "tests/fixture_shell.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"
#include "tests/ui_driver.h"

namespace {

// The program's state for the test running; each test starts from a fresh one.
MainWindowState Program;

// The notifications come after quick clicks: the buttons are up when they are
// handled, whatever state the X server last reported.
SHORT WINAPI ButtonsUp(int) { return 0; }

void Tray(std::initializer_list<UINT> mouseMessages)
{
    for (UINT mouse : mouseMessages)
        SendMessageW(Program.window, WM_TRAYNOTIFY, TRAY_ICON_ID, mouse);
}

void Command(UINT id) { SendMessageW(Program.window, WM_COMMAND, id, 0); }

struct MainWindowFixture : ::testing::Test {
    ScopedSimAdapter adapter;
    RegistryGuard registry;
    HMENU &menu = Program.displayMenu;
    void SetUp() override
    {
        Sim.candidates = {SimMode(640, 480, 8, 60),  SimMode(800, 600, 16, 60),  SimMode(800, 600, 16, 75),
                          SimMode(1024, 768, 16, 0), SimMode(1280, 1024, 16, 0), SimMode(1280, 1024, 16, 85),
                          SimMode(1024, 768, 32, 60)};
        Start(1);
    }
    void TearDown() override
    {
        CancelWindowWait();
        DestroyWindow(Program.window);
        Program.window = nullptr;
        MSG quit; // WM_DESTROY posts WM_QUIT, which would end the next modal loop at once
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        FreeProgramMenus(&Program);
    }
    // The program as start-up leaves it, on `displays` simulated monitors.
    void Start(int displays)
    {
        TearDown();
        Program = {};
        SimSetMonitors(displays);
        adapter.Install();
        BuildProgramMenus(&Program, GetModuleHandleW(nullptr));
        ReadProgramFacts(GetModuleHandleW(nullptr));
        KeyStateFunction = ButtonsUp;
        static bool registered = RegisterMainWindowClass(GetModuleHandleW(nullptr));
        ASSERT_TRUE(registered && CreateMainWindow(&Program, GetModuleHandleW(nullptr)));
        Sim.notifications.clear();
        Sim.calls.clear();
    }
};

// The start-up pass over the hidden labels finds no shell yet: it is tried
// again a few seconds later, once the shell has come.
TEST_F(MainWindowFixture, StartUpLabelPassTriedAgainUntilTheShellComes)
{
    WriteOption(OPT_HIDE_ICON_TEXT_AT_STARTUP, 1);
    WriteNumber(HIDE_TEXT_ICONS_KEY, L"Icon 1", 0);
    Start(1);
    FixtureShell shell(GridIcons(3, 3));
    EXPECT_EQ(shell.Report()[1].text, L"Icon 1");
    PumpMessages(3500);
    EXPECT_EQ(shell.Report()[1].text, L"");
}

TEST_F(MainWindowFixture, ClicksOpenTheirMenusDoubleClicksRunTheirCommandModesSwitchPerDisplay)
{
    Sim.monitors[0] = {{0, 0, 800, 600}, true, L"\\\\.\\Display1", 16, 75};
    Watch watch(GetDoubleClickTime() + 500);
    Tray({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    PumpMessages(GetDoubleClickTime() + 700);
    EXPECT_EQ(watch.menu, nullptr);
    EXPECT_EQ(Sim.launches, std::vector<std::wstring>{L"control desk.cpl"});
    // A single click after the double click opens the menu again, the current
    // mode marked.
    Watch single(GetDoubleClickTime() + 2000);
    Tray({WM_LBUTTONDOWN, WM_LBUTTONUP});
    DWORD releasedAt = GetTickCount();
    EXPECT_TRUE(GetMenuState(GetSubMenu(menu, 2), 1, MF_BYPOSITION) & MF_CHECKED);
    PumpMessages(GetDoubleClickTime() + 1000);
    EXPECT_EQ(single.menu, menu);
    EXPECT_GE(single.shownAt - releasedAt, GetDoubleClickTime() - 20)
        << "not before a double click could come";
    // A button-up without its button-down on the icon opens nothing, and a middle
    // press re-samples both buttons, which are up now; a right click opens the
    // command menu with the double click's command as its default.
    Watch stray(GetDoubleClickTime() + 300);
    Tray({WM_LBUTTONUP, WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
          WM_RBUTTONUP});
    PumpMessages(GetDoubleClickTime() + 500);
    EXPECT_EQ(stray.menu, nullptr);
    for (UINT expected : {ID_PROPERTIES, ID_EXTENDED_PROPERTIES}) {
        WriteOption(OPT_EXT_PROP_AS_DBL_CLICK, expected == ID_EXTENDED_PROPERTIES);
        Watch right(3000);
        Tray({WM_RBUTTONDOWN, WM_RBUTTONUP});
        EXPECT_EQ(GetMenuDefaultItem(right.menu, FALSE, 0), expected);
        EXPECT_NE(GetMenuState(right.menu, ID_EXIT, MF_BYCOMMAND), (UINT)-1) << "the command menu, with Exit";
    }
    // With the option set the double click opens the dialog.
    Watch dialog;
    Tray({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    EXPECT_EQ(dialog.box.rfind("Extended Display Properties: ", 0), 0u);

    // Mode commands are decoded per display. The first display's switch goes to
    // the default device and is stored too.
    Start(2);
    Command(50001);
    ASSERT_EQ(Sim.calls.size(), 1u);
    EXPECT_TRUE(Sim.calls[0].device.empty() && Sim.calls[0].flags == CDS_UPDATEREGISTRY);
    Command(51003);
    ASSERT_EQ(Sim.calls.size(), 2u);
    const SimCall &call = Sim.calls.back();
    const ModeEntry &entry = Program.catalogue.tables[1][3];
    EXPECT_TRUE(call.device == L"\\\\.\\Display2" && call.flags == CDS_UPDATEREGISTRY);
    EXPECT_EQ(std::make_tuple(call.mode.dmPelsWidth, call.mode.dmBitsPerPel, call.mode.dmDisplayFrequency),
              std::make_tuple((DWORD)entry.width, (DWORD)entry.bitsPerPixel, (DWORD)entry.frequency));
    // Ids past a display's entries, and a display that does not exist.
    for (UINT id : {50000 + (UINT)Program.catalogue.counts[0], 50999u, 52000u})
        Command(id);
    EXPECT_EQ(Sim.calls.size(), 2u);

    // The second monitor's own device name, whatever its number.
    Sim.monitors[1].device = L"\\\\.\\DISPLAY5";
    FreeProgramMenus(&Program);
    BuildProgramMenus(&Program, GetModuleHandleW(nullptr));
    ASSERT_GE(Program.catalogue.counts[1], 4) << "the modes were tested on DISPLAY5";
    Command(51003);
    EXPECT_EQ(Sim.calls.back().device, L"\\\\.\\DISPLAY5");

    // Every refusal is told in its own words.
    const std::pair<LONG, const char *> cases[] = {
        {DISP_CHANGE_RESTART, "Error: A restart appears to be required\nfor this video mode."},
        {DISP_CHANGE_BADMODE, "Error: The graphics adapter doesn't\nsupport this video mode."},
        {DISP_CHANGE_NOTUPDATED, "Warning: Couldn't write settings to \nregistry."},
        {DISP_CHANGE_BADPARAM, "Error: Could not set mode"}};
    for (auto [code, told] : cases) {
        Sim.changeResult = code;
        Watch refusal;
        Command(50002);
        EXPECT_EQ(refusal.box, told);
    }
    // Without ChangeDisplaySettingsExW the second display cannot be set, as when the change fails.
    Sim.hasChangeEx = false;
    Start(2);
    Watch failed;
    Command(51000);
    EXPECT_EQ(failed.box, "Error: The graphics adapter couldn't\nset this video mode.");
}

// One line per item: text and id, "-" for a separator, "[text]" for a
// submenu followed by its items indented.
std::vector<std::string> Lines(HMENU menu, const std::string &indent = "")
{
    std::vector<std::string> lines;
    for (int k = 0; k < GetMenuItemCount(menu); k++) {
        char text[100] = "";
        GetMenuStringA(menu, k, text, sizeof(text), MF_BYPOSITION);
        HMENU submenu = GetSubMenu(menu, k);
        std::string line = indent + text; // no text: a separator
        if (submenu)
            line = indent + "[" + text + "]";
        else
            line += *text ? " #" + std::to_string(GetMenuItemID(menu, k)) : "-";
        lines.push_back(line);
        for (const std::string &inner : submenu ? Lines(submenu, indent + "  ") : std::vector<std::string>())
            lines.push_back(inner);
    }
    return lines;
}

using Text = std::vector<std::string>;

bool Checked(HMENU menu, UINT position) { return GetMenuState(menu, position, MF_BYPOSITION) & MF_CHECKED; }

// One display lists its modes directly, grouped by depth; several get titled
// submenus with their own ids.
TEST_F(MainWindowFixture, ModesListedPerDisplayTheCurrentModeMarkedAThousandEntriesAtMost)
{
    EXPECT_EQ(Lines(menu), (Text{"640x480 (8bits) - 60Hz #50000", "-", "[800x600 (16bits)]", "  60Hz #50001",
                                 "  75Hz #50002", "1024x768 (16bits) #50003", "[1280x1024 (16bits)]",
                                 "  ?? #50004", "  85Hz #50005", "-", "1024x768 (32bits) - 60Hz #50006"}));

    // The current mode is marked in its submenu, on its display only.
    HMENU resolution800 = GetSubMenu(menu, 2), resolution1280 = GetSubMenu(menu, 4);
    MarkCurrentModes(Program.catalogue, menu, 0, {800, 600, 16, 75});
    EXPECT_TRUE(Checked(menu, 2) && Checked(resolution800, 1) && !Checked(resolution800, 0));
    // Frequency 0: every rate of that resolution and depth; the old mark goes.
    MarkCurrentModes(Program.catalogue, menu, 0, {1280, 1024, 16, 0});
    EXPECT_FALSE(Checked(menu, 2) || Checked(resolution800, 1));
    EXPECT_TRUE(Checked(menu, 4) && Checked(resolution1280, 0) && Checked(resolution1280, 1));
    // A resolution with one rate is a plain item and carries the mark itself.
    MarkCurrentModes(Program.catalogue, menu, 0, {640, 480, 8, 60});
    for (int position = 0; position < GetMenuItemCount(menu); position++)
        EXPECT_EQ(Checked(menu, position), position == 0) << position;
    EXPECT_FALSE(Checked(resolution1280, 0) || Checked(resolution1280, 1)) << "nor its rates";

    Start(2); // title, 640x480, separator, then the 800x600 submenu
    HMENU second = GetSubMenu(menu, 1);
    MarkCurrentModes(Program.catalogue, menu, 1, {800, 600, 16, 60});
    EXPECT_TRUE(Checked(second, 3) && Checked(GetSubMenu(second, 3), 0));
    EXPECT_FALSE(Checked(GetSubMenu(menu, 0), 3)) << "display 1 untouched";
    MarkCurrentModes(Program.catalogue, menu, 1, {1024, 768, 32, 60});
    EXPECT_TRUE(GetMenuState(second, 51006, MF_BYCOMMAND) & MF_CHECKED) << "the plain item";
    EXPECT_FALSE(Checked(second, 3) || Checked(GetSubMenu(second, 3), 0)) << "the old mark is cleared";

    Sim.candidates = {SimMode(640, 480, 8, 60), SimMode(800, 600, 8, 60), SimMode(800, 600, 8, 75)};
    Start(2);
    EXPECT_EQ(Lines(menu), (Text{"[Display &1]", "    Display 1 #0", "  640x480 (8bits) - 60Hz #50000",
                                 "  [800x600 (8bits)]", "    60Hz #50001", "    75Hz #50002", "[Display &2]",
                                 "    Display 2 #0", "  640x480 (8bits) - 60Hz #51000", "  [800x600 (8bits)]",
                                 "    60Hz #51001", "    75Hz #51002"}));

    Sim.candidates.clear();
    for (int k = 0; k < 1100; k++)
        Sim.candidates.push_back(SimMode(640 + k, 480, 32, 60));
    Start(2);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), 1 + MAX_ENTRIES_PER_DISPLAY);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 1), 1), 51000u);
}

LRESULT CALLBACK RefuseMainWindow(int code, WPARAM window, LPARAM data)
{
    wchar_t className[64] = L"";
    if (code == HCBT_CREATEWND)
        GetClassNameW((HWND)window, className, 64);
    return lstrcmpW(className, MAIN_WINDOW_CLASS) ? CallNextHookEx(nullptr, code, window, data) : 1;
}

// The tray icon follows the option and comes back when the shell loses it;
// start-up's own refusals are told and end the program with 1.
TEST_F(MainWindowFixture, TrayIconFollowsTheOptionAndStartUpFailuresEndWithOne)
{
    WriteOption(OPT_TRAY_ICON_IN_256_COLORS, 1);
    Start(1);
    TrayIconShow(&Program.tray, Program.window,
                 L"A tip that is much longer than the sixty-three characters the shell keeps");
    EXPECT_EQ(lstrlenW(Sim.notifications.back().szTip), 63);
    // A second copy's WM_SHOW_AGAIN and a re-created taskbar add it again, as made, and retip.
    for (UINT message : {(UINT)WM_SHOW_AGAIN, RegisterWindowMessageW(L"TaskbarCreated")}) {
        Sim.notifications.clear();
        SendMessageW(Program.window, message, 0, 0);
        ASSERT_EQ(Sim.notifications.size(), 2u);
        EXPECT_EQ(Sim.notifications[0].hIcon,
                  LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY_256_COLORS)));
    }

    // The About box on the way.
    Watch about;
    Command(ID_ABOUT);
    EXPECT_EQ(about.box.rfind("About Tessivon v2.7 alpha: Tessivon v2.7 alpha\n", 0), 0u);
    TearDown();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    UnregisterClassW(MAIN_WINDOW_CLASS, instance);
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseMainWindow, nullptr, GetCurrentThreadId());
    Watch create;
    EXPECT_EQ(RunTessivon(instance), 1);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(create.box, "Error: Couldn't Create Window");
    // The class is still registered from that run, so registering fails now.
    Watch registering;
    EXPECT_EQ(RunTessivon(instance), 1);
    EXPECT_EQ(registering.box, "Error: Couldn't Register Window Class");
}

} // namespace
