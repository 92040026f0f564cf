// The real tessivon.exe, started as its own process inside the test prefix's
// virtual desktop and driven the way the shell and a user drive it.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>
#include <psapi.h>

#include <fstream>
#include <functional>
#include <string>

#include "app/main_window.h"
#include "app/profile_commands.h"
#include "base/messages.h"
#include "base/platform.h"
#include "desktop_icons/desktop_icons.h"
#include "desktop_icons/icon_layout.h"
#include "display/catalogue.h"
#include "display/mode_menus.h"
#include "resources/resource_ids.h"
#include "settings/profile_store.h"
#include "tests/fixture_shell.h"
#include "tests/program_driver.h"
#include "tests/registry_guard.h"
#include "tests/ui_driver.h"

namespace {

std::wstring ProgramPath;

// The height stored as the display's setting for the next logon.
DWORD StoredHeight()
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsW(nullptr, ENUM_REGISTRY_SETTINGS, &mode);
    return mode.dmPelsHeight;
}

void Post(UINT message, WPARAM wParam, LPARAM lParam = 0)
{
    PostMessageA(ProgramWindow(), message, wParam, lParam);
}

struct EndToEnd : ::testing::Test {
    RegistryGuard registry;
    DEVMODEA startMode = {};
    ChildProcess program{Quoted(ProgramPath)};
    void SetUp() override
    {
        startMode.dmSize = sizeof(startMode);
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &startMode);
        ASSERT_TRUE(WaitFor([] { return ProgramWindow() != nullptr; }, 15000)) << "no main window";
    }
    void TearDown() override
    {
        Post(WM_COMMAND, ID_EXIT);
        EXPECT_EQ(program.Wait(15000), 0);
        if (GetSystemMetrics(SM_CXSCREEN) != (int)startMode.dmPelsWidth) // left by a failed test
            ChangeDisplaySettingsA(&startMode, 0);
    }
    // Shows that a popup menu opens (or not) and closes it.
    bool MenuOpens(DWORD milliseconds)
    {
        // A popup menu is the program's: this process shows none.
        bool opened = WaitFor([] { return FindShown("#32768") != nullptr; }, milliseconds);
        Post(WM_KEYDOWN, VK_ESCAPE);
        WaitFor([] { return !FindShown("#32768"); }, 5000);
        return opened;
    }
    // The command id of the mode of this size in the start's depth, found the
    // way the program builds its catalogue; 0 when there is none.
    int ModeCommand(DWORD width, DWORD height)
    {
        LoadPlatformTable();
        DisplayCatalogue catalogue = {};
        BuildDisplayCatalogue(&catalogue, {false, true});
        int command = 0;
        for (int j = 0; j < catalogue.counts[0] && !command; j++)
            if (catalogue.tables[0][j].width == (LONG)width &&
                catalogue.tables[0][j].height == (LONG)height &&
                catalogue.tables[0][j].bitsPerPixel == (LONG)startMode.dmBitsPerPel)
                command = ID_MODE_BASE + j;
        FreeDisplayCatalogue(&catalogue);
        return command;
    }
    // A click on the icon records the modes that Escape goes back to.
    bool ClickForTheMenu()
    {
        Post(WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN);
        Post(WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
        return MenuOpens(5000);
    }
};

