// The command line: its parsing and mode matching tested directly, then the
// real tessivon.exe run as a process of its own with pipes for its output,
// alone and with a running copy, in the test prefix's virtual desktop.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <set>

#include "app/command_line.h"
#include "app/main_window.h"
#include "resources/resource_ids.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"
#include "tests/ui_driver.h"

namespace {

std::wstring ProgramPath;

int Parse(const std::vector<std::wstring> &arguments, CommandRequest *request, std::wstring *reason)
{
    return ParseCommandLine(arguments, request, reason);
}

TEST(CommandLineParsing, BadInputGetsCodeOneAndOneLine)
{
    std::wstring huge(32000, L'7');
    std::vector<std::wstring> many(17, L"/list");
    const std::vector<std::vector<std::wstring>> cases = {{L"/frobnicate"},
                                                          {L"list"},
                                                          {L"/"},
                                                          {L"--"},
                                                          {L"/mode"},
                                                          {L"/mode", L"/display", L"1"},
                                                          {L"/mode", L"1024x"},
                                                          {L"/mode", L"x768"},
                                                          {L"/mode", L"0x0"},
                                                          {L"/mode", L"99999x99999"},
                                                          {L"/mode", L"-1024x768"},
                                                          {L"/mode", L"1024x-768"},
                                                          {L"/mode", L"800x600x"},
                                                          {L"/mode", L"800x600@"},
                                                          {L"/mode", L"800x600x0"},
                                                          {L"/mode", L"800x600@5000"},
                                                          {L"/mode", L"4294967297x768"},
                                                          {L"/mode", L"800 x600"},
                                                          {L"/mode", L"800x600", L"/display"},
                                                          {L"/mode", L"800x600", L"/display", L"-2"},
                                                          {L"/primary", L"-1"},
                                                          {L"/mode", L"800x600", L"/confirm", L"/confirm"},
                                                          {L"/list", L"/display", L"1"},
                                                          {L"/help", L"now"},
                                                          {L""},
                                                          {L"/list", L""},
                                                          {huge},
                                                          {L"/mode", huge},
                                                          many,
                                                          {L"/\u0441\u043f\u0438\u0441\u043e\u043a"},
                                                          {L"/mode", L"\uff11\uff10\uff12\uff14x768"},
                                                          {L"/mode\nlist"}};
    for (const std::vector<std::wstring> &arguments : cases) {
        CommandRequest request;
        std::wstring reason;
        EXPECT_EQ(Parse(arguments, &request, &reason), EXIT_BAD_ARGUMENTS) << arguments.size();
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(reason.find_first_of(L"\r\n"), std::wstring::npos) << "one line";
        EXPECT_LT(reason.size(), 400u);
    }
}

TEST(CommandLineParsing, EitherSpellingAnyCaseValuesAndOptions)
{
    CommandRequest request;
    std::wstring reason;
    for (const wchar_t *spelling : {L"/list", L"--LIST", L"/LiSt"}) {
        ASSERT_EQ(Parse({spelling}, &request, &reason), EXIT_DONE) << spelling;
        EXPECT_STREQ(request.command->name, L"list");
    }
    ASSERT_EQ(Parse({L"--Mode", L"1280X1024x16@75", L"/DISPLAY", L"\\\\.\\DISPLAY2", L"--confirm"}, &request,
                    &reason),
              EXIT_DONE)
        << reason;
    EXPECT_STREQ(request.command->name, L"mode");
    EXPECT_EQ(request.mode.width, 1280);
    EXPECT_EQ(request.mode.height, 1024);
    EXPECT_EQ(request.mode.bitsPerPixel, 16);
    EXPECT_EQ(request.mode.frequency, 75);
    EXPECT_EQ(request.display, L"\\\\.\\DISPLAY2");
    EXPECT_TRUE(request.confirm);
    ASSERT_EQ(Parse({L"/mode", L"640x480@72"}, &request, &reason), EXIT_DONE);
    EXPECT_EQ(request.mode.bitsPerPixel, 0);
    EXPECT_EQ(request.mode.frequency, 72);
    EXPECT_FALSE(request.confirm);
    ASSERT_EQ(Parse({L"/primary", L"Display1"}, &request, &reason), EXIT_DONE);
    EXPECT_EQ(request.value, L"Display1");
    // Every command of the table is in the usage, and so is every exit code.
    std::wstring usage = UsageText();
    for (const wchar_t *name : {L"/list", L"/mode", L"/primary", L"/save-icons", L"/restore-icons", L"/help"})
        EXPECT_NE(usage.find(name), std::wstring::npos) << name;
    for (const wchar_t *code :
         {L"0 done", L"1 bad", L"2 no such display", L"3 mode not offered", L"4 refused", L"5 a restart"})
        EXPECT_NE(usage.find(code), std::wstring::npos) << code;
}

// Depth and rate left open are kept from the current mode when offered with
// the size, else the highest offered is taken.
TEST(CommandLineModes, BestOfferedMatchAndDisplaysByNumberOrName)
{
    ModeEntry offered[6] = {};
    const LONG shapes[6][4] = {{800, 600, 16, 60}, {800, 600, 16, 75}, {800, 600, 32, 60},
                               {800, 600, 32, 75}, {1024, 768, 8, 60}, {1024, 768, 16, 70}};
    for (int k = 0; k < 6; k++)
        offered[k] = {shapes[k][0], shapes[k][1], shapes[k][2], shapes[k][3], 0, -1, 1};
    struct {
        ModeRequest request;
        ModeSnapshot current;
        bool found;
        ModeSnapshot chosen;
    } cases[] = {
        {{800, 600, 0, 0}, {1024, 768, 32, 75}, true, {800, 600, 32, 75}},
        {{800, 600, 0, 0}, {1024, 768, 24, 85}, true, {800, 600, 32, 75}},
        {{800, 600, 16, 0}, {1024, 768, 32, 75}, true, {800, 600, 16, 75}},
        {{800, 600, 0, 60}, {1024, 768, 32, 75}, true, {800, 600, 32, 60}},
        {{1024, 768, 0, 0}, {800, 600, 32, 75}, true, {1024, 768, 16, 70}},
        {{800, 600, 24, 0}, {1024, 768, 32, 75}, false, {}},
        {{800, 600, 0, 85}, {1024, 768, 32, 75}, false, {}},
        {{600, 800, 0, 0}, {1024, 768, 32, 75}, false, {}},
    };
    for (const auto &c : cases) {
        ModeSnapshot chosen = {};
        ASSERT_EQ(BestOfferedMode(offered, 6, c.request, c.current, &chosen), c.found) << c.request.width;
        EXPECT_EQ(memcmp(&chosen, &c.chosen, sizeof(chosen)), 0)
            << c.request.width << "x" << c.request.bitsPerPixel;
    }

    std::vector<DisplayInfo> displays(2);
    lstrcpyW(displays[0].device, L"\\\\.\\DISPLAY1");
    displays[0].friendlyName = L"Display1";
    lstrcpyW(displays[1].device, L"\\\\.\\DISPLAY5");
    displays[1].friendlyName = L"Laptop panel";
    displays[1].devicePath = L"\\\\?\\DISPLAY#ABC0042#5&1&UID260#{e6f07b5f}";
    const struct {
        const wchar_t *text;
        int found;
    } names[] = {{L"1", 0},
                 {L"02", 1},
                 {L"3", -1},
                 {L"0", -1},
                 {L"\\\\.\\display5", 1},
                 {L"laptop PANEL", 1},
                 {L"\\\\?\\display#abc0042#5&1&UID260#{E6F07B5F}", 1},
                 {L"\u0414\u0438\u0441\u043f\u043b\u0435\u0439", -1},
                 {L"9999999", -1},
                 {L"", -1}};
    for (const auto &name : names)
        EXPECT_EQ(FindDisplay(displays, name.text), name.found) << (int)name.found;
}

// Every display moves by the new primary display's offset, the primary one
// to the origin; nothing is applied after a refusal.
TEST(CommandLineModes, PrimaryDisplayMovesEveryDisplay)
{
    ScopedSimAdapter adapter;
    SimSetMonitors(3);
    Sim.monitors[2].bitsPerPixel = 16;
    adapter.Install();
    std::vector<DisplayInfo> displays = ListDisplays();
    ASSERT_EQ(displays.size(), 3u);
    EXPECT_STREQ(displays[2].device, L"\\\\.\\Display3");
    EXPECT_TRUE(displays[0].primary && !displays[1].primary);
    EXPECT_EQ(displays[1].rect.left, 1024);
    EXPECT_EQ(displays[2].current.bitsPerPixel, 16);
    EXPECT_EQ(displays[2].current.width, 1024);
    ASSERT_EQ(MakePrimaryDisplay(displays, 1), DISP_CHANGE_SUCCESSFUL);
    ASSERT_EQ(Sim.calls.size(), 4u);
    const struct {
        const wchar_t *device;
        LONG x;
        DWORD flags;
    } expected[] = {{L"\\\\.\\Display2", 0, CDS_SET_PRIMARY | CDS_UPDATEREGISTRY | CDS_NORESET},
                    {L"\\\\.\\Display1", -1024, CDS_UPDATEREGISTRY | CDS_NORESET},
                    {L"\\\\.\\Display3", 1024, CDS_UPDATEREGISTRY | CDS_NORESET}};
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(Sim.calls[k].device, expected[k].device);
        EXPECT_EQ(Sim.calls[k].mode.dmPosition.x, expected[k].x);
        EXPECT_EQ(Sim.calls[k].mode.dmFields, (DWORD)DM_POSITION);
        EXPECT_EQ(Sim.calls[k].flags, expected[k].flags);
    }
    EXPECT_EQ(Sim.calls[3].device, L"") << "one apply of all";
    Sim.calls.clear();
    Sim.changeResult = DISP_CHANGE_BADMODE;
    EXPECT_EQ(MakePrimaryDisplay(displays, 2), DISP_CHANGE_BADMODE);
    EXPECT_EQ(Sim.calls.size(), 1u);
}

