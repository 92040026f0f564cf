#include <windows.h>

#include <gtest/gtest.h>

#include <psapi.h>
#include <string>
#include <vector>

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

// The cursor query the dialog gets over its client area; TRUE when it set the cursor.
LRESULT AskCursor(HWND dialog)
{
    return SendMessageA(dialog, WM_SETCURSOR, (WPARAM)dialog, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

// The last call of the platform's display settings, in one line.
std::string LastCall()
{
    if (Sim.calls.empty())
        return "none";
    const SimCall &call = Sim.calls.back();
    const DEVMODEA &mode = call.mode;
    char text[200];
    wsprintfA(text, "%s flags %lu size %u extra %u fields %lu %lux%lux%lu", call.device.c_str(), call.flags,
              mode.dmSize, mode.dmDriverExtra, mode.dmFields, mode.dmPelsWidth, mode.dmPelsHeight,
              mode.dmBitsPerPel);
    return text;
}

TEST(DragMechanics, ScreenPressConfinement)
{
    // The frame's client area runs from 20 to 420; the press is 10 pixels right
    // of the item's left edge and 7 below its top.
    RECT confined = ScreenPressConfinement({20, 200, 420, 440}, {100, 60, 160, 105}, {110, 67});
    EXPECT_RECT(confined, 30, 207, 420 - (60 - 10), 440 - (45 - 7));
}

TEST_F(Arrangement, PrimaryDisplayChosenAndApplied)
{
    Monitors(3);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        ChooseEntry(dialog, state.screenCombo, 2);
        EXPECT_EQ(state.selectedScreen, 2);
        EXPECT_EQ(SendMessageA(state.primaryCheckBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);

        // A press on the second screen selects it and confines the pointer; it moves nothing.
        RECT item = WindowRect(state.screenItems[1]), frame, clip;
        PointerMessage(dialog, WM_LBUTTONDOWN, {item.left + 10, item.top + 7});
        EXPECT_EQ(state.selectedScreen, 1);
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCURSEL, 0, 0), 1);
        SetCursor(nullptr);
        EXPECT_TRUE(AskCursor(dialog) && GetCursor() == state.moveCursor) << "the four-way arrow";
        EXPECT_EQ(GetCapture(), dialog);
        GetClientRect(state.canvasFrame, &frame);
        MapWindowPoints(state.canvasFrame, nullptr, (POINT *)&frame, 2);
        GetClipCursor(&clip);
        EXPECT_RECT(clip, frame.left + 10, frame.top + 7, frame.right - (item.right - item.left - 10),
                    frame.bottom - (item.bottom - item.top - 7));
        PointerMessage(dialog, WM_MOUSEMOVE, {item.left + 30, item.top + 9});
        PointerMessage(dialog, WM_LBUTTONUP, {item.left + 30, item.top + 9}, 0);
        EXPECT_RECT(WindowRect(state.screenItems[1]), item.left, item.top, item.right, item.bottom);
        GetClipCursor(&clip);
        EXPECT_GT(clip.right - clip.left, frame.right - frame.left) << "the confinement ends";

        // Beside all screens nothing is selected; ticking then chooses no display.
        PointerMessage(dialog, WM_LBUTTONDOWN, {frame.left + 3, frame.top + 3});
        EXPECT_EQ(state.selectedScreen, -1);
        EXPECT_FALSE(state.dragging || AskCursor(dialog));
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCURSEL, 0, 0), 1);
        Click(state.primaryCheckBox);
        EXPECT_TRUE(state.primaryPending && ApplyEnabled(dialog));
        Click(GetDlgItem(dialog, IDC_APPLY));
        EXPECT_FALSE(state.primaryPending);
        EXPECT_EQ(LastCall(), "none");

        // Tick, clear: nothing waits, but "&Apply" stays enabled.
        ChooseEntry(dialog, state.screenCombo, 2);
        Click(state.primaryCheckBox);
        EXPECT_EQ(state.chosenPrimary, 2);
        Click(state.primaryCheckBox);
        EXPECT_EQ(state.chosenPrimary, -1);
        EXPECT_FALSE(state.primaryPending);
        EXPECT_TRUE(ApplyEnabled(dialog));
        Click(state.primaryCheckBox);
        Click(GetDlgItem(dialog, IDC_APPLY));
        EXPECT_EQ(LastCall(), "\\\\.\\Display3 flags 17 size 156 extra 0 fields 1835008 1024x768x32");
        EXPECT_FALSE(ApplyEnabled(dialog));

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
    Sim.monitors[2].rect.right -= 224;
    adapter.Install();
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCOUNT, 0, 0), 3);
        ChooseEntry(dialog, state.screenCombo, 2);
        Click(state.primaryCheckBox);
        Click(GetDlgItem(dialog, IDC_APPLY));
        EXPECT_EQ(LastCall(), "\\\\.\\DISPLAY7 flags 17 size 156 extra 0 fields 1835008 800x768x32");
        // Closed while the button holds a screen: the pointer is freed.
        PointerMessage(dialog, WM_LBUTTONDOWN, Centre(WindowRect(state.screenItems[0])));
        ASSERT_TRUE(state.dragging);
    }));
    RECT clip;
    GetClipCursor(&clip);
    EXPECT_EQ(clip.right - clip.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
}

