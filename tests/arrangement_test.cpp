// Screens and real windows of a second process arranged on the canvas.
#include <windows.h>

#include <gtest/gtest.h>

#include <psapi.h>
#include <string>

#include "canvas/canvas.h"
#include "tests/canvas_driver.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

struct Arrangement : ::testing::Test {
    RegistryGuard registry;
    ScopedSimAdapter adapter;
    void Monitors(int count)
    {
        SimSetMonitors(count);
        adapter.Install();
    }
    ~Arrangement() { ClipCursor(nullptr); }
};

bool ApplyEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)); }
void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

// The last call of the platform's display settings, in one line.
std::string LastCall()
{
    if (Sim.calls.empty())
        return "none";
    const SimCall &call = Sim.calls.back();
    char text[200];
    wsprintfA(text, "%s flags %lu size %u %lux%lu", call.device.c_str(), call.flags, call.mode.dmSize,
              call.mode.dmPelsWidth, call.mode.dmPelsHeight);
    return text;
}

TEST(DragMechanics, ScreenPressConfinement)
{
    // Client area 20 to 420; the press 10 pixels right of the item's left edge and 7 below its top.
    RECT confined = ScreenPressConfinement({20, 200, 420, 440}, {100, 60, 160, 105}, {110, 67});
    EXPECT_RECT(confined, 30, 207, 420 - (60 - 10), 440 - (45 - 7));
}

TEST_F(Arrangement, PrimaryDisplayChosenAndApplied)
{
    Monitors(3);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        ChooseEntry(dialog, state.screenCombo, 2);
        EXPECT_EQ(state.selectedScreen, 2);
        // A press on the second screen selects it and confines the pointer; it moves nothing.
        RECT item = WindowRect(state.screenItems[1]), frame, clip;
        PointerMessage(dialog, WM_LBUTTONDOWN, {item.left + 10, item.top + 7});
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCURSEL, 0, 0), 1);
        GetClientRect(state.canvasFrame, &frame);
        MapWindowPoints(state.canvasFrame, nullptr, (POINT *)&frame, 2);
        GetClipCursor(&clip);
        EXPECT_RECT(clip, frame.left + 10, frame.top + 7, frame.right - (item.right - item.left - 10),
                    frame.bottom - (item.bottom - item.top - 7));
        PointerMessage(dialog, WM_MOUSEMOVE, {item.left + 30, item.top + 9});
        PointerMessage(dialog, WM_LBUTTONUP, {item.left + 30, item.top + 9}, 0);
        EXPECT_RECT(WindowRect(state.screenItems[1]), item.left, item.top, item.right, item.bottom);

        // Beside all screens nothing is selected; ticking then chooses no display.
        PointerMessage(dialog, WM_LBUTTONDOWN, {frame.left + 3, frame.top + 3});
        EXPECT_EQ(state.selectedScreen, -1);
        Click(state.primaryCheckBox);
        Click(GetDlgItem(dialog, IDC_APPLY));
        EXPECT_EQ(LastCall(), "none");

        // Tick, clear: nothing waits, but "&Apply" stays enabled.
        ChooseEntry(dialog, state.screenCombo, 2);
        Click(state.primaryCheckBox);
        Click(state.primaryCheckBox);
        EXPECT_TRUE(state.chosenPrimary == -1 && !state.primaryPending && ApplyEnabled(dialog));
        Click(state.primaryCheckBox);
        Click(GetDlgItem(dialog, IDC_APPLY));
        EXPECT_EQ(LastCall(), "\\\\.\\Display3 flags 17 size 156 1024x768");

        // A zoom lays the canvas out again: the platform's primary replaces the choice.
        Click(state.primaryCheckBox);
        Click(state.primaryCheckBox);
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 70);
        SendMessageA(dialog, WM_HSCROLL, TB_ENDTRACK, (LPARAM)state.zoomSlider);
        Click(GetDlgItem(dialog, IDC_APPLY));
        EXPECT_EQ(LastCall().substr(0, 12), "\\\\.\\Display1");
    }));

    // Five monitors: three are shown, and a display is named by its own monitor.
    SimSetMonitors(5);
    Sim.monitors[2].device = "\\\\.\\DISPLAY7";
    adapter.Install();
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCOUNT, 0, 0), 3);
        ChooseEntry(dialog, state.screenCombo, 2);
        Click(state.primaryCheckBox);
        Click(GetDlgItem(dialog, IDC_APPLY));
        EXPECT_EQ(LastCall(), "\\\\.\\DISPLAY7 flags 17 size 156 1024x768");
    }));
}

// Chooses the window on the Windows tab and presses the button on its miniature.
POINT ChooseAndPress(HWND dialog, ExtPropState &state, HWND window)
{
    SwitchToTab(state, TAB_WINDOWS);
    POINT press = ChooseWindow(dialog, state, window);
    PointerMessage(dialog, WM_LBUTTONDOWN, press);
    return press;
}

void Drag(HWND dialog, POINT press, std::initializer_list<int> moves)
{
    for (int dx : moves)
        PointerMessage(dialog, WM_MOUSEMOVE, {press.x + dx, press.y});
    PointerMessage(dialog, WM_LBUTTONUP, {press.x + *(moves.end() - 1), press.y}, 0);
}