// A second copy ends with 1 and the first keeps running; a real X pointer
// click with no hold, at the first icon of the notification area of the
// virtual desktop (at the X screen's origin), opens the display menu.
TEST_F(EndToEnd, SecondCopyRefusedClicksOpenTheMenuModesSwitchAndTheIconWaitsForTheDialog)
{
    ChildProcess second(Quoted(ProgramPath));
    EXPECT_EQ(second.Wait(15000), 1);
    EXPECT_EQ(program.Wait(300), -1) << "the first copy keeps running";
    Sleep(1000); // the taskbar places the icon
    ChildProcess click(L"/usr/bin/xdotool mousemove 1013 758 click 1");
    EXPECT_TRUE(MenuOpens(8000)) << "no menu after a real click";

    // A mode command switches the desktop, and Escape takes it back.
    ASSERT_EQ(startMode.dmPelsWidth, 1024u) << "the test prefix runs a 1024x768 virtual desktop";
    int command = ModeCommand(800, 600);
    ASSERT_NE(command, 0) << "no 800x600 mode in the virtual desktop";

    // The pick switches at once and asks, storing nothing yet. Enter keeps and
    // stores the mode, which Escape on the program's window then takes back.
    // While asked, the icon opens no menu and that Escape waits; Escape on the
    // question puts the mode back, never stored.
    Post(WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN);
    Post(WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
    ASSERT_TRUE(MenuOpens(5000)) << "the display menu did not open";
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        Post(WM_COMMAND, command);
        HWND question = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] {
                return GetSystemMetrics(SM_CYSCREEN) == 600 && (question = FindShown("#32770", "Tessivon"));
            },
            10000));
        EXPECT_EQ(StoredHeight(), 768u) << "stored before the answer";
        if (key == VK_ESCAPE) {
            Post(WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN);
            Post(WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
            EXPECT_FALSE(MenuOpens(GetDoubleClickTime() + 1000)) << "the icon answers while asked";
            EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
        }
        PostMessageA(GetDlgItem(question, IDC_KEEP_COUNTDOWN), WM_KEYDOWN, key, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(question); }, 10000));
        EXPECT_EQ(StoredHeight(), key == VK_RETURN ? 600u : 768u);
        Post(WM_KEYDOWN, VK_ESCAPE);
        EXPECT_TRUE(WaitFor([] { return GetSystemMetrics(SM_CYSCREEN) == 768; }, 10000));
        EXPECT_EQ(StoredHeight(), 768u);
    }

    // The icon does not answer while the dialog is open, and answers again after it.
    Post(WM_COMMAND, ID_EXTENDED_PROPERTIES);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (dialog = FindWindowA(nullptr, "Extended Display Properties")) != nullptr; }, 10000));
    for (UINT mouse : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP})
        Post(WM_TRAYNOTIFY, TRAY_ICON_ID, mouse);
    EXPECT_FALSE(MenuOpens(GetDoubleClickTime() + 1000)) << "the icon answers while the dialog is open";
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 10000));
    for (UINT mouse : {WM_RBUTTONDOWN, WM_RBUTTONUP})
        Post(WM_TRAYNOTIFY, TRAY_ICON_ID, mouse);
    EXPECT_TRUE(MenuOpens(5000)) << "the icon does not answer after the dialog";
}

// The present arrangement saved as "Small", its first display at 800x600,
// with the hotkey; the program started after it.
struct ProfileEndToEnd : ::testing::Test {
    RegistryGuard registry;
    DEVMODEA startMode = {};
    HWND other =
        CreateWindowA("STATIC", "another program", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    void SetUp() override
    {
        startMode.dmSize = sizeof(startMode);
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &startMode);
        ASSERT_EQ(startMode.dmPelsWidth, 1024u) << "the test prefix runs a 1024x768 virtual desktop";
        LoadPlatformTable();
        WriteOption(OPT_CONFIRM_MODE_CHANGE, 0); // the question is the shell tests'
        ASSERT_TRUE(SaveCurrentArrangement(L"Wide", 0));
        ASSERT_TRUE(SaveCurrentArrangement(L"Small", MAKEWORD('7', HOTKEYF_CONTROL | HOTKEYF_ALT)));
        Profile small;
        ASSERT_TRUE(LoadProfile(L"Small", &small));
        small.displays[0].width = 800, small.displays[0].height = 600;
        ASSERT_TRUE(SaveProfile(small));
    }
    void TearDown() override
    {
        Post(WM_COMMAND, ID_EXIT);
        WaitFor([] { return !ProgramWindow(); }, 15000);
        if (GetSystemMetrics(SM_CXSCREEN) != (int)startMode.dmPelsWidth)
            ChangeDisplaySettingsA(&startMode, 0);
        DestroyWindow(other);
    }
};

// A real Ctrl+Alt+7 from the X server applies the profile: the real screen
// becomes 800x600; Escape puts 1024x768 back. The display menu's last item
// opens the Profiles submenu, whose first item applies that profile.
TEST_F(ProfileEndToEnd, RealHotkeyAndTheRealMenuApplyAProfileToTheRealScreen)
{
    ChildProcess program(L"\"" + ProgramPath + L"\"");
    ASSERT_TRUE(WaitFor([] { return ProgramWindow() != nullptr; }, 15000)) << "no main window";
    ASSERT_EQ(WaitForInputIdle(program.info.hProcess, 10000), 0u);
    ChildProcess key(L"/usr/bin/xdotool key ctrl+alt+7");
    EXPECT_TRUE(WaitFor([] { return GetSystemMetrics(SM_CYSCREEN) == 600; }, 10000)) << "no real hotkey";
    Post(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(WaitFor([] { return GetSystemMetrics(SM_CYSCREEN) == 768; }, 10000));

    Post(WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN);
    Post(WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
    HWND popup = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (popup = FindShown("#32768")) != nullptr; }, 5000));
    // Wine keeps a menu in its process, so it is driven by keys: the menu's
    // tracking takes every key of its thread, whichever window has the X focus.
    for (WPARAM key : {VK_END, VK_RIGHT, VK_HOME, VK_RETURN}) {
        Sleep(300);
        PostMessageA(popup, WM_KEYDOWN, key, 0);
    }
    EXPECT_TRUE(WaitFor([] { return GetSystemMetrics(SM_CYSCREEN) == 600; }, 10000)) << "the menu's profile";

    // What the command line runs when no copy does: the real desktop follows.
    std::wstring text;
    EXPECT_EQ(ApplyProfileCommand(L"Wide", &text), 0) << text;
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

