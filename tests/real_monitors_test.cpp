// The real tessivon.exe on real monitors: run by real_monitors.sh inside an
// Xephyr whose Xinerama screens Wine takes for monitors, with the number of
// monitors expected. Everything is read back from the program's real windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "canvas/screen_numbers.h"
#include "desktop_icons/icon_view.h"
#include "tests/canvas_driver.h"
#include "tests/fixture_wallpaper.h"
#include "tests/program_driver.h"
#include "tests/registry_guard.h"

namespace {

std::wstring ProgramPath;
int ExpectedMonitors;

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data)
{
    reinterpret_cast<std::vector<RECT> *>(data)->push_back(*rect);
    return TRUE;
}

// The screen items are found by class too: the primary check box has the first one's id.
HWND ScreenItem(HWND dialog, int k)
{
    const int ids[3] = {IDC_SCREEN_ITEM_1, IDC_SCREEN_ITEM_2, IDC_SCREEN_ITEM_3};
    HWND item = nullptr;
    while ((item = FindWindowExW(dialog, item, L"Static", nullptr)) && GetDlgCtrlID(item) != ids[k])
        ;
    return item;
}

bool White(COLORREF pixel) { return (pixel & 0xF0F0F0) == 0xF0F0F0; }

// A screen item over a picture of one colour (in the middle of JPEG's blur),
// as the screen shows it: the number white ringed with black, the primary
// mark below it on the left, the frame when selected.
void ExpectScreenOverPicture(const RECT &item, COLORREF picture, int number, bool selected, bool primary)
{
    int width = item.right - item.left, height = item.bottom - item.top, rows = height * 3 / 4;
    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC memory(screen.dc);
    ScopedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.dc, width, height));
    ScopedSelection selectedBitmap(memory.dc, bitmap.handle);
    auto shown = [&](int x, int y) { return GetPixel(memory.dc, x, y); };
    // Inside the frame: below the number's rows lies the primary mark.
    auto count = [&](bool (*test)(COLORREF), int top, int bottom, int right) {
        int found = 0;
        for (int y = top; y < bottom; y++)
            for (int x = 10; x < right; x++)
                found += test(shown(x, y));
        return found;
    };
    auto ring = [](COLORREF pixel) { return (pixel & 0xC0C0C0) == 0; };
    // Waited for whole, the number and its marks too: a screen caught half
    // painted on a busy machine shows its picture before them.
    EXPECT_TRUE(WaitFor( // the picture decoded and the selection followed
        [&] {
            BitBlt(memory.dc, 0, 0, width, height, screen.dc, item.left, item.top, SRCCOPY);
            return ((shown(width / 8, height / 2) ^ picture) & 0xE0E0E0) == 0 &&
                   (shown(1, 1) == GetSysColor(COLOR_HIGHLIGHT)) == selected &&
                   count(ring, 10, rows, width - 10) > 0 &&
                   (count(White, rows, height - 10, width / 2) > 0) == primary;
        },
        10000))
        << "the picture, the frame, the ring and the primary mark of " << number << ": " << std::hex
        << shown(width / 8, height / 2);
    int white = count(White, 10, rows, width - 10);
    // The number's glyph drawn in black where the items draw it leaves no
    // white: the white is that number.
    ScopedGdiObject<HFONT> font(CreateScreenFont(height / 2 + 5));
    ScopedSelection selectedFont(memory.dc, font.handle);
    SetBkMode(memory.dc, TRANSPARENT);
    RECT box = {0, 0, width, height};
    DrawTextW(memory.dc, std::to_wstring(number).c_str(), -1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_TRUE(white > height && count(White, 10, rows, width - 10) < white / 10) << "the number " << number;
}

// A monitor the per-monitor wallpaper object names, with a picture of one colour.
FixtureMonitor Named(const RECT &rect, HRESULT answer, COLORREF colour)
{
    static int pictures;
    std::wstring picture = TempPath((L"tessivon_monitor" + std::to_wstring(++pictures) + L".bmp").c_str());
    WritePicture(picture, 64, 48, colour, nullptr, GUID_ContainerFormatBmp);
    return NamedMonitor(rect, answer, picture);
}

// The identify windows of the program, shown or not.
std::vector<HWND> IdentifyWindows()
{
    std::vector<HWND> windows;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, IDENTIFY_WINDOW_CLASS, nullptr));)
        windows.push_back(window);
    return windows;
}

