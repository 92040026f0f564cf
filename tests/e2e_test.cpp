// The real tessivon.exe, started as its own process inside the test prefix's
// virtual desktop and driven the way the shell and a user drive it.
#include <windows.h>

#include <gtest/gtest.h>

#include <psapi.h>

#include <fstream>
#include <functional>
#include <string>

#include "app/main_window.h"
#include "base/messages.h"
#include "base/platform.h"
#include "desktop_icons/desktop_icons.h"
#include "desktop_icons/icon_layout.h"
#include "display/catalogue.h"
#include "display/mode_menus.h"
#include "resources/resource_ids.h"
#include "tests/fixture_shell.h"
#include "tests/registry_guard.h"
#include "tests/ui_driver.h"

namespace {

std::wstring ProgramPath;

bool WaitFor(const std::function<bool()> &condition, DWORD milliseconds)
{
    for (DWORD end = GetTickCount() + milliseconds; !condition(); Sleep(50))
        if (GetTickCount() > end)
            return false;
    return true;
}

HWND ProgramWindow() { return FindWindowW(MAIN_WINDOW_CLASS, PROGRAM_TITLE); }

void Post(UINT message, WPARAM wParam, LPARAM lParam = 0)
{
    PostMessageA(ProgramWindow(), message, wParam, lParam);
}

struct EndToEnd : ::testing::Test {
    RegistryGuard registry;
    DEVMODEA startMode = {};
    ChildProcess program{L"\"" + ProgramPath + L"\""};
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
    ChildProcess second(L"\"" + ProgramPath + L"\"");
    EXPECT_EQ(second.Wait(15000), 1);
    EXPECT_EQ(program.Wait(300), -1) << "the first copy keeps running";
    Sleep(1000); // the taskbar places the icon
    ChildProcess click(L"/usr/bin/xdotool mousemove 1013 758 click 1");
    EXPECT_TRUE(MenuOpens(8000)) << "no menu after a real click";

