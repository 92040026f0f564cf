// The desktop icon tools against a stand-in shell in another process: the
// channel, the Icons tab, the hidden labels, the icon view window and the icon
// layouts.
#include <windows.h>

#include <gtest/gtest.h>

#include <exdisp.h>
#include <shlwapi.h>

#include <algorithm>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "base/messages.h"
#include "base/platform.h"
#include "desktop_icons/desktop_icons.h"
#include "desktop_icons/icon_layout.h"
#include "tests/dialog_driver.h"
#include "tests/fixture_shell.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

struct DesktopIcons : ::testing::Test {
    RegistryGuard registry;
    void SetUp() override { LoadPlatformTable(); }
};

// The number of values in the hidden-label store.
DWORD StoredCount()
{
    ScopedKey store;
    DWORD count = 0;
    return store.Open(HIDE_TEXT_ICONS_KEY) && !SHQueryInfoKeyW(store.key, nullptr, nullptr, &count, nullptr)
               ? count
               : 0;
}

// Labels no ANSI code page holds; the two differ only past the first word.
const std::wstring Cafe = L"\u65E5\u672C\u8A9E Caf\u00E9";
const std::wstring Memo = L"\u65E5\u672C\u8A9E \u30E1\u30E2";

// The miniature's client origin in the icon view's client coordinates.
POINT MiniatureInView(const ExtPropState &state)
{
    POINT origin = {0, 0};
    MapWindowPoints(state.canvas.desktopMiniature, state.icons.viewWindow, &origin, 1);
    return origin;
}

// Right-clicks the icon view; gives the popup menu the user saw.
HMENU RightClick(HWND view, int x, int y)
{
    Watch watch(1500, false);
    SendMessageA(view, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
    return watch.menu;
}

// Wine's own shell windows in place of the fixture's while it lasts. One is
// made here first and held: the first making (its DLL loaded, explorer asked)
// may on a busy machine run past what the program waits for, and would then
// stand for a shell that does not answer, not for the refusal asked about.
struct WineShellWindows {
    const wchar_t *key = L"Software\\Classes\\CLSID\\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\\InprocServer32";
    wchar_t fixture[MAX_PATH] = L"";
    DWORD size = sizeof(fixture);
    ScopedComApartment com;
    ScopedComPointer<IUnknown> made;
    WineShellWindows()
    {
        SHGetValueW(HKEY_LOCAL_MACHINE, key, nullptr, nullptr, fixture, &size);
        Set(L"C:\\windows\\system32\\ieframe.dll");
        EXPECT_HRESULT_SUCCEEDED(
            CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IUnknown, made.Out()));
    }
    ~WineShellWindows() { Set(fixture); }
    void Set(const wchar_t *dll)
    {
        SHSetValueW(HKEY_LOCAL_MACHINE, key, nullptr, REG_SZ, dll, (wcslen(dll) + 1) * 2);
    }
};

