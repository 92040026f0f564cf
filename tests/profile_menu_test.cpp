#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include "app/main_window.h"
#include "app/profile_commands.h"
#include "app/profile_menu.h"
#include "app/startup.h"
#include "base/messages.h"
#include "resources/resource_ids.h"
#include "settings/profile_store.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"
#include "tests/ui_driver.h"

namespace {

MainWindowState Program;

SHORT WINAPI ButtonsUp(int) { return 0; }

std::wstring MenuString(HMENU menu, int position)
{
    wchar_t text[256] = L"";
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

struct ProfileMenu : ::testing::Test {
    ScopedSimAdapter adapter;
    RegistryGuard registry;
    void SetUp() override
    {
        Sim.candidates = {SimMode(800, 600, 32, 60), SimMode(1024, 768, 32, 60)};
        SimSetMonitors(2);
        adapter.Install();
    }
    void TearDown() override
    {
        CancelWindowWait();
        if (Program.window)
            DestroyWindow(Program.window);
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        FreeProgramMenus(&Program);
        Program = {};
        // The other tests of this program register the class themselves.
        UnregisterClassW(MAIN_WINDOW_CLASS, GetModuleHandleW(nullptr));
    }
    void Start()
    {
        BuildProgramMenus(&Program, GetModuleHandleW(nullptr));
        ReadProgramFacts(GetModuleHandleW(nullptr));
        KeyStateFunction = ButtonsUp;
        ASSERT_TRUE(RegisterMainWindowClass(GetModuleHandleW(nullptr)) &&
                    CreateMainWindow(&Program, GetModuleHandleW(nullptr)));
    }
    // A left click on the icon; the menu it opens is closed again.
    void Click()
    {
        Watch watch(GetDoubleClickTime() + 2000, false);
        for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP})
            SendMessageW(Program.window, WM_TRAYNOTIFY, TRAY_ICON_ID, mouse);
        PumpMessages(GetDoubleClickTime() + 500);
        EXPECT_EQ(watch.menu, Program.displayMenu);
    }
    // Saves through the menu's dialog: types the name and answers the
    // question that may follow (IDYES or IDNO; after IDNO the dialog is
    // cancelled); gives the question's text.
    std::string SaveFromMenu(const wchar_t *name, int answer)
    {
        std::string question = "<none>";
        WhenWindowAppears([] { return FindShown("#32770", "Save profile"); },
                          [&](HWND dialog) {
                              ASSERT_TRUE(dialog) << "no name dialog";
                              SetDlgItemTextW(dialog, IDC_PROFILE_NAME, name);
                              auto other = [dialog] {
                                  HWND box = FindWindowExA(nullptr, nullptr, "#32770", "Save profile");
                                  while (box && (box == dialog || !IsWindowVisible(box)))
                                      box = FindWindowExA(nullptr, box, "#32770", "Save profile");
                                  return box;
                              };
                              WhenWindowAppears(
                                  other,
                                  [&, dialog, other](HWND box) {
                                      if (!box)
                                          return;
                                      question = WindowText(GetDlgItem(box, 0xFFFF));
                                      PostMessageW(box, WM_COMMAND, answer, 0);
                                      if (answer == IDNO)
                                          WhenWindowAppears(
                                              [dialog, other] { return other() ? nullptr : dialog; },
                                              [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); });
                                  },
                                  1500);
                              PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                          });
        SendMessageW(Program.window, WM_COMMAND, ID_SAVE_PROFILE, 0);
        CancelWindowWait();
        return question;
    }
};