// The real program with arguments: its exit code and what it wrote to the
// pipes of its standard output and standard error.
struct ProgramRun {
    long code = -1;
    std::string out, err;
};

std::string ReadAvailable(HANDLE pipe)
{
    std::string text;
    DWORD available = 0;
    char buffer[4096];
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available) {
        DWORD read = 0;
        if (!ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) || !read)
            break;
        text.append(buffer, read);
    }
    return text;
}

ProgramRun RunProgram(const std::wstring &arguments)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::wstring line = L"\"" + ProgramPath + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    ProgramRun run;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(outWrite), CloseHandle(errWrite);
        outWrite = errWrite = nullptr;
        bool ended = false;
        for (DWORD start = GetTickCount(); !ended && GetTickCount() - start < 60000;) {
            ended = WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0;
            run.out += ReadAvailable(outRead);
            run.err += ReadAvailable(errRead);
        }
        DWORD code = 0;
        if (ended && GetExitCodeProcess(process.hProcess, &code))
            run.code = (long)code;
        TerminateProcess(process.hProcess, 99); // nothing to do once it has ended
        CloseHandle(process.hProcess), CloseHandle(process.hThread);
    }
    for (HANDLE handle : {outRead, outWrite, errRead, errWrite})
        if (handle)
            CloseHandle(handle);
    return run;
}