// A combination another program holds is told once at start-up.
TEST_F(ProfileEndToEnd, HotkeyTakenByAnotherProgramIsToldAtStartUp)
{
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, '7'));
    ChildProcess program(L"\"" + ProgramPath + L"\"");
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindShown("#32770", "Warning")) != nullptr; }, 15000));
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)),
              "The hotkey Ctrl+Alt+7 of profile \"Small\" is taken by another program.\n");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000));
}

// A shell that stops answering once its icons exist, with a stored label for
// the start-up pass to blank: the program comes up all the same, its menu
// opens, the dialog opens and closes, and the store keeps the label.
TEST_F(EndToEnd, HungShellLeavesTheTrayIconAndTheDialogWorking)
{
    Post(WM_COMMAND, ID_EXIT);
    ASSERT_EQ(program.Wait(15000), 0);
    FixtureShell shell(GridIcons(3, 3), false, L"hang");
    WriteOption(OPT_HIDE_ICON_TEXT_AT_STARTUP, 1);
    WriteNumber(HIDE_TEXT_ICONS_KEY, L"Icon 1", 1);
    ChildProcess hung(L"\"" + ProgramPath + L"\"");
    ASSERT_TRUE(WaitFor([] { return ProgramWindow() != nullptr; }, 15000)) << "no main window";
    for (UINT mouse : {WM_RBUTTONDOWN, WM_RBUTTONUP})
        Post(WM_TRAYNOTIFY, TRAY_ICON_ID, mouse);
    EXPECT_TRUE(MenuOpens(5000)) << "the menu waits for the shell";
    Post(WM_COMMAND, ID_EXTENDED_PROPERTIES);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (dialog = FindWindowA(nullptr, "Extended Display Properties")) != nullptr; }, 10000));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 10000));
    EXPECT_EQ(ReadNumber(HIDE_TEXT_ICONS_KEY, L"Icon 1"), 1);
    Post(WM_COMMAND, ID_EXIT);
    EXPECT_EQ(hung.Wait(15000), 0);
}

// The common controls serve only the dialog, COM only the desktop icon tools:
// loaded at start-up they would hold most of the program's memory while it
// waits in the tray.
TEST_F(EndToEnd, CommonControlsAndComWaitForTheDialog)
{
    auto loaded = [&](const char *name) {
        HMODULE modules[256];
        DWORD bytes = 0;
        EXPECT_TRUE(EnumProcessModules(program.info.hProcess, modules, sizeof(modules), &bytes));
        char base[MAX_PATH];
        for (DWORD k = 0; k < bytes / sizeof(HMODULE) && k < 256; k++)
            if (GetModuleBaseNameA(program.info.hProcess, modules[k], base, MAX_PATH) &&
                !lstrcmpiA(base, name))
                return true;
        return false;
    };
    ASSERT_EQ(WaitForInputIdle(program.info.hProcess, 10000), 0u);
    EXPECT_FALSE(loaded("comctl32.dll")) << "at rest";
    EXPECT_FALSE(loaded("ole32.dll")) << "at rest";
    Post(WM_COMMAND, ID_EXTENDED_PROPERTIES);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (dialog = FindWindowA(nullptr, "Extended Display Properties")) != nullptr; }, 10000));
    EXPECT_TRUE(loaded("comctl32.dll")) << "with the dialog";
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 10000));
}

// 1024x768 -> 640x480 -> Escape: with KeepIconLayout on (its default) every
// icon the shell pushed inside the smaller screen comes back; with it off
// they stay pushed.
TEST_F(EndToEnd, IconsPushedBySmallerModeReturnWithKeepIconLayout)
{
    FixtureShell shell(GridIcons(80, 3)); // up to x 820 and y 570
    const std::vector<FixtureIcon> start = shell.Report();
    int command = ModeCommand(640, 480);
    ASSERT_NE(command, 0) << "no 640x480 mode in the virtual desktop";
    for (bool keep : {true, false}) {
        WriteOption(OPT_KEEP_ICON_LAYOUT, keep);
        ASSERT_TRUE(ClickForTheMenu());
        Post(WM_COMMAND, command);
        ASSERT_TRUE(WaitFor([] { return GetSystemMetrics(SM_CYSCREEN) == 480; }, 10000));
        ASSERT_TRUE(WaitFor([&] { return !SamePlaces(shell.Report(), start); }, 5000)) << "the shell pushes";
        // Escape on the keep-or-revert question puts the mode back.
        HWND question = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (question = FindShown("#32770", "Tessivon")) != nullptr; }, 5000))
            << "no question after the switch";
        PostMessageA(GetDlgItem(question, IDC_KEEP_COUNTDOWN), WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(WaitFor([] { return GetSystemMetrics(SM_CYSCREEN) == 768; }, 10000));
        if (keep)
            EXPECT_TRUE(WaitFor([&] { return SamePlaces(shell.Report(), start); }, 10000))
                << "icons returned";
        else
            EXPECT_FALSE((Sleep(3000), SamePlaces(shell.Report(), start))) << "icons left pushed";
    }
}

