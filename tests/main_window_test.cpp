#include <gtest/gtest.h>

#include "display/mode_switch.h"
#include "display/monitors.h"
#include "settings/settings.h"
#include "shell/main_window.h"
#include "shell/tray_icon.h"
#include "tests/program_fixture.h"
#include "tests/registry_guard.h"
#include "tests/ui_driver.h"

namespace {

#define TRAY_NOTIFY(mouse) SendMessageA(MainWindow, WM_TRAYNOTIFY, TRAY_ICON_ID, (mouse))

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
        if (IsWindow(MainWindow))
            DestroyWindow(MainWindow);
        PumpMessages(20);
        FreeProgramMenus();
        ClickPending = DoubleClickSeen = DialogOpen = ModeChanged = FALSE;
        LeftWasDown = RightWasDown = 0;
    }
    // The program as start-up leaves it, on `displays` simulated monitors.
    void Start(int displays)
    {
        if (IsWindow(MainWindow))
            DestroyWindow(MainWindow);
        // The old window's WM_DESTROY posted WM_QUIT, which would end the next modal loop at once.
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
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

// Waits for a popup menu, notes which menu it shows and closes it.
struct MenuWatch {
    HMENU shown = nullptr;
    DWORD openedAt = 0;
    UINT defaultItem = 0;
    void Start(int timeoutMs)
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

// Reads the text and caption of the next message box and presses OK.
struct MessageBoxWatch {
    std::string caption = "<none>";
    std::string text;
    void Start()
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

TEST_F(MainWindowFixture, TrayIconCallSequence)
{
    // WM_CREATE already added the icon; start over to see the whole sequence.
    DestroyWindow(MainWindow);
    ASSERT_EQ(Sim.notifications.size(), 1u);
    EXPECT_EQ(Sim.notifications[0].action, (DWORD)NIM_DELETE);
    Sim.notifications.clear();
    TrayIconRemove(MainWindow);
    EXPECT_TRUE(Sim.notifications.empty()) << "removing an icon that is not there does nothing";

    WriteOption(OPT_TRAY_ICON_IN_256_COLORS, 1);
    ASSERT_TRUE(CreateWindowExA(0, PROGRAM_TITLE, PROGRAM_TITLE, 0, 0, 0, 0, 0, nullptr, nullptr,
                                InstanceHandle, nullptr));
    ASSERT_EQ(Sim.notifications.size(), 1u);
    const NOTIFYICONDATAA &add = Sim.notifications[0].data;
    EXPECT_EQ(Sim.notifications[0].action, (DWORD)NIM_ADD);
    EXPECT_EQ(add.uFlags, (UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(add.uID, 566u);
    EXPECT_EQ(add.uCallbackMessage, 1869u);
    EXPECT_EQ(add.hWnd, MainWindow);
    EXPECT_STREQ(add.szTip, "Tessivon v2.7 alpha");
    EXPECT_EQ(add.hIcon, LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_TRAY_256_COLORS)));

    // A second copy's WM_SHOW_AGAIN adds again (the shell may have lost it) and retips.
    Sim.notifications.clear();
    SendMessageA(MainWindow, WM_SHOW_AGAIN, 0, 0);
    ASSERT_EQ(Sim.notifications.size(), 2u);
    EXPECT_EQ(Sim.notifications[0].action, (DWORD)NIM_ADD);
    EXPECT_EQ(Sim.notifications[1].action, (DWORD)NIM_MODIFY);
    EXPECT_EQ(Sim.notifications[1].data.uFlags, (UINT)NIF_TIP);

    // So does a re-created taskbar.
    Sim.notifications.clear();
    SendMessageA(MainWindow, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_EQ(Sim.notifications.size(), 2u);
    EXPECT_EQ(Sim.notifications[0].action, (DWORD)NIM_ADD);

    // After the dialog the image follows the option again.
    WriteOption(OPT_TRAY_ICON_IN_256_COLORS, 0);
    Sim.notifications.clear();
    TrayIconReload(MainWindow);
    ASSERT_EQ(Sim.notifications.size(), 1u);
    EXPECT_EQ(Sim.notifications[0].data.uFlags, (UINT)NIF_ICON);
    EXPECT_EQ(Sim.notifications[0].data.hIcon,
              LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_TRAY_16_COLORS)));

    Sim.notifications.clear();
    TrayIconShow(MainWindow, "A tip that is much longer than the sixty-three characters the shell keeps");
    ASSERT_FALSE(Sim.notifications.empty());
    EXPECT_EQ(lstrlenA(Sim.notifications.back().data.szTip), 63);
}

TEST_F(MainWindowFixture, QuickSingleClickOpensTheDisplayMenuAfterTheDoubleClickTime)
{
    // The real left button is up while these arrive, as after a quick click.
    TRAY_NOTIFY(WM_LBUTTONDOWN);
    DWORD releasedAt = GetTickCount();
    TRAY_NOTIFY(WM_LBUTTONUP);
    EXPECT_TRUE(ClickPending);
    EXPECT_FALSE(FindPopupMenuWindow()) << "no menu before the double-click time";
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(MenuPoint.x, cursor.x);
    EXPECT_EQ(SavedModes[0].width, 1024);

    MenuWatch watch;
    watch.Start(GetDoubleClickTime() + 3000);
    PumpMessages(GetDoubleClickTime() + 1000);
    EXPECT_EQ(watch.shown, DisplayMenu);
    EXPECT_GE(watch.openedAt - releasedAt, GetDoubleClickTime() - 20);
    EXPECT_FALSE(ClickPending);
}

TEST_F(MainWindowFixture, SingleClickMarksTheCurrentMode)
{
    Sim.monitors[0].bitsPerPixel = 16;
    Sim.monitors[0].rect = {0, 0, 800, 600};
    Sim.monitors[0].frequency = 75;
    TRAY_NOTIFY(WM_LBUTTONDOWN);
    TRAY_NOTIFY(WM_LBUTTONUP);
    HMENU resolution = GetSubMenu(DisplayMenu, 2);
    EXPECT_TRUE(GetMenuState(DisplayMenu, 2, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(resolution, 1, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(resolution, 0, MF_BYPOSITION) & MF_CHECKED);
    KillTimer(MainWindow, 1);
}

TEST_F(MainWindowFixture, DoubleClickRunsTheDoubleClickCommandAndOpensNoMenu)
{
    MenuWatch watch;
    watch.Start(GetDoubleClickTime() + 500);
    TRAY_NOTIFY(WM_LBUTTONDOWN);
    TRAY_NOTIFY(WM_LBUTTONUP);
    TRAY_NOTIFY(WM_LBUTTONDBLCLK);
    TRAY_NOTIFY(WM_LBUTTONUP);
    PumpMessages(GetDoubleClickTime() + 700);
    EXPECT_EQ(watch.shown, nullptr);
    EXPECT_FALSE(ClickPending);
    EXPECT_FALSE(DoubleClickSeen) << "cleared by the double click's button-up";
    ASSERT_EQ(Sim.launches.size(), 1u);
    EXPECT_EQ(Sim.launches[0], "control desk.cpl");

    // With the option set the double click opens the dialog instead; it
    // reloads the tray image when it ends.
    WriteOption(OPT_EXT_PROP_AS_DBL_CLICK, 1);
    Sim.notifications.clear();
    WhenWindowAppears([] { return FindDialogByCaption("Extended Display Properties"); },
                      [](HWND dialog) {
                          if (dialog)
                              PostMessageA(dialog, WM_CLOSE, 0, 0);
                      },
                      1500);
    TRAY_NOTIFY(WM_LBUTTONDOWN);
    TRAY_NOTIFY(WM_LBUTTONUP);
    TRAY_NOTIFY(WM_LBUTTONDBLCLK);
    TRAY_NOTIFY(WM_LBUTTONUP);
    EXPECT_EQ(Sim.launches.size(), 1u);
    ASSERT_FALSE(Sim.notifications.empty());
    EXPECT_EQ(Sim.notifications.back().data.uFlags, (UINT)NIF_ICON);
    EXPECT_FALSE(DialogOpen);
}

TEST_F(MainWindowFixture, RightClickOpensTheCommandMenuWithTheDoubleClickDefault)
{
    MenuWatch watch;
    watch.Start(3000);
    TRAY_NOTIFY(WM_RBUTTONDOWN);
    TRAY_NOTIFY(WM_RBUTTONUP);
    EXPECT_EQ(watch.shown, CommandMenu);
    EXPECT_EQ(watch.defaultItem, (UINT)ID_PROPERTIES);

    WriteOption(OPT_EXT_PROP_AS_DBL_CLICK, 1);
    watch = MenuWatch();
    watch.Start(3000);
    TRAY_NOTIFY(WM_RBUTTONDOWN);
    TRAY_NOTIFY(WM_RBUTTONUP);
    EXPECT_EQ(watch.shown, CommandMenu);
    EXPECT_EQ(watch.defaultItem, (UINT)ID_EXTENDED_PROPERTIES);
}

TEST_F(MainWindowFixture, ClicksThatMustOpenNothing)
{
    MenuWatch watch;
    watch.Start(GetDoubleClickTime() + 300);
    // A button-up with no button-down on the icon.
    TRAY_NOTIFY(WM_LBUTTONUP);
    EXPECT_FALSE(ClickPending);
    // A middle press re-samples both buttons: the left one is up now.
    TRAY_NOTIFY(WM_LBUTTONDOWN);
    TRAY_NOTIFY(WM_MBUTTONDOWN);
    TRAY_NOTIFY(WM_LBUTTONUP);
    EXPECT_FALSE(ClickPending);
    TRAY_NOTIFY(WM_RBUTTONDOWN);
    TRAY_NOTIFY(WM_MBUTTONDOWN);
    TRAY_NOTIFY(WM_RBUTTONUP);
    // While the dialog is open the icon is ignored.
    DialogOpen = TRUE;
    TRAY_NOTIFY(WM_LBUTTONDOWN);
    TRAY_NOTIFY(WM_LBUTTONUP);
    TRAY_NOTIFY(WM_RBUTTONDOWN);
    TRAY_NOTIFY(WM_RBUTTONUP);
    TRAY_NOTIFY(WM_LBUTTONDBLCLK);
    EXPECT_FALSE(ClickPending);
    PumpMessages(GetDoubleClickTime() + 500);
    EXPECT_EQ(watch.shown, nullptr);
    EXPECT_TRUE(Sim.launches.empty());
}

DEVMODEA LastChange()
{
    for (auto call = Sim.calls.rbegin(); call != Sim.calls.rend(); ++call)
        if (!(call->flags & CDS_TEST))
            return call->mode;
    return {};
}

TEST_F(MainWindowFixture, ModeCommandsAreDecodedPerDisplay)
{
    Start(2);
    ASSERT_GE(ModeCounts[1], 4);
    SendMessageA(MainWindow, WM_COMMAND, 51003, 0);
    ASSERT_EQ(Sim.ChangeCalls(), 1);
    const SimCall &call = Sim.calls.back();
    EXPECT_EQ(call.function, "ChangeDisplaySettingsExA");
    EXPECT_EQ(call.device, "\\\\.\\Display2");
    EXPECT_EQ(call.flags, (DWORD)CDS_UPDATEREGISTRY);
    EXPECT_EQ(call.mode.dmPelsWidth, (DWORD)ModeTables[1][3].width);
    EXPECT_EQ(call.mode.dmBitsPerPel, (DWORD)ModeTables[1][3].bitsPerPixel);
    EXPECT_EQ(call.mode.dmDisplayFrequency, (DWORD)ModeTables[1][3].frequency);
    EXPECT_EQ(call.mode.dmFields,
              (DWORD)(DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY));
    EXPECT_TRUE(ModeChanged);

    // Display 0 always through the plain call, with no device name.
    SendMessageA(MainWindow, WM_COMMAND, 50001, 0);
    EXPECT_EQ(Sim.calls.back().function, "ChangeDisplaySettingsA");

    // Ids past a display's entries, and a third display that does not exist.
    int before = Sim.ChangeCalls();
    SendMessageA(MainWindow, WM_COMMAND, 50000 + ModeCounts[0], 0);
    SendMessageA(MainWindow, WM_COMMAND, 50999, 0);
    SendMessageA(MainWindow, WM_COMMAND, 52000, 0);
    EXPECT_EQ(Sim.ChangeCalls(), before);

    Start(1);
    SendMessageA(MainWindow, WM_COMMAND, 51003, 0);
    EXPECT_EQ(Sim.ChangeCalls(), 0);

    // The second monitor's own device name, whatever its number.
    SimSetMonitors(2);
    Sim.monitors[1].device = "\\\\.\\DISPLAY5";
    adapter.Install();
    FreeProgramMenus();
    BuildProgramMenus();
    ASSERT_GE(ModeCounts[1], 4) << "the modes were tested on DISPLAY5";
    SendMessageA(MainWindow, WM_COMMAND, 51003, 0);
    EXPECT_EQ(Sim.calls.back().device, "\\\\.\\DISPLAY5");
    EXPECT_EQ(Sim.ChangeCalls(), 1);
}

TEST_F(MainWindowFixture, OrientationOfAPortraitDisplayIsKept)
{
    PortraitOption = 1;
    Start(1);
    Sim.monitors[0].rect = {0, 0, 768, 1024};
    int landscape = -1, portrait = -1;
    for (int j = 0; j < ModeCounts[0]; j++) {
        const ModeEntry &e = ModeTables[0][j];
        if (e.width == 1024 && e.height == 768 && e.bitsPerPixel == 16)
            landscape = j;
        if (e.width == 768 && e.height == 1024 && e.bitsPerPixel == 16)
            portrait = j;
    }
    ASSERT_GE(landscape, 0);
    ASSERT_GE(portrait, 0);
    ASSERT_TRUE(SwitchDisplayMode(0, landscape));
    EXPECT_EQ(LastChange().dmPelsWidth, 768u);
    EXPECT_EQ(LastChange().dmPelsHeight, 1024u);
    Sim.monitors[0].rect = {0, 0, 768, 1024};
    ASSERT_TRUE(SwitchDisplayMode(0, portrait));
    EXPECT_EQ(LastChange().dmPelsWidth, 1024u);
    EXPECT_EQ(LastChange().dmPelsHeight, 768u);

    // A display without a snapshot counts as landscape.
    Start(2);
    Sim.enumeratedMonitors = 1;
    ASSERT_TRUE(SwitchDisplayMode(1, 3));
    EXPECT_EQ(LastChange().dmPelsWidth, (DWORD)ModeTables[1][3].width);
}

TEST_F(MainWindowFixture, EveryRefusalIsToldInItsOwnWords)
{
    struct Case {
        LONG code;
        const char *text;
        const char *caption;
    } cases[] = {
        {DISP_CHANGE_RESTART, "A restart appears to be required\nfor this video mode.", "Error"},
        {DISP_CHANGE_FAILED, "The graphics adapter couldn't\nset this video mode.", "Error"},
        {DISP_CHANGE_BADMODE, "The graphics adapter doesn't\nsupport this video mode.", "Error"},
        {DISP_CHANGE_NOTUPDATED, "Couldn't write settings to \nregistry.", "Warning"},
        {DISP_CHANGE_BADFLAGS, "Could not set mode", "Error"},
        {DISP_CHANGE_BADPARAM, "Could not set mode", "Error"},
    };
    for (const Case &c : cases) {
        Sim.changeResult = c.code;
        MessageBoxWatch box;
        box.Start();
        SendMessageA(MainWindow, WM_COMMAND, 50002, 0);
        EXPECT_EQ(box.caption, c.caption) << c.code;
        EXPECT_EQ(box.text, c.text) << c.code;
        EXPECT_FALSE(ModeChanged);
    }

    // Without ChangeDisplaySettingsExA the second display cannot be set.
    Sim.changeResult = DISP_CHANGE_SUCCESSFUL;
    Sim.hasChangeEx = false;
    Start(2);
    MessageBoxWatch box;
    box.Start();
    SendMessageA(MainWindow, WM_COMMAND, 51000, 0);
    EXPECT_EQ(box.text, "The graphics adapter couldn't\nset this video mode.");
    EXPECT_EQ(Sim.ChangeCalls(), 0);
}

TEST_F(MainWindowFixture, EscapeRestoresLastDisplayFirstUntilAnotherApplicationIsActivated)
{
    Start(3);
    Sim.monitors[1].bitsPerPixel = 16;
    TRAY_NOTIFY(WM_LBUTTONDOWN);
    TRAY_NOTIFY(WM_LBUTTONUP);
    KillTimer(MainWindow, 1);
    ClickPending = FALSE;
    SendMessageA(MainWindow, WM_COMMAND, 50000, 0);
    ASSERT_TRUE(ModeChanged);
    Sim.calls.clear();
    // A refused restore shows nothing.
    Sim.changeResult = DISP_CHANGE_BADMODE;
    MessageBoxWatch box;
    box.Start();
    SendMessageA(MainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(box.caption, "<none>");
    ASSERT_EQ(Sim.calls.size(), 3u);
    EXPECT_EQ(Sim.calls[0].device, "\\\\.\\Display3");
    EXPECT_EQ(Sim.calls[1].device, "\\\\.\\Display2");
    EXPECT_EQ(Sim.calls[1].mode.dmBitsPerPel, 16u);
    EXPECT_EQ(Sim.calls[2].function, "ChangeDisplaySettingsA");
    EXPECT_EQ(Sim.calls[2].mode.dmPelsWidth, 1024u);
    EXPECT_TRUE(ModeChanged);

    SendMessageA(MainWindow, WM_ACTIVATEAPP, FALSE, 0);
    Sim.calls.clear();
    SendMessageA(MainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(Sim.calls.empty());
}

HWND CreateMaximized(const char *className, RECT rect)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, className, className,
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MAXIMIZE, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    // Keep the maximised style but not the maximised size.
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return window;
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

TEST_F(MainWindowFixture, DisplayChangeFitsMaximizedWindowsOnThePrimaryMonitor)
{
    Start(2);
    RECT workArea;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT small = {10, 10, 300, 200};
    RECT second = {1100, 10, 1400, 200};
    HWND fitted = CreateMaximized("FittedWindow", small);
    HWND baseBar = CreateMaximized("BaseBar", small);
    HWND trayBar = CreateMaximized("Shell_TrayWnd", small);
    HWND elsewhere = CreateMaximized("OnSecondMonitor", second);
    HWND normal = CreateWindowExA(WS_EX_TOOLWINDOW, "FittedWindow", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                  10, 290, 190, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(GetWindowLongA(fitted, GWL_STYLE) & WS_MAXIMIZE);
    SendMessageA(MainWindow, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    RECT rect = WindowRect(fitted);
    EXPECT_TRUE(EqualRect(&rect, &workArea));
    rect = WindowRect(baseBar);
    EXPECT_TRUE(EqualRect(&rect, &small));
    rect = WindowRect(trayBar);
    EXPECT_TRUE(EqualRect(&rect, &small));
    rect = WindowRect(elsewhere);
    EXPECT_TRUE(EqualRect(&rect, &second));
    rect = WindowRect(normal);
    EXPECT_EQ(rect.right - rect.left, 290);
    EXPECT_EQ(PrimaryMonitor, CompatMonitorFromPoint({0, 0}, MONITOR_DEFAULTTONULL));
    ASSERT_FALSE(Sim.notifications.empty()) << "the icon is refreshed";
    EXPECT_EQ(Sim.notifications.back().data.uFlags, (UINT)NIF_TIP);
    for (HWND window : {fitted, baseBar, trayBar, elsewhere, normal})
        DestroyWindow(window);
}

TEST_F(MainWindowFixture, AboutExitAndClose)
{
    MessageBoxWatch box;
    box.Start();
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
    DestroyWindow(MainWindow);
    MSG quit; // posted by WM_DESTROY; it would close the message boxes at once
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    FreeProgramMenus();
    HINSTANCE instance = GetModuleHandleA(nullptr);

    UnregisterClassA(PROGRAM_TITLE, instance);
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseMainWindow, nullptr, GetCurrentThreadId());
    MessageBoxWatch box;
    box.Start();
    EXPECT_EQ(RunTessivon(instance), 1);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "Couldn't Create Window");

    // The class is still registered from that run, so registering fails now.
    FreeDisplayCatalogue();
    box = MessageBoxWatch();
    box.Start();
    EXPECT_EQ(RunTessivon(instance), 1);
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "Couldn't Register Window Class");
    FreeDisplayCatalogue();
}

} // namespace