struct Entry {
    std::string label;
    HWND window;
    int image;
};

// Opens the window list, which fills it, and reads it.
std::vector<Entry> FillList(ExtPropState &state)
{
    SendMessageA(state.windowCombo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(state.windowCombo, CB_SHOWDROPDOWN, FALSE, 0);
    std::vector<Entry> entries;
    for (int i = 0; i < SendMessageA(state.windowCombo, CB_GETCOUNT, 0, 0); i++) {
        char text[300] = "";
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_LPARAM | CBEIF_IMAGE, item.iItem = i, item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(state.windowCombo, CBEM_GETITEMA, 0, (LPARAM)&item);
        entries.push_back({text, (HWND)item.lParam, item.iImage});
    }
    return entries;
}

// The labels of the entries whose windows belong to the process.
std::string Labels(const std::vector<Entry> &entries, DWORD process)
{
    std::string labels;
    for (const Entry &entry : entries) {
        DWORD owner = 0;
        GetWindowThreadProcessId(entry.window, &owner);
        labels += owner == process ? entry.label + "|" : "";
    }
    return labels;
}

// Chooses the window in the list and presses the button on its miniature.
POINT ChooseAndPress(HWND dialog, ExtPropState &state, HWND window)
{
    SwitchToTab(state, TAB_WINDOWS);
    std::vector<Entry> entries = FillList(state);
    for (size_t i = 0; i < entries.size(); i++)
        if (entries[i].window == window)
            ChooseEntry(dialog, state.windowCombo, (int)i);
    POINT press = Centre(WindowRect(state.windowMiniature));
    PointerMessage(dialog, WM_LBUTTONDOWN, press);
    return press;
}

bool Above(HWND upper, HWND lower)
{
    while (upper && upper != lower)
        upper = GetWindow(upper, GW_HWNDNEXT);
    return upper == lower;
}

TEST_F(Arrangement, WindowListDragCancelAndApply)
{
    Monitors(1);
    WindowFixture fixture(2);
    HWND second = WindowFixture::Find("Fixture 1");
    ASSERT_TRUE(second);
    const RECT start = WindowRect(second);
    // Another program's icon cannot be drawn under Wine: a window of this
    // process shows that the window's own small icon is taken.
    HWND own = CreateWindowExA(0, "STATIC", "Own", WS_POPUP | WS_VISIBLE, 600, 700, 40, 30, 0, 0, 0, 0);
    SendMessageA(own, WM_SETICON, ICON_SMALL, (LPARAM)LoadIconA(nullptr, IDI_WARNING));
    const DWORD process = fixture.process.dwProcessId;

    ASSERT_TRUE(RunExtPropDialog(
        [&](HWND dialog, ExtPropState &state) {
            SwitchToTab(state, TAB_WINDOWS);
            state.options[OPT_SHOW_WINDOW_CLASS_NAME] = 1;
            std::vector<Entry> entries = FillList(state);
            // Bottom of the Z order first; no minimised, flat or hidden window, no taskbar.
            EXPECT_EQ(
                Labels(entries, process),
                "Fixture 0 - 'TessivonFixture'|Fixture 1 - 'TessivonFixture'|*Blank* - 'TessivonFixture'|");
            auto image = [&](HWND window) {
                for (const Entry &entry : entries)
                    if (entry.window == window)
                        return entry.image;
                return -2;
            };
            EXPECT_GE(image(own), 0);
            EXPECT_EQ(image(second), -1);
            int count = ImageList_GetImageCount(state.windowImages);
            state.options[OPT_SHOW_WINDOW_CLASS_NAME] = 0;
            state.options[OPT_SHOW_TRAY_BAR_AS_WINDOW] = 1;
            EXPECT_EQ(Labels(FillList(state), process),
                      "Fixture 0|Fixture 1|*Blank*|Fixture taskbar|Fixture band|");
            EXPECT_EQ(ImageList_GetImageCount(state.windowImages), count) << "icons are not kept twice";

            // Two moves of 10 pixels: the window takes the miniature's place of
            // the move before; a repeated move changes nothing.
            POINT press = ChooseAndPress(dialog, state, second);
            RECT miniature = WindowRect(state.windowMiniature), origin = WindowRect(state.screenItems[0]);
            SetCursor(nullptr);
            EXPECT_TRUE(AskCursor(dialog) && GetCursor() == state.moveCursor);
            for (int dx : {10, 20, 20}) {
                PointerMessage(dialog, WM_MOUSEMOVE, {press.x + dx, press.y});
                RECT now = WindowRect(second);
                EXPECT_EQ(now.left, ScaleToDesktop(miniature.left - origin.left + dx - 10, state.scale))
                    << dx;
                EXPECT_EQ(now.top, ScaleToDesktop(miniature.top - origin.top, state.scale)) << dx;
                EXPECT_EQ(now.right - now.left, start.right - start.left);
            }
            EXPECT_TRUE(Above(second, dialog)) << "raised";
            EXPECT_NE(GetForegroundWindow(), second) << "not activated";
            EXPECT_TRUE(ApplyEnabled(dialog));
            PointerMessage(dialog, WM_LBUTTONUP, {press.x + 20, press.y}, 0);
            EXPECT_EQ(GetCapture(), nullptr);
            PumpMessages(450);
            EXPECT_LE(abs(WindowRect(state.windowMiniature).left - (miniature.left + 10)), 1)
                << "the timer puts the miniature back over the window";
        },
        DialogEnd::Cancel));
    EXPECT_RECT(WindowRect(second), start.left, start.top, start.right, start.bottom);
    DestroyWindow(own);

    // "&Apply", then "Cancel": the window stays.
    ASSERT_TRUE(RunExtPropDialog(
        [&](HWND dialog, ExtPropState &state) {
            POINT press = ChooseAndPress(dialog, state, second);
            PointerMessage(dialog, WM_MOUSEMOVE, {press.x + 10, press.y});
            PointerMessage(dialog, WM_MOUSEMOVE, {press.x + 30, press.y});
            PointerMessage(dialog, WM_LBUTTONUP, {press.x + 30, press.y}, 0);
            Click(GetDlgItem(dialog, IDC_APPLY));
        },
        DialogEnd::Cancel));
    EXPECT_GT(WindowRect(second).left, start.left + 10);

    // The window closes in the middle of a drag: the drag ends, the miniature
    // hides, and the dead handle is not remembered.
    ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        POINT press = ChooseAndPress(dialog, state, second);
        PostMessageA(second, WM_CLOSE, 0, 0);
        for (int k = 0; k < 100 && IsWindow(second); k++)
            PumpMessages(20);
        PointerMessage(dialog, WM_MOUSEMOVE, {press.x + 7, press.y});
        EXPECT_FALSE(state.dragging);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(IsWindowVisible(state.windowMiniature));
        RECT gone = WindowRect(state.windowMiniature);
        EXPECT_TRUE(IsRectEmpty(&gone));
        EXPECT_EQ(state.undoCount, 0);
    }));
}

