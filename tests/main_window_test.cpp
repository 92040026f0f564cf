#include <gtest/gtest.h>

#include <memory>

#include "display/mode_switch.h"
#include "display/monitors.h"
#include "settings/settings.h"
#include "shell/main_window.h"
#include "shell/tray_icon.h"
#include "tests/program_fixture.h"
#include "tests/registry_guard.h"
#include "tests/ui_driver.h"

namespace {

void Tray(std::initializer_list<UINT> mouseMessages)
{
    for (UINT mouse : mouseMessages)
        SendMessageA(MainWindow, WM_TRAYNOTIFY, TRAY_ICON_ID, mouse);
}

// WM_DESTROY posts WM_QUIT, which would end the next modal loop at once.
void DestroyMainWindow()
{
    DestroyWindow(MainWindow);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

struct MainWindowFixture : ::testing::Test {
    ScopedSimAdapter adapter;
    RegistryGuard registry;

    void SetUp() override
    {
        KeyStateFunction = GetKeyState;
        PortraitOption = 0;
        Sim.candidates = {SimMode(640, 480, 8, 60), SimMode(800, 600, 16, 60), SimMode(800, 600, 16, 75),
                          SimMode(1024, 768, 16, 60), SimMode(1024, 768, 32, 60)};
        Start(1);
    }
    void TearDown() override
    {
        CancelWindowWait();
        DestroyMainWindow();
        FreeProgramMenus();
        ClickPending = DoubleClickSeen = DialogOpen = ModeChanged = FALSE;
        LeftWasDown = RightWasDown = 0;
    }
    // The program as start-up leaves it, on `displays` simulated monitors.
    void Start(int displays)
    {
        DestroyMainWindow();
        SimSetMonitors(displays);
        adapter.Install();
        BuildProgramMenus();
        static bool registered = RegisterMainWindowClass(GetModuleHandleA(nullptr));
        ASSERT_TRUE(registered);
        ASSERT_TRUE(CreateWindowExA(0, PROGRAM_TITLE, PROGRAM_TITLE, 0, 0, 0, 0, 0, nullptr, nullptr,
                                    InstanceHandle, nullptr));
        Sim.notifications.clear();
        Sim.calls.clear();
    }
};

// Notes which popup menu opens, when, and its default item, then closes it.
struct MenuWatch {
    HMENU shown = nullptr;
    DWORD openedAt = 0;
    UINT defaultItem = 0;
    explicit MenuWatch(int timeoutMs)
    {
        WhenWindowAppears(
            FindPopupMenuWindow,
            [this](HWND menu) {
                if (!menu)
                    return;
                openedAt = GetTickCount();
                shown = (HMENU)SendMessageA(menu, MN_GETHMENU, 0, 0);
                defaultItem = GetMenuDefaultItem(shown, FALSE, 0);
                EndMenu();
            },
            timeoutMs);
    }
};

// Reads the caption and text of the next message box and presses OK.
struct MessageBoxWatch {
    std::string caption = "<none>", text;
    MessageBoxWatch()
    {
        WhenWindowAppears([] { return FindDialogByCaption(nullptr); },
                          [this](HWND box) {
                              if (!box)
                                  return;
                              caption = WindowText(box);
                              text = WindowText(GetDlgItem(box, 0xFFFF));
                              PostMessageA(box, WM_COMMAND, IDOK, 0);
                          },
                          1500);
    }
};

UINT LastFlags() { return Sim.notifications.empty() ? 0 : Sim.notifications.back().data.uFlags; }

TEST_F(MainWindowFixture, TrayIconFollowsTheOptionAndComesBackWhenTheShellLosesIt)
{
    DestroyMainWindow();
    ASSERT_EQ(Sim.notifications.size(), 1u);
    EXPECT_EQ(Sim.notifications[0].action, (DWORD)NIM_DELETE);
    TrayIconRemove(MainWindow);
    EXPECT_EQ(Sim.notifications.size(), 1u) << "removing an icon that is not there does nothing";

    WriteOption(OPT_TRAY_ICON_IN_256_COLORS, 1);
    Sim.notifications.clear();
    ASSERT_TRUE(CreateWindowExA(0, PROGRAM_TITLE, PROGRAM_TITLE, 0, 0, 0, 0, 0, nullptr, nullptr,
                                InstanceHandle, nullptr));
    ASSERT_EQ(Sim.notifications.size(), 1u);
    const NOTIFYICONDATAA &add = Sim.notifications[0].data;
    EXPECT_EQ(Sim.notifications[0].action, (DWORD)NIM_ADD);
    EXPECT_EQ(add.uFlags, (UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_STREQ(add.szTip, "Tessivon v2.7 alpha");
    EXPECT_EQ(add.hIcon, LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_TRAY_256_COLORS)));

    // A second copy's WM_SHOW_AGAIN and a re-created taskbar add it again and retip.
    for (UINT message : {(UINT)WM_SHOW_AGAIN, RegisterWindowMessageA("TaskbarCreated")}) {
        Sim.notifications.clear();
        SendMessageA(MainWindow, message, 0, 0);
        ASSERT_EQ(Sim.notifications.size(), 2u);
        EXPECT_EQ(Sim.notifications[0].action, (DWORD)NIM_ADD);
        EXPECT_EQ(LastFlags(), (UINT)NIF_TIP);
    }
    WriteOption(OPT_TRAY_ICON_IN_256_COLORS, 0);
    TrayIconReload(MainWindow);
    EXPECT_EQ(LastFlags(), (UINT)NIF_ICON);
    EXPECT_EQ(Sim.notifications.back().data.hIcon,
              LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_TRAY_16_COLORS)));
    TrayIconShow(MainWindow, "A tip that is much longer than the sixty-three characters the shell keeps");
    EXPECT_EQ(lstrlenA(Sim.notifications.back().data.szTip), 63);
}