// The real program started after the stand-in shell with the options stored
// beforehand, ended by "&Exit Tessivon".
struct Program : ChildProcess {
    Program() : ChildProcess(L"\"" + ProgramPath + L"\"")
    {
        WaitFor([] { return ProgramWindow(); }, 15000);
    }
    long Exit() { return Post(WM_COMMAND, ID_EXIT), Wait(15000); }
};

// Saved at "&Exit Tessivon" and at the session's end with
// AutomaticlySaveIconPos (each save shown by a restore here); restored at
// start-up with RestoreIconPosAtStartup, and by the tray's "&Restore Icons Position".
TEST(IconLayoutEndToEnd, SavedAtExitRestoredAtStartUpAndFromTheTray)
{
    RegistryGuard registry;
    FixtureShell shell(GridIcons(4, 4));
    const std::vector<FixtureIcon> start = shell.Report();
    EXPECT_EQ(Program().Exit(), 0);
    EXPECT_EQ(RestoreIconLayout(FindDesktopListView()), -1) << "option off: nothing saved";
    WriteOption(OPT_AUTOMATICLY_SAVE_ICON_POS, 1);
    EXPECT_EQ(Program().Exit(), 0);
    shell.Move(1, 500, 300);
    EXPECT_TRUE(RestoreIconLayout(FindDesktopListView()) == 4 && SamePlaces(shell.Report(), start))
        << "saved at exit";
    Program program;
    shell.Move(1, 500, 300);
    const std::vector<FixtureIcon> moved = shell.Report();
    SendMessageW(ProgramWindow(), WM_ENDSESSION, TRUE, 0);
    WriteOption(OPT_AUTOMATICLY_SAVE_ICON_POS, 0);
    EXPECT_EQ(program.Exit(), 0);

    shell.Move(2, 600, 400);
    Program restoring;
    Sleep(3000);
    EXPECT_EQ(shell.Report()[2].x, 600) << "RestoreIconPosAtStartup off: nothing restored";
    Post(WM_COMMAND, ID_RESTORE_ICON_POSITIONS);
    EXPECT_TRUE(WaitFor([&] { return SamePlaces(shell.Report(), moved); }, 5000))
        << "from the tray, as saved at the session's end";
    EXPECT_EQ(restoring.Exit(), 0);
    shell.Move(2, 600, 400);
    WriteOption(OPT_RESTORE_ICON_POS_AT_STARTUP, 1);
    Program atStartUp;
    EXPECT_TRUE(WaitFor([&] { return SamePlaces(shell.Report(), moved); }, 10000)) << "restored at start-up";
    EXPECT_EQ(atStartUp.Exit(), 0);
}

// What a user downloads: no symbol table, the version block, and a manifest
// asking for per-monitor DPI awareness and the version 6 common controls.
TEST(ShippedProgram, StrippedWithVersionAndManifest)
{
    std::ifstream in(ProgramPath.c_str(), std::ios::binary);
    std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(file.size(), sizeof(IMAGE_DOS_HEADER));
    const auto *nt =
        (const IMAGE_NT_HEADERS64 *)(file.data() + ((const IMAGE_DOS_HEADER *)file.data())->e_lfanew);
    ASSERT_EQ(nt->Signature, (DWORD)IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt->FileHeader.NumberOfSymbols + nt->FileHeader.PointerToSymbolTable, 0u);
    // The manifest resource is plain text in the file.
    for (const char *text : {"PerMonitorV2", "true/pm", "Microsoft.Windows.Common-Controls", "supportedOS"})
        EXPECT_NE(file.find(text), std::string::npos) << text;
    // The version block's texts are wide characters.
    for (std::wstring text : {L"ProductName", L"Tessivon", L"ProductVersion", L"2.7.0.0"})
        EXPECT_NE(file.find(std::string((const char *)text.data(), text.size() * 2)), std::string::npos)
            << text;
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2)
        return fprintf(stderr, "usage: e2e_tests PATH-OF-tessivon.exe\n"), 2;
    // Every test starts the program while another version runs: that is no running copy.
    WNDCLASSA other = {0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr), 0, 0, 0, 0, "Tessivon v2.6 alpha"};
    RegisterClassA(&other);
    CreateWindowExA(0, other.lpszClassName, other.lpszClassName, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                    nullptr);
    ProgramPath = WinePath(argv[1]);
    return RUN_ALL_TESTS();
}
