// The main window and its tray icon in this process on simulated monitors: clicks,
// menus, mode commands, the keep-or-revert question and profiles.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/startup.h"
#include "base/messages.h"
#include "command/profile_commands.h"
#include "display/mode_menus.h"
#include "resources/resource_ids.h"
#include "settings/profile_store.h"
#include "tests/fixture_shell.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"
#include "tests/ui_driver.h"

#include <dbt.h>

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

// The menu that the mouse messages on the icon opened (by now), closed again.
HMENU TrayMenu(std::initializer_list<UINT> mouseMessages = {WM_LBUTTONDOWN, WM_LBUTTONUP})
{
    Watch watch(10000, false);
    Tray(mouseMessages);
    // A single click's menu waits for the double-click time: shown once no click waits.
    PumpUntil([] { return !Program.clickPending; }, 10000);
    return watch.menu;
}

using Text = std::vector<std::string>;

// One line per item (per checked item when asked): text and id, "-" for a
// separator, "[text]" for a submenu followed by its items indented; " *"
// after a checked item.
Text Lines(HMENU menu, bool checkedOnly = false, const std::string &indent = "")
{
    Text lines;
    for (int k = 0; k < GetMenuItemCount(menu); k++) {
        char text[100] = "";
        GetMenuStringA(menu, k, text, sizeof(text), MF_BYPOSITION);
        HMENU submenu = GetSubMenu(menu, k);
        std::string id = *text ? " #" + std::to_string(GetMenuItemID(menu, k)) : "-";
        std::string line = submenu ? indent + "[" + text + "]" : indent + text + id;
        bool checked = GetMenuState(menu, k, MF_BYPOSITION) & MF_CHECKED;
        if (checked || !checkedOnly)
            lines.push_back(line + (checked ? " *" : ""));
        Text inner = submenu ? Lines(submenu, checkedOnly, indent + "  ") : Text();
        lines.insert(lines.end(), inner.begin(), inner.end());
    }
    return lines;
}
Text Marked(HMENU menu) { return Lines(menu, true); }

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
        Platform.GetKeyState = ButtonsUp;
        static bool registered = RegisterMainWindowClass(GetModuleHandleW(nullptr));
        ASSERT_TRUE(registered && CreateMainWindow(&Program, GetModuleHandleW(nullptr)));
        Sim.notifications.clear();
        Sim.calls.clear();
    }
};