// The channel reads the shell's icons in the shell's own process, under
// "Progman" or "WorkerW", through the folder view only where it holds the list
// view (not Wine's own), and reaches nothing without a shell; over each of
// these, drops on the Icons tab move the icons at once and they stay through
// the shell's arrangement. Apply settles them; Cancel puts each icon where it
// stood at the Apply, also after a zoom and after the shell ended and another
// started with its icons in another order and other places (the tab follows
// it), also an icon of no file whose label is hidden (known by its "::{GUID}"
// name, as the layout store knows it). A lost activation and OK keep them.
TEST_F(DesktopIcons, ChannelReadsTheShellsIconsAndDropsMoveThemCancelApplyAndLostActivationSettleThem)
{
    // No shell at all (the start-up pass then waits: the main window's
    // tests): nothing to reach.
    ASSERT_EQ(FindDesktopListView(), nullptr);
    EXPECT_FALSE(ScopedSharedBlock(nullptr).open || HideIconText(nullptr, 0) ||
                 SaveIconLayout(nullptr) != -1);

    std::vector<FixtureIcon> named = GridIcons(4, 3);
    named[2].text = Memo;
    for (FixtureIcon &icon : named)
        icon.file = icon.text + L".txt";
    named[3].file = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    named[3].text = L"";
    std::vector<FixtureIcon> reversed(named.rbegin(), named.rend());
    for (FixtureIcon &icon : reversed)
        icon.y += 200;
    for (int kind : {0, 1, 2}) { // under "Progman" with Wine's shell windows, under "WorkerW", a folder view
        const wchar_t *path = kind == 2 ? L"folderview" : L"";
        auto shell = std::make_unique<FixtureShell>(named, kind == 1, path);
        RECT extent = {}, work = NearestWorkArea({0, 0, 1, 1});
        {
            std::unique_ptr<WineShellWindows> wine(kind == 0 ? new WineShellWindows : nullptr);
            ShellChannel channel = {};
            ScopedSharedBlock shared(FindDesktopListView(), &channel);
            ASSERT_TRUE(shared.open) << "kind " << kind;
            std::vector<DesktopIcon> read = ReadEveryDesktopIcon(&shared.block);
            ASSERT_TRUE(GetIconCount(&shared.block) == 4 && read.size() == 4u);
            EXPECT_TRUE((shared.block.folderView.worker != nullptr) == (kind == 2) &&
                        (channel.folderViewRefusedFor == shared.block.listView) == (kind != 2))
                << "a folder view without the list view's window is refused: " << kind;
            FixtureIcon shown = shell->Report().at(2);
            EXPECT_TRUE(read[2].x == shown.x && read[2].y == shown.y && read[2].image == 2 &&
                        read[2].itemNumber == shown.number && shown.text == read[2].text &&
                        shown.text == Memo);
            EXPECT_TRUE(DestroyIcon(GetIconPicture(&shared.block, 2))) << "taken from the item's ID list";
            ASSERT_TRUE(GetIconExtent(&shared.block, 2, &extent) && extent.right > extent.left);
        }

        // Drops icon i at (dx, dy) from the miniature's origin; gives the icon as the shell then holds it.
        auto drop = [&](HWND dialog, const ExtPropState &state, int i, int dx, int dy) {
            POINT origin = MiniatureInView(state);
            SendMessageA(dialog, WM_ICON_MOVED, i, MAKELPARAM(origin.x + dx, origin.y + dy));
            return shell->Report()[i];
        };
        std::vector<FixtureIcon> applied;
        ASSERT_TRUE(RunExtPropDialog(DialogEnd::Cancel, [&](HWND dialog, ExtPropState &state) {
            SwitchToTab(state, TAB_ICONS);
            state.canvas.scale = 0.25f;
            // Inside; beyond the left edge, half beyond the right one, below the
            // bottom: wholly on the work area, the other coordinate as dropped.
            const LONG drops[][5] = {{0, 10, 5, 40, 20},
                                     {2, -30, 20, work.left - extent.left, 80},
                                     {2, work.right / 4 - 2, 20, work.right - extent.right, 80},
                                     {2, 25, work.bottom / 4, 100, work.bottom - extent.bottom}};
            for (const LONG *d : drops) {
                FixtureIcon at = drop(dialog, state, d[0], d[1], d[2]);
                EXPECT_TRUE(at.x == d[3] && at.y == d[4]) << d[0] << " at " << at.x << "," << at.y;
            }
            // A real drag of picture 1, eight pixels right.
            IconViewItem picture = state.icons.view.items[1];
            SendMessageA(state.icons.viewWindow, WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM(picture.x + 4, picture.y + 4));
            EXPECT_FALSE(PointerFree()) << "held inside the view during the drag";
            SendMessageA(state.icons.viewWindow, WM_LBUTTONUP, 0, MAKELPARAM(picture.x + 12, picture.y + 4));
            EXPECT_TRUE(PointerFree()) << "freed at the drop";
            EXPECT_EQ(shell->Report()[1].x, ScaleToDesktop(picture.x + 8 - MiniatureInView(state).x, 0.25f));
            ClickDialogButton(dialog, IDC_APPLY);
            applied = shell->Report();
            drop(dialog, state, 2, 0, 0);
            drop(dialog, state, 0, 0, 0);
            SendMessageA(state.canvas.zoomSlider, TBM_SETPOS, TRUE, 120);
            SendMessageA(dialog, WM_HSCROLL, TB_ENDTRACK, (LPARAM)state.canvas.zoomSlider);
            EXPECT_EQ(state.icons.view.items[0].x,
                      MiniatureInView(state).x + ScaleToCanvas(shell->Report()[0].x, state.canvas.scale));
            shell.reset();
            shell = std::make_unique<FixtureShell>(reversed, kind == 1, path);
            ASSERT_TRUE(PumpUntil(
                [&] { return state.icons.listView == FindDesktopListView() && state.icons.view.count == 4; },
                10000))
                << "the tab did not follow the new shell";
            EXPECT_EQ(state.icons.view.items[0].y,
                      MiniatureInView(state).y + ScaleToCanvas(reversed[0].y, state.canvas.scale));
        }));
        const std::vector<FixtureIcon> settled = shell->Report();
        EXPECT_TRUE(SamePlaces(settled, std::vector<FixtureIcon>(applied.rbegin(), applied.rend())))
            << "each icon where it stood at the Apply, kind " << kind;

        // Losing activation during a drag leaves the icon where it was; OK keeps the drops.
        FixtureIcon dropped;
        ASSERT_TRUE(RunExtPropDialog(DialogEnd::Ok, [&](HWND dialog, ExtPropState &state) {
            SwitchToTab(state, TAB_ICONS);
            IconView &view = state.icons.view;
            IconViewItem picture = view.items[1];
            SendMessageA(view.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(picture.x + 4, picture.y + 4));
            SendMessageA(view.window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(picture.x + 40, picture.y + 30));
            ASSERT_TRUE(view.dragging);
            SendMessageA(dialog, WM_ACTIVATEAPP, FALSE, 0);
            EXPECT_FALSE(view.dragging);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY))) << "nothing was dropped";
            EXPECT_TRUE(SamePlaces({shell->Report()[1]}, {settled[1]})) << "the lost drag moved nothing";
            dropped = drop(dialog, state, 1, 40, 20);
        }));
        EXPECT_TRUE(!SamePlaces({dropped}, {settled[1]}) && SamePlaces({shell->Report()[1]}, {dropped}))
            << "where the drop put it";
    }
}

