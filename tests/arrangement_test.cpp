#include <windows.h>

#include <gtest/gtest.h>

#include <psapi.h>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "dialog/ext_prop.h"
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

bool Checked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool ApplyEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)); }

TEST(DragMechanics, ScreenPressConfinement)
{
    // The frame's client area runs from 20 to 420 on the screen; the press is
    // 10 pixels right of the item's left edge and 7 below its top.
    RECT item = {100, 60, 160, 105};
    RECT confined = ScreenPressConfinement({20, 200, 420, 440}, item, {110, 67});
    EXPECT_RECT(confined, 30, 207, 420 - (60 - 10), 440 - (45 - 7));
}

TEST_F(Arrangement, PrimaryDisplayChosenAndApplied)
{
    Monitors(3);
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        ASSERT_EQ(state.currentTab, TAB_SCREEN);
        EXPECT_TRUE(Checked(state.primaryCheckBox)) << "the primary display is selected at first";
        ChooseEntry(dialog, state.screenCombo, 2);
        EXPECT_EQ(state.selectedScreen, 2);
        EXPECT_FALSE(Checked(state.primaryCheckBox));

        // A press on screen item 2 (caption "2") selects it, confines the
        // pointer and captures the mouse; the item does not move.
        RECT item = WindowRect(state.screenItems[1]);
        PointerMessage(dialog, WM_LBUTTONDOWN, {item.left + 10, item.top + 7});
        EXPECT_EQ(state.selectedScreen, 1);
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCURSEL, 0, 0), 1);
        EXPECT_EQ(GetCapture(), dialog);
        RECT frame, clip;
        GetClientRect(state.canvasFrame, &frame);
        MapWindowPoints(state.canvasFrame, nullptr, (POINT *)&frame, 2);
        GetClipCursor(&clip);
        EXPECT_RECT(clip, frame.left + 10, frame.top + 7, frame.right - (item.right - item.left - 10),
                    frame.bottom - (item.bottom - item.top - 7));
        PointerMessage(dialog, WM_MOUSEMOVE, {item.left + 30, item.top + 9});
        PointerMessage(dialog, WM_LBUTTONUP, {item.left + 30, item.top + 9}, 0);
        EXPECT_RECT(WindowRect(state.screenItems[1]), item.left, item.top, item.right, item.bottom);
        EXPECT_EQ(GetCapture(), nullptr);
        GetClipCursor(&clip);
        EXPECT_GT(clip.right - clip.left, frame.right - frame.left) << "the confinement ends";

        // Beside all screens: nothing selected, the list and the box keep their state.
        PointerMessage(dialog, WM_LBUTTONDOWN, {frame.left + 3, frame.top + 3});
        EXPECT_EQ(state.selectedScreen, -1);
        EXPECT_FALSE(state.dragging);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCURSEL, 0, 0), 1);
        SendMessageA(state.primaryCheckBox, BM_CLICK, 0, 0);
        EXPECT_EQ(state.chosenPrimary, -1);
        EXPECT_TRUE(state.primaryPending);
        EXPECT_TRUE(ApplyEnabled(dialog));
        ClickDialogButton(dialog, IDC_APPLY);
        EXPECT_FALSE(state.primaryPending);
        EXPECT_EQ(Sim.ChangeCalls(), 0) << "no display was chosen";

        // Tick, clear: the choice is dropped but "&Apply" stays enabled.
        ChooseEntry(dialog, state.screenCombo, 2);
        SendMessageA(state.primaryCheckBox, BM_CLICK, 0, 0);
        EXPECT_EQ(state.chosenPrimary, 2);
        SendMessageA(state.primaryCheckBox, BM_CLICK, 0, 0);
        EXPECT_EQ(state.chosenPrimary, -1);
        EXPECT_FALSE(state.primaryPending);
        EXPECT_TRUE(ApplyEnabled(dialog));

        SendMessageA(state.primaryCheckBox, BM_CLICK, 0, 0);
        ClickDialogButton(dialog, IDC_APPLY);
        ASSERT_EQ(Sim.ChangeCalls(), 1);
        const SimCall &call = Sim.calls.back();
        EXPECT_EQ(call.function, "ChangeDisplaySettingsExA");
        EXPECT_EQ(call.device, "\\\\.\\Display3");
        EXPECT_EQ(call.flags, 17u);
        EXPECT_EQ(call.mode.dmSize, 156);
        EXPECT_EQ(call.mode.dmDriverExtra, 0);
        EXPECT_EQ(call.mode.dmFields, 1835008u);
        EXPECT_EQ(call.mode.dmPelsWidth, 1024u);
        EXPECT_EQ(call.mode.dmPelsHeight, 768u);
        EXPECT_EQ(call.mode.dmBitsPerPel, 32u);
        EXPECT_FALSE(state.primaryPending);
        EXPECT_FALSE(ApplyEnabled(dialog));

        // A zoom lays the canvas out again: the platform's primary replaces the choice.
        SendMessageA(state.primaryCheckBox, BM_CLICK, 0, 0); // cleared
        SendMessageA(state.primaryCheckBox, BM_CLICK, 0, 0); // ticked for screen 3
        SendMessageA(state.zoomSlider, TBM_SETPOS, TRUE, 70);
        SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), (LPARAM)state.zoomSlider);
        ClickDialogButton(dialog, IDC_APPLY);
        ASSERT_EQ(Sim.ChangeCalls(), 2);
        EXPECT_EQ(Sim.calls.back().device, "\\\\.\\Display1");
    }));

    // Five monitors: the table keeps three, and a display is named by its own monitor.
    SimSetMonitors(5);
    Sim.monitors[2].device = "\\\\.\\DISPLAY7";
    Sim.monitors[2].rect.right = Sim.monitors[2].rect.left + 800;
    adapter.Install();
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        EXPECT_EQ(state.screenCount, 3);
        EXPECT_EQ(SendMessageA(state.screenCombo, CB_GETCOUNT, 0, 0), 3);
        ChooseEntry(dialog, state.screenCombo, 2);
        SendMessageA(state.primaryCheckBox, BM_CLICK, 0, 0);
        ClickDialogButton(dialog, IDC_APPLY);
        // Closed while the button holds a screen: the pointer is freed.
        PointerMessage(dialog, WM_LBUTTONDOWN, Centre(WindowRect(state.screenItems[0])));
        ASSERT_TRUE(state.dragging);
    }));
    RECT clip;
    GetClipCursor(&clip);
    EXPECT_EQ(clip.right - clip.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    ASSERT_EQ(Sim.ChangeCalls(), 3);
    EXPECT_EQ(Sim.calls.back().device, "\\\\.\\DISPLAY7");
    EXPECT_EQ(Sim.calls.back().mode.dmPelsWidth, 800u);
}