TEST_F(MainWindowFixture, ClicksMenusModeCommandsPerDisplayTheTrayIconAndStartUpFailures)
{
    Sim.monitors[0] = {{0, 0, 800, 600}, true, L"\\\\.\\Display1", 16, 75};
    EXPECT_EQ(TrayMenu({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}), nullptr);
    EXPECT_EQ(Sim.launches, std::vector<std::wstring>{L"control desk.cpl"});
    // A single click after the double click opens the menu again, the current
    // mode marked and only that one.
    Watch single(10000);
    Tray({WM_LBUTTONDOWN, WM_LBUTTONUP});
    DWORD releasedAt = GetTickCount();
    EXPECT_EQ(Marked(menu), (Text{"[800x600 (16bits)] *", "  75Hz #50002 *"}));
    EXPECT_TRUE(PumpUntil([] { return !Program.clickPending; }, 10000) && single.menu == menu);
    EXPECT_GE(single.shownAt - releasedAt, GetDoubleClickTime() - 20)
        << "not before a double click could come";
    // A button-up without its button-down on the icon opens nothing, and a middle
    // press re-samples both buttons, which are up now; a right click opens the
    // command menu with the double click's command as its default.
    EXPECT_EQ(TrayMenu({WM_LBUTTONUP, WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                        WM_MBUTTONDOWN, WM_RBUTTONUP}),
              nullptr);
    WriteOption(OPT_EXT_PROP_AS_DBL_CLICK, 1);
    EXPECT_EQ(GetMenuDefaultItem(TrayMenu({WM_RBUTTONDOWN, WM_RBUTTONUP}), FALSE, 0),
              (UINT)ID_EXTENDED_PROPERTIES);
    // With the option set the double click opens the dialog.
    Watch dialog;
    Tray({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    EXPECT_EQ(dialog.box.rfind("Extended Display Properties: ", 0), 0u);

    // Mode commands are decoded per display, each naming its display's device:
    // display 1 is the first monitor enumerated, which need not be the primary
    // (a docked laptop). Stored too; without a question first.
    WriteOption(OPT_CONFIRM_MODE_CHANGE, 0);
    Start(2);
    Sim.monitors[0].primary = false, Sim.monitors[1].primary = true;
    Sim.monitors[1].device = L"\\\\.\\DISPLAY5"; // the second monitor's own device name, whatever its number
    // Ids past a display's entries, and a display that does not exist, set nothing.
    for (UINT id : {50001u, 51003u, 50000 + (UINT)Program.catalogue.counts[0], 50999u, 52000u})
        Command(id);
    const ModeEntry &first = Program.catalogue.tables[0][1], &entry = Program.catalogue.tables[1][3];
    ASSERT_EQ(Sim.Log(),
              "1 1 " + std::to_string(first.height) + ";5 1 " + std::to_string(entry.height) + ";");
    const DEVMODEW &set = Sim.calls[1].mode;
    EXPECT_EQ(std::make_tuple(set.dmPelsWidth, set.dmBitsPerPel, set.dmDisplayFrequency),
              std::make_tuple((DWORD)entry.width, (DWORD)entry.bitsPerPixel, (DWORD)entry.frequency));

    // Without ChangeDisplaySettingsExW the second display cannot be set, as when the change fails.
    Platform.ChangeDisplaySettingsExW = nullptr;
    Watch failed;
    Command(51000);
    EXPECT_EQ(failed.box, "Error: The graphics adapter couldn't\nset this video mode.");

    // One display lists its modes directly, grouped by depth; several get titled
    // submenus with their own ids. The dialog's OK above stored every option.
    ClearProgramKeys();
    Start(1);
    EXPECT_EQ(Lines(menu), (Text{"640x480 (8bits) - 60Hz #50000", "-", "[800x600 (16bits)]", "  60Hz #50001",
                                 "  75Hz #50002", "1024x768 (16bits) #50003", "[1280x1024 (16bits)]",
                                 "  ?? #50004", "  85Hz #50005", "-", "1024x768 (32bits) - 60Hz #50006"}));

    // The current mode is marked in its submenu; frequency 0 marks every rate
    // of that resolution and depth; the old mark goes.
    MarkCurrentModes(Program.catalogue, menu, 0, {1280, 1024, 16, 0});
    EXPECT_EQ(Marked(menu), (Text{"[1280x1024 (16bits)] *", "  ?? #50004 *", "  85Hz #50005 *"}));
    MarkCurrentModes(Program.catalogue, menu, 0, {640, 480, 8, 60});
    EXPECT_EQ(Marked(menu), (Text{"640x480 (8bits) - 60Hz #50000 *"}));

    Sim.candidates = {SimMode(640, 480, 8, 60), SimMode(800, 600, 8, 60), SimMode(800, 600, 8, 75)};
    Start(2);
    // Five displays, three of them attached since start-up: the click makes a
    // titled submenu each, past the resource's three, with ids of their own,
    // and marks afresh, display 2's mode in its own submenu only; Escape puts
    // every display back as the click found it.
    WriteOption(OPT_CONFIRM_MODE_CHANGE, 0);
    SimSetMonitors(5);
    Sim.monitors[1] = {{1024, 0, 1824, 600}, false, L"\\\\.\\Display2", 8, 60};
    Sim.monitors[4].bitsPerPixel = 8;
    EXPECT_EQ(TrayMenu(), menu);
    EXPECT_EQ(Marked(menu), (Text{"  [800x600 (8bits)] *", "    60Hz #51001 *"}));
    Text shown = Lines(menu); // six lines for each display before the fifth's
    EXPECT_TRUE(shown.size() >= 30 && shown[24] == "[Display &5]" && shown[25] == "    Display 5 #0" &&
                shown[26] == "  640x480 (8bits) - 60Hz #54000" && shown[29] == "    75Hz #54002");
    Sim.calls.clear();
    Command(54002);
    SendMessageW(Program.window, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(Sim.calls.size(), 6u);
    EXPECT_TRUE(Sim.calls[0].device == L"\\\\.\\Display5" && Sim.calls[1].device == Sim.calls[0].device &&
                Sim.calls[1].mode.dmBitsPerPel == 8 && Sim.calls[5].device == L"\\\\.\\Display1");

    // Sixteen monitors: fifteen displays' ids end below 65000; the sixteenth display is left out.
    Start(16);
    EXPECT_EQ(GetMenuItemCount(menu), MAX_DISPLAYS);
    Command(64002);
    Command(65002);
    EXPECT_TRUE(Sim.calls.size() == 1 && Sim.calls[0].device == L"\\\\.\\Display15");

    Sim.candidates.clear();
    for (int k = 0; k < 1100; k++)
        Sim.candidates.push_back(SimMode(640 + k, 480, 32, 60));
    Start(2);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), 1 + MAX_ENTRIES_PER_DISPLAY);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 1), 1), 51000u);

    // The tray icon follows the option and comes back when the shell loses it;
    // the start-up pass over the hidden labels finds no shell yet: it is tried
    // again a few seconds later, once the shell has come; start-up's own
    // refusals are told and end the program with 1.
    WriteOption(OPT_HIDE_ICON_TEXT_AT_STARTUP, 1);
    WriteNumber(HIDE_TEXT_ICONS_KEY, L"Icon 1", 0);
    // Stored as text by hand: the tray takes the value's bytes as its number,
    // so even "0" chooses the 256-colour icon (the dialog shows the default).
    SHSetValueW(HKEY_CURRENT_USER, SETTINGS_KEY, L"TessivonTrayIconIn256Colors", REG_SZ, L"0",
                2 * sizeof(wchar_t));
    Start(1);
    TrayIconShow(&Program.tray, Program.window,
                 L"A tip that is much longer than the sixty-three characters the shell keeps");
    EXPECT_EQ(lstrlenW(Sim.notifications.back().szTip), 63);
    // A second copy's WM_SHOW_AGAIN and a re-created taskbar add it again, as made, and retip.
    HICON icon256 = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY_256_COLORS));
    for (UINT message : {(UINT)WM_SHOW_AGAIN, RegisterWindowMessageW(L"TaskbarCreated")}) {
        Sim.notifications.clear();
        SendMessageW(Program.window, message, 0, 0);
        EXPECT_TRUE(!Sim.notifications.empty() && Sim.notifications[0].hIcon == icon256)
            << "the icon added again, in 256 colours";
    }
    FixtureShell shell(GridIcons(3, 3));
    EXPECT_EQ(shell.Report()[1].text, L"Icon 1");
    EXPECT_TRUE(PumpUntil([&] { return shell.Report()[1].text.empty(); }, 30000));

    TearDown();
    Watch box; // the class is still registered, so registering fails
    EXPECT_EQ(RunTessivon(GetModuleHandleW(nullptr)), 1);
    EXPECT_EQ(box.box, "Error: Couldn't Register Window Class");
}

