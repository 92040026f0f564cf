// The real tessivon.exe, started as its own process inside the test prefix's
// virtual desktop and driven the way the shell and a user drive it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/catalogue.h"
#include "settings/settings.h"
#include "shell/platform.h"
#include "shell/tessivon.h"
#include "shell/tray_icon.h"
#include "tests/registry_guard.h"

namespace {

std::string ProgramPath;

struct Process {
    PROCESS_INFORMATION info = {};
    bool Start(const std::string &commandLine)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        std::string line = commandLine;
        return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info);
    }
    // The exit code, or -1 while it still runs after the wait.
    long Wait(DWORD milliseconds)
    {
        if (WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return (long)code;
    }
    ~Process()
    {
        if (info.hProcess) {
            if (Wait(0) == -1)
                TerminateProcess(info.hProcess, 99);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
};

template <typename Condition> bool WaitFor(Condition condition, DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    while (!condition()) {
        if (GetTickCount() > end)
            return false;
        Sleep(50);
    }
    return true;
}

HWND ProgramWindow() { return FindWindowA(PROGRAM_TITLE, PROGRAM_TITLE); }

struct MenuSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindProcessMenu(HWND window, LPARAM data)
{
    MenuSearch *search = reinterpret_cast<MenuSearch *>(data);
    char className[32];
    GetClassNameA(window, className, sizeof(className));
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (!lstrcmpA(className, "#32768") && IsWindowVisible(window) && owner == search->processId) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The popup menu that the given process shows, or null.
HWND OpenMenuOf(const Process &process)
{
    MenuSearch search = {process.info.dwProcessId, nullptr};
    EnumWindows(FindProcessMenu, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DEVMODEA CurrentMode()
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    return mode;
}

struct EndToEnd : ::testing::Test {
    RegistryGuard registry;
    DEVMODEA startMode = CurrentMode();
    void TearDown() override
    {
        DEVMODEA now = CurrentMode();
        if (now.dmPelsWidth != startMode.dmPelsWidth || now.dmPelsHeight != startMode.dmPelsHeight) {
            startMode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
            ChangeDisplaySettingsA(&startMode, 0);
        }
    }
    void StartProgram(Process &process)
    {
        ASSERT_TRUE(process.Start("\"" + ProgramPath + "\""));
        ASSERT_TRUE(WaitFor([] { return ProgramWindow() != nullptr; }, 15000)) << "no main window";
    }
};

TEST_F(EndToEnd, SecondCopyIsRefusedAndCloseEndsTheFirst)
{
    Process first;
    StartProgram(first);
    HWND window = ProgramWindow();
    EXPECT_FALSE(IsWindowVisible(window));

    Process second;
    ASSERT_TRUE(second.Start("\"" + ProgramPath + "\""));
    EXPECT_EQ(second.Wait(15000), 1);
    EXPECT_EQ(first.Wait(300), -1) << "the first copy keeps running";
    EXPECT_EQ(ProgramWindow(), window);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.Wait(15000), 0);
    EXPECT_EQ(ProgramWindow(), nullptr);
}

TEST_F(EndToEnd, AnotherVersionIsNotTakenForARunningCopy)
{
    WNDCLASSA otherClass = {};
    otherClass.lpfnWndProc = DefWindowProcA;
    otherClass.hInstance = GetModuleHandleA(nullptr);
    otherClass.lpszClassName = "Tessivon v2.6 alpha";
    RegisterClassA(&otherClass);
    HWND other = CreateWindowExA(0, otherClass.lpszClassName, otherClass.lpszClassName, 0, 0, 0, 0, 0,
                                 nullptr, nullptr, otherClass.hInstance, nullptr);
    ASSERT_TRUE(other);
    Process program;
    StartProgram(program);
    EXPECT_EQ(program.Wait(500), -1);
    PostMessageA(ProgramWindow(), WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(program.Wait(15000), 0);
    DestroyWindow(other);
}

// The command id of a mode, computed the way the program builds its catalogue.
int CommandOf(LONG width, LONG height, LONG depth)
{
    LoadPlatformTable();
    ChangeDisplaySettingsExEntry = Platform.ChangeDisplaySettingsExA;
    PortraitOption = 0;
    FreeDisplayCatalogue();
    BuildDisplayCatalogue();
    for (int j = 0; j < ModeCounts[0]; j++) {
        const ModeEntry &entry = ModeTables[0][j];
        if (entry.width == width && entry.height == height && entry.bitsPerPixel == depth)
            return ID_MODE_BASE + j;
    }
    return 0;
}

TEST_F(EndToEnd, ModeCommandSwitchesTheDesktopAndEscapeTakesItBack)
{
    ASSERT_EQ(startMode.dmPelsWidth, 1024u) << "the test prefix runs a 1024x768 virtual desktop";
    int command = CommandOf(800, 600, (LONG)startMode.dmBitsPerPel);
    ASSERT_NE(command, 0) << "no 800x600 mode in the virtual desktop";

    Process program;
    StartProgram(program);
    HWND window = ProgramWindow();
    // A click on the icon records the modes that Escape goes back to.
    PostMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN);
    PostMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
    ASSERT_TRUE(WaitFor([&] { return OpenMenuOf(program) != nullptr; }, 5000))
        << "the display menu did not open";
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return OpenMenuOf(program) == nullptr; }, 5000));

    PostMessageA(window, WM_COMMAND, command, 0);
    EXPECT_TRUE(WaitFor([] { return CurrentMode().dmPelsWidth == 800; }, 10000));
    EXPECT_EQ(CurrentMode().dmPelsHeight, 600u);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);

    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([] { return CurrentMode().dmPelsWidth == 1024; }, 10000));
    EXPECT_EQ(CurrentMode().dmPelsHeight, 768u);

    PostMessageA(window, WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(program.Wait(15000), 0);
}