TEST_F(Arrangement, FiftyOneWindowsGrowTheUndoTable)
{
    Monitors(1);
    WindowFixture fixture(51);
    ASSERT_TRUE(RunExtPropDialog([&](HWND, ExtPropState &state) {
        EXPECT_FALSE(RememberPlacement((HWND)0x1234));
        std::vector<RECT> places;
        for (int k = 0; k < 51; k++) {
            HWND window = WindowFixture::Find(("Fixture " + std::to_string(k)).c_str());
            ASSERT_TRUE(RememberPlacement(window));
            EXPECT_EQ(state.undoCapacity, k < 50 ? 50 : 100) << k;
            places.push_back(WindowRect(window));
            SetWindowPos(window, nullptr, places[k].left + 300, places[k].top + 5, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER);
            EXPECT_TRUE(RememberPlacement(window));
        }
        EXPECT_EQ(state.undoCount, 51) << "each window once, at its first place";
        RestoreWindowMoves();
        for (int k = 0; k < 51; k++) {
            RECT rect = WindowRect(WindowFixture::Find(("Fixture " + std::to_string(k)).c_str()));
            EXPECT_TRUE(rect.left == places[k].left && rect.top == places[k].top) << k;
        }
        EXPECT_EQ(state.undoTable, nullptr);
        EXPECT_EQ(state.undoCapacity, 0);
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
    HWND window = WindowFixture::Find("Fixture 0");
    ScopedWallpaper wallpaper(800, 600, RGB(30, 160, 90), "0", "2");
    auto open = [&](int k) {
        const DialogEnd ends[3] = {DialogEnd::Cancel, DialogEnd::Ok, DialogEnd::Close};
        return RunExtPropDialog(
            [&](HWND dialog, ExtPropState &state) {
                POINT press = ChooseAndPress(dialog, state, window);
                PointerMessage(dialog, WM_MOUSEMOVE, {press.x + 5, press.y});
                PointerMessage(dialog, WM_MOUSEMOVE, {press.x + 9, press.y + 3});
                PointerMessage(dialog, WM_LBUTTONUP, {press.x + 9, press.y + 3}, 0);
                ASSERT_NE(WallpaperCache.bitmap, nullptr);
            },
            ends[k % 3]);
    };
    for (int k = 0; k < 3; k++)
        ASSERT_TRUE(open(k)); // what loads once is loaded
    SIZE_T bytes = PrivateBytes();
    unsigned objects = GdiObjects();
    ASSERT_GT(bytes, 0u);
    for (int k = 0; k < 100; k++)
        ASSERT_TRUE(open(k)) << k;
    EXPECT_EQ(GdiObjects(), objects);
    // A leaked picture would be 1.4 MB an opening, a leaked scaled copy 50 KB:
    // a hundred of either stand far above the allowance for the heap's own growth.
    EXPECT_LT(PrivateBytes(), bytes + 1024 * 1024) << bytes;
    EXPECT_EQ(WallpaperCache.bitmap, nullptr) << "the cache goes with the dialog";
}

} // namespace