int Count(const std::string &text, const std::string &part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        count++;
    return count;
}

int MainWindows()
{
    int count = 0;
    for (HWND w = FindWindowW(MAIN_WINDOW_CLASS, PROGRAM_TITLE); w;
         w = FindWindowExW(nullptr, w, MAIN_WINDOW_CLASS, PROGRAM_TITLE))
        count++;
    return count;
}

// Wine's taskbar makes a tooltip window for every icon added, and keeps it
// after the icon is gone: icons added are the tooltips new since a moment.
std::set<HWND> ShellTooltips()
{
    DWORD shell = 0;
    GetWindowThreadProcessId(FindWindowA("Shell_TrayWnd", nullptr), &shell);
    std::set<HWND> tooltips;
    for (HWND w = FindWindowA(TOOLTIPS_CLASSA, nullptr); w;
         w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == shell)
            tooltips.insert(w);
    }
    return tooltips;
}

int TrayIconsAddedSince(const std::set<HWND> &before)
{
    int count = 0;
    for (HWND tooltip : ShellTooltips())
        count += before.count(tooltip) ? 0 : (int)SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    return count;
}

int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

struct CommandLineProcess : ::testing::Test {
    RegistryGuard registry;
    void SetUp() override
    {
        ASSERT_EQ(ScreenHeight(), 768) << "the test prefix runs a 1024x768 virtual desktop";
    }
    void TearDown() override
    {
        if (ScreenHeight() != 768) // left by a failed test
            RunProgram(L"/mode 1024x768");
    }
    // Bad input of each kind, and a display or mode that does not exist.
    void ExpectRefusals()
    {
        const struct {
            const wchar_t *arguments;
            long code;
        } refusals[] = {{L"/frobnicate", 1},
                        {L"/mode", 1},
                        {L"/mode 1024x", 1},
                        {L"/mode 99999x99999", 1},
                        {L"\"\"", 1},
                        {L"/save-icons", 1},
                        {L"/mode 800x600 /display 2", 2},
                        {L"/primary \\\\.\\DISPLAY9", 2},
                        {L"/mode 1234x567", 3},
                        {L"/mode 800x600x32@85", 3}};
        for (const auto &refusal : refusals) {
            ProgramRun run = RunProgram(refusal.arguments);
            EXPECT_EQ(run.code, refusal.code) << run.err;
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(Count(run.err, "\n"), 1) << run.err;
        }
        ProgramRun bad = RunProgram(L"/mode " + std::wstring(32000, L'8'));
        EXPECT_EQ(bad.code, 1);
        EXPECT_NE(bad.err.find("too long"), std::string::npos);
    }
    // /list, then a switch there and back; gives the list.
    std::string ListAndSwitch()
    {
        ProgramRun list = RunProgram(L"/list");
        EXPECT_EQ(list.code, 0) << list.err;
        EXPECT_EQ(list.err, "");
        EXPECT_EQ(list.out.rfind("Display 1: \\\\.\\DISPLAY1, primary, at 0,0, 1024x768x", 0), 0u)
            << list.out;
        EXPECT_NE(list.out.find("  Monitor: Display1\r\n"), std::string::npos);
        EXPECT_NE(list.out.find("  Path: \\\\?\\DISPLAY#"), std::string::npos);
        EXPECT_NE(list.out.find("    800x600x32@"), std::string::npos);
        EXPECT_EQ(Count(list.out, "Display "), 1);
        ProgramRun help = RunProgram(L"--HELP");
        EXPECT_EQ(help.code, 0);
        EXPECT_NE(help.out.find("5 a restart is needed"), std::string::npos);

        ProgramRun mode = RunProgram(L"/MODE 800x600 --display \\\\.\\display1");
        EXPECT_EQ(mode.code, 0) << mode.err;
        EXPECT_EQ(mode.out.rfind("Display 1 now runs 800x600x32", 0), 0u) << mode.out;
        EXPECT_EQ(ScreenHeight(), 600);
        EXPECT_EQ(RunProgram(L"/mode 1024x768 /display Display1").code, 0);
        EXPECT_EQ(ScreenHeight(), 768);
        EXPECT_EQ(RunProgram(L"/primary 1").code, 0);
        return list.out;
    }
};

