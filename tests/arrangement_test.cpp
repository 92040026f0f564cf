// The canvas: screens and real windows of a second process arranged on it, and
// what it paints read back in pixels, the wallpaper from real JPEG and PNG
// files in each mode among it.
#include <windows.h>

#include <gtest/gtest.h>

#include <psapi.h>

#include "tests/canvas_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

struct Canvas : ::testing::Test {
    RegistryGuard registry;
    ScopedSimAdapter adapter;
    ~Canvas() { ClipCursor(nullptr); }
};

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

// Opens the window list, which fills it, and gives the labels of the process's
// windows, each followed by "|".
std::wstring Labels(const ExtPropState &state, DWORD process)
{
    HWND combo = state.canvas.windowCombo;
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    std::wstring labels;
    for (int i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); i++) {
        DWORD owner = 0;
        GetWindowThreadProcessId((HWND)SendMessageW(combo, CB_GETITEMDATA, i, 0), &owner);
        labels += owner == process ? ComboText(combo, i) + L"|" : L"";
    }
    return labels;
}

// Real windows of another process listed, dragged and put back by Cancel;
// then the screens.
TEST_F(Canvas, WindowListDragAndCancelThenThePrimaryDisplayChosenAndApplied)
{
    WindowFixture fixture(51);
    HWND windows[51], second = WindowFixture::Find("Fixture 1");
    RECT places[51];
    std::wstring listed;
    for (int k = 0; k < 51; k++) {
        places[k] = WindowRect(windows[k] = WindowFixture::Find(("Fixture " + std::to_string(k)).c_str()));
        listed += L"Fixture " + std::to_wstring(k) + L"|";
    }
    const std::wstring title = L"\u65E5\u672C\u8A9E Caf\u00E9 \u0416";
    HWND own = CreateWindowExW(0, L"STATIC", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200,
                               120, nullptr, nullptr, nullptr, nullptr);
    ScopedRegistration<HWND, DestroyWindow> maximised;
    maximised.Reset(CreateWindowExW(0, L"STATIC", title.c_str(),
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MAXIMIZE, 40, 40, 200, 120, nullptr,
                                    nullptr, nullptr, nullptr));
    ASSERT_TRUE(RunExtPropDialog(DialogEnd::Cancel, [&](HWND dialog, ExtPropState &state) {
        SwitchToTab(state, TAB_WINDOWS);
        // A title in any script as it is; no maximised, minimised, flat or hidden window;
        // bottom of the Z order first; the taskbar by the option.
        EXPECT_EQ(Labels(state, GetCurrentProcessId()), title + L"|");
        EXPECT_EQ(Labels(state, fixture.info.dwProcessId), listed + L"*Blank*|");
        state.options[OPT_SHOW_TRAY_BAR_AS_WINDOW] = 1;
        EXPECT_EQ(Labels(state, fixture.info.dwProcessId), listed + L"*Blank*|Fixture taskbar|Fixture band|");
        // The miniature covers the window's place at the canvas's scale:
        // the laid-out frame leaves 198 pixels for 768, 33/128.
        UseLaidOutFrame(state);
        POINT press = PressWindow(dialog, state, second);
        auto at = [](LONG length) { return length * 33 / 128; };
        RECT origin = WindowRect(state.canvas.screenItems[0]), &start = places[1];
        EXPECT_RECT(WindowRect(state.canvas.windowMiniature), origin.left + at(start.left),
                    origin.top + at(start.top), origin.left + at(start.left) + at(start.right - start.left),
                    origin.top + at(start.top) + at(start.bottom - start.top));
        // A move of the pointer moves the real window by the pointer's
        // travel, scaled, at once; the axis not moved stays where it was.
        PointerMessage(dialog, WM_MOUSEMOVE, {press.x + 10, press.y});
        EXPECT_EQ(WindowRect(second).left, start.left + ScaleToDesktop(10, state.canvas.scale));
        EXPECT_EQ(WindowRect(second).top, start.top);
        // Let go elsewhere without a move message: the window is where it was let go.
        PointerMessage(dialog, WM_LBUTTONUP, {press.x + 30, press.y + 7}, 0);
        EXPECT_EQ(WindowRect(second).left, start.left + ScaleToDesktop(30, state.canvas.scale));
        EXPECT_EQ(WindowRect(second).top, start.top + ScaleToDesktop(7, state.canvas.scale));
        // More windows than the undo table first holds, each kept once, at its first place.
        for (HWND window : windows) {
            ASSERT_TRUE(RememberPlacement(&state.canvas, window));
            SetWindowPos(window, nullptr, 300, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            RememberPlacement(&state.canvas, window);
        }
        EXPECT_EQ(state.canvas.undoCount, 51);
        // A window closes in the middle of a drag: the drag ends and the miniature hides.
        POINT again = PressWindow(dialog, state, own);
        DestroyWindow(own);
        PointerMessage(dialog, WM_MOUSEMOVE, {again.x + 7, again.y});
        EXPECT_FALSE(state.canvas.dragging || GetCapture() || IsWindowVisible(state.canvas.windowMiniature));
    }));
    for (int k = 0; k < 51; k++)
        EXPECT_RECT(WindowRect(windows[k]), places[k].left, places[k].top, places[k].right, places[k].bottom);

    // Five plain screens, the fifth of another shape: the primary display
    // chosen on the canvas and applied.
    SimSetMonitors(5);
    WriteOption(OPT_SHOW_WALLPAPER_DESKTOP, 0);
    SetRect(&Sim.monitors[4].rect, 4096, 0, 4096 + 1280, 1024); // the fifth of another shape
    Sim.monitors[4].bitsPerPixel = 16;
    ASSERT_TRUE(RunExtPropDialog([](HWND dialog, ExtPropState &state) {
        // A click on the second screen selects it in the list too; the
        // pointer is held inside the frame only while the button is down.
        RECT item = WindowRect(state.canvas.screenItems[1]), frame = WindowRect(state.canvas.canvasFrame),
             clip = {};
        POINT second = Centre(item);
        PointerMessage(dialog, WM_LBUTTONDOWN, second);
        // Held where the screen, pressed at its centre, stays in the frame.
        EXPECT_TRUE(GetClipCursor(&clip) && !PointerFree()) << "confined during the press";
        EXPECT_TRUE(clip.left - (second.x - item.left) >= frame.left &&
                    clip.top - (second.y - item.top) >= frame.top &&
                    clip.right + (item.right - second.x) <= frame.right + 1 &&
                    clip.bottom + (item.bottom - second.y) <= frame.bottom + 1);
        PointerMessage(dialog, WM_LBUTTONUP, second, 0);
        EXPECT_TRUE(PointerFree()) << "freed at the release";
        EXPECT_EQ(SendMessageA(state.canvas.screenCombo, CB_GETCURSEL, 0, 0), 1);
        // Each screen drawn plain in the selected colours or the others, with its digit somewhere.
        for (int i = 0; i < state.canvas.screenCount; i++) {
            HWND screen = state.canvas.screenItems[i];
            EXPECT_EQ(Pixel(screen, 1, 1), GetSysColor(i == 1 ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
            COLORREF digit = GetSysColor(i == 1 ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
            RECT client = RectIn(screen, screen); // no border
            ScopedWindowDC dc(screen);
            int shown = 0;
            for (int y = 0; y < client.bottom; y++)
                for (int x = 0; x < client.right; x++)
                    shown += GetPixel(dc.dc, x, y) == digit;
            EXPECT_GT(shown, 0) << "the digit of " << i;
        }
        // Beside all screens nothing is selected; ticking then chooses no display.
        PointerMessage(dialog, WM_LBUTTONDOWN, {frame.left + 4, frame.top + 4});
        Click(state.canvas.primaryCheckBox);
        ClickDialogButton(dialog, IDC_APPLY);
        EXPECT_TRUE(Sim.calls.empty());

        // Tick, clear: nothing waits, but "&Apply" stays enabled.
        ChooseEntry(dialog, state.canvas.screenCombo, 4);
        Click(state.canvas.primaryCheckBox);
        Click(state.canvas.primaryCheckBox);
        EXPECT_TRUE(state.canvas.chosenPrimary == -1 && !state.canvas.primaryPending &&
                    IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
        Click(state.canvas.primaryCheckBox);
        ClickDialogButton(dialog, IDC_APPLY);
        // As /primary does it (the command line's tests read each call): the
        // chosen display first, at the origin, then every other one and the apply.
        ASSERT_EQ(Sim.calls.size(), 6u);
        EXPECT_EQ(Sim.calls[0].device + L" " + std::to_wstring(Sim.calls[0].mode.dmPosition.x),
                  L"\\\\.\\Display5 0");

        // A refusal is told (that nothing more is then asked of the platform:
        // the command line's tests).
        Sim.changeResult = DISP_CHANGE_BADMODE;
        Click(state.canvas.primaryCheckBox);
        Click(state.canvas.primaryCheckBox);
        Watch told;
        WhenWindowAppears([] { return FindShown("#32770", "Error"); },
                          [&told](HWND box) { told.Close(box); });
        ClickDialogButton(dialog, IDC_APPLY);
        EXPECT_EQ(told.box, "Error: The graphics adapter doesn't\nsupport this video mode.");
        Sim.changeResult = DISP_CHANGE_SUCCESSFUL;

        // A zoom lays the canvas out again: the platform's primary replaces the choice.
        Sim.calls.clear();
        Click(state.canvas.primaryCheckBox);
        Click(state.canvas.primaryCheckBox);
        SendMessageA(state.canvas.zoomSlider, TBM_SETPOS, TRUE, 70);
        SendMessageA(dialog, WM_HSCROLL, TB_ENDTRACK, (LPARAM)state.canvas.zoomSlider);
        ClickDialogButton(dialog, IDC_APPLY);
        EXPECT_EQ(Sim.calls.front().device, L"\\\\.\\Display1");
    }));
}

// The process's private bytes and its GDI and USER objects. Wine answers 0
// for the private bytes and the objects: its page-file usage counts the
// process's anonymous memory, where GDI keeps bitmaps and the heap lives, and
// the handle tables are probed: GDI handles by their slot, windows of this
// process (others come and go) and menus.
std::pair<SIZE_T, unsigned> Usage()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS *)&counters, sizeof(counters));
    unsigned objects = 0;
    for (ULONG_PTR slot = 1; slot < 0x10000; slot++) {
        DWORD owner = 0;
        objects += (GetObjectType((HGDIOBJ)slot) != 0) + (IsMenu((HMENU)slot) != 0) +
                   (IsWindow((HWND)slot) && GetWindowThreadProcessId((HWND)slot, &owner) &&
                    owner == GetCurrentProcessId());
    }
    return {counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage, objects};
}

const COLORREF Red = RGB(220, 30, 30), Green = RGB(30, 200, 60), Blue = RGB(30, 60, 220),
               Desktop = CLR_INVALID;

// A picture WIDTH wide: its left quarter red, its right quarter blue, green between.
template <int WIDTH> COLORREF Quarters(int x, int)
{
    return x < WIDTH / 4 ? Red : x >= WIDTH * 3 / 4 ? Blue : Green;
}

// Within what JPEG and scaling blur; the desktop colour exactly.
::testing::AssertionResult Shows(HWND item, int x, int y, COLORREF color)
{
    COLORREF seen = Pixel(item, x, y);
    if (color == Desktop ? seen == GetSysColor(COLOR_BACKGROUND) : Near(seen, color, 30))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << x << ", " << y << ") shows " << seen << " for " << color;
}

// The dialog on the one 1024 by 768 monitor at scale 0.25 (the item 256 by
// 192): a margin of 56 leaves 192 pixels of the laid-out frame's height.
void OnQuarterScale(const std::function<void(HWND item, ExtPropState &state)> &check)
{
    ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        UseLaidOutFrame(state);
        SendMessageW(state.canvas.zoomSlider, TBM_SETPOS, TRUE, 56);
        SendMessageW(dialog, WM_HSCROLL, TB_ENDTRACK, (LPARAM)state.canvas.zoomSlider);
        ASSERT_TRUE(WaitForWallpapers(dialog, state));
        check(state.canvas.screenItems[0], state);
    }));
}

