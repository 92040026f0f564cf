// The real tessivon.exe, started as its own process inside the test prefix's
// virtual desktop and driven the way the shell and a user drive it.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <span>
#include <tuple>

#include "base/messages.h"
#include "base/platform.h"
#include "command/profile_commands.h"
#include "desktop_icons/desktop_icons.h"
#include "desktop_icons/icon_layout.h"
#include "display/catalogue.h"
#include "display/mode_menus.h"
#include "resources/resource_ids.h"
#include "settings/icon_layouts.h"
#include "settings/profile_store.h"
#include "tests/fixture_shell.h"
#include "tests/program_driver.h"
#include "tests/registry_guard.h"

namespace {

std::wstring ProgramPath;
DEVMODEA StartMode; // the mode of the start, put back at the end when a failed test left another

// The height stored as the display's setting for the next logon.
DWORD StoredHeight()
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsW(nullptr, ENUM_REGISTRY_SETTINGS, &mode);
    return mode.dmPelsHeight;
}

bool Post(UINT message, WPARAM wParam, LPARAM lParam = 0)
{
    return PostMessageA(ProgramWindow(), message, wParam, lParam);
}

// Waits until the setup's stored layout holds every icon (the 80 of the
// end-to-end shell), one of them at `at`.
bool StoredBecomes(const std::wstring &setup, POINT at)
{
    std::vector<IconPlace> kept;
    auto there = [&](const IconPlace &p) { return p.x == at.x && p.y == at.y; };
    auto whole = [&] { return ReadIconLayout(setup.c_str(), &kept) && kept.size() == 80u; };
    return WaitFor([&] { return whole() && std::ranges::any_of(kept, there); }, 20000);
}

// Shows that a popup menu opens, and closes it by Escape.
bool MenuOpens(DWORD milliseconds)
{
    // A popup menu is the program's: this process shows none.
    return WaitFor([] { return FindShown("#32768") != nullptr; }, milliseconds) &&
           Post(WM_KEYDOWN, VK_ESCAPE) && WaitFor([] { return !FindShown("#32768"); }, 5000);
}

// A click on the icon opens a menu (a left one records the modes that Escape goes back to).
bool ClickOpensMenu(UINT down = WM_LBUTTONDOWN)
{
    return Post(WM_TRAYNOTIFY, TRAY_ICON_ID, down), Post(WM_TRAYNOTIFY, TRAY_ICON_ID, down + 1),
           MenuOpens(5000);
}

// The program's dialog or box of the caption once shown; null when none comes.
HWND WaitShown(const char *caption, DWORD milliseconds = 10000)
{
    HWND shown = nullptr;
    WaitFor([&] { return (shown = FindShown("#32770", caption)) != nullptr; }, milliseconds);
    return shown;
}

// Posts the message to the window or its part and waits until the window has gone.
bool Closes(HWND window, HWND part = nullptr, UINT message = WM_CLOSE, WPARAM wParam = 0)
{
    return window && PostMessageA(part ? part : window, message, wParam, 0) &&
           WaitFor([=] { return !IsWindow(window); }, 10000);
}

bool ScreenHeightBecomes(int height)
{
    return WaitFor([=] { return GetSystemMetrics(SM_CYSCREEN) == height; }, 10000);
}

bool Loaded(HANDLE process, const char *name)
{
    HMODULE modules[256];
    DWORD bytes = 0;
    EXPECT_TRUE(EnumProcessModules(process, modules, sizeof(modules), &bytes));
    char base[MAX_PATH];
    for (DWORD k = 0; k < bytes / sizeof(HMODULE) && k < 256; k++)
        if (GetModuleBaseNameA(process, modules[k], base, MAX_PATH) && !lstrcmpiA(base, name))
            return true;
    return false;
}

// The real program started with the options stored beforehand, ended by
// "&Exit Tessivon".
struct Program : ChildProcess {
    Program() : ChildProcess(Quoted(ProgramPath))
    {
        EXPECT_TRUE(WaitFor([] { return ProgramWindow() != nullptr; }, 15000)) << "no main window";
    }
    long Exit() { return Post(WM_COMMAND, ID_EXIT), Wait(15000); }
};