// Labels outside every ANSI code page, hidden and given back exactly through
// the store, the menus and start-up; every icon on the Icons tab, its
// pictures shared. A click on the tab shows it at once, empty; the icons come
// a chunk at a time on the dialog's own messages, under the busy cursor until
// the last. Icon layouts saved and restored through the icon view's menu with
// the status line, 500 icons at once, twins kept apart, icons gone or not in
// the layout and junk in the store passed over, another setup's layout kept;
// over either path to the shell's icons.
TEST_F(DesktopIcons, LabelsAndLayoutsThroughTheMenusAndAtStartUpIconsComingAChunkAtATimeJunkPassedOver)
{
    const int count = 150;
    std::vector<FixtureIcon> icons = GridIcons(count, 3);
    icons[0].text = Cafe;
    icons[2].text = icons[3].text = Memo;
    for (const wchar_t *path : IconPaths) {
        RegistryGuard fresh;
        {
            // Icons 0, 3, 6 and on share a file, so their ID lists name one path;
            // icons 4 and 5 have no ID list (no such file) and one label. Every third
            // icon moved away, all 500 back in one restore.
            std::vector<FixtureIcon> twins = GridIcons(500, 3);
            twins[4].text = twins[5].text = L"Twin";
            twins[4].file = twins[5].file = L"no|file";
            FixtureShell shell(twins, false, path);
            const std::vector<FixtureIcon> start = shell.Report();
            ASSERT_TRUE(RunExtPropDialog([&](HWND, ExtPropState &state) {
                SwitchToTab(state, TAB_ICONS);
                IconView &view = state.icons.view;
                SendMessageW(view.window, WM_COMMAND, ID_RESTORE_ICON_POSITIONS, 0);
                EXPECT_EQ(WindowText(state.iconStatus), "No icons position saved for this display setup.");
                SendMessageW(view.window, WM_COMMAND, ID_SAVE_ICON_POSITIONS, 0);
                EXPECT_EQ(WindowText(state.iconStatus), "Icons position saved: 500 icons.");
                shell.Move(4, start[5].x, start[5].y); // the twins swapped
                shell.Move(5, start[4].x, start[4].y);
                for (int i = 0; i < 500; i += 3)
                    shell.Move(i, 950, 700);
                SendMessageW(view.window, WM_COMMAND, ID_RESTORE_ICON_POSITIONS, 0);
                EXPECT_EQ(WindowText(state.iconStatus), "Icons position restored: 500 icons.");
                EXPECT_TRUE(SamePlaces(shell.Report(), start));
                SwitchToTab(state, TAB_SETTINGS);
                EXPECT_FALSE(IsWindowVisible(state.iconStatus));
            }));

            // Icon 1 deleted since the save; junk in the store for the first twin
            // (another type), icon 2 (cut short) and icon 6, the third of its file
            // (off any desktop); another setup's layout for icon 0. The first six moved away.
            SendMessageW(FindDesktopListView(), LVM_DELETEITEM, 1, 0);
            std::wstring key = ICON_LAYOUTS_KEY L"\\" + PresentDisplaySetup(),
                         file = ShellFolder() + L"picture ";
            DWORD number = 7;
            LONG offDesktop[2] = {70000, 10};
            SHSetValueW(HKEY_CURRENT_USER, key.c_str(), L"Twin", REG_DWORD, &number, 4);
            SHSetValueW(HKEY_CURRENT_USER, key.c_str(), (file + L"2.exe").c_str(), REG_BINARY, &number, 4);
            SHSetValueW(HKEY_CURRENT_USER, key.c_str(), (file + L"0.txt #3").c_str(), REG_BINARY, offDesktop,
                        8);
            ASSERT_TRUE(WriteIconLayout(L"2048x1536@0,0", {{file + L"0.txt", 9, 9}}));
            for (int i = 0; i < 6; i++)
                shell.Move(i, 600, 100 * i);
            EXPECT_EQ(RestoreIconLayout(FindDesktopListView()), 496) << "icons 0, 3, 5 and 7 on";
            std::vector<FixtureIcon> now = shell.Report();
            EXPECT_TRUE(SamePlaces({now[0], now[2], now[4]}, {start[0], start[3], start[5]}) &&
                        now[1].x == 600 && now[3].x == 600 && now[5].x == 600)
                << "the second and third icons of a file told apart; the junk and the first twin stay";
            // Saving again replaces this setup's values only.
            EXPECT_EQ(SaveIconLayout(FindDesktopListView()), 499);
            std::vector<IconPlace> other;
            EXPECT_TRUE(ReadIconLayout(L"2048x1536@0,0", &other) && other.size() == 1u && other[0].x == 9);
        }
        FixtureShell shell(icons, false, path);
        const std::vector<FixtureIcon> start = shell.Report();
        // Start-up: the stored label is blanked on the icon with text and number,
        // under the key earlier versions used; values the program never writes,
        // ahead of the label in the key's order, are passed over and kept.
        SHSetValueW(HKEY_CURRENT_USER, HIDE_TEXT_ICONS_KEY, L"0 note", REG_SZ, L"not a label", 24);
        SHSetValueW(HKEY_CURRENT_USER, HIDE_TEXT_ICONS_KEY, L"Icon 1", REG_BINARY, &start[1].number, 4);
        WriteNumber(L"Software\\Corvale\\Tessivon\\HideTextIcons", Memo, start[3].number);
        // Stored at another logon: the shell numbers the icon anew. The label is
        // blanked by its text and stored under the present number, so it can come back.
        WriteNumber(HIDE_TEXT_ICONS_KEY, Cafe, 12345);
        StartupIconAction();
        EXPECT_EQ(shell.Report()[3].text, Memo) << "option off: nothing happens";
        WriteOption(OPT_HIDE_ICON_TEXT_AT_STARTUP, 1);
        StartupIconAction();
        std::vector<FixtureIcon> now = shell.Report();
        EXPECT_TRUE(now[0].text == L"" && now[1].text == L"Icon 1" && now[2].text == Memo &&
                    now[3].text == L"");
        EXPECT_EQ(ReadNumber(HIDE_TEXT_ICONS_KEY, Cafe), start[0].number);
        EXPECT_EQ(RestoreIconText(FindDesktopListView(), 3), 1);

        ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
            NMHDR header = {state.tabControl, IDC_TAB_CONTROL, (UINT)TCN_SELCHANGING};
            SwitchTab(&state, &header, TAB_ICONS);
            IconView &view = state.icons.view;
            EXPECT_TRUE(view.count == 0 && state.icons.loading && GetCursor() == state.icons.waitCursor);
            std::vector<int> counts;
            MSG message;
            for (DWORD end = GetTickCount() + 5000; state.icons.loading && GetTickCount() < end;)
                if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageW(&message), counts.push_back(view.count);
            EXPECT_NE(std::find(counts.begin(), counts.end(), ICON_LOAD_CHUNK), counts.end());
            ASSERT_TRUE(view.count == count && state.icons.savedPositions.size() == (size_t)count &&
                        state.icons.busyDepth == 0);
            EXPECT_EQ(SendMessageA(state.icons.combo, CB_GETCOUNT, 0, 0), 0) << "filled when it opens";
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_WINDOW_COMBO, CBN_DROPDOWN),
                         (LPARAM)state.icons.combo);
            EXPECT_EQ(SendMessageA(state.icons.combo, CB_GETCOUNT, 0, 0), count);
            EXPECT_EQ(ImageList_GetImageCount(state.icons.images), 3);
            EXPECT_TRUE(view.items[0].state == ICON_TEXT_HIDDEN && view.items[1].state == 0);
            EXPECT_EQ(ComboText(state.icons.combo, 0), Cafe) << "listed under the stored label";
            for (bool shows : {false, true}) {
                HMENU menu = RightClick(view.window, view.items[0].x + 8, view.items[0].y + 8);
                EXPECT_TRUE(menu == view.itemMenu && view.selected == 0 &&
                            !!(GetMenuState(menu, 0, MF_BYPOSITION) & MF_CHECKED) == shows)
                    << "the icon's menu, \"&Show Icon Text\" ticked while the label shows: " << shows;
                SendMessageA(view.window, WM_COMMAND, ID_SHOW_ICON_TEXT, 0);
                long long number = shows ? (long long)start[0].number : -1;
                EXPECT_TRUE(shell.Report()[0].text == (shows ? L"" : Cafe) &&
                            ReadNumber(HIDE_TEXT_ICONS_KEY, Cafe) == number);
            }
            SendMessageA(view.window, WM_COMMAND, ID_HIDE_ALL_TEXTS, 0);
            for (const FixtureIcon &icon : shell.Report())
                EXPECT_EQ(icon.text, L"");
            EXPECT_EQ(view.items[1].state, (DWORD)ICON_TEXT_HIDDEN);
            EXPECT_EQ(StoredCount(), (DWORD)count)
                << "one value each: \"Icon 1\", \"Icon 4\" to the last, Cafe, Memo and the note";
            EXPECT_EQ(ReadNumber(HIDE_TEXT_ICONS_KEY, Memo), start[3].number) << "the one hidden last";
            SendMessageA(view.window, WM_COMMAND, ID_RESTORE_ALL_TEXTS, 0);
            EXPECT_EQ(view.items[2].state, 0u) << "the marks follow the request";
            RECT client;
            GetClientRect(view.window, &client);
            EXPECT_TRUE(RightClick(view.window, client.right - 2, client.bottom - 2) == view.desktopMenu &&
                        view.selected == -1)
                << "the desktop's menu; a right click on empty space deselects";
        }));
        now = shell.Report();
        EXPECT_TRUE(now[0].text == Cafe && now[1].text == L"Icon 1" && now[2].text == L"" &&
                    now[3].text == Memo)
            << "the twin took the only stored number";
        EXPECT_EQ(StoredCount(), 1u) << "the note kept";
    }

    EXPECT_FALSE(IsDisplaySetupText(L"") || IsDisplaySetupText(L"0x768@0,0") ||
                 IsDisplaySetupText(L"1024x768@0,0;junk") || WriteIconLayout(L"not a setup", {{L"a", 1, 2}}));
    // The same two sizes the other way round are another setup with a layout of its own.
    ScopedSimAdapter adapter;
    SimSetMonitors(2);
    adapter.Install();
    EXPECT_EQ(PresentDisplaySetup(), L"1024x768@0,0;1024x768@1024,0");
    for (SimMonitor &monitor : Sim.monitors)
        OffsetRect(&monitor.rect, monitor.primary ? 0 : -2048, 0);
    adapter.Install();
    EXPECT_EQ(PresentDisplaySetup(), L"1024x768@-1024,0;1024x768@0,0");
    EXPECT_TRUE(WriteIconLayout(PresentDisplaySetup().c_str(), {{L"a", 1, 2}})) << "a setup of its own";
}
// A shell that stops answering once its icons exist, or whose folder view
// alone stops answering: every operation gives up within its bound and writes
// nothing to the label store (that the stored icon layout stays whole through
// /save-icons, /restore-icons and the program's own saves is the end-to-end
// test's case), the start-up pass asks to be tried again, the Icons tab says
// so in its line, and Cancel closes it (the dialog's loop returns); once the
// folder view answers again, the tab reads the icons. A shell that claims
// 100,000,000 items is read up to the cap, which the line tells.
TEST_F(DesktopIcons, HangingOrLyingShellIsBoundedAndTheIconsTabSaysSo)
{
    // On a thread of its own, so that a wait without bound fails here: once
    // the shell has ended, such a wait returns and the thread is joined.
    std::future<void> run;
    for (bool folderView : {false, true}) {
        FixtureShell shell(GridIcons(3, 3), false, folderView ? L"folderview" : L"hang");
        ScopedHandle held(CreateEventW(nullptr, TRUE, FALSE, FOLDER_VIEW_HELD));
        HWND listView = FindDesktopListView();
        ASSERT_NE(listView, nullptr);
        WriteOption(OPT_HIDE_ICON_TEXT_AT_STARTUP, 1);
        WriteNumber(HIDE_TEXT_ICONS_KEY, L"Icon 1", 7);
        run = std::async(std::launch::async, [listView, folderView, &held] {
            if (!folderView) { // labels need no folder view
                EXPECT_FALSE(StartupIconAction()) << "to be tried again";
                EXPECT_FALSE(HideIconText(listView, 0) || RestoreIconText(listView, 1));
                EXPECT_TRUE(StoredCount() == 1 && ReadNumber(HIDE_TEXT_ICONS_KEY, L"Icon 1") == 7);
            }
            EXPECT_TRUE(RunExtPropDialog(DialogEnd::Cancel, [&](HWND, ExtPropState &state) {
                SwitchToTab(state, TAB_ICONS);
                // Told once the load has found it out (the tab's line is set as the load ends).
                const std::string told =
                    "The desktop does not answer; its icons are read again once it does.";
                EXPECT_TRUE(PumpUntil([&] { return WindowText(state.hintLabel) == told; }, 5000));
                EXPECT_EQ(state.icons.view.count, 0);
                SendMessageW(state.icons.view.window, WM_COMMAND, ID_SAVE_ICON_POSITIONS, 0);
                EXPECT_EQ(WindowText(state.iconStatus), "The icons position could not be saved.");
                SetEvent(held.handle);
                EXPECT_TRUE(!folderView || PumpUntil([&] { return state.icons.view.count == 3; }, 10000))
                    << "read again once the folder view answers";
            }));
        });
        EXPECT_EQ(run.wait_for(std::chrono::seconds(60)), std::future_status::ready)
            << "an operation waits on the hung shell without a bound";
    }

    FixtureShell lying(GridIcons(3, 3), false, L"lying");
    EXPECT_TRUE(RunExtPropDialog([&](HWND, ExtPropState &state) {
        SwitchToTab(state, TAB_ICONS);
        EXPECT_EQ(state.icons.view.count, 3) << "the items past the real ones left off";
        EXPECT_EQ(WindowText(state.hintLabel), "The desktop reports more icons than the 10000 shown here.");
    }));
}

} // namespace