HWND FindQuestion() { return FindShown("#32770", "Tessivon"); }

std::vector<std::wstring> CountdownTexts;

LRESULT CALLBACK NoteCountdownText(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (call->message == WM_SETTEXT && GetDlgCtrlID(call->hwnd) == IDC_KEEP_COUNTDOWN)
        CountdownTexts.push_back((const wchar_t *)call->lParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Saves through the menu's dialog: types the name and answers the question
// that may follow (after IDNO the dialog is cancelled); gives the question's text.
std::string SaveFromMenu(const wchar_t *name, int answer)
{
    std::string question = "<none>";
    HWND dialog = nullptr;
    // The question, owned by the dialog, is found first once it shows.
    auto shown = [] { return FindShown("#32770", "Save profile"); };
    auto answerQuestion = [&](HWND box) { // read before the posted answer is handled
        if (box && PostMessageW(box, WM_COMMAND, answer, 0))
            question = WindowText(GetDlgItem(box, 0xFFFF));
        if (box && answer == IDNO)
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    WhenWindowAppears(shown, [&](HWND found) {
        ASSERT_TRUE((dialog = found)) << "no name dialog";
        SetDlgItemTextW(dialog, IDC_PROFILE_NAME, name);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        WhenWindowAppears([&] { return shown() != dialog ? shown() : nullptr; }, answerQuestion, 1500);
    });
    Command(ID_SAVE_PROFILE);
    CancelWindowWait();
    return question;
}

// Monitors came or went; true once the program has looked at them again.
bool DisplaysChange(UINT message, WPARAM event = 0)
{
    int looks = Program.autoProfiles.looks;
    SendMessageW(Program.window, message, event, 0);
    return PumpUntil([looks] { return Program.autoProfiles.looks > looks; }, 10000);
}

// The last balloon's text since the notifications were cleared, "" for none.
std::wstring Balloon()
{
    std::wstring text;
    for (const NOTIFYICONDATAW &shown : Sim.notifications)
        text = shown.uFlags & NIF_INFO ? shown.szInfo : text;
    return text;
}

// After a pick the question is read from the screen, centred on the display
// that changed, and counts down; the tray and a second pick are refused while
// it is shown. The countdown's end puts every display back, last first, for
// the moment only, so the stored setting never held the mode that was
// reverted. The answers by key (Enter keeps and stores, Escape reverts, and
// so do Revert and the close box, which arrive as the same IDCANCEL) are the
// end-to-end and command-line tests'.
TEST_F(MainWindowFixture, SwitchesAskOrRevertProfilesFromTheMenuAndMarkedOnesApplyThemselves)
{
    Start(2);
    Program.session.confirmSeconds = 2;
    RECT place = {};
    bool refused = false;
    WhenWindowAppears(FindQuestion, [&](HWND dialog) {
        GetWindowRect(dialog, &place);
        Tray({WM_LBUTTONDOWN, WM_LBUTTONUP});
        refused = !Program.clickPending && !PickMode(&Program, 0, 1);
        Program.clickPending = FALSE; // a menu now would hold the question's loop
    });
    // Every text the countdown is given, however soon or late the test looks.
    CountdownTexts.clear();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, NoteCountdownText, nullptr, GetCurrentThreadId());
    Command(51001); // 800x600
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(CountdownTexts,
              (std::vector<std::wstring>{L"Reverting in 2 seconds.", L"Reverting in 1 second."}));
    // The second monitor is (1024, 0) to (2048, 768).
    EXPECT_NEAR((place.left + place.right) / 2, 1536, 1);
    EXPECT_NEAR((place.top + place.bottom) / 2, 384, 1);
    EXPECT_TRUE(refused) << "the tray click or the second pick was not refused";
    EXPECT_EQ(Sim.Log(), "2 0 600;2 0 768;1 0 768;") << "the countdown's end reverts";

    // A refused switch is told and asks nothing (the option off is the first case's).
    Sim.changeResult = DISP_CHANGE_BADMODE;
    Sim.calls.clear();
    Watch refusal;
    Command(51001);
    EXPECT_EQ(refusal.box + Sim.Log(),
              "Error: The graphics adapter doesn't\nsupport this video mode.2 0 600;");
    Sim.changeResult = DISP_CHANGE_SUCCESSFUL;

    // The display menu ends with "Profiles": one item per profile, the one
    // matching the present arrangement checked, then the save item. A profile
    // chosen there applies in one step and tells which display it could not
    // change; the countdown puts the former arrangement back (Escape after a
    // kept one is the end-to-end test's). Saving asks for a name, and before
    // replacing a profile.
    ASSERT_TRUE(SaveCurrentArrangement(L"Desk & Projector", 0));
    Profile game;
    ASSERT_TRUE(LoadProfile(L"Desk & Projector", &game) && lstrcpyW(game.name, L"Game"));
    game.displays[0].width = 800, game.displays[0].height = 600;
    game.displays[1].primary = TRUE, game.displays[0].primary = FALSE;
    ASSERT_TRUE(SaveProfile(game));
    EXPECT_EQ(TrayMenu(), menu);
    EXPECT_EQ(Lines(GetSubMenu(menu, GetMenuItemCount(menu) - 1)),
              (Text{"Desk && Projector #" + std::to_string(ID_PROFILE_BASE) + " *",
                    "Game #" + std::to_string(ID_PROFILE_BASE + 1), "-",
                    "&Save current settings as profile... #" + std::to_string(ID_SAVE_PROFILE)}));

    Program.session.confirmSeconds = 1;
    Sim.accepts = [](int device, const DEVMODEW &mode) { return device != 0 || mode.dmPelsWidth != 800; };
    Sim.calls.clear();
    Watch box;
    Command(ID_PROFILE_BASE + 1);
    EXPECT_EQ(box.box,
              "Warning: Profile \"Game\":\n\\\\.\\Display1: The graphics adapter doesn't support this "
              "video mode.\n");
    EXPECT_EQ(Sim.Log(false),
              "2 " + SimPrimary + " 768;? 0 0;1 " + SimStaged + " 768;2 " + SimStaged + " 768;? 0 0;")
        << "the profile's second display made primary, then the former arrangement";
    EXPECT_FALSE(Program.session.changed) << "nothing left for Escape";

    EXPECT_EQ(SaveFromMenu(L"game", IDNO), "A profile named \"game\" exists already.\nReplace it?");
    EXPECT_TRUE(LoadProfile(L"Game", &game) && game.displays[0].width == 800) << "kept after No";
    EXPECT_EQ(SaveFromMenu(L"Game", IDYES), "A profile named \"Game\" exists already.\nReplace it?");
    EXPECT_TRUE(LoadProfile(L"Game", &game) && game.displays[0].width == 1024) << "replaced after Yes";

    ClearProgramKeys(); // the profiles above are no marked one's twins
    // A marked profile applies itself, without a question, when exactly its
    // monitors are attached (at start-up, and when a monitor known by its path
    // comes back under another device name); the change it causes applies
    // nothing again. Two for the same monitors apply nothing.
    Sim.devicePaths = {L"\\\\?\\DISPLAY#A", L"\\\\?\\DISPLAY#B"};
    Start(2);
    Profile desk;
    ASSERT_TRUE(SaveCurrentArrangement(L"Desk", 0, TRUE) && LoadProfile(L"Desk", &desk));
    desk.displays[1].height = 600;
    ASSERT_TRUE(SaveProfile(desk));
    ASSERT_TRUE(PumpUntil([] { return Program.autoProfiles.looks > 0; }, 10000)) << "the look at start-up";
    ASSERT_TRUE(Sim.calls.size() == 5 && Sim.calls[3].mode.dmPelsHeight == 600) << Sim.Log();
    EXPECT_EQ(Balloon(), L"Profile \"Desk\" applied");

    // The second look after the return sees the change the apply caused.
    for (bool twins : {false, true}) {
        SimSetMonitors(1);
        ASSERT_TRUE(DisplaysChange(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED));
        SimSetMonitors(2);
        Sim.monitors[1].device = L"\\\\.\\Display3";
        Sim.calls.clear(), Sim.notifications.clear();
        ASSERT_TRUE(DisplaysChange(WM_DISPLAYCHANGE));
        ASSERT_TRUE(DisplaysChange(WM_DISPLAYCHANGE));
        EXPECT_EQ(Sim.calls.size(), twins ? 0u : 5u);
        EXPECT_EQ(Balloon(),
                  twins ? L"Profiles \"Desk\" and \"Desk 2\" fit these displays alike; none was applied."
                        : L"Profile \"Desk\" applied");
        ASSERT_TRUE(lstrcpyW(desk.name, L"Desk 2") && SaveProfile(desk));
    }
}

} // namespace