// Each monitor shows its number once, on it, on top, neither active nor in
// the way of a click.
void ExpectNumbersOnMonitors(const std::vector<RECT> &monitors)
{
    // Each is made and then shown, one monitor after another: waited for all shown.
    ASSERT_TRUE(WaitFor(
        [&] {
            std::vector<HWND> shown = IdentifyWindows();
            return shown.size() == monitors.size() &&
                   std::all_of(shown.begin(), shown.end(), IsWindowVisible);
        },
        10000));
    int shown = 0;
    for (HWND window : IdentifyWindows()) {
        int number = atoi(WindowText(window).c_str());
        ASSERT_TRUE(number >= 1 && number <= (int)monitors.size()) << WindowText(window);
        shown |= 1 << number;
        POINT centre = Centre(WindowRect(window));
        EXPECT_TRUE(IsWindowVisible(window) && PtInRect(&monitors[number - 1], centre) &&
                    (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
            << number;
        EXPECT_TRUE(WindowFromPoint(centre) != window && GetForegroundWindow() != window)
            << "a click goes through, not active: " << number;
    }
    EXPECT_EQ(shown, (2 << monitors.size()) - 2) << "each number once";
}

struct RealMonitors : ::testing::Test {
    RegistryGuard registry;
    std::vector<RECT> monitors;
    ChildProcess program{L"\"" + ProgramPath + L"\""};
    HWND dialog = nullptr;
    void SetUp() override
    {
        EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
        ASSERT_EQ((int)monitors.size(), ExpectedMonitors);
        ASSERT_TRUE(WaitFor([] { return ProgramWindow() != nullptr; }, 15000)) << "no main window";
    }
    void TearDown() override
    {
        if (IsWindow(dialog))
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        WaitFor([&] { return !IsWindow(dialog); }, 5000);
        PostMessageW(ProgramWindow(), WM_COMMAND, ID_EXIT, 0);
        EXPECT_EQ(program.Wait(15000), 0);
    }
    // Opens the dialog unless it is open and turns to the page: the tab strip is told the arrow keys.
    void ShowPage(int tab)
    {
        if (!IsWindow(dialog)) {
            PostMessageW(ProgramWindow(), WM_COMMAND, ID_EXTENDED_PROPERTIES, 0);
            ASSERT_TRUE(WaitFor([&] { return (dialog = FindExtPropDialog()); }, 10000));
        }
        HWND strip = GetDlgItem(dialog, IDC_TAB_CONTROL);
        for (int k = 0; k < TAB_COUNT && SendMessageW(strip, TCM_GETCURSEL, 0, 0) < tab; k++)
            SendMessageW(strip, WM_KEYDOWN, VK_RIGHT, 0); // handled, the page turned, once it returns
        ASSERT_EQ(SendMessageW(strip, TCM_GETCURSEL, 0, 0), tab);
    }
    // Canvas pixels per desktop pixel, as the desktop miniature shows it.
    double Scale()
    {
        RECT miniature = WindowRect(GetDlgItem(dialog, IDC_DESKTOP_MINIATURE));
        return (double)(miniature.right - miniature.left) / GetSystemMetrics(SM_CXVIRTUALSCREEN);
    }
    // The list of the page: the screen list and the window list share a place, one hidden.
    HWND ShownCombo()
    {
        HWND combo = nullptr;
        while ((combo = FindWindowExW(dialog, combo, WC_COMBOBOXEXW, nullptr)) && !IsWindowVisible(combo))
            ;
        return combo;
    }
    // The entries of the page's list once opened, which fills it.
    int OpenedEntries()
    {
        for (BOOL open : {TRUE, FALSE})
            SendMessageW(ShownCombo(), CB_SHOWDROPDOWN, open, 0);
        return (int)SendMessageW(ShownCombo(), CB_GETCOUNT, 0, 0);
    }
};

// One program on these monitors, in turn: "&Identify", whose numbers go by
// themselves; a numbered screen per monitor over its own wallpaper, and over
// the one wallpaper when the per-monitor wallpapers cannot all be read; an
// icon dropped on the second monitor's screen. (Windows dragged on the canvas
// are the canvas tests' case: the drag moves a window by the pointer's
// travel, the same on any monitors; the menus' display groups are the main
// window's, from the same list of displays as the screens read here.)
TEST_F(RealMonitors, IdentifyScreensAndAnIconDroppedOnTheSecondMonitor)
{
    DWORD identified = GetTickCount();
    PostMessageW(ProgramWindow(), WM_COMMAND, ID_IDENTIFY, 0);
    ExpectNumbersOnMonitors(monitors);
    EXPECT_TRUE(WaitFor([] { return IdentifyWindows().empty(); }, IDENTIFY_MS + 15000)) << "gone by itself";
    EXPECT_GE(GetTickCount() - identified, (DWORD)IDENTIFY_MS - 50) << "shown for the time";

    // The screens: each at its monitor's place and of its proportions, to the
    // pixel the truncating scale allows.
    // A JPEG wallpaper of one colour without white: white on a screen is drawn over it.
    const COLORREF green = RGB(0x30, 0x90, 0x50);
    ScopedWallpaper wallpaper(640, 480, green, L"2", nullptr, GUID_ContainerFormatJpeg,
                              L"tessivon_monitors.jpg");
    // The first two monitors have pictures of their own, a third shows the one
    // wallpaper. A monitor no longer attached, listed first and last seen where
    // the second is now, is passed over.
    const COLORREF own[3] = {RGB(0x30, 0x50, 0xA0), RGB(0xA0, 0x90, 0x30), green};
    std::optional<ScopedFixtureMonitors> named(std::vector{Named(monitors[1], S_FALSE, RGB(0xB0, 0x30, 0x40)),
                                                           Named(monitors[0], S_OK, own[0]),
                                                           Named(monitors[1], S_OK, own[1])});
    ShowPage(TAB_SCREEN);
    RECT desktop = WindowRect(GetDlgItem(dialog, IDC_DESKTOP_MINIATURE));
    POINT corner = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    for (int k = 0; k < ExpectedMonitors; k++) {
        RECT item = WindowRect(ScreenItem(dialog, k)), monitor = monitors[k];
        EXPECT_NEAR(item.left - desktop.left, (monitor.left - corner.x) * Scale(), 1.5) << k;
        EXPECT_NEAR(item.top - desktop.top, (monitor.top - corner.y) * Scale(), 1.5) << k;
        EXPECT_NEAR(item.right - item.left, (monitor.right - monitor.left) * Scale(), 1.5) << k;
        EXPECT_NEAR(item.bottom - item.top, (monitor.bottom - monitor.top) * Scale(), 1.5) << k;
    }
    // Over its picture each screen shows its number, the primary display its
    // mark, and the selected screen a frame, which follows the screen list.
    auto expectScreens = [&](const COLORREF *pictures, std::initializer_list<int> selections) {
        for (int selected : selections) {
            ChooseEntry(dialog, ShownCombo(), selected);
            for (int k = 0; k < ExpectedMonitors; k++)
                ExpectScreenOverPicture(WindowRect(ScreenItem(dialog, k)), pictures[k], k + 1, k == selected,
                                        monitors[k].left == 0 && monitors[k].top == 0);
        }
    };
    expectScreens(own, {0, 1});
    // The Screen page's "&Identify" does as the menu's.
    PostMessageW(GetDlgItem(dialog, IDC_IDENTIFY_BUTTON), BM_CLICK, 0, 0);
    ExpectNumbersOnMonitors(monitors);
    ASSERT_TRUE(WaitFor([] { return IdentifyWindows().empty(); }, IDENTIFY_MS + 15000));
    // The second monitor's rectangle cannot be read: every screen shows the one wallpaper.
    ClickDialogButton(dialog, IDC_CANCEL);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000));
    named.emplace(std::vector{Named(monitors[0], S_OK, own[0]), Named(monitors[1], E_FAIL, own[1])});
    ShowPage(TAB_SCREEN);
    const COLORREF common[3] = {green, green, green};
    expectScreens(common, {0});
    named.reset();

    // An icon of the stand-in shell, whose list spans the virtual screen, dropped
    // on the second monitor's screen lands on that monitor, where it was let go.
    FixtureShell shell(GridIcons(3, 3));
    FixtureIcon icon = shell.Report().at(0);
    ShowPage(TAB_ICONS);
    ASSERT_TRUE(WaitFor([&] { return OpenedEntries() == 3; }, 10000)) << "the icons loaded";
    POINT origin = {0, 0};
    ClientToScreen(GetDlgItem(dialog, IDC_DESKTOP_MINIATURE), &origin);
    double scale = Scale();
    POINT press = {origin.x + (int)(icon.x * scale) + 8, origin.y + (int)(icon.y * scale) + 8};
    POINT release = Centre(WindowRect(ScreenItem(dialog, 1)));
    // The view confines the pointer during the drag, and then the platform no
    // longer sees the X pointer that xdotool moves: the view is told the
    // pointer's messages instead, the press where the pointer is put.
    HWND view = FindWindowExW(dialog, nullptr, ICON_VIEW_CLASS, nullptr);
    PointerMessage(view, WM_LBUTTONDOWN, press);
    for (POINT at : {POINT{(press.x + release.x) / 2, (press.y + release.y) / 2}, release})
        PointerMessage(view, WM_MOUSEMOVE, at);
    PointerMessage(view, WM_LBUTTONUP, release, 0);
    FixtureIcon dropped = shell.Report().at(0);
    EXPECT_TRUE(PtInRect(&monitors[1], {dropped.x + corner.x, dropped.y + corner.y}))
        << "on the second monitor";
    EXPECT_NEAR(dropped.x, icon.x + (release.x - press.x) / scale, 2 / scale + 4);
    EXPECT_NEAR(dropped.y, icon.y + (release.y - press.y) / scale, 2 / scale + 4);
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3)
        return fprintf(stderr, "usage: real_monitors_tests PATH-OF-tessivon.exe MONITORS\n"), 2;
    ProgramPath = WinePath(argv[1]);
    ExpectedMonitors = atoi(argv[2]);
    return RUN_ALL_TESTS();
}
