// The real tessivon.exe, started as its own process inside the test prefix's
// virtual desktop: run with arguments, alone and with a running copy, its
// output read from pipes (the command line's parsing and mode matching are
// tested directly first); then driven the way the shell and a user drive it.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <memory>
#include <set>
#include <span>
#include <tuple>

#include "base/messages.h"
#include "base/platform.h"
#include "command/command_line.h"
#include "command/profile_commands.h"
#include "desktop_icons/desktop_icons.h"
#include "desktop_icons/icon_layout.h"
#include "display/catalogue.h"
#include "display/mode_menus.h"
#include "resources/resource_ids.h"
#include "session/display_session.h"
#include "settings/icon_layouts.h"
#include "settings/profile_store.h"
#include "tests/fixture_shell.h"
#include "tests/program_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"
#include "version.h"

namespace {

std::wstring ProgramPath;
DEVMODEA StartMode; // the mode of the start, put back at the end when a failed test left another

bool Post(UINT message, WPARAM wParam, LPARAM lParam = 0)
{
    return PostMessageA(ProgramWindow(), message, wParam, lParam);
}

int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

bool ScreenHeightBecomes(int height)
{
    return WaitFor([=] { return ScreenHeight() == height; }, 10000);
}

// The program's dialog or box of the caption once shown; null when none comes.
HWND WaitShown(const char *caption, DWORD milliseconds = 10000)
{
    HWND shown = nullptr;
    WaitFor([&] { return (shown = FindShown("#32770", caption)) != nullptr; }, milliseconds);
    return shown;
}

std::vector<std::wstring> Split(const std::wstring &text, wchar_t separator)
{
    std::vector<std::wstring> parts(1);
    for (wchar_t c : text)
        c == separator ? (void)parts.emplace_back() : parts.back().push_back(c);
    return parts;
}

int Parse(const std::vector<std::wstring> &arguments, CommandRequest *request)
{
    std::wstring reason;
    int code = ParseCommandLine(arguments, request, &reason);
    EXPECT_TRUE((code == EXIT_DONE) == reason.empty() &&
                reason.find_first_of(L"\r\n") == std::wstring::npos && reason.size() < 400)
        << "one short line of reason for every refusal, none else";
    return code;
}

TEST(CommandLine, BadInputRefusedModesMatchedDisplaysNamedPrimaryMovesAllRefusalsTold)
{
    // Cases apart at ";", arguments apart at "|".
    std::wstring bad = L"/frobnicate;list;/;--;/mode;/mode|/display|1;/mode|1024x;/mode|x768;/mode|0x0;"
                       L"/mode|99999x99999;/mode|-1024x768;/mode|1024x-768;/mode|800x600x;/mode|800x600@;"
                       L"/mode|800x600x0;/mode|800x600@5000;/mode|4294967297x768;/mode|800 x600;"
                       L"/mode|800x600|/display;/mode|800x600|/display|-2;/primary|-1;"
                       L"/mode|800x600|/confirm|/confirm;/list|/display|1;/help|now;;/list|;/mode\nlist;"
                       L"/\u0441\u043f\u0438\u0441\u043e\u043a;/mode|\uff11\uff10\uff12\uff14x768";
    CommandRequest request;
    std::wstring huge(32000, L'7');
    for (const std::wstring &arguments : Split(bad + L";" + huge + L";/mode|" + huge, L';'))
        EXPECT_EQ(Parse(Split(arguments, L'|'), &request), EXIT_BAD_ARGUMENTS) << arguments.size();
    // Sixteen arguments are read (and refused for what they say), a seventeenth is one too many.
    for (size_t count : {16u, 17u}) {
        std::wstring reason;
        EXPECT_EQ(ParseCommandLine(std::vector<std::wstring>(count, L"/list"), &request, &reason),
                  EXIT_BAD_ARGUMENTS);
        EXPECT_EQ(reason == L"too many arguments (at most 16)", count == 17) << count << ": " << reason;
    }

    // Either spelling in any case is the process test's ("--HELP", "/MODE").
    ASSERT_EQ(Parse(Split(L"--Mode|1280X1024x16@75|/DISPLAY|\\\\.\\DISPLAY2|--confirm", L'|'), &request),
              EXIT_DONE);
    ModeRequest mode = {1280, 1024, 16, 75};
    EXPECT_TRUE(!memcmp(&request.mode, &mode, sizeof(mode)) && request.display == L"\\\\.\\DISPLAY2" &&
                request.confirm);
    ASSERT_EQ(Parse(Split(L"/mode|640x480@72", L'|'), &request), EXIT_DONE);
    mode = {640, 480, 0, 72};
    EXPECT_TRUE(!memcmp(&request.mode, &mode, sizeof(mode)) && !request.confirm);

    // Depth and rate left open are kept from the current mode when offered with
    // the size, else the highest offered is taken (a rate not offered is the
    // process test's "/mode 800x600x32@85").
    ModeEntry offered[4]; // 800x600 at 16 and 32 bits, each at 60 and 75 Hz
    for (int k = 0; k < 4; k++)
        offered[k] = {800, 600, k < 2 ? 16 : 32, k % 2 ? 75 : 60, 0, -1, 1};
    // Request, current mode, chosen mode (width 0: none).
    const LONG cases[][12] = {{800, 600, 0, 0, 1024, 768, 16, 60, 800, 600, 16, 60},
                              {800, 600, 0, 0, 1024, 768, 24, 85, 800, 600, 32, 75},
                              {800, 600, 16, 60, 1024, 768, 32, 75, 800, 600, 16, 60},
                              {800, 600, 24, 0, 1024, 768, 32, 75, 0, 0, 0, 0}};
    for (const LONG *c : cases) {
        ModeSnapshot chosen = {};
        bool found = BestOfferedMode(offered, 4, {c[0], c[1], c[2], c[3]}, {c[4], c[5], c[6], c[7]}, &chosen);
        EXPECT_TRUE(found == (c[8] != 0) && !memcmp(&chosen, c + 8, sizeof(chosen)))
            << c[0] << "x" << c[2] << "@" << c[3];
    }

    // A display is named by its place in the list (not its device's number), its
    // device, path or monitor name in any case. Every display moves by the new
    // primary display's offset, the primary one to the origin; nothing is applied
    // after a refusal.
    ScopedSimAdapter adapter;
    SimSetMonitors(3);
    Sim.monitors[2].bitsPerPixel = 16;
    Sim.monitors[2].device = L"\\\\.\\Display5";
    adapter.Install();
    Sim.devicePaths = {L"\\\\?\\DISPLAY#SIM0001#1", L"", L"\\\\?\\DISPLAY#SIM0005#3"};
    std::vector<DisplayRecord> displays = ReadDisplays();
    ASSERT_EQ(displays.size(), 3u);
    EXPECT_TRUE(displays[2].mode.bitsPerPixel == 16 && displays[2].mode.width == 1024);
    lstrcpyW(displays[2].friendlyName, L"Laptop panel");
    std::vector<std::wstring> names =
        Split(L"1;03;5;0;4294967297;\\\\.\\display5;laptop PANEL;\\\\?\\display#sim0005#3;", L';');
    const int found[] = {0, 2, -1, -1, -1, 2, 2, 2, -1}; // the last name empty
    for (int k = 0; k < 9; k++)
        EXPECT_EQ(FindDisplay(displays, names.at(k).c_str()), found[k]) << k;
    ASSERT_EQ(MakePrimaryDisplay(displays, 1), DISP_CHANGE_SUCCESSFUL);
    // Device, x, flags beyond "store, apply later" (or the final apply) of every call.
    std::wstring log;
    for (const SimCall &call : Sim.calls)
        log += call.device + L" " + std::to_wstring(call.mode.dmPosition.x) + L" " +
               std::to_wstring(call.flags ^ (call.device.empty() ? 0 : CDS_UPDATEREGISTRY | CDS_NORESET)) +
               L";";
    EXPECT_EQ(log, L"\\\\.\\Display2 0 16;\\\\.\\Display1 -1024 0;\\\\.\\Display5 1024 0; 0 0;");
    Sim.calls.clear();
    Sim.changeResult = DISP_CHANGE_BADMODE;
    EXPECT_TRUE(MakePrimaryDisplay(displays, 2) == DISP_CHANGE_BADMODE && Sim.calls.size() == 1u)
        << "applied after a refusal";

    // A refusal and a restart as the commands tell them, on the display named.
    Sim.candidates = {SimMode(800, 600, 32, 60), SimMode(1024, 768, 32, 60)};
    CommandOutput output = {};
    DisplaySession alone = {};
    EXPECT_EQ(CarryOutCommand(Split(L"/mode|800x600|/display|3", L'|'), &alone, &output), EXIT_REFUSED);
    EXPECT_EQ(output.err, L"refused by the driver: DISP_CHANGE_BADMODE: The graphics adapter doesn't support "
                          L"this video mode.\r\n");
    EXPECT_EQ(Sim.calls.back().device, L"\\\\.\\Display5");
    Sim.changeResult = DISP_CHANGE_RESTART;
    EXPECT_EQ(CarryOutCommand(Split(L"/primary|\\\\.\\DISPLAY2", L'|'), &alone, &output),
              EXIT_RESTART_NEEDED);
}

// The real program with arguments: its exit code and what it wrote to the
// pipes of its standard output and standard error.
struct ProgramRun {
    long code = -1;
    std::string out, err;
};

ProgramRun RunProgram(const std::wstring &arguments)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE reads[2], writes[2];
    // Pipes that hold all it writes, read once it has ended.
    for (int k = 0; k < 2; k++)
        CreatePipe(&reads[k], &writes[k], &inherit, 1 << 16),
            SetHandleInformation(reads[k], HANDLE_FLAG_INHERIT, 0);
    ProgramRun run;
    run.code = ChildProcess(Quoted(ProgramPath) + L" " + arguments, writes[0], writes[1]).Wait(60000);
    char buffer[4096];
    DWORD got = 0;
    for (int k = 0; k < 2; k++) {
        CloseHandle(writes[k]);
        while (ReadFile(reads[k], buffer, sizeof(buffer), &got, nullptr) && got)
            (k ? run.err : run.out).append(buffer, got);
        CloseHandle(reads[k]);
    }
    return run;
}