TEST_F(Arrangement, WindowListDragCancelAndApply)
{
    Monitors(1);
    WindowFixture fixture(2);
    HWND second = WindowFixture::Find("Fixture 1");
    ASSERT_TRUE(second);
    const RECT start = WindowRect(second);
    ASSERT_TRUE(RunExtPropDialog(
        [&](HWND dialog, ExtPropState &state) {
            SwitchToTab(state, TAB_WINDOWS);
            // Bottom of the Z order first; no minimised, flat or hidden window; the taskbar by the option.
            for (int tray : {0, 1}) {
                state.options[OPT_SHOW_TRAY_BAR_AS_WINDOW] = tray;
                std::string labels;
                ReadWindowList(state, [&](int, const char *label, HWND window) {
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window, &owner);
                    labels += owner == fixture.process.dwProcessId ? std::string(label) + "|" : "";
                });
                EXPECT_EQ(labels, tray ? "Fixture 0|Fixture 1|*Blank*|Fixture taskbar|Fixture band|"
                                       : "Fixture 0|Fixture 1|*Blank*|");
            }
            // Each move of the pointer moves the real window with the miniature.
            POINT press = ChooseAndPress(dialog, state, second);
            RECT miniature = WindowRect(state.windowMiniature), origin = WindowRect(state.screenItems[0]);
            for (int dx : {10, 20}) {
                PointerMessage(dialog, WM_MOUSEMOVE, {press.x + dx, press.y});
                EXPECT_EQ(WindowRect(second).left,
                          ScaleToDesktop(miniature.left - origin.left + dx - 10, state.scale));
                EXPECT_EQ(WindowRect(second).top, ScaleToDesktop(miniature.top - origin.top, state.scale));
            }
            PointerMessage(dialog, WM_LBUTTONUP, {press.x + 20, press.y}, 0);
            EXPECT_TRUE(ApplyEnabled(dialog));
        },
        DialogEnd::Cancel));
    EXPECT_RECT(WindowRect(second), start.left, start.top, start.right, start.bottom);

    // "&Apply", then "Cancel": the window stays.
    ASSERT_TRUE(RunExtPropDialog(
        [&](HWND dialog, ExtPropState &state) {
            Drag(dialog, ChooseAndPress(dialog, state, second), {10, 30});
            Click(GetDlgItem(dialog, IDC_APPLY));
        },
        DialogEnd::Cancel));
    EXPECT_GT(WindowRect(second).left, start.left + 10);

    // The window closes in the middle of a drag: the drag ends and the miniature hides.
    ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        POINT press = ChooseAndPress(dialog, state, second);
        PostMessageA(second, WM_CLOSE, 0, 0);
        for (int k = 0; k < 100 && IsWindow(second); k++)
            PumpMessages(20);
        PointerMessage(dialog, WM_MOUSEMOVE, {press.x + 7, press.y});
        EXPECT_FALSE(state.dragging || GetCapture() || IsWindowVisible(state.windowMiniature));
        EXPECT_EQ(state.undoCount, 0);
    }));
}

TEST_F(Arrangement, FiftyOneWindowsGrowTheUndoTable)
{
    Monitors(1);
    WindowFixture fixture(51);
    ASSERT_TRUE(RunExtPropDialog([&](HWND, ExtPropState &state) {
        HWND windows[51];
        RECT places[51];
        for (int k = 0; k < 51; k++) {
            places[k] =
                WindowRect(windows[k] = WindowFixture::Find(("Fixture " + std::to_string(k)).c_str()));
            ASSERT_TRUE(RememberPlacement(windows[k]));
            SetWindowPos(windows[k], nullptr, places[k].left + 300, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            RememberPlacement(windows[k]);
        }
        EXPECT_EQ(state.undoCount, 51) << "each window once, at its first place";
        RestoreWindowMoves();
        for (int k = 0; k < 51; k++)
            EXPECT_EQ(RectText(WindowRect(windows[k])), RectText(places[k])) << k;
    }));
}

// Wine answers 0 for the private bytes; its page-file usage counts the
// process's anonymous memory, where GDI keeps bitmaps and the heap lives.
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS *)&counters, sizeof(counters));
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// GetGuiResources answers 0 under Wine: the GDI handle table is probed instead.
unsigned GdiObjects()
{
    unsigned count = 0;
    for (ULONG_PTR slot = 1; slot < 0x10000; slot++)
        count += GetObjectType((HGDIOBJ)slot) != 0;
    return count;
}

TEST_F(Arrangement, HundredOpeningsWithWallpaperAndADragStayFlat)
{
    Monitors(3);
    WindowFixture fixture(1);
    ScopedWallpaper wallpaper(800, 600, RGB(30, 160, 90), "2");
    auto open = [&](int k) {
        return RunExtPropDialog(
            [&](HWND dialog, ExtPropState &state) {
                Drag(dialog, ChooseAndPress(dialog, state, WindowFixture::Find("Fixture 0")), {5, 9});
                ASSERT_NE(WallpaperCache.bitmap, nullptr);
            },
            k % 3 ? (k % 3 == 1 ? DialogEnd::Ok : DialogEnd::Close) : DialogEnd::Cancel);
    };
    for (int k = 0; k < 3; k++)
        ASSERT_TRUE(open(k)); // what loads once is loaded
    SIZE_T bytes = PrivateBytes();
    unsigned objects = GdiObjects();
    for (int k = 0; k < 100; k++)
        ASSERT_TRUE(open(k)) << k;
    EXPECT_EQ(GdiObjects(), objects);
    // A leaked picture would be 1.4 MB an opening, a leaked scaled copy 50 KB:
    // a hundred of either stand far above the allowance for the heap's own growth.
    EXPECT_LT(PrivateBytes(), bytes + 1024 * 1024) << bytes;
    EXPECT_EQ(WallpaperCache.bitmap, nullptr) << "the cache goes with the dialog";
}

} // namespace