TEST_F(MainWindowFixture, QuickSingleClickMarksTheModeAndOpensTheMenuAfterTheDoubleClickTime)
{
    Sim.monitors[0].rect = {0, 0, 800, 600};
    Sim.monitors[0].bitsPerPixel = 16;
    Sim.monitors[0].frequency = 75;
    MenuWatch watch(GetDoubleClickTime() + 3000);
    // The real left button is up while these arrive, as after a quick click.
    Tray({WM_LBUTTONDOWN, WM_LBUTTONUP});
    DWORD releasedAt = GetTickCount();
    EXPECT_TRUE(ClickPending);
    EXPECT_FALSE(FindPopupMenuWindow()) << "no menu before the double-click time";
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(MenuPoint.x, cursor.x);
    EXPECT_TRUE(GetMenuState(GetSubMenu(DisplayMenu, 2), 1, MF_BYPOSITION) & MF_CHECKED);
    PumpMessages(GetDoubleClickTime() + 1000);
    EXPECT_EQ(watch.shown, DisplayMenu);
    EXPECT_GE(watch.openedAt - releasedAt, GetDoubleClickTime() - 20);
    EXPECT_FALSE(ClickPending);
}

TEST_F(MainWindowFixture, DoubleClickRunsTheControlPanelOrTheDialogAndOpensNoMenu)
{
    MenuWatch watch(GetDoubleClickTime() + 500);
    Tray({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    PumpMessages(GetDoubleClickTime() + 700);
    EXPECT_EQ(watch.shown, nullptr);
    EXPECT_FALSE(ClickPending || DoubleClickSeen);
    EXPECT_EQ(Sim.launches, std::vector<std::string>{"control desk.cpl"});

    // With the option set it opens the dialog, and the tray image is reloaded after it.
    WriteOption(OPT_EXT_PROP_AS_DBL_CLICK, 1);
    WhenWindowAppears([] { return FindDialogByCaption("Extended Display Properties"); },
                      [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }, 1500);
    Tray({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    EXPECT_EQ(Sim.launches.size(), 1u);
    EXPECT_EQ(LastFlags(), (UINT)NIF_ICON);
    EXPECT_FALSE(DialogOpen);
}

TEST_F(MainWindowFixture, RightClickOpensTheCommandMenuWithTheDoubleClickDefault)
{
    for (UINT expected : {ID_PROPERTIES, ID_EXTENDED_PROPERTIES}) {
        WriteOption(OPT_EXT_PROP_AS_DBL_CLICK, expected == ID_EXTENDED_PROPERTIES);
        MenuWatch watch(3000);
        Tray({WM_RBUTTONDOWN, WM_RBUTTONUP});
        EXPECT_EQ(watch.shown, CommandMenu);
        EXPECT_EQ(watch.defaultItem, expected);
    }
}

TEST_F(MainWindowFixture, ClicksThatMustOpenNothing)
{
    MenuWatch watch(GetDoubleClickTime() + 300);
    // A button-up without its button-down on the icon; a middle press
    // re-samples both buttons, which are up now.
    Tray({WM_LBUTTONUP, WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_LBUTTONUP});
    Tray({WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONUP});
    EXPECT_FALSE(ClickPending);
    DialogOpen = TRUE; // the icon is ignored while the dialog is open
    Tray({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDBLCLK});
    EXPECT_FALSE(ClickPending);
    PumpMessages(GetDoubleClickTime() + 500);
    EXPECT_EQ(watch.shown, nullptr);
    EXPECT_TRUE(Sim.launches.empty());
}

TEST_F(MainWindowFixture, ModeCommandsAreDecodedPerDisplay)
{
    Start(2);
    ASSERT_GE(ModeCounts[1], 4);
    SendMessageA(MainWindow, WM_COMMAND, 51003, 0);
    ASSERT_EQ(Sim.ChangeCalls(), 1);
    const SimCall &call = Sim.calls.back();
    EXPECT_EQ(call.function + " " + call.device, "ChangeDisplaySettingsExA \\\\.\\Display2");
    EXPECT_EQ(call.flags, (DWORD)CDS_UPDATEREGISTRY);
    const ModeEntry &entry = ModeTables[1][3];
    EXPECT_EQ(call.mode.dmPelsWidth, (DWORD)entry.width);
    EXPECT_EQ(call.mode.dmBitsPerPel, (DWORD)entry.bitsPerPixel);
    EXPECT_EQ(call.mode.dmDisplayFrequency, (DWORD)entry.frequency);
    EXPECT_EQ(call.mode.dmFields,
              (DWORD)(DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY));
    EXPECT_TRUE(ModeChanged);
    SendMessageA(MainWindow, WM_COMMAND, 50001, 0);
    EXPECT_EQ(Sim.calls.back().function, "ChangeDisplaySettingsA") << "display 1 without a device name";

    // Ids past a display's entries, and a display that does not exist.
    for (UINT id : {50000 + (UINT)ModeCounts[0], 50999u, 52000u})
        SendMessageA(MainWindow, WM_COMMAND, id, 0);
    EXPECT_EQ(Sim.ChangeCalls(), 2);
    Start(1);
    SendMessageA(MainWindow, WM_COMMAND, 51003, 0);
    EXPECT_EQ(Sim.ChangeCalls(), 0);
}

TEST_F(MainWindowFixture, OrientationOfTheDisplayIsKept)
{
    PortraitOption = 1;
    Start(1);
    auto find = [](LONG width, LONG height) {
        for (int j = 0; j < ModeCounts[0]; j++)
            if (ModeTables[0][j].width == width && ModeTables[0][j].height == height)
                return j;
        return -1;
    };
    auto switched = [](int entry) {
        Sim.monitors[0].rect = {0, 0, 768, 1024}; // the display stands upright now
        EXPECT_TRUE(SwitchDisplayMode(0, entry));
        return std::make_pair(Sim.calls.back().mode.dmPelsWidth, Sim.calls.back().mode.dmPelsHeight);
    };
    EXPECT_EQ(switched(find(1024, 768)), std::make_pair(768ul, 1024ul));
    EXPECT_EQ(switched(find(768, 1024)), std::make_pair(1024ul, 768ul));

    Start(2); // a display without a snapshot counts as landscape
    Sim.enumeratedMonitors = 1;
    ASSERT_TRUE(SwitchDisplayMode(1, 3));
    EXPECT_EQ(Sim.calls.back().mode.dmPelsWidth, (DWORD)ModeTables[1][3].width);
}

TEST_F(MainWindowFixture, EveryRefusalIsToldInItsOwnWords)
{
    const std::pair<LONG, const char *> cases[] = {
        {DISP_CHANGE_RESTART, "Error: A restart appears to be required\nfor this video mode."},
        {DISP_CHANGE_FAILED, "Error: The graphics adapter couldn't\nset this video mode."},
        {DISP_CHANGE_BADMODE, "Error: The graphics adapter doesn't\nsupport this video mode."},
        {DISP_CHANGE_NOTUPDATED, "Warning: Couldn't write settings to \nregistry."},
        {DISP_CHANGE_BADFLAGS, "Error: Could not set mode"},
        {DISP_CHANGE_BADPARAM, "Error: Could not set mode"}};
    for (auto [code, told] : cases) {
        Sim.changeResult = code;
        MessageBoxWatch box;
        SendMessageA(MainWindow, WM_COMMAND, 50002, 0);
        EXPECT_EQ(box.caption + ": " + box.text, told);
        EXPECT_FALSE(ModeChanged);
    }
    // Without ChangeDisplaySettingsExA the second display cannot be set.
    Sim.changeResult = DISP_CHANGE_SUCCESSFUL;
    Sim.hasChangeEx = false;
    Start(2);
    MessageBoxWatch box;
    SendMessageA(MainWindow, WM_COMMAND, 51000, 0);
    EXPECT_EQ(box.text, "The graphics adapter couldn't\nset this video mode.");
    EXPECT_EQ(Sim.ChangeCalls(), 0);
}

TEST_F(MainWindowFixture, EscapeRestoresLastDisplayFirstUntilAnotherApplicationIsActivated)
{
    Start(3);
    Sim.monitors[1].bitsPerPixel = 16;
    Tray({WM_LBUTTONDOWN, WM_LBUTTONUP}); // the click takes the snapshot
    KillTimer(MainWindow, 1);
    ClickPending = FALSE;
    SendMessageA(MainWindow, WM_COMMAND, 50000, 0);
    ASSERT_TRUE(ModeChanged);
    Sim.calls.clear();
    Sim.changeResult = DISP_CHANGE_BADMODE;
    MessageBoxWatch box;
    SendMessageA(MainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(box.caption, "<none>") << "a refused restore shows nothing";
    ASSERT_EQ(Sim.calls.size(), 3u);
    EXPECT_EQ(Sim.calls[0].device, "\\\\.\\Display3");
    EXPECT_EQ(Sim.calls[1].device, "\\\\.\\Display2");
    EXPECT_EQ(Sim.calls[1].mode.dmBitsPerPel, 16u);
    EXPECT_EQ(Sim.calls[2].function, "ChangeDisplaySettingsA");
    EXPECT_EQ(Sim.calls[2].mode.dmPelsWidth, 1024u);

    SendMessageA(MainWindow, WM_ACTIVATEAPP, FALSE, 0);
    Sim.calls.clear();
    SendMessageA(MainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(Sim.calls.empty());
}

TEST_F(MainWindowFixture, DisplayChangeFitsMaximizedWindowsOnThePrimaryMonitor)
{
    Start(2);
    RECT work, small = {10, 10, 300, 200}, second = {1100, 10, 1400, 200};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // Maximised in style, not in size; the taskbar and desk bands stay, as do
    // windows elsewhere and windows that are not maximised.
    const std::tuple<const char *, RECT, DWORD, RECT> windows[] = {
        {"FittedWindow", small, WS_MAXIMIZE, work},
        {"BaseBar", small, WS_MAXIMIZE, small},
        {"Shell_TrayWnd", small, WS_MAXIMIZE, small},
        {"OnSecondMonitor", second, WS_MAXIMIZE, second},
        {"NormalWindow", small, 0, small}};
    std::vector<HWND> made;
    for (auto [name, rect, style, after] : windows) {
        WNDCLASSA windowClass = {0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr), 0, 0, 0, 0, name};
        RegisterClassA(&windowClass);
        made.push_back(CreateWindowExA(WS_EX_TOOLWINDOW, name, name, WS_OVERLAPPEDWINDOW | WS_VISIBLE | style,
                                       0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        SetWindowPos(made.back(), nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SendMessageA(MainWindow, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    for (size_t k = 0; k < made.size(); k++) {
        RECT rect, expected = std::get<3>(windows[k]);
        GetWindowRect(made[k], &rect);
        EXPECT_TRUE(EqualRect(&rect, &expected)) << std::get<0>(windows[k]);
        DestroyWindow(made[k]);
    }
    EXPECT_EQ(PrimaryMonitor, CompatMonitorFromPoint({0, 0}, MONITOR_DEFAULTTONULL));
    EXPECT_EQ(LastFlags(), (UINT)NIF_TIP) << "the icon is refreshed";
}

TEST_F(MainWindowFixture, AboutThenExitEndsTheLoopWithZero)
{
    MessageBoxWatch box;
    SendMessageA(MainWindow, WM_COMMAND, ID_ABOUT, 0);
    EXPECT_EQ(box.caption, "About Tessivon v2.7 alpha");
    EXPECT_EQ(box.text.rfind("Tessivon v2.7 alpha\n", 0), 0u);
    EXPECT_NE(box.text.find("\n&& Extended properties\n\n"), std::string::npos) << box.text;
    SendMessageA(MainWindow, WM_COMMAND, ID_EXIT, 0);
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_EQ(Sim.notifications.back().action, (DWORD)NIM_DELETE);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

LRESULT CALLBACK RefuseMainWindow(int code, WPARAM window, LPARAM data)
{
    char className[64] = "";
    if (code == HCBT_CREATEWND)
        GetClassNameA(reinterpret_cast<HWND>(window), className, sizeof(className));
    return lstrcmpA(className, PROGRAM_TITLE) ? CallNextHookEx(nullptr, code, window, data) : 1;
}

// Start-up's own refusals are told and end the program with 1.
TEST_F(MainWindowFixture, StartUpFailuresAreToldAndEndWithOne)
{
    DestroyMainWindow();
    FreeProgramMenus();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    UnregisterClassA(PROGRAM_TITLE, instance);
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseMainWindow, nullptr, GetCurrentThreadId());
    auto box = std::make_unique<MessageBoxWatch>();
    EXPECT_EQ(RunTessivon(instance), 1);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(box->caption + ": " + box->text, "Error: Couldn't Create Window");
    // The class is still registered from that run, so registering fails now.
    FreeDisplayCatalogue();
    box = std::make_unique<MessageBoxWatch>();
    EXPECT_EQ(RunTessivon(instance), 1);
    EXPECT_EQ(box->caption + ": " + box->text, "Error: Couldn't Register Window Class");
    FreeDisplayCatalogue();
}

} // namespace
