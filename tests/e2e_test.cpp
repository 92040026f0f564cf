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
#include "display/catalogue.h"
#include "display/mode_menus.h"
#include "resources/resource_ids.h"
#include "tests/program_driver.h"
#include "tests/registry_guard.h"
#include "tests/ui_driver.h"

namespace {

std::wstring ProgramPath;

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
    // The command id of 800x600, found the way the program builds its catalogue.
    LoadPlatformTable();
    DisplayCatalogue catalogue = {};
    BuildDisplayCatalogue(&catalogue, {false, true});
    int command = 0;
    for (int j = 0; j < catalogue.counts[0] && !command; j++)
        if (catalogue.tables[0][j].width == 800 &&
            catalogue.tables[0][j].bitsPerPixel == (LONG)startMode.dmBitsPerPel)
            command = ID_MODE_BASE + j;
    FreeDisplayCatalogue(&catalogue);
    ASSERT_NE(command, 0) << "no 800x600 mode in the virtual desktop";

    // A click on the icon records the modes that Escape goes back to.
    Post(WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN);
    Post(WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
    ASSERT_TRUE(MenuOpens(5000)) << "the display menu did not open";
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
    ProgramPath = WindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