struct Entry {
    std::string label;
    HWND window;
    int image;
};

std::vector<Entry> ReadEntries(HWND combo)
{
    std::vector<Entry> entries;
    int count = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        char text[300] = "";
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_LPARAM | CBEIF_IMAGE;
        item.iItem = i;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(combo, CBEM_GETITEMA, 0, (LPARAM)&item);
        entries.push_back({text, (HWND)item.lParam, item.iImage});
    }
    return entries;
}

// The labels of the fixture's entries, in list order.
std::vector<std::string> FixtureLabels(const std::vector<Entry> &entries, DWORD fixture)
{
    std::vector<std::string> labels;
    for (const Entry &entry : entries) {
        DWORD owner = 0;
        GetWindowThreadProcessId(entry.window, &owner);
        if (owner == fixture)
            labels.push_back(entry.label);
    }
    return labels;
}

bool Listed(const std::vector<Entry> &entries, HWND window)
{
    for (const Entry &entry : entries)
        if (entry.window == window)
            return true;
    return false;
}

void FillList(ExtPropState &state)
{
    SendMessageA(state.windowCombo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(state.windowCombo, CB_SHOWDROPDOWN, FALSE, 0);
}

// Chooses the window in the list and presses the button on its miniature.
POINT ChooseAndPress(HWND dialog, ExtPropState &state, HWND window)
{
    FillList(state);
    std::vector<Entry> entries = ReadEntries(state.windowCombo);
    for (size_t i = 0; i < entries.size(); i++)
        if (entries[i].window == window)
            ChooseEntry(dialog, state.windowCombo, (int)i);
    POINT press = Centre(WindowRect(state.windowMiniature));
    PointerMessage(dialog, WM_LBUTTONDOWN, press);
    return press;
}

bool Above(HWND upper, HWND lower)
{
    for (HWND next = GetWindow(upper, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        if (next == lower)
            return true;
    return false;
}

TEST_F(Arrangement, WindowListDragCancelAndApply)
{
    Monitors(1);
    WindowFixture fixture(2);
    HWND first = WindowFixture::Find("Fixture 0"), second = WindowFixture::Find("Fixture 1");
    ASSERT_TRUE(first && second);
    const RECT start = WindowRect(second);
    HWND own = CreateWindowExA(WS_EX_NOACTIVATE, "STATIC", "Own", WS_POPUP | WS_VISIBLE, 600, 700, 40, 30,
                               nullptr, nullptr, nullptr, nullptr);
    SendMessageA(own, WM_SETICON, ICON_SMALL, (LPARAM)LoadIconA(nullptr, IDI_WARNING));

    ASSERT_TRUE(RunExtPropDialog(
        [&](HWND dialog, ExtPropState &state) {
            SwitchToTab(state, TAB_WINDOWS);
            state.options[OPT_SHOW_WINDOW_CLASS_NAME] = 1;
            FillList(state);
            std::vector<Entry> entries = ReadEntries(state.windowCombo);
            // Bottom of the Z order first; no minimised, flat or hidden window.
            EXPECT_EQ(
                FixtureLabels(entries, fixture.process.dwProcessId),
                std::vector<std::string>({"Fixture 0 - 'TessivonFixture'", "Fixture 1 - 'TessivonFixture'",
                                          "*Blank* - 'TessivonFixture'"}));
            EXPECT_FALSE(Listed(entries, dialog));
            // Another program's icon cannot be used under Wine: a window of this
            // process shows that the window's own small icon is taken.
            for (const Entry &entry : entries) {
                if (entry.window == own || entry.window == second) {
                    EXPECT_EQ(entry.image >= 0, entry.window == own) << entry.label;
                }
            }
            int images = ImageList_GetImageCount(state.windowImages);
            EXPECT_GT(images, 0);

            state.options[OPT_SHOW_WINDOW_CLASS_NAME] = 0;
            FillList(state);
            entries = ReadEntries(state.windowCombo);
            EXPECT_EQ(FixtureLabels(entries, fixture.process.dwProcessId),
                      std::vector<std::string>({"Fixture 0", "Fixture 1", "*Blank*"}));
            EXPECT_EQ(ImageList_GetImageCount(state.windowImages), images) << "icons are not kept twice";
            state.options[OPT_SHOW_TRAY_BAR_AS_WINDOW] = 1;
            FillList(state);
            EXPECT_EQ(FixtureLabels(ReadEntries(state.windowCombo), fixture.process.dwProcessId),
                      std::vector<std::string>(
                          {"Fixture 0", "Fixture 1", "*Blank*", "Fixture taskbar", "Fixture band"}));
            EXPECT_FALSE(Listed(ReadEntries(state.windowCombo), FindWindowA("Progman", nullptr)));

            // Two moves of 10 pixels: the window takes the miniature's place of
            // the move before; a repeated move changes nothing.
            POINT press = ChooseAndPress(dialog, state, second);
            ASSERT_TRUE(state.dragging);
            RECT miniature = WindowRect(state.windowMiniature), origin = WindowRect(state.screenItems[0]);
            auto moveAndExpect = [&](int dx, int shown) {
                PointerMessage(dialog, WM_MOUSEMOVE, {press.x + dx, press.y});
                RECT now = WindowRect(second);
                EXPECT_EQ(now.left, ScaleToDesktop(miniature.left - origin.left + shown, state.scale)) << dx;
                EXPECT_EQ(now.top, ScaleToDesktop(miniature.top - origin.top, state.scale)) << dx;
                EXPECT_EQ(now.right - now.left, start.right - start.left);
            };
            moveAndExpect(10, 0);
            moveAndExpect(20, 10);
            moveAndExpect(20, 10);
            EXPECT_TRUE(Above(second, dialog)) << "raised";
            EXPECT_NE(GetForegroundWindow(), second) << "not activated";
            EXPECT_TRUE(state.windowsPending);
            EXPECT_TRUE(ApplyEnabled(dialog));
            PointerMessage(dialog, WM_LBUTTONUP, {press.x + 20, press.y}, 0);
            EXPECT_EQ(GetCapture(), nullptr);
            PumpMessages(450);
            // Back over the real window, which lags one move behind.
            EXPECT_LE(abs(WindowRect(state.windowMiniature).left - (miniature.left + 10)), 1);
        },
        DialogEnd::Cancel));
    EXPECT_RECT(WindowRect(second), start.left, start.top, start.right, start.bottom);

    // "&Apply", then "Cancel": the window stays.
    ASSERT_TRUE(RunExtPropDialog(
        [&](HWND dialog, ExtPropState &state) {
            SwitchToTab(state, TAB_WINDOWS);
            POINT press = ChooseAndPress(dialog, state, second);
            PointerMessage(dialog, WM_MOUSEMOVE, {press.x + 10, press.y});
            PointerMessage(dialog, WM_MOUSEMOVE, {press.x + 30, press.y + 20});
            PointerMessage(dialog, WM_LBUTTONUP, {press.x + 30, press.y + 20}, 0);
            ClickDialogButton(dialog, IDC_APPLY);
            EXPECT_FALSE(state.windowsPending);
            EXPECT_EQ(state.undoTable, nullptr);
        },
        DialogEnd::Cancel));
    EXPECT_GT(WindowRect(second).left, start.left + 10);

    // The window closes in the middle of a drag: the drag ends, the miniature
    // hides, and the dead handle is not remembered.
    ASSERT_TRUE(RunExtPropDialog(
        [&](HWND dialog, ExtPropState &state) {
            SwitchToTab(state, TAB_WINDOWS);
            POINT press = ChooseAndPress(dialog, state, second);
            DestroyWindow(own);
            PostMessageA(second, WM_CLOSE, 0, 0);
            for (int k = 0; k < 100 && IsWindow(second); k++)
                PumpMessages(20);
            ASSERT_FALSE(IsWindow(second));
            PointerMessage(dialog, WM_MOUSEMOVE, {press.x + 7, press.y});
            EXPECT_FALSE(state.dragging);
            EXPECT_EQ(GetCapture(), nullptr);
            EXPECT_FALSE(IsWindowVisible(state.windowMiniature));
            RECT gone = WindowRect(state.windowMiniature);
            EXPECT_TRUE(IsRectEmpty(&gone));
            EXPECT_EQ(state.undoCount, 0);
            EXPECT_FALSE(state.windowsPending);
        },
        DialogEnd::Cancel));
}

TEST_F(Arrangement, FiftyOneWindowsGrowTheUndoTable)
{
    Monitors(1);
    WindowFixture fixture(51);
    std::vector<HWND> windows;
    for (int k = 0; k < 51; k++) {
        windows.push_back(WindowFixture::Find(("Fixture " + std::to_string(k)).c_str()));
        ASSERT_NE(windows.back(), nullptr) << k;
    }
    ASSERT_TRUE(RunExtPropDialog([&](HWND, ExtPropState &state) {
        EXPECT_FALSE(RememberPlacement((HWND)0x1234));
        for (int k = 0; k < 51; k++) {
            EXPECT_TRUE(RememberPlacement(windows[k]));
            EXPECT_EQ(state.undoCapacity, k < 50 ? 50 : 100) << k;
        }
        EXPECT_TRUE(RememberPlacement(windows[0]));
        EXPECT_EQ(state.undoCount, 51) << "each window once";
        for (HWND window : windows) {
            RECT rect = WindowRect(window);
            SetWindowPos(window, nullptr, rect.left + 300, rect.top + 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        RestoreWindowMoves();
        for (int k = 0; k < 51; k++) {
            RECT rect = WindowRect(windows[k]);
            EXPECT_EQ(rect.left, 8 + (k / 10) * 50) << k;
            EXPECT_EQ(rect.top, 8 + (k % 10) * 60) << k;
        }
        EXPECT_EQ(state.undoTable, nullptr);
        EXPECT_EQ(state.undoCount, 0);
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
    ASSERT_NE(window, nullptr);
    std::string picture = WriteUniformPicture("tessivon_leak.bmp", 800, 600, RGB(30, 160, 90));
    ScopedWallpaper wallpaper(picture, "0", "2");
    const DialogEnd ends[3] = {DialogEnd::Cancel, DialogEnd::Ok, DialogEnd::Close};
    auto open = [&](int k) {
        return RunExtPropDialog(
            [&](HWND dialog, ExtPropState &state) {
                ASSERT_NE(state.wallpaper, nullptr);
                SwitchToTab(state, TAB_WINDOWS);
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
    DeleteFileA(picture.c_str());
}

} // namespace