// The program has one main window, no second.
bool OneMainWindow()
{
    HWND first = ProgramWindow();
    return first && !FindWindowExW(nullptr, first, MAIN_WINDOW_CLASS, PROGRAM_TITLE);
}

// Wine's taskbar makes a tooltip window for every icon added, and keeps it
// after the icon is gone: icons added are the tools of tooltips new since a
// moment. All the shell's tooltips are noted in *all.
int TrayIconsAddedSince(const std::set<HWND> &before, std::set<HWND> *all = nullptr)
{
    DWORD shell = 0, owner = 0;
    GetWindowThreadProcessId(FindWindowA("Shell_TrayWnd", nullptr), &shell);
    int count = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr));)
        if (GetWindowThreadProcessId(w, &owner) && owner == shell && (!all || all->insert(w).second))
            count += before.count(w) ? 0 : (int)SendMessageA(w, TTM_GETTOOLCOUNT, 0, 0);
    return count;
}

struct CommandLineProcess : ::testing::Test {
    RegistryGuard registry;
    void TearDown() override
    {
        if (ScreenHeight() != 768) // left by a failed test
            RunProgram(L"/mode 1024x768");
    }
    // /list, then a switch there and back, then bad input of each kind and a
    // display, mode or profile that does not exist; gives the list.
    std::string ListSwitchAndRefuse()
    {
        // The exit code, then the arguments.
        std::wstring refusals = L"1/frobnicate;1\"\";7/save-icons;"
                                L"2/mode 800x600 /display 2;2/primary \\\\.\\DISPLAY9;3/mode 1234x567;"
                                L"3/mode 800x600x32@85;1/profile Missing;1/delete-profile Missing";
        for (const std::wstring &refusal : Split(refusals + L";1/mode " + std::wstring(32000, L'8'), L';')) {
            ProgramRun run = RunProgram(refusal.substr(1));
            EXPECT_EQ(run.code, refusal[0] - L'0') << run.err;
            EXPECT_TRUE(run.out.empty() && std::count(run.err.begin(), run.err.end(), '\n') == 1) << run.err;
        }
        ProgramRun list = RunProgram(L"/list");
        EXPECT_TRUE(list.code == 0 && list.err.empty() &&
                    list.out.rfind("Display 1: \\\\.\\DISPLAY1, primary, at 0,0, 1024x768x", 0) == 0)
            << list.err << list.out;
        for (const char *line : {"  Monitor: Display1\r\n", "  Path: \\\\?\\DISPLAY#", "    800x600x32@"})
            EXPECT_NE(list.out.find(line), std::string::npos) << line;
        EXPECT_EQ(list.out.find("Display 2"), std::string::npos);
        ProgramRun help = RunProgram(L"--HELP");
        EXPECT_TRUE(help.code == 0 && help.out.find("5 a restart is needed") != std::string::npos);
        // Windows' own question for help, and the version of the build (the
        // version block's is the check of the shipped file's).
        for (const wchar_t *question : {L"/?", L"-?", L"/version"}) {
            ProgramRun asked = RunProgram(question);
            std::string told = question[1] == L'?' ? help.out : "Tessivon " TESSIVON_VERSION_TEXT "\r\n";
            EXPECT_TRUE(asked.code == 0 && asked.out == told) << asked.out;
        }

        ProgramRun mode = RunProgram(L"/MODE 800x600 --display \\\\.\\display1");
        EXPECT_TRUE(mode.code == 0 && mode.out.rfind("Display 1 now runs 800x600x32", 0) == 0 &&
                    ScreenHeight() == 600)
            << mode.err << mode.out;
        EXPECT_TRUE(RunProgram(L"/mode 1024x768 /display Display1").code == 0 && ScreenHeight() == 768);
        EXPECT_EQ(RunProgram(L"/primary 1").code, 0);
        return list.out;
    }
};