// Drags the window's miniature by (dx, dy) canvas pixels with one move and lets go there.
void Drag(HWND dialog, ExtPropState &state, HWND window, int dx, int dy)
{
    POINT press = PressWindow(dialog, state, window);
    PointerMessage(dialog, WM_MOUSEMOVE, {press.x + dx, press.y + dy});
    PointerMessage(dialog, WM_LBUTTONUP, {press.x + dx, press.y + dy}, 0);
}

// The first monitor enumerated lies left of the primary, so screen item 0 is
// not the desktop's origin (the real monitors' tests read the screens' places
// in such a layout); windows let go beyond every monitor keep their
// title bar on the nearest one; a window that keeps its own place is told.
// Then, with the same windows, a hundred openings with the wallpaper; then
// each wallpaper mode as the desktop shows it.
TEST_F(Canvas, DragsLandWhereLetGoARefusalIsToldAHundredOpeningsStayFlatAndEachWallpaperModeShows)
{
    SimSetMonitors(2);
    Sim.monitors[0].rect = {-1024, 0, 0, 768};
    Sim.monitors[0].primary = false;
    Sim.monitors[1].rect = {0, 0, 1024, 768};
    Sim.monitors[1].primary = true;
    adapter.Install();
    WindowFixture fixture(2, L"stubborn");
    HWND first = WindowFixture::Find("Fixture 0"), second = WindowFixture::Find("Fixture 1"),
         stubborn = FindWindowA("TessivonStubborn", "Fixture stubborn");
    const RECT secondStart = WindowRect(second);
    ASSERT_TRUE(RunExtPropDialog(DialogEnd::Cancel, [&](HWND dialog, ExtPropState &state) {
        UseLaidOutFrame(state);
        // Above every monitor: the title bar comes down to the top of the work area.
        Drag(dialog, state, second, 0, -100);
        EXPECT_EQ(WindowRect(second).top, 0);
        // Far left of the left monitor: a grip of the title bar stays on it.
        Drag(dialog, state, second, -300, 0);
        EXPECT_EQ(WindowRect(second).left, -1024 - (secondStart.right - secondStart.left) + 40);
        // Below the work area (the bottom 30 pixels are the taskbar's).
        Drag(dialog, state, second, 0, 200);
        int titleHeight = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
        EXPECT_EQ(WindowRect(second).top, 768 - 30 - titleHeight);

        // The stubborn window keeps its place whatever it is asked.
        Drag(dialog, state, stubborn, 15, 15);
        EXPECT_EQ(WindowText(state.hintLabel), "This window refuses to be moved.");
        Drag(dialog, state, first, 3, 0);
        EXPECT_EQ(WindowText(state.hintLabel), "Move windows like you want.") << "until a window moves again";
    }));

    ScopedWallpaper wallpaper(800, 600, RGB(200, 40, 90), L"0");
    // Each opening drags a window: Cancel puts it back, OK and the close box
    // keep it, and so does Cancel after "&Apply"; the items made for the fourth
    // and fifth screens go with each opening.
    SimSetMonitors(5);
    std::pair<SIZE_T, unsigned> before;
    for (int k = 0; k < 103; k++) {
        if (k == 3) // what loads once is loaded
            before = Usage();
        // From the same place each time: let go beyond the monitors, it would stay at their edge.
        SetWindowPos(first, nullptr, 8, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        // DialogEnd in its order: OK, Cancel, the close box.
        ASSERT_TRUE(RunExtPropDialog((DialogEnd)(k % 3), [&](HWND dialog, ExtPropState &state) {
            Drag(dialog, state, first, 9, 0);
            if (k == 1)
                ClickDialogButton(dialog, IDC_APPLY);
            ASSERT_TRUE(WaitForWallpapers(dialog, state));
            ASSERT_NE(state.canvas.wallpaperCache.bitmap, nullptr);
            for (int tab = 0; tab < TAB_COUNT; tab++) // every page, ending on another each time
                SwitchToTab(state, (tab + k) % TAB_COUNT);
        })) << k;
        EXPECT_EQ(WindowRect(first).left > 18, k == 1 || k % 3 != 1) << k;
    }
    EXPECT_EQ(Usage().second, before.second);
    // A leaked decoded picture would be 180 KB an opening, a leaked scaled copy 50 KB:
    // a hundred of either stand far above the allowance for the heap's own growth.
    EXPECT_LT(Usage().first, before.first + 1024 * 1024) << before.first;

    // An 800 by 400 picture on the 4:3 monitor in each mode, from JPEG and PNG
    // files and a JPEG without an extension; a smaller one tiled; files without
    // a picture to show (a header claiming 100,000 by 100,000 pixels, text),
    // written here and kept by the loop, draw the desktop colour. Then span and
    // stretch on two monitors, and the scaled copy's cache.
    SimSetMonitors(1);
    BITMAPINFOHEADER info = {sizeof(info), 100000, 100000, 1, 24, 0, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file = {0x4D42, sizeof(file) + sizeof(info) + 16, 0, 0, sizeof(file) + sizeof(info)};
    std::ofstream(TempPath(L"huge.bmp").c_str(), std::ios::binary)
        << std::string((const char *)&file, sizeof(file)) << std::string((const char *)&info, sizeof(info))
        << std::string(16, '\x7F');
    std::ofstream(TempPath(L"text.jpg").c_str(), std::ios::binary) << "this is no picture\r\n";
    const struct {
        std::vector<std::tuple<int, int, COLORREF>> points;
        const wchar_t *name, *style, *tile;
    } modes[] = {
        // clang-format off
        // Centred at (112, 184): (28, 46) to (228, 146) on the item.
        {{{30, 48, Red}, {128, 96, Green}, {225, 143, Blue}, {27, 96, Desktop}, {128, 45, Desktop},
          {228, 96, Desktop}, {128, 146, Desktop}}, L"centre.jpg", L"0", L"0"},
        // Fitted to 1024 by 512 between bands of the desktop colour (rows 32 to 160).
        {{{1, 34, Red}, {254, 157, Blue}, {128, 31, Desktop}, {128, 160, Desktop}}, L"fit.png", L"6", L"0"},
        // Filled, not tiled: 1536 by 768 cropped to the picture's columns 133 to
        // 667, red to item column 32, blue from 224; tiles of 200 would show red at 210.
        {{{1, 1, Red}, {28, 190, Red}, {36, 96, Green}, {210, 96, Green}, {228, 1, Blue}, {254, 190, Blue}},
         L"fill.jpg", L"10", L"0"},
        // Stretched, from the copy the desktop keeps without an extension.
        {{{1, 1, Red}, {60, 190, Red}, {68, 96, Green}, {254, 190, Blue}}, L"TranscodedWallpaper", L"2", L"0"},
        // A 100 by 50 picture in tiles of 25 by 12 from the corner.
        {{{2, 2, Red}, {12, 6, Green}, {22, 2, Blue}, {27, 2, Red}, {47, 30, Blue}, {251, 186, Red}},
         L"tile.png", L"0", L"1"},
        {{{1, 1, Desktop}, {254, 190, Desktop}}, L"huge.bmp", L"2", L"0"},
        {{{1, 1, Desktop}, {254, 190, Desktop}}, L"text.jpg", L"2", L"0"},
        // clang-format on
    };
    for (const auto &mode : modes) {
        bool tiled = mode.tile[0] == L'1';
        ASSERT_TRUE(
            PathFileExistsW(TempPath(mode.name).c_str()) ||
            WritePicture(TempPath(mode.name), tiled ? 100 : 800, tiled ? 50 : 400, 0,
                         tiled ? Quarters<100> : Quarters<800>,
                         wcsstr(mode.name, L".png") ? GUID_ContainerFormatPng : GUID_ContainerFormatJpeg));
        ScopedWallpaper wallpaper(TempPath(mode.name), mode.style, mode.tile);
        OnQuarterScale([&](HWND item, ExtPropState &) {
            for (auto [x, y, color] : mode.points)
                EXPECT_TRUE(Shows(item, x, y, color)) << mode.name;
        });
    }
    // What the desktop does not know is centred.
    for (const wchar_t *unknown : {L"1", L"100", L"10x", L"", L"99999999999"})
        EXPECT_EQ(WallpaperModeFromValues(L"0", unknown), WALLPAPER_CENTRE) << unknown;

    // A large picture is held no larger than the largest screen item shows
    // it; behind it the gradient, darkest in the top-left corner.
    WriteOption(OPT_FILL_BACKGROUND_WITH_GRADIENT, 1);
    ScopedWallpaper large(3840, 2160, 0, L"2", Quarters<3840>, GUID_ContainerFormatJpeg, L"large.jpg");
    OnQuarterScale([&](HWND item, ExtPropState &state) {
        // The green middle above the screen's number.
        EXPECT_TRUE(Shows(item, 1, 1, Red) && Shows(item, 128, 30, Green) && Shows(item, 254, 190, Blue));
        const WallpaperPicture &picture = state.canvas.wallpapers[0];
        RECT frame;
        GetClientRect(state.canvas.canvasFrame, &frame);
        EXPECT_TRUE(picture.bitmapWidth >= 256 && picture.bitmapWidth <= frame.right &&
                    picture.bitmapHeight <= frame.bottom)
            << picture.bitmapWidth << " x " << picture.bitmapHeight;
        EXPECT_TRUE(Near(Pixel(state.canvas.canvasFrame, 3, 3), GetSysColor(COLOR_BTNSHADOW), 6));
    });

    // Span lays one picture over both monitors (2048 by 1024: red on the first's
    // left half, blue on the second's right half); stretch gives each the whole
    // picture. This platform keeps no wallpaper per monitor: each shows the one.
    SimSetMonitors(2);
    adapter.Install();
    for (bool span : {true, false}) {
        ScopedWallpaper spanned(800, 400, 0, span ? L"22" : L"2", Quarters<800>, GUID_ContainerFormatJpeg,
                                L"span.jpg");
        ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
            ASSERT_TRUE(WaitForWallpapers(dialog, state));
            HWND first = state.canvas.screenItems[0], second = state.canvas.screenItems[1];
            // Inside the frame of the selected first screen (no border).
            LONG w = RectIn(first, first).right, h = RectIn(first, first).bottom;
            EXPECT_TRUE(Shows(first, span ? w / 4 : 8, h / 2, Red));
            EXPECT_TRUE(Shows(first, span ? w * 3 / 4 : w - 9, h / 2, span ? Green : Blue));
            EXPECT_TRUE(Shows(second, span ? w / 4 : 8, h / 2, span ? Green : Red));
            EXPECT_TRUE(Shows(second, span ? w * 3 / 4 : w - 9, h / 2, Blue));
        }));
    }
    // The scaled copy of one part of the picture is not another part of the same size.
    const DWORD twoPixels[2] = {0xDC1E1E, 0x1E3CDC}; // red, blue
    ScopedGdiObject<HBITMAP> picture(CreateBitmap(2, 1, 1, 32, twoPixels));
    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC target(screen.dc);
    ScopedGdiObject<HBITMAP> canvas(CreateCompatibleBitmap(screen.dc, 8, 8));
    ScopedSelection selected(target.dc, canvas.handle);
    ScaledWallpaper cache = {};
    for (int part = 0; part < 2; part++) {
        DrawWallpaperCached(&cache, picture.handle, target.dc, 0, 0, 8, 8, part, 0, 1, 1);
        EXPECT_EQ(GetPixel(target.dc, 4, 4), part ? Blue : Red);
    }
    DeleteWallpaperCache(&cache);
}

} // namespace