// Alone the command process does the work and leaves no window or icon; with
// a running copy that copy does it, so that its Escape takes a switch back.
TEST_F(CommandLineProcess, AloneAndThroughTheRunningCopy)
{
    std::set<HWND> tooltips = ShellTooltips();
    std::string alone = ListAndSwitch();
    ExpectRefusals();
    EXPECT_EQ(MainWindows(), 0);
    EXPECT_EQ(TrayIconsAddedSince(tooltips), 0);

    ChildProcess program(L"\"" + ProgramPath + L"\"");
    ASSERT_TRUE(WaitFor([] { return MainWindows() == 1; }, 15000));
    EXPECT_EQ(ListAndSwitch(), alone);
    ExpectRefusals();
    // Copies started together: one switches, the others find it done.
    std::vector<std::unique_ptr<ChildProcess>> copies;
    for (int k = 0; k < 4; k++)
        copies.push_back(std::make_unique<ChildProcess>(L"\"" + ProgramPath + L"\" /mode 800x600"));
    for (auto &copy : copies)
        EXPECT_EQ(copy->Wait(30000), 0);
    EXPECT_EQ(ScreenHeight(), 600);
    PostMessageW(FindWindowW(MAIN_WINDOW_CLASS, PROGRAM_TITLE), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([] { return ScreenHeight() == 768; }, 10000)) << "the running copy's Escape";
    EXPECT_EQ(MainWindows(), 1);
    PostMessageW(FindWindowW(MAIN_WINDOW_CLASS, PROGRAM_TITLE), WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(program.Wait(15000), 0);
}

// Copies started at the same moment leave one main window and one icon.
TEST_F(CommandLineProcess, CopiesStartedTogetherLeaveOneInstance)
{
    for (int round = 0; round < 5; round++) {
        std::set<HWND> tooltips = ShellTooltips();
        std::vector<std::unique_ptr<ChildProcess>> copies;
        for (int k = 0; k < 3; k++)
            copies.push_back(std::make_unique<ChildProcess>(L"\"" + ProgramPath + L"\""));
        auto refused = [&] {
            return std::count_if(copies.begin(), copies.end(), [](auto &copy) { return copy->Wait(0) == 1; });
        };
        EXPECT_TRUE(WaitFor([&] { return refused() == 2; }, 30000)) << "round " << round;
        EXPECT_TRUE(WaitFor([&] { return TrayIconsAddedSince(tooltips) >= 1; }, 10000)) << "round " << round;
        EXPECT_EQ(MainWindows(), 1) << "round " << round;
        Sleep(300); // an icon of a late copy would show by now
        EXPECT_EQ(TrayIconsAddedSince(tooltips), 1) << "round " << round;
        PostMessageW(FindWindowW(MAIN_WINDOW_CLASS, PROGRAM_TITLE), WM_COMMAND, ID_EXIT, 0);
        EXPECT_TRUE(WaitFor([] { return MainWindows() == 0; }, 15000));
    }
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2)
        return fprintf(stderr, "usage: command_line_tests PATH-OF-tessivon.exe\n"), 2;
    // A Unix path seen through Wine's Z: drive.
    for (const char *c = argv[1]; *c; c++)
        ProgramPath += *c == '/' ? L'\\' : (wchar_t)*c;
    ProgramPath = (argv[1][0] == '/' ? L"Z:" : L"") + ProgramPath;
    return RUN_ALL_TESTS();
}