// The common controls serve only the dialog, COM only the desktop icon tools:
// loaded at start-up they would hold most of the program's memory while it
// waits in the tray. A real X pointer click with no hold, at the first icon of
// the notification area of the virtual desktop, opens the display menu.
// 1024x768 -> 640x480: the pick switches at once and asks, storing nothing
// yet; Enter keeps and stores the mode, which Escape on the program's window
// then takes back; Escape on the question puts it back unstored. For a user
// who never set KeepIconLayout (on by default) every icon the shell pushed
// inside the smaller screen comes back; with it off no layout is saved around
// the switch, so they stay pushed.
TEST(EndToEnd, ClicksOpenTheMenuModesSwitchAndPushedIconsReturnWithKeepIconLayout)
{
    RegistryGuard registry;
    Program program;
    ASSERT_EQ(WaitForInputIdle(program.info.hProcess, 10000), 0u);
    EXPECT_FALSE(Loaded(program.info.hProcess, "comctl32.dll") || Loaded(program.info.hProcess, "ole32.dll"));
    Post(WM_COMMAND, ID_EXTENDED_PROPERTIES);
    HWND dialog = WaitShown("Extended Display Properties");
    EXPECT_TRUE(dialog && Loaded(program.info.hProcess, "comctl32.dll")) << "with the dialog";
    // The icon does not answer while the dialog is open (a right click's menu
    // would open within the notification's handling), and answers again after it.
    for (UINT mouse : {WM_RBUTTONDOWN, WM_RBUTTONUP})
        EXPECT_TRUE(ProgramHandles(WM_TRAYNOTIFY, TRAY_ICON_ID, mouse) && !FindShown("#32768"))
            << "the icon answers while the dialog is open";
    EXPECT_TRUE(Closes(dialog));
    EXPECT_TRUE(ClickOpensMenu(WM_RBUTTONDOWN)) << "the icon does not answer after the dialog";
    Sleep(1000); // the taskbar places the icon
    ChildProcess click(L"/usr/bin/xdotool mousemove 1013 758 click 1");
    EXPECT_TRUE(MenuOpens(8000)) << "no menu after a real click";

    FixtureShell shell(GridIcons(80, 3)); // up to x 820 and y 570
    // Another program's change (a dock, a game), 1024x768 -> 320x240 ->
    // 1024x768, with no save by hand: the layout saved once the icons settled
    // at start-up, after a move the shell tells, as the session locks and as
    // the machine sleeps; the smaller setup's saved once pushed; every icon back.
    LoadPlatformTable();
    const std::wstring desk = PresentDisplaySetup();
    ASSERT_TRUE(StoredBecomes(desk, {10, 10})) << "saved once the icons settled";
    shell.Move(7, 900, 600, true);
    EXPECT_TRUE(StoredBecomes(desk, {900, 600})) << "the user's move";
    shell.Move(8, 910, 500);
    EXPECT_TRUE(ProgramHandles(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK) && StoredBecomes(desk, {910, 500}));
    shell.Move(9, 920, 400);
    EXPECT_TRUE(ProgramHandles(WM_POWERBROADCAST, PBT_APMSUSPEND) && StoredBecomes(desk, {920, 400}));
    const std::vector<FixtureIcon> start = shell.Report();
    DEVMODEA other = StartMode;
    other.dmPelsWidth = 320, other.dmPelsHeight = 240;
    ASSERT_EQ(ChangeDisplaySettingsExA(nullptr, &other, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
    // Icons pushed inside, 64 pixels off the edges.
    ASSERT_TRUE(StoredBecomes(L"320x240@0,0", {256, 176})) << "saved once pushed";
    ASSERT_EQ(ChangeDisplaySettingsExA(nullptr, &StartMode, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(WaitFor([&] { return SamePlaces(shell.Report(), start); }, 10000)) << "every icon back";
    // /restore-icons, carried out by this copy, keeps what it put back: an icon
    // no longer there leaves the stored layout. The settling wait is over first
    // (every tick handled), so that no save of its own comes after.
    for (int tick = 0; tick < ICON_SETTLE_TICK_LIMIT; tick++)
        ASSERT_TRUE(ProgramHandles(WM_TIMER, ICON_SETTLE_TIMER_ID, 0, 20000));
    std::vector<IconPlace> kept;
    ASSERT_TRUE(ReadIconLayout(desk.c_str(), &kept));
    kept.push_back({L"Z:\\gone.txt", 1, 1});
    ASSERT_TRUE(WriteIconLayout(desk.c_str(), kept));
    EXPECT_EQ(ChildProcess(Quoted(ProgramPath) + L" /restore-icons").Wait(30000), 0);
    EXPECT_TRUE(StoredBecomes(desk, {920, 400})) << "kept after the restore";
    // The command of 640x480 in the start's depth, found the way the program builds its menu.
    DisplayCatalogue catalogue = {};
    BuildDisplayCatalogue(&catalogue, {false, true});
    std::span<const ModeEntry> modes(catalogue.tables[0], catalogue.counts[0]);
    auto shape = [](const ModeEntry &m) { return std::tuple(m.width, m.height, m.bitsPerPixel); };
    const auto vga = std::ranges::find(modes, std::tuple(640L, 480L, (LONG)StartMode.dmBitsPerPel), shape);
    ASSERT_NE(vga, modes.end()) << "no 640x480 mode in the virtual desktop";
    const int command = ID_MODE_BASE + int(vga - modes.begin());
    FreeDisplayCatalogue(&catalogue);
    for (bool keep : {true, false}) {
        if (!keep) {
            WriteOption(OPT_KEEP_ICON_LAYOUT, 0);
            SHDeleteKeyW(HKEY_CURRENT_USER, ICON_LAYOUTS_KEY L"\\640x480@0,0");
        }
        ASSERT_TRUE(ClickOpensMenu());
        Post(WM_COMMAND, command);
        HWND question = nullptr;
        ASSERT_TRUE(ScreenHeightBecomes(480) && (question = WaitShown("Tessivon")));
        ASSERT_TRUE(WaitFor([&] { return !SamePlaces(shell.Report(), start); }, 5000)) << "the shell pushes";
        // Answered by a key on its countdown.
        EXPECT_TRUE(Closes(question, GetDlgItem(question, IDC_KEEP_COUNTDOWN), WM_KEYDOWN,
                           keep ? VK_RETURN : VK_ESCAPE));
        EXPECT_EQ(StoredHeight(), keep ? 480u : 768u);
        if (keep)
            Post(WM_KEYDOWN, VK_ESCAPE);
        ASSERT_TRUE(ScreenHeightBecomes(768));
        EXPECT_EQ(StoredHeight(), 768u);
        if (keep)
            EXPECT_TRUE(WaitFor([&] { return SamePlaces(shell.Report(), start); }, 10000))
                << "icons returned";
        else // the switch and its answer are done: any save would have come before them
            EXPECT_NE(SHDeleteKeyW(HKEY_CURRENT_USER, ICON_LAYOUTS_KEY L"\\640x480@0,0"), ERROR_SUCCESS)
                << "a layout was saved";
    }
    EXPECT_EQ(program.Exit(), 0);
}

// The present arrangement saved as "Small" with the hotkey, its first display
// at 800x600. While another program holds the combination the program tells
// so at start-up; once it is free, another copy's command that changes the
// profiles has the running copy take it up: a real Ctrl+Alt+7 from the X
// server applies the profile to the real screen, and Escape puts 1024x768 back.
TEST(ProfileEndToEnd, HotkeyTakenIsToldAtStartUpAndTheRealHotkeyAppliesTheProfile)
{
    RegistryGuard registry;
    LoadPlatformTable();
    WriteOption(OPT_CONFIRM_MODE_CHANGE, 0); // the question is the other tests'
    ASSERT_TRUE(SaveCurrentArrangement(L"Small", MAKEWORD('7', HOTKEYF_CONTROL | HOTKEYF_ALT)));
    Profile small;
    ASSERT_TRUE(LoadProfile(L"Small", &small));
    small.displays[0].width = 800, small.displays[0].height = 600;
    ASSERT_TRUE(SaveProfile(small));
    HWND other =
        CreateWindowA("STATIC", "another program", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, '7'));
    Program program;
    HWND box = WaitShown("Warning", 15000);
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)),
              "The hotkey Ctrl+Alt+7 of profile \"Small\" is taken by another program.\n");
    EXPECT_TRUE(Closes(box));
    DestroyWindow(other);
    EXPECT_EQ(ChildProcess(Quoted(ProgramPath) + L" /save-profile Other").Wait(30000), 0);
    ChildProcess key(L"/usr/bin/xdotool key ctrl+alt+7");
    EXPECT_TRUE(ScreenHeightBecomes(600)) << "no real hotkey";
    EXPECT_TRUE(Post(WM_KEYDOWN, VK_ESCAPE) && ScreenHeightBecomes(768));
    EXPECT_EQ(program.Exit(), 0);
}

