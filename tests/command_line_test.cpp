// The command line: its parsing and mode matching tested directly, then the
// real tessivon.exe run as a process of its own with pipes for its output,
// alone and with a running copy, in the test prefix's virtual desktop.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <set>

#include "command/command_line.h"
#include "display/profiles.h"
#include "resources/resource_ids.h"
#include "session/display_session.h"
#include "tests/program_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"
#include "version.h"

namespace {

std::wstring ProgramPath;

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

int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

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
        // Windows' own question for help, and the version of the build (the version
        // block's is the shipped-program case's).
        for (const wchar_t *question : {L"/?", L"-?", L"/version"}) {
            ProgramRun asked = RunProgram(question);
            EXPECT_TRUE(asked.code == 0 &&
                        asked.out ==
                            (question[1] == L'?' ? help.out : "Tessivon " TESSIVON_VERSION_TEXT "\r\n"))
                << asked.out;
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

    std::vector<std::unique_ptr<ChildProcess>> programs;
    for (int k = 0; k < 5; k++)
        programs.push_back(std::make_unique<ChildProcess>(Quoted(ProgramPath)));
    auto ended = [&](long code, DWORD wait) {
        return std::count_if(programs.begin(), programs.end(),
                             [&](auto &copy) { return copy->Wait(wait) == code; });
    };
    ASSERT_TRUE(WaitFor([&] { return ended(1, 0) == 4 && OneMainWindow(); }, 30000));
    // The others have ended; the one left has added its icon once it answers.
    EXPECT_TRUE(ProgramHandles(WM_NULL) && TrayIconsAddedSince(tooltips) == 1);
    EXPECT_EQ(ListSwitchAndRefuse(), alone);
    // Copies started together: one switches, the others find it done.
    std::vector<std::unique_ptr<ChildProcess>> copies;
    for (int k = 0; k < 4; k++)
        copies.push_back(std::make_unique<ChildProcess>(Quoted(ProgramPath) + L" /mode 800x600"));
    for (auto &copy : copies)
        EXPECT_EQ(copy->Wait(30000), 0);
    EXPECT_EQ(ScreenHeight(), 600);
    PostMessageW(ProgramWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([] { return ScreenHeight() == 768; }, 10000)) << "the running copy's Escape";
    // /confirm asks through the running copy's question: Escape there puts the
    // mode back and the command says it was not kept; Enter keeps it.
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        ChildProcess confirm(Quoted(ProgramPath) + L" /mode 640x480 /confirm");
        HWND question = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] { return ScreenHeight() == 480 && (question = FindShown("#32770", "Tessivon")); }, 15000));
        PostMessageA(GetDlgItem(question, IDC_KEEP_COUNTDOWN), WM_KEYDOWN, key, 0);
        EXPECT_EQ(confirm.Wait(15000), key == VK_RETURN ? EXIT_DONE : EXIT_REFUSED);
        EXPECT_EQ(ScreenHeight(), key == VK_RETURN ? 480 : 768);
    }
    EXPECT_EQ(RunProgram(L"/mode 1024x768").code, 0);
    EXPECT_TRUE(OneMainWindow() && PostMessageW(ProgramWindow(), WM_COMMAND, ID_EXIT, 0));
    EXPECT_EQ(ended(0, 15000), 1);

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

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2)
        return fprintf(stderr, "usage: command_line_tests PATH-OF-tessivon.exe\n"), 2;
    ProgramPath = WinePath(argv[1]);
    return RUN_ALL_TESTS();
}