// Alone the command process does the work and leaves no window or icon; with
// a running copy that copy does it, so that its Escape takes a switch back.
// Copies of the program started at the same moment leave one main window and
// one icon. Profiles are saved, applied and deleted from the command line.
TEST_F(CommandLineProcess, AloneAndThroughTheRunningCopyOfCopiesStartedTogetherAndProfiles)
{
    std::set<HWND> tooltips;
    TrayIconsAddedSince({}, &tooltips);
    std::string alone = ListSwitchAndRefuse();
    EXPECT_FALSE(ProgramWindow());
    EXPECT_EQ(TrayIconsAddedSince(tooltips), 0);

    std::vector<std::unique_ptr<ChildProcess>> programs(5), copies(4);
    std::ranges::generate(programs, [] { return std::make_unique<ChildProcess>(Quoted(ProgramPath)); });
    // How many of the group have ended with the code within the wait.
    auto ended = [](auto &group, long code, DWORD wait) {
        return std::ranges::count_if(group, [&](auto &copy) { return copy->Wait(wait) == code; });
    };
    ASSERT_TRUE(WaitFor([&] { return ended(programs, 1, 0) == 4 && OneMainWindow(); }, 30000));
    // The others have ended; the one left has added its icon once it answers.
    EXPECT_TRUE(ProgramHandles(WM_NULL) && TrayIconsAddedSince(tooltips) == 1);
    EXPECT_EQ(ListSwitchAndRefuse(), alone);
    // Copies started together: one switches, the others find it done.
    std::ranges::generate(
        copies, [] { return std::make_unique<ChildProcess>(Quoted(ProgramPath) + L" /mode 800x600"); });
    EXPECT_EQ(ended(copies, 0, 30000), 4);
    EXPECT_EQ(ScreenHeight(), 600);
    EXPECT_TRUE(Post(WM_KEYDOWN, VK_ESCAPE) && ScreenHeightBecomes(768)) << "the running copy's Escape";
    // /confirm asks through the running copy's question: Escape there puts the
    // mode back and the command says it was not kept; Enter keeps it.
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        ChildProcess confirm(Quoted(ProgramPath) + L" /mode 640x480 /confirm");
        HWND question = nullptr;
        ASSERT_TRUE(ScreenHeightBecomes(480) && (question = WaitShown("Tessivon")));
        PostMessageA(GetDlgItem(question, IDC_KEEP_COUNTDOWN), WM_KEYDOWN, key, 0);
        EXPECT_EQ(confirm.Wait(15000), key == VK_RETURN ? EXIT_DONE : EXIT_REFUSED);
        EXPECT_EQ(ScreenHeight(), key == VK_RETURN ? 480 : 768);
    }
    EXPECT_EQ(RunProgram(L"/mode 1024x768").code, 0);
    EXPECT_TRUE(OneMainWindow() && Post(WM_COMMAND, ID_EXIT));
    EXPECT_EQ(ended(programs, 0, 15000), 1);

    // Profiles, alone again: saved with a hotkey and the Auto mark, listed,
    // applied to the real screen in one step, deleted (a missing name is
    // refused with the bad input).
    EXPECT_EQ(RunProgram(L"--SAVE-PROFILE Wide /hotkey Ctrl+Alt+5 /auto").code, 0);
    Profile wide;
    EXPECT_TRUE(LoadProfile(L"Wide", &wide) && wide.autoApply &&
                wide.hotkey == MAKEWORD('5', HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_EQ(RunProgram(L"/profiles").out, "Wide\r\n");
    ASSERT_EQ(RunProgram(L"/mode 800x600").code, 0);
    EXPECT_TRUE(RunProgram(L"/profile Wide").code == 0 && ScreenHeight() == 768) << "applied";
    EXPECT_TRUE(RunProgram(L"/delete-profile Wide").code == 0 && RunProgram(L"/profiles").out.empty());
}

// The height stored as the display's setting for the next logon.
DWORD StoredHeight()
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsW(nullptr, ENUM_REGISTRY_SETTINGS, &mode);
    return mode.dmPelsHeight;
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

// Posts the message to the window or its part and waits until the window has gone.
bool Closes(HWND window, HWND part = nullptr, UINT message = WM_CLOSE, WPARAM wParam = 0)
{
    return window && PostMessageA(part ? part : window, message, wParam, 0) &&
           WaitFor([=] { return !IsWindow(window); }, 10000);
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
    EXPECT_EQ(RunProgram(L"/restore-icons").code, 0);
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
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, '7')) << "held by this thread";
    Program program;
    HWND box = WaitShown("Warning", 15000);
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)),
              "The hotkey Ctrl+Alt+7 of profile \"Small\" is taken by another program.\n");
    EXPECT_TRUE(Closes(box));
    UnregisterHotKey(nullptr, 1);
    EXPECT_EQ(RunProgram(L"/save-profile Other").code, 0);
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
                EXPECT_EQ(RunProgram(L"/mode 800x600").code, 0);
                EXPECT_EQ(ChangeDisplaySettingsA(&StartMode, CDS_UPDATEREGISTRY), DISP_CHANGE_SUCCESSFUL);
                for (int tick = 0; tick < ICON_SETTLE_TICK_LIMIT; tick++)
                    EXPECT_TRUE(ProgramHandles(WM_TIMER, ICON_SETTLE_TIMER_ID, 0, 20000));
                EXPECT_NE(SHDeleteKeyW(HKEY_CURRENT_USER, ICON_LAYOUTS_KEY L"\\800x600@0,0"), ERROR_SUCCESS);
            }
            EXPECT_EQ(hung.Exit(), 0);
            for (const wchar_t *command : {L"/save-icons", L"/restore-icons"})
                EXPECT_EQ(RunProgram(command).code, 7) << "a read not answered is told";
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
        return fprintf(stderr, "usage: process_tests PATH-OF-tessivon.exe\n"), 2;
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