    // A mode command switches the desktop, and Escape takes it back.
    ASSERT_EQ(startMode.dmPelsWidth, 1024u) << "the test prefix runs a 1024x768 virtual desktop";
    int command = ModeCommand(800, 600);
    ASSERT_NE(command, 0) << "no 800x600 mode in the virtual desktop";
    ASSERT_TRUE(ClickForTheMenu()) << "the display menu did not open";
    Post(WM_COMMAND, command);
    EXPECT_TRUE(WaitFor([] { return GetSystemMetrics(SM_CYSCREEN) == 600; }, 10000));
    Post(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(WaitFor([] { return GetSystemMetrics(SM_CYSCREEN) == 768; }, 10000));

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

// Moves icon i as a user's drag on the desktop would.
void MoveIcon(int i, int x, int y)
{
    ScopedSharedBlock shared(FindDesktopListView());
    SetIconPosition(&shared.block, i, x, y);
}

bool SamePlaces(const std::vector<FixtureIcon> &a, const std::vector<FixtureIcon> &b)
{
    for (size_t i = 0; i < a.size() && a.size() == b.size(); i++)
        if (a[i].x != b[i].x || a[i].y != b[i].y)
            return false;
    return a.size() == b.size();
}

bool Inside(const std::vector<FixtureIcon> &icons, int width, int height)
{
    for (const FixtureIcon &icon : icons)
        if (icon.x > width - 64 || icon.y > height - 64)
            return false;
    return true;
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
        SCOPED_TRACE(keep ? "KeepIconLayout on" : "KeepIconLayout off");
        if (!keep)
            WriteOption(OPT_KEEP_ICON_LAYOUT, 0);
        ASSERT_TRUE(ClickForTheMenu());
        Post(WM_COMMAND, command);
        ASSERT_TRUE(WaitFor([] { return GetSystemMetrics(SM_CYSCREEN) == 480; }, 10000));
        ASSERT_TRUE(WaitFor([&] { return Inside(shell.Report(), 640, 480); }, 5000)) << "the shell pushes";
        Post(WM_KEYDOWN, VK_ESCAPE);
        ASSERT_TRUE(WaitFor([] { return GetSystemMetrics(SM_CYSCREEN) == 768; }, 10000));
        if (keep) {
            EXPECT_TRUE(WaitFor([&] { return SamePlaces(shell.Report(), start); }, 10000))
                << "icons returned";
        } else {
            Sleep(3000);
            EXPECT_TRUE(Inside(shell.Report(), 640, 480)) << "icons left pushed";
        }
    }
}

// The real program started after the stand-in shell, with the options stored
// beforehand, and ended as a user ends it.
struct IconLayoutProgram {
    ChildProcess program{L"\"" + ProgramPath + L"\""};
    IconLayoutProgram()
    {
        EXPECT_TRUE(WaitFor([] { return ProgramWindow() != nullptr; }, 15000));
    }
    long Exit()
    {
        Post(WM_COMMAND, ID_EXIT);
        return program.Wait(15000);
    }
};

// The present setup's layout holds these places, in whatever order.
bool StoredAt(const std::vector<FixtureIcon> &icons)
{
    std::vector<IconPlace> stored;
    if (!ReadIconLayout(PresentDisplaySetup().c_str(), &stored))
        return false;
    std::vector<std::pair<int, int>> places, wanted;
    for (const IconPlace &place : stored)
        places.push_back({place.x, place.y});
    for (const FixtureIcon &icon : icons)
        wanted.push_back({icon.x, icon.y});
    std::sort(places.begin(), places.end());
    std::sort(wanted.begin(), wanted.end());
    return places == wanted;
}

// Saved at "&Exit Tessivon" and at the session's end with
// AutomaticlySaveIconPos; restored at start-up with RestoreIconPosAtStartup,
// and by the tray's "&Restore Icons Position".
TEST(IconLayoutEndToEnd, SavedAtExitRestoredAtStartUpAndFromTheTray)
{
    RegistryGuard registry;
    FixtureShell shell(GridIcons(4, 4));
    const std::vector<FixtureIcon> start = shell.Report();
    EXPECT_EQ(IconLayoutProgram().Exit(), 0);
    EXPECT_FALSE(StoredAt(start)) << "option off: nothing saved";
    WriteOption(OPT_AUTOMATICLY_SAVE_ICON_POS, 1);
    EXPECT_EQ(IconLayoutProgram().Exit(), 0);
    EXPECT_TRUE(StoredAt(start)) << "saved at exit";
    {
        IconLayoutProgram program;
        MoveIcon(1, 500, 300);
        SendMessageW(ProgramWindow(), WM_ENDSESSION, TRUE, 0);
        std::vector<FixtureIcon> moved = shell.Report();
        EXPECT_TRUE(moved[1].x == 500 && StoredAt(moved)) << "saved at the session's end";
        MoveIcon(1, start[1].x, start[1].y);
        WriteOption(OPT_AUTOMATICLY_SAVE_ICON_POS, 0);
        EXPECT_EQ(program.Exit(), 0);
    }
    ASSERT_TRUE(SaveIconLayout(FindDesktopListView()) == 4 && StoredAt(start));

    MoveIcon(2, 600, 400);
    {
        IconLayoutProgram program;
        Sleep(3000);
        EXPECT_EQ(shell.Report()[2].x, 600) << "RestoreIconPosAtStartup off: nothing restored";
        Post(WM_COMMAND, ID_RESTORE_ICON_POSITIONS);
        EXPECT_TRUE(WaitFor([&] { return SamePlaces(shell.Report(), start); }, 5000)) << "from the tray";
        EXPECT_EQ(program.Exit(), 0);
    }
    MoveIcon(2, 600, 400);
    WriteOption(OPT_RESTORE_ICON_POS_AT_STARTUP, 1);
    IconLayoutProgram program;
    EXPECT_TRUE(WaitFor([&] { return SamePlaces(shell.Report(), start); }, 10000)) << "restored at start-up";
    EXPECT_EQ(program.Exit(), 0);
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
    // A Unix path seen through Wine's Z: drive.
    for (const char *c = argv[1]; *c; c++)
        ProgramPath += *c == '/' ? L'\\' : (wchar_t)*c;
    ProgramPath = (argv[1][0] == '/' ? L"Z:" : L"") + ProgramPath;
    return RUN_ALL_TESTS();
}
