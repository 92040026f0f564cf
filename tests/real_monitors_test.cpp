// The real tessivon.exe on real monitors: run by real_monitors.sh inside an
// Xephyr whose Xinerama screens Wine takes for monitors, with the number of
// monitors expected. Everything is read back from the program's real windows;
// a window is dragged with the real X pointer.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/messages.h"
#include "base/platform.h"
#include "canvas/screen_numbers.h"
#include "desktop_icons/icon_view.h"
#include "resources/resource_ids.h"
#include "tests/canvas_driver.h"
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

POINT VirtualCorner() { return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)}; }

// The X pointer: X's root starts at the virtual screen's corner.
void Xdotool(const std::string &commands)
{
    ChildProcess(L"/usr/bin/xdotool " + std::wstring(commands.begin(), commands.end())).Wait(10000);
}

std::string At(POINT screen)
{
    POINT corner = VirtualCorner();
    return " mousemove " + std::to_string(screen.x - corner.x) + " " + std::to_string(screen.y - corner.y) +
           " sleep 0.15";
}

// Presses the button at from, moves to to and lets go there. One move: under
// Xephyr the program is now and then not told the moves after the first of a
// drag (and now and then not the press).
void DragPointer(POINT from, POINT to)
{
    Xdotool(At(from));
    Xdotool("mousedown 1 sleep 0.3");
    Xdotool(At(to) + " sleep 0.5");
    Xdotool("mouseup 1 sleep 0.3");
}