// The display menu ends with "Profiles": one item per profile, the one
// matching the present arrangement checked, then the save item. A profile
// chosen there applies in one step; Escape puts the former arrangement back.
TEST_F(ProfileMenu, SubmenuListsProfilesChecksTheCurrentOneAppliesAndEscapeRestores)
{
    std::wstring text;
    ASSERT_EQ(SaveProfileCommand(L"Desk & Projector", nullptr, &text), 0);
    Profile game;
    ASSERT_TRUE(LoadProfile(L"Desk & Projector", &game));
    lstrcpyW(game.name, L"Game");
    game.displays[0].width = 800, game.displays[0].height = 600;
    game.displays[1].primary = TRUE, game.displays[0].primary = FALSE;
    ASSERT_TRUE(SaveProfile(game));
    Start();
    Click();
    HMENU menu = Program.displayMenu;
    int last = GetMenuItemCount(menu) - 1;
    ASSERT_EQ(MenuString(menu, last), L"Profiles");
    EXPECT_EQ(GetMenuState(menu, last - 1, MF_BYPOSITION) & MF_SEPARATOR, (UINT)MF_SEPARATOR);
    HMENU profiles = GetSubMenu(menu, last);
    ASSERT_EQ(GetMenuItemCount(profiles), 4);
    EXPECT_EQ(MenuString(profiles, 0), L"Desk && Projector");
    EXPECT_EQ(MenuString(profiles, 1), L"Game");
    EXPECT_EQ(GetMenuItemID(profiles, 1), (UINT)ID_PROFILE_BASE + 1);
    EXPECT_TRUE(GetMenuState(profiles, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(profiles, 1, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(MenuString(profiles, 3), L"&Save current settings as profile...");
    EXPECT_EQ(GetMenuItemID(profiles, 3), (UINT)ID_SAVE_PROFILE);

    Sim.calls.clear();
    SendMessageW(Program.window, WM_COMMAND, ID_PROFILE_BASE + 1, 0);
    ASSERT_EQ(Sim.calls.size(), 5u) << "two tests, two stagings, one apply";
    EXPECT_EQ(Sim.calls[1].mode.dmPelsWidth, 800u);
    EXPECT_EQ(Sim.calls[3].flags, (DWORD)(CDS_UPDATEREGISTRY | CDS_NORESET | CDS_SET_PRIMARY));
    // The platform now shows the profile's primary (the simulated monitors stay as they are).
    Sim.monitors[0].primary = false, Sim.monitors[1].primary = true;
    Sim.calls.clear();
    SendMessageW(Program.window, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(Sim.calls.size(), 5u);
    EXPECT_EQ(Sim.calls[1].mode.dmPelsWidth, 1024u) << "the former arrangement";
    EXPECT_EQ(Sim.calls[1].flags, (DWORD)(CDS_UPDATEREGISTRY | CDS_NORESET | CDS_SET_PRIMARY));

    // A display whose mode is refused: told, the other still changes.
    Sim.accepts = [](int device, const DEVMODEW &mode) { return device != 0 || mode.dmPelsWidth != 800; };
    Click();
    Watch box;
    SendMessageW(Program.window, WM_COMMAND, ID_PROFILE_BASE + 1, 0);
    EXPECT_EQ(box.box,
              "Warning: Profile \"Game\":\n\\\\.\\Display1: The graphics adapter doesn't support this "
              "video mode.\n");
}

TEST_F(ProfileMenu, SaveAsksForANameAndBeforeReplacing)
{
    Start();
    Click();
    EXPECT_EQ(SaveFromMenu(L"Desk", IDYES), "<none>");
    Profile desk;
    ASSERT_TRUE(LoadProfile(L"Desk", &desk));
    EXPECT_EQ(desk.displays[1].width, 1024);

    Sim.monitors[1].rect.right = Sim.monitors[1].rect.left + 800;
    EXPECT_EQ(SaveFromMenu(L"desk", IDNO), "A profile named \"desk\" exists already.\nReplace it?");
    ASSERT_TRUE(LoadProfile(L"Desk", &desk));
    EXPECT_EQ(desk.displays[1].width, 1024) << "kept after No";
    EXPECT_EQ(SaveFromMenu(L"Desk", IDYES), "A profile named \"Desk\" exists already.\nReplace it?");
    ASSERT_TRUE(LoadProfile(L"Desk", &desk));
    EXPECT_EQ(desk.displays[1].width, 800) << "replaced after Yes";
}

// A hotkey taken by another program is told once after start-up; the others
// are the main window's, and one pressed applies its profile.
TEST_F(ProfileMenu, HotkeysAreRegisteredTakenOnesToldAndAPressAppliesTheProfile)
{
    HWND other =
        CreateWindowW(L"STATIC", L"other program", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, '8'));
    std::wstring text;
    ASSERT_EQ(SaveProfileCommand(L"Taken", L"Ctrl+Alt+8", &text), 0);
    ASSERT_EQ(SaveProfileCommand(L"Free", L"Ctrl+Alt+9", &text), 0);
    Watch box;
    Start();
    PumpMessages(500);
    EXPECT_EQ(box.box, "Warning: The hotkey Ctrl+Alt+8 of profile \"Taken\" is taken by another program.\n");
    EXPECT_FALSE(RegisterHotKey(other, 2, MOD_CONTROL | MOD_ALT, '9'));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_HOTKEY_ALREADY_REGISTERED) << "Ctrl+Alt+9 is the program's";
    ASSERT_EQ(Program.hotkeyProfiles, (std::vector<std::wstring>{L"Free", L"Taken"}));
    Sim.calls.clear();
    SendMessageW(Program.window, WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, '9'));
    EXPECT_EQ(Sim.calls.size(), 5u);
    DestroyWindow(Program.window);
    Program.window = nullptr;
    EXPECT_TRUE(RegisterHotKey(other, 2, MOD_CONTROL | MOD_ALT, '9')) << "given back at the end";
    DestroyWindow(other);
}

} // namespace