// Over either path to the shell's icons:
// A shell that stops answering once its icons exist, with a stored label for
// the start-up pass to blank, or whose folder view alone stops answering, with
// a layout to restore at start-up: the program comes up all the same, its menu
// opens, the dialog opens and closes, and the saves at the session's end and
// at exit keep the stored layout whole (that the label pass keeps the label
// store is the desktop icon tests' case).
// Layouts saved at "&Exit Tessivon" and at the session's end with
// AutomaticlySaveIconPos; restored by the tray's "&Restore Icons Position",
// and at start-up with RestoreIconPosAtStartup only.
TEST(IconLayoutEndToEnd, HungShellLeavesTheTrayAndDialogWorkingSavedAtExitRestoredAtStartUpAndFromTheTray)
{
    LoadPlatformTable();
    for (const wchar_t *path : IconPaths) {
        const bool folderView = *path;
        {
            RegistryGuard registry;
            FixtureShell shell(GridIcons(3, 3), false, folderView ? path : L"hang");
            ScopedHandle held(CreateEventW(nullptr, TRUE, FALSE, FOLDER_VIEW_HELD));
            WriteOption(OPT_HIDE_ICON_TEXT_AT_STARTUP, 1);
            WriteNumber(HIDE_TEXT_ICONS_KEY, L"Icon 1", 1);
            WriteOption(OPT_AUTOMATICLY_SAVE_ICON_POS, 1);
            WriteOption(OPT_RESTORE_ICON_POS_AT_STARTUP, 1);
            std::vector<IconPlace> kept = {{ShellFolder() + L"picture 0.txt", 10, 20},
                                           {L"Z:\\b.txt", 30, 40}};
            ASSERT_TRUE(WriteIconLayout(PresentDisplaySetup().c_str(), kept));
            Program hung;
            EXPECT_TRUE(ClickOpensMenu(WM_RBUTTONDOWN)) << "the menu waits for the shell";
            Post(WM_COMMAND, ID_EXTENDED_PROPERTIES);
            EXPECT_TRUE(Closes(WaitShown("Extended Display Properties"))) << "the dialog opens and closes";
            EXPECT_TRUE(ProgramHandles(WM_ENDSESSION, TRUE, 0, 20000));
            if (!folderView) {
                // A switch of its own and another program's back: each settling wait
                // ends (every tick handled) having stored nothing.
                EXPECT_EQ(ChildProcess(Quoted(ProgramPath) + L" /mode 800x600").Wait(30000), 0);
                EXPECT_EQ(ChangeDisplaySettingsA(&StartMode, CDS_UPDATEREGISTRY), DISP_CHANGE_SUCCESSFUL);
                for (int tick = 0; tick < ICON_SETTLE_TICK_LIMIT; tick++)
                    EXPECT_TRUE(ProgramHandles(WM_TIMER, ICON_SETTLE_TIMER_ID, 0, 20000));
                EXPECT_NE(SHDeleteKeyW(HKEY_CURRENT_USER, ICON_LAYOUTS_KEY L"\\800x600@0,0"), ERROR_SUCCESS);
            }
            EXPECT_EQ(hung.Exit(), 0);
            for (const wchar_t *command : {L" /save-icons", L" /restore-icons"})
                EXPECT_EQ(ChildProcess(Quoted(ProgramPath) + command).Wait(30000), 7)
                    << "a read not answered is told";
            EXPECT_TRUE(ReadIconLayout(PresentDisplaySetup().c_str(), &kept) && kept.size() == 2u &&
                        kept[0].x == 10)
                << "the stored layout lost";
            SetEvent(held.handle);
        }
        RegistryGuard registry;
        WriteOption(OPT_KEEP_ICON_LAYOUT, 0); // its saves are the other tests'
        FixtureShell shell(GridIcons(4, 4), false, path);
        const std::vector<FixtureIcon> start = shell.Report();
        ASSERT_EQ(SaveIconLayout(FindDesktopListView()), 4);
        shell.Move(1, 500, 300);
        const std::vector<FixtureIcon> moved = shell.Report();
        // The start-up pass over hidden labels needs their names only: no call into the shell's objects.
        WriteOption(OPT_HIDE_ICON_TEXT_AT_STARTUP, 1);
        WriteNumber(HIDE_TEXT_ICONS_KEY, L"Icon 3", 0);
        Program labels;
        EXPECT_TRUE(WaitFor([&] { return shell.Report()[3].text.empty(); }, 10000)) << "label hidden";
        EXPECT_FALSE(Loaded(labels.info.hProcess, "shell_windows_fixture.dll"));
        // Two ticks of the start-up wait find the icon list settled: the wait is over.
        for (int tick = 0; tick < 2; tick++)
            ASSERT_TRUE(ProgramHandles(WM_TIMER, ICON_STARTUP_TIMER_ID));
        EXPECT_TRUE(SamePlaces(shell.Report(), moved)) << "RestoreIconPosAtStartup off: nothing restored";
        EXPECT_EQ(labels.Exit(), 0);
        EXPECT_TRUE(RestoreIconLayout(FindDesktopListView()) == 4 && SamePlaces(shell.Report(), start))
            << "AutomaticlySaveIconPos off: nothing saved at exit";
        shell.Move(1, 500, 300);
        WriteOption(OPT_HIDE_ICON_TEXT_AT_STARTUP, 0);
        WriteOption(OPT_AUTOMATICLY_SAVE_ICON_POS, 1);
        WriteOption(OPT_RESTORE_ICON_POS_AT_STARTUP, 1);
        Program program;
        EXPECT_TRUE(WaitFor([&] { return SamePlaces(shell.Report(), start); }, 10000))
            << "restored at start-up";
        shell.Move(1, 500, 300);
        SendMessageW(ProgramWindow(), WM_ENDSESSION, TRUE, 0);
        shell.Move(2, 600, 400);
        Post(WM_COMMAND, ID_RESTORE_ICON_POSITIONS);
        EXPECT_TRUE(WaitFor([&] { return SamePlaces(shell.Report(), moved); }, 5000))
            << "from the tray, as saved at the session's end";
        shell.Move(2, 600, 400);
        EXPECT_EQ(program.Exit(), 0);
        shell.Move(2, 700, 100);
        EXPECT_TRUE(RestoreIconLayout(FindDesktopListView()) == 4 && shell.Report()[2].x == 600)
            << "saved at exit";
    }
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
    StartMode.dmSize = sizeof(StartMode);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &StartMode);
    int failed = RUN_ALL_TESTS();
    if (GetSystemMetrics(SM_CXSCREEN) != (int)StartMode.dmPelsWidth)
        ChangeDisplaySettingsA(&StartMode, 0);
    return failed;
}