TEST_F(EndToEnd, RealClickOnTheTrayIconOpensTheDisplayMenu)
{
    Process program;
    StartProgram(program);
    Sleep(1000); // the taskbar places the new icon
    // An X pointer click with no hold, at the first icon of the notification
    // area of the virtual desktop, which sits at the X screen's origin.
    Process click;
    ASSERT_TRUE(click.Start("/usr/bin/xdotool mousemove 1013 758 click 1"));
    EXPECT_TRUE(WaitFor([&] { return OpenMenuOf(program) != nullptr; }, 8000))
        << "no menu after a real click";
    PostMessageA(ProgramWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    WaitFor([&] { return OpenMenuOf(program) == nullptr; }, 5000);
    PostMessageA(ProgramWindow(), WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(program.Wait(15000), 0);
}

struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindProcessDialog(HWND window, LPARAM data)
{
    DialogSearch *search = reinterpret_cast<DialogSearch *>(data);
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof(caption));
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) &&
        !lstrcmpA(caption, "Extended Display Properties")) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

TEST_F(EndToEnd, ExtendedPropertiesOpensTheDialogAndTheIconWaitsForIt)
{
    Process program;
    StartProgram(program);
    HWND window = ProgramWindow();
    PostMessageA(window, WM_COMMAND, ID_EXTENDED_PROPERTIES, 0);
    DialogSearch search = {program.info.dwProcessId, nullptr};
    ASSERT_TRUE(WaitFor(
        [&] {
            EnumWindows(FindProcessDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        10000))
        << "the dialog did not open";

    // Clicks on the icon do nothing while the dialog is open.
    PostMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONDOWN);
    PostMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
    PostMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDOWN);
    PostMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
    EXPECT_FALSE(WaitFor([&] { return OpenMenuOf(program) != nullptr; }, GetDoubleClickTime() + 1000));

    PostMessageA(search.found, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(search.found); }, 10000));
    // The icon answers again once the dialog is gone.
    PostMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONDOWN);
    PostMessageA(window, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
    EXPECT_TRUE(WaitFor([&] { return OpenMenuOf(program) != nullptr; }, 5000));
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitFor([&] { return OpenMenuOf(program) == nullptr; }, 5000);
    PostMessageA(window, WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(program.Wait(15000), 0);
}

// A resource of the program file, as text; empty when it is missing.
std::string ProgramResource(LPCSTR type, LPCSTR name)
{
    HMODULE file = LoadLibraryExA(ProgramPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = file ? FindResourceA(file, name, type) : nullptr;
    HGLOBAL loaded = found ? LoadResource(file, found) : nullptr;
    std::string text;
    if (loaded)
        text.assign(static_cast<const char *>(LockResource(loaded)), SizeofResource(file, found));
    if (file)
        FreeLibrary(file);
    return text;
}

// What a user downloads: no symbol table, the version block, and a manifest
// asking for per-monitor DPI awareness and the version 6 common controls.
TEST(ShippedProgram, StrippedWithVersionAndManifest)
{
    HANDLE file =
        CreateFileA(ProgramPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    IMAGE_DOS_HEADER dos = {};
    IMAGE_NT_HEADERS64 nt = {};
    DWORD read = 0;
    ReadFile(file, &dos, sizeof(dos), &read, nullptr);
    SetFilePointer(file, dos.e_lfanew, nullptr, FILE_BEGIN);
    ReadFile(file, &nt, sizeof(nt), &read, nullptr);
    CloseHandle(file);
    ASSERT_EQ(nt.Signature, (DWORD)IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt.FileHeader.NumberOfSymbols, 0u);
    EXPECT_EQ(nt.FileHeader.PointerToSymbolTable, 0u);

    std::vector<char> version(GetFileVersionInfoSizeA(ProgramPath.c_str(), nullptr));
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(GetFileVersionInfoA(ProgramPath.c_str(), 0, (DWORD)version.size(), version.data()));
    auto value = [&](const char *name) {
        char *text = nullptr;
        UINT length = 0;
        std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
        return VerQueryValueA(version.data(), path.c_str(), reinterpret_cast<void **>(&text), &length) && text
                   ? std::string(text)
                   : std::string();
    };
    EXPECT_EQ(value("ProductName"), "Tessivon");
    EXPECT_EQ(value("ProductVersion"), "2.7.0.0");
    EXPECT_FALSE(value("FileDescription").empty());
    std::string manifest = ProgramResource(RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID);
    for (const char *text : {"PerMonitorV2", "true/pm", "Microsoft.Windows.Common-Controls", "supportedOS"})
        EXPECT_NE(manifest.find(text), std::string::npos) << text;
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: e2e_tests PATH-OF-tessivon.exe\n");
        return 2;
    }
    // A Unix path seen through Wine's Z: drive.
    ProgramPath = argv[1];
    if (ProgramPath[0] == '/')
        ProgramPath = "Z:" + ProgramPath;
    for (char &c : ProgramPath)
        if (c == '/')
            c = '\\';
    return RUN_ALL_TESTS();
}