// Waits until the window has kept its place for a while.
RECT SettledRect(HWND window)
{
    RECT last = WindowRect(window), now;
    for (int k = 0; k < 40; k++, last = now) {
        Sleep(150);
        if (EqualRect(&(now = WindowRect(window)), &last))
            break;
    }
    return last;
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

// What the screen shows in the rectangle, 0x00RRGGBB a pixel, rows from the top.
std::vector<DWORD> ScreenPixels(const RECT &rect)
{
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void *bits = nullptr;
    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC memory(screen.dc);
    ScopedGdiObject<HBITMAP> bitmap(CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedSelection selected(memory.dc, bitmap.handle);
    BitBlt(memory.dc, 0, 0, width, height, screen.dc, rect.left, rect.top, SRCCOPY);
    return std::vector<DWORD>((DWORD *)bits, (DWORD *)bits + width * height);
}

// Wider than the selected screen's frame.
#define FRAME_MARGIN 10

bool White(DWORD pixel) { return (pixel & 0xF0F0F0) == 0xF0F0F0; }

// The share of the number's glyph (drawn white on black in the item's size,
// in the font the items use over a picture) that the item shows white, and
// how many more white pixels the item shows than the glyph has.
void CompareWithNumber(const std::vector<DWORD> &shown, int width, int height, int number, double *covered,
                       double *excess)
{
    RECT box = {0, 0, width, height};
    int rows = height * 3 / 4; // the primary mark below is left out
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void *bits = nullptr;
    ScopedMemoryDC memory(nullptr);
    ScopedGdiObject<HBITMAP> bitmap(CreateDIBSection(memory.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedGdiObject<HFONT> font(CreateScreenFont(height / 2 + 5));
    {
        ScopedSelection selected(memory.dc, bitmap.handle), selectedFont(memory.dc, font.handle);
        FillRect(memory.dc, &box, (HBRUSH)GetStockObject(BLACK_BRUSH));
        SetTextColor(memory.dc, RGB(255, 255, 255));
        SetBkMode(memory.dc, TRANSPARENT);
        std::wstring text = std::to_wstring(number);
        DrawTextW(memory.dc, text.c_str(), -1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    int both = 0, drawn = 0, white = 0;
    for (int y = FRAME_MARGIN; y < rows; y++)
        for (int x = FRAME_MARGIN; x < width - FRAME_MARGIN; x++) {
            bool inGlyph = White(((DWORD *)bits)[y * width + x]), isWhite = White(shown[y * width + x]);
            drawn += inGlyph, white += isWhite, both += inGlyph && isWhite;
        }
    *covered = drawn ? (double)both / drawn : 0;
    *excess = drawn ? (double)white / drawn : 0;
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
    ASSERT_TRUE(WaitFor([&] { return IdentifyWindows().size() == monitors.size(); }, 10000));
    std::vector<int> shown(monitors.size());
    for (HWND window : IdentifyWindows()) {
        int number = atoi(WindowText(window).c_str());
        ASSERT_TRUE(number >= 1 && number <= (int)monitors.size()) << WindowText(window);
        shown[number - 1]++;
        POINT centre = Centre(WindowRect(window));
        EXPECT_TRUE(IsWindowVisible(window) && PtInRect(&monitors[number - 1], centre)) << number;
        const LONG styles = WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE;
        EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & styles, styles) << number;
        EXPECT_NE(WindowFromPoint(centre), window) << "a click goes through " << number;
        EXPECT_NE(GetForegroundWindow(), window) << number;
    }
    EXPECT_EQ(shown, std::vector<int>(monitors.size(), 1));
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
    // Opens the dialog on the page: the tab strip is told the arrow keys.
    void OpenDialog(int tab)
    {
        PostMessageW(ProgramWindow(), WM_COMMAND, ID_EXTENDED_PROPERTIES, 0);
        ASSERT_TRUE(WaitFor([&] { return (dialog = FindExtPropDialog()); }, 10000));
        HWND strip = GetDlgItem(dialog, IDC_TAB_CONTROL);
        for (int k = 0; k < tab; k++) {
            int before = (int)SendMessageW(strip, TCM_GETCURSEL, 0, 0);
            PostMessageW(strip, WM_KEYDOWN, VK_RIGHT, 0);
            WaitFor([&] { return SendMessageW(strip, TCM_GETCURSEL, 0, 0) != before; }, 5000);
        }
        ASSERT_EQ(SendMessageW(strip, TCM_GETCURSEL, 0, 0), tab);
        Sleep(300);
    }
    POINT ItemCentre(int k) { return Centre(WindowRect(ScreenItem(dialog, k))); }
    // Canvas pixels per desktop pixel, as the desktop miniature shows it.
    double Scale()
    {
        RECT miniature = WindowRect(GetDlgItem(dialog, IDC_DESKTOP_MINIATURE));
        return (double)(miniature.right - miniature.left) / GetSystemMetrics(SM_CXVIRTUALSCREEN);
    }
};

// One group per display in the display menu, named by its device, read from
// the menus the program builds on these monitors; "&Identify" in the command menu.
TEST_F(RealMonitors, DisplayMenuHoldsAGroupPerDeviceAndTheCanvasANumberedScreenPerMonitor)
{
    // A JPEG wallpaper of one colour without white: white on a screen is drawn over it.
    const DWORD green = 0x288C5A;
    ScopedWallpaper wallpaper(640, 480, RGB(0x28, 0x8C, 0x5A), L"2", nullptr, GUID_ContainerFormatJpeg,
                              L"tessivon_monitors.jpg");
    LoadPlatformTable();
    MainWindowState menus = {};
    BuildProgramMenus(&menus, GetModuleHandleW(nullptr));
    ASSERT_EQ(GetMenuItemCount(menus.displayMenu), ExpectedMonitors);
    for (int k = 0; k < ExpectedMonitors; k++) {
        char text[64] = "", title[64] = "";
        GetMenuStringA(menus.displayMenu, k, text, sizeof(text), MF_BYPOSITION);
        GetMenuStringA(GetSubMenu(menus.displayMenu, k), 0, title, sizeof(title), MF_BYPOSITION);
        EXPECT_EQ(std::string(text), "Display &" + std::to_string(k + 1));
        EXPECT_EQ(std::string(title), "  Display " + std::to_string(k + 1));
        EXPECT_GE(GetMenuItemCount(GetSubMenu(menus.displayMenu, k)), 2) << "the title and the present mode";
    }
    char identify[32] = "";
    GetMenuStringA(menus.commandMenu, ID_IDENTIFY, identify, sizeof(identify), MF_BYCOMMAND);
    EXPECT_EQ(std::string(identify), "&Identify");
    FreeProgramMenus(&menus);

    // The screens of the running program: each at its monitor's place and
    // of its proportions, to the pixel the truncating scale allows.
    OpenDialog(TAB_SCREEN);
    RECT miniature = WindowRect(GetDlgItem(dialog, IDC_DESKTOP_MINIATURE));
    double scale = Scale();
    POINT corner = VirtualCorner();
    for (int k = 0; k < ExpectedMonitors; k++) {
        RECT item = WindowRect(ScreenItem(dialog, k)), monitor = monitors[k];
        EXPECT_NEAR(item.left - miniature.left, (monitor.left - corner.x) * scale, 1.5) << k;
        EXPECT_NEAR(item.top - miniature.top, (monitor.top - corner.y) * scale, 1.5) << k;
        EXPECT_NEAR(item.right - item.left, (monitor.right - monitor.left) * scale, 1.5) << k;
        EXPECT_NEAR(item.bottom - item.top, (monitor.bottom - monitor.top) * scale, 1.5) << k;
        EXPECT_TRUE(IsWindowVisible(ScreenItem(dialog, k))) << k;
    }

    // Over the picture each screen shows its number, white ringed with black,
    // the primary display "Primary" below it, and the selected screen a frame
    // in the selection colour, which follows the screen list.
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    DWORD frame = GetRValue(highlight) << 16 | GetGValue(highlight) << 8 | GetBValue(highlight);
    HWND combo = nullptr;
    while ((combo = FindWindowExW(dialog, combo, WC_COMBOBOXEXW, nullptr)) && !IsWindowVisible(combo))
        ;
    auto similar = [](DWORD a, DWORD b) {
        return abs((int)(a >> 16) - (int)(b >> 16)) < 12 &&
               abs((int)(a >> 8 & 255) - (int)(b >> 8 & 255)) < 12 &&
               abs((int)(a & 255) - (int)(b & 255)) < 12;
    };
    for (int selected : {0, 1}) {
        if (selected)
            ChooseEntry(dialog, combo, selected);
        for (int k = 0; k < ExpectedMonitors; k++) {
            RECT item = WindowRect(ScreenItem(dialog, k));
            int width = item.right - item.left, height = item.bottom - item.top;
            std::vector<DWORD> pixels;
            // Waited for: the picture decoded and the selection followed.
            WaitFor(
                [&] {
                    pixels = ScreenPixels(item);
                    return similar(pixels[height / 2 * width + width / 8], green) &&
                           (pixels[width + 1] == frame) == (k == selected);
                },
                10000);
            EXPECT_TRUE(similar(pixels[height / 2 * width + width / 8], green)) << "the picture on " << k;
            EXPECT_EQ(pixels[width + 1] == frame, k == selected) << "the frame of " << k << ", " << selected;
            double covered, excess;
            CompareWithNumber(pixels, width, height, k + 1, &covered, &excess);
            EXPECT_GT(covered, 0.85) << "the number of " << k;
            EXPECT_LT(excess, 1.3) << "the number of " << k;
            int dark = 0, mark = 0;
            for (int y = 0; y < height; y++)
                for (int x = 0; x < width; x++) {
                    dark += (pixels[y * width + x] & 0xC0C0C0) == 0;
                    mark += y > height * 3 / 4 && y < height - FRAME_MARGIN && x > FRAME_MARGIN &&
                            x < width / 2 && White(pixels[y * width + x]);
                }
            EXPECT_GT(dark, 0) << "the ring of " << k;
            EXPECT_EQ(mark > 0, monitors[k].left == 0 && monitors[k].top == 0) << "the primary mark of " << k;
        }
    }
}

// "&Identify" of the command menu and of the Screen tab: each monitor's number
// on it, gone by itself after the time.
TEST_F(RealMonitors, IdentifyShowsEachMonitorsNumberOnItUntilItGoesByItself)
{
    DWORD start = GetTickCount();
    PostMessageW(ProgramWindow(), WM_COMMAND, ID_IDENTIFY, 0);
    ExpectNumbersOnMonitors(monitors);
    EXPECT_TRUE(WaitFor([] { return IdentifyWindows().empty(); }, IDENTIFY_MS + 15000)) << "gone by itself";
    EXPECT_GE(GetTickCount() - start, (DWORD)IDENTIFY_MS - 50) << "shown for the time";

    OpenDialog(TAB_SCREEN);
    HWND button = GetDlgItem(dialog, IDC_IDENTIFY_BUTTON);
    EXPECT_TRUE(IsWindowVisible(button));
    EXPECT_EQ(WindowText(button), "&Identify");
    PostMessageW(button, BM_CLICK, 0, 0);
    ExpectNumbersOnMonitors(monitors);
}

// A window of another process dragged by the real pointer from the first
// monitor's screen onto the second's: it lands where the miniature was let
// go, the axis not moved exact; Cancel puts it back.
TEST_F(RealMonitors, WindowDraggedOntoTheSecondMonitorLandsWhereLetGoAndCancelPutsItBack)
{
    WindowFixture fixture(1);
    HWND window = WindowFixture::Find("Fixture 0");
    RECT start = WindowRect(window);
    OpenDialog(TAB_WINDOWS);
    // The window list is the one shown (the screen list is hidden).
    HWND combo = nullptr;
    while ((combo = FindWindowExW(dialog, combo, WC_COMBOBOXEXW, nullptr)) && !IsWindowVisible(combo))
        ;
    HWND miniature = GetDlgItem(GetDlgItem(dialog, IDC_CANVAS_FRAME), IDC_WINDOW_MINIATURE);
    for (BOOL open : {TRUE, FALSE}) // opening the list fills it
        SendMessageW(combo, CB_SHOWDROPDOWN, open, 0);
    // The entries' data does not come across processes: the entry whose
    // miniature has the window's size is the window's.
    auto shows = [&](const RECT &window) {
        RECT shown = WindowRect(miniature);
        return IsWindowVisible(miniature) &&
               fabs(shown.right - shown.left - (window.right - window.left) * Scale()) < 2 &&
               fabs(shown.bottom - shown.top - (window.bottom - window.top) * Scale()) < 2;
    };
    for (int i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0) && !shows(start); i++)
        ChooseEntry(dialog, combo, i);
    ASSERT_TRUE(shows(start)) << "the window is listed and chosen";
    RECT before = WindowRect(miniature);
    // Straight across, at the height the window has.
    POINT press = Centre(before), release = {ItemCentre(1).x, press.y};
    // Where the program saw the pointer let go: the miniature stays under it.
    // A press it was not told of is made again.
    RECT landed = start, letGo = before;
    for (int attempt = 0; attempt < 3 && EqualRect(&letGo, &before); attempt++) {
        // A click on the caption first activates the dialog.
        RECT box = WindowRect(dialog);
        Xdotool(At({box.left + 60, box.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2}) + " click 1 sleep 0.5");
        DragPointer(press, release);
        landed = SettledRect(window), letGo = SettledRect(miniature);
    }
    int travel = letGo.left - before.left;
    printf("window %ld,%ld -> %ld,%ld; the pointer moved %d canvas pixels, the scale %.4f\n", start.left,
           start.top, landed.left, landed.top, travel, Scale());
    EXPECT_LE(abs(travel - (release.x - press.x)), 1) << "the miniature where it was let go";
    EXPECT_EQ(letGo.top, before.top);
    EXPECT_EQ(landed.top, start.top) << "the axis not moved";
    EXPECT_NEAR(landed.left - start.left, travel / Scale(), 1 / Scale() + 1)
        << "where the miniature was let go";
    EXPECT_TRUE(PtInRect(&monitors[1], Centre(landed))) << "on the second monitor";

    ClickDialogButton(dialog, IDC_CANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_RECT(WindowRect(window), start.left, start.top, start.right, start.bottom);
}

// An icon of the stand-in shell, whose list spans the virtual screen, dropped
// on the second monitor's screen lands on that monitor, where it was let go.
TEST_F(RealMonitors, IconDroppedOnTheSecondMonitorsScreenLandsOnIt)
{
    FixtureShell shell(GridIcons(3, 3));
    FixtureIcon icon = shell.Report().at(0);
    OpenDialog(TAB_ICONS);
    POINT origin = {0, 0};
    ClientToScreen(GetDlgItem(dialog, IDC_DESKTOP_MINIATURE), &origin);
    double scale = Scale();
    POINT press = {origin.x + (int)(icon.x * scale) + 8, origin.y + (int)(icon.y * scale) + 8};
    POINT release = ItemCentre(1);
    // The view confines the pointer during the drag, and then the platform no
    // longer sees the X pointer that xdotool moves: the view is told the
    // pointer's messages instead.
    HWND view = FindWindowExW(dialog, nullptr, ICON_VIEW_CLASS, nullptr);
    auto send = [&](UINT message, POINT screen, WPARAM keys) {
        ScreenToClient(view, &screen);
        SendMessageW(view, message, keys, MAKELPARAM(screen.x, screen.y));
    };
    send(WM_LBUTTONDOWN, press, MK_LBUTTON);
    send(WM_MOUSEMOVE, {(press.x + release.x) / 2, (press.y + release.y) / 2}, MK_LBUTTON);
    send(WM_MOUSEMOVE, release, MK_LBUTTON);
    send(WM_LBUTTONUP, release, 0);
    FixtureIcon dropped = shell.Report().at(0);
    POINT corner = VirtualCorner();
    POINT place = {dropped.x + corner.x, dropped.y + corner.y};
    printf("icon %d,%d -> %d,%d (desktop %ld,%ld)\n", icon.x, icon.y, dropped.x, dropped.y, place.x, place.y);
    EXPECT_TRUE(PtInRect(&monitors[1], place)) << "on the second monitor";
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
