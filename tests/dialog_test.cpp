// The Extended Display Properties dialog: what its ends leave, its pages, the
// options it stores, monitors that come and go, a real mode switch, and the
// Profiles tab read from its real controls; then the canvas: screens and real
// windows of a second process arranged on it, and what it paints read back in
// pixels, the wallpaper from real JPEG and PNG files in each mode among it.
#include <windows.h>

#include <gtest/gtest.h>

#include <psapi.h>

#include <cmath>
#include <vector>

#include "command/profile_commands.h"
#include "settings/profile_store.h"
#include "tests/canvas_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

// What the registry holds after the dialog, under the names earlier versions
// used; the Run value names this program in quotes.
void ExpectStored(const std::vector<long long> &stored, bool run)
{
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_EQ(ReadNumber(L"Software\\Corvale\\Tessivon\\Settings", OptionNames[i + 1]), stored[i])
            << OptionNames[i + 1];
    wchar_t path[MAX_PATH], value[MAX_PATH + 2] = L"<missing>";
    DWORD size = sizeof(value);
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    SHGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"#AA Tessivon",
                nullptr, value, &size);
    EXPECT_EQ(value, run ? L"\"" + std::wstring(path) + L"\"" : L"<missing>");
}

// On every page each shown control lies inside the client area and no two
// overlap; the tab strip and the backdrop lie under them all, and what the
// canvas shows lies inside its frame.
void ExpectNoOverlaps(HWND dialog, ExtPropState &state)
{
    RECT client, common, frame = RectIn(state.canvas.canvasFrame, dialog);
    GetClientRect(dialog, &client);
    auto inside = [&](const RECT &place, const RECT &area) {
        return IntersectRect(&common, &place, &area) && EqualRect(&common, &place);
    };
    for (int tab = TAB_SCREEN; tab < TAB_COUNT; tab++) {
        SwitchToTab(state, tab);
        std::vector<std::pair<HWND, RECT>> shown;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT place = RectIn(child, dialog);
            if (!IsWindowVisible(child) || child == state.tabControl || child == state.canvas.backdrop ||
                (child != state.canvas.canvasFrame && inside(place, frame)))
                continue;
            EXPECT_TRUE(inside(place, client)) << "tab " << tab << ": " << WindowText(child) << " leaves";
            for (auto &[other, was] : shown)
                EXPECT_FALSE(IntersectRect(&common, &place, &was))
                    << "tab " << tab << ": " << WindowText(child) << " / " << WindowText(other);
            shown.push_back({child, place});
        }
    }
}

// The strip, the record and the real windows all show the page (the window
// list stays for the Icons page, which shares it); the screens show on the
// canvas's pages.
void ExpectPage(const ExtPropState &s, int page)
{
    SCOPED_TRACE("page " + std::to_string(page));
    EXPECT_TRUE(SendMessageA(s.tabControl, TCM_GETCURSEL, 0, 0) == page && s.currentTab == page);
    const HWND shownOn[TAB_COUNT] = {
        s.canvas.primaryCheckBox, s.canvas.windowCombo, s.icons.viewWindow, s.optionCheckBoxes[0], s.webLink,
        s.profiles.list};
    for (int tab = 0; tab < TAB_COUNT; tab++) {
        bool shared = tab == TAB_WINDOWS && page == TAB_ICONS;
        EXPECT_EQ(IsWindowVisible(shownOn[tab]) != 0, tab == page || shared) << tab;
    }
    for (int k = 0; k < s.canvas.screenItemCount; k++)
        EXPECT_EQ(IsWindowVisible(s.canvas.screenItems[k]) != 0,
                  page <= TAB_ICONS && k < s.canvas.screenCount)
            << k;
}

// The key as the focused strip receives it, handled once this returns.
void PressTabKey(const ExtPropState &state, WORD key)
{
    SetFocus(state.tabControl);
    SendMessageW(state.tabControl, WM_KEYDOWN, key, 0);
    SendMessageW(state.tabControl, WM_KEYUP, key, 0);
}

// A real click at the tab's centre, which it gives: the strip reads where the cursor is.
POINT ClickTab(const ExtPropState &state, int tab)
{
    RECT item;
    SendMessageA(state.tabControl, TCM_GETITEMRECT, tab, (LPARAM)&item);
    MapWindowPoints(state.tabControl, nullptr, (POINT *)&item, 2);
    PointerMessage(state.tabControl, WM_LBUTTONDOWN, Centre(item));
    PointerMessage(state.tabControl, WM_LBUTTONUP, Centre(item), 0);
    return Centre(item);
}

// The windows wholly inside the work area of the dialog's monitor (the desktop's
// size is the switch's the test asserted and the screen item's shape showed).
void ExpectInDesktop(std::initializer_list<HWND> windows)
{
    MONITORINFO monitor = {sizeof(monitor), {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(*windows.begin(), MONITOR_DEFAULTTONEAREST), &monitor);
    for (HWND window : windows) {
        RECT rect = RectIn(window, nullptr), common;
        EXPECT_TRUE(IntersectRect(&common, &rect, &monitor.rcWork) && EqualRect(&common, &rect))
            << rect.top << " " << rect.bottom << " of " << monitor.rcWork.bottom;
    }
}

// What Cancel, the close box and Apply leave; the page the dialog opens on
// and the pages clicks and keys turn to; the options it stores; monitors that
// come and go; then a real mode switch.
TEST(ExtPropDialog, OptionsPagesMonitorsThatComeAndGoAndARealModeSwitch)
{
    RegistryGuard registry;
    {
        ScopedSimAdapter adapter;
        SimSetMonitors(2);
        // Cancel and WM_CLOSE (the close box) store nothing though an option was
        // changed; Escape (IDCANCEL) does nothing; Apply settles the moves and
        // stays, the options and the Run value stay untouched. More displays
        // than one open on the Screen page. Real clicks and keys change pages,
        // also a click after a key moved away from a clicked tab; a redraw of
        // the strip in the middle of a switch keeps the new page (entering
        // Icons must not find the Windows page in the record).
        for (DialogEnd end : {DialogEnd::Cancel, DialogEnd::Close}) {
            ASSERT_TRUE(RunExtPropDialog(end, [&](HWND dialog, ExtPropState &state) {
                ExpectPage(state, TAB_SCREEN);
                SwitchToTab(state, TAB_SETTINGS);
                Click(state.optionCheckBoxes[OPT_SHOW_WINDOW_CLASS_NAME]);
                SwitchToTab(state, TAB_ABOUT);
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                state.icons.pending = state.canvas.windowsPending = TRUE;
                EnableApplyButton(dialog);
                ClickDialogButton(dialog, IDC_APPLY);
                EXPECT_TRUE(IsWindowVisible(dialog) && !state.icons.pending && !state.canvas.windowsPending &&
                            !IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)))
                    << "open after IDCANCEL (Escape has no handler) and Apply, the moves settled";
                ClickTab(state, TAB_WINDOWS);
                ExpectPage(state, TAB_WINDOWS);
                PressTabKey(state, VK_RIGHT);
                ExpectPage(state, TAB_ICONS);
                POINT at[TAB_COUNT];
                for (int tab : {TAB_SETTINGS, TAB_ICONS, TAB_PROFILES, TAB_ABOUT}) {
                    at[tab] = ClickTab(state, tab);
                    ExpectPage(state, tab);
                }
                MoveCursorTo(at[TAB_ICONS]);
                NMHDR header = {state.tabControl, IDC_TAB_CONTROL, (UINT)TCN_SELCHANGING};
                SendMessageA(dialog, WM_NOTIFY, IDC_TAB_CONTROL, (LPARAM)&header);
                RedrawWindow(state.tabControl, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                EXPECT_EQ(state.currentTab, TAB_ICONS);
            }));
            ExpectStored(std::vector<long long>(OPTION_COUNT, -1), false);
        }

        // Opened with the cursor on the second display: centred on that monitor
        // (the screens laid out where monitors left of and above the primary are:
        // the real monitors' tests). The boxes are ticked from the options on
        // entry and give them back when the page is left, and when OK is pressed
        // on the page itself.
        SetRect(&Sim.monitors[1].rect, -1280, -256, 0, 768); // left of the primary and higher
        WriteOption(OPT_EXT_PROP_AS_DBL_CLICK, 7);
        auto centred = [](HWND dialog, ExtPropState &state) {
            RECT w = RectIn(dialog, nullptr);
            EXPECT_RECT(w, -1280 + (1280 - (w.right - w.left)) / 2, -256 + (1024 - (w.bottom - w.top)) / 2,
                        w.right, w.bottom)
                << "centred on the monitor, not its work area";
            SwitchToTab(state, TAB_SETTINGS);
            Click(state.optionCheckBoxes[OPT_SHOW_WINDOW_CLASS_NAME]);
            SwitchToTab(state, TAB_ABOUT);
            SwitchToTab(state, TAB_SETTINGS);
            Click(state.optionCheckBoxes[OPT_SHOW_TRAY_BAR_AS_WINDOW]);
        };
        ASSERT_TRUE(RunExtPropDialog(DialogEnd::Ok, centred, {-100, 300}));
        // What was read is stored: the defaults where nothing was, any non-zero number as 1.
        ExpectStored({1, 1, 0, 1, 0, 1, 1, 0, 0, 0, 1, 1, 1, 1, 1}, true);
        // Five monitors each get an item with its digit and an entry with a
        // picture in the screen list (their places: the real monitors' tests).
        // Monitors that go and come while the dialog is open are followed (one
        // display refuses the Screen tab); a pending window move keeps its undo,
        // and a dialog left beside every monitor moves onto a monitor's work area.
        SimSetMonitors(5);
        HWND moved = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 50, 120, 80,
                                     nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(RunExtPropDialog(DialogEnd::Cancel, [&](HWND dialog, ExtPropState &state) {
            CanvasState &canvas = state.canvas;
            UseLaidOutFrame(state); // 400 x 198 for 5120 x 768: 80 x 60 a monitor
            for (int k = 0; k < 5; k++) {
                EXPECT_EQ(ComboText(canvas.screenCombo, k), L"\\\\.\\Display" + std::to_wstring(k + 1));
                EXPECT_EQ(WindowText(canvas.screenItems[k]), std::to_string(k + 1));
            }
            EXPECT_EQ(ImageList_GetImageCount(canvas.screenImages), 5);
            RememberPlacement(&canvas, moved);
            MarkWindowsMoved(&canvas);
            SetWindowPos(moved, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            SetWindowPos(dialog, nullptr, 4200, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            for (int count : {2, 4, 1}) {
                SCOPED_TRACE(count);
                SimSetMonitors(count);
                SendMessageW(dialog, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024 * count, 768));
                ASSERT_EQ(canvas.screenCount, count);
                EXPECT_EQ(SendMessageW(canvas.screenCombo, CB_GETCOUNT, 0, 0), count);
                ExpectPage(state, count == 1 ? TAB_WINDOWS : TAB_SCREEN);
                if (count == 1) { // the Screen tab refused, the next key taken: both were read
                    PressTabKey(state, VK_LEFT);
                    PressTabKey(state, VK_RIGHT);
                    ExpectPage(state, TAB_ICONS);
                }
                EXPECT_TRUE(canvas.windowsPending && canvas.undoCount == 1);
                // From beside every monitor onto the nearest one's work area, where
                // it stays until that monitor goes.
                EXPECT_EQ(RectIn(dialog, nullptr).right, count == 1 ? 1024 : 2048);
                EXPECT_EQ(RectIn(dialog, nullptr).top, 100);
                // The screens fill the canvas's width side by side, or its height alone.
                RECT first = RectIn(canvas.screenItems[0], nullptr),
                     last = RectIn(canvas.screenItems[count - 1], nullptr);
                EXPECT_NEAR(count > 1 ? last.right - first.left : first.bottom - first.top,
                            count > 1 ? 400 : 198, 2);
            }
        }));
        EXPECT_RECT(RectIn(moved, nullptr), 40, 50, 160, 130) << "Cancel put the window back";
        DestroyWindow(moved);
    }
    // A real switch of Wine's virtual desktop, one display, which opens on the
    // Windows page, with the dialog open near its bottom-right corner: the
    // screen item takes the desktop's shape, and the dialog, OK and Cancel end
    // up wholly inside the smaller desktop. OK, the Settings page not seen,
    // stores what was read: text is no number (the default), and without the
    // start-up option the Run value goes.
    WriteOption(OPT_LAUNCH_AT_WINDOWS_STARTUP, 0);
    SHSetValueW(HKEY_CURRENT_USER, SETTINGS_KEY, L"FillBackgroundWithGradientColor", REG_SZ, L"1", 4);
    LoadPlatformTable();
    DEVMODEW start = {}, mode = {};
    start.dmSize = mode.dmSize = sizeof(mode);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ASSERT_TRUE(EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &start));
    ASSERT_TRUE(RunExtPropDialog(DialogEnd::Ok, [&](HWND dialog, ExtPropState &state) {
        ExpectPage(state, TAB_WINDOWS);
        RECT box = RectIn(dialog, nullptr);
        SetWindowPos(dialog, nullptr, 1010 - (box.right - box.left), 750 - (box.bottom - box.top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (DWORD height : {400, 480}) {
            mode.dmPelsWidth = 640, mode.dmPelsHeight = height;
            ASSERT_EQ(ChangeDisplaySettingsW(&mode, 0), DISP_CHANGE_SUCCESSFUL);
            auto shape = [&] {
                RECT item = RectIn(state.canvas.screenItems[0], nullptr);
                return (double)(item.right - item.left) / (item.bottom - item.top);
            };
            EXPECT_TRUE(PumpUntil([&] { return fabs(shape() - 640.0 / height) < 0.03; }, 10000)) << shape();
        }
        ExpectInDesktop({dialog, state.okButton, GetDlgItem(dialog, IDC_CANCEL)});
    }));
    ExpectStored({1, 1, 0, 1, 0, 1, 1, 0, 0, 0, 1, 0, 1, 1, 1}, false);
    // Opened on a desktop lower than the dialog, the dialog fits the work
    // area: the miniature gives up room, every button is in reach and on no
    // page does a control lie over another.
    mode.dmPelsWidth = 640, mode.dmPelsHeight = 400;
    ASSERT_EQ(ChangeDisplaySettingsW(&mode, 0), DISP_CHANGE_SUCCESSFUL);
    ASSERT_TRUE(RunExtPropDialog(DialogEnd::Cancel, [&](HWND dialog, ExtPropState &state) {
        ExpectInDesktop({dialog}); // its buttons inside it, as the overlaps' check finds them
        ExpectNoOverlaps(dialog, state);
    }));
    ChangeDisplaySettingsW(&start, 0);
}

using Rows = std::vector<std::wstring>;

// Each row of the list as "name|displays|hotkey", read from the real control.
Rows ListRows(HWND list)
{
    Rows rows;
    for (int item = 0; item < (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); item++) {
        rows.emplace_back();
        for (int column = 0; column < 3; column++) {
            wchar_t text[128] = L"";
            ListView_GetItemText(list, item, column, text, 128);
            rows.back() += (column ? L"|" : L"") + std::wstring(text);
        }
    }
    return rows;
}

// Ctrl+Alt and the key, as the hotkey control holds it.
WORD CtrlAlt(char key) { return MAKEWORD(key, HOTKEYF_CONTROL | HOTKEYF_ALT); }

void Select(HWND list, int item)
{
    ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// Sets the control as a key press does, with the notification it sends; gives the warning shown.
std::string SetHotkey(HWND dialog, const ProfilesPage &page, WORD hotkey)
{
    SendMessageW(page.hotkey, HKM_SETHOTKEY, hotkey, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROFILE_HOTKEY, EN_CHANGE), (LPARAM)page.hotkey);
    return WindowText(page.warning);
}

// Selects the item, types the name and presses the button; gives the warning shown.
std::string Edit(HWND dialog, const ProfilesPage &page, int item, const wchar_t *name,
                 int button = IDC_PROFILE_RENAME)
{
    Select(page.list, item);
    SetWindowTextW(page.nameEdit, name);
    ClickDialogButton(dialog, button);
    return WindowText(page.warning);
}

TEST(ProfilesTab, ListsRenamesDeletesAndSetsHotkeysStoredOnApplyAndOkDroppedOnCancel)
{
    RegistryGuard registry;
    ScopedSimAdapter adapter;
    std::wstring text;
    ASSERT_EQ(SaveProfileCommand(L"Game", nullptr, &text), 0); // on the one monitor
    SimSetMonitors(2);
    ASSERT_EQ(SaveProfileCommand(L"Desk", L"Ctrl+Alt+1", &text, true), 0);
    ASSERT_TRUE(RunExtPropDialog(DialogEnd::Cancel, [](HWND dialog, ExtPropState &state) {
        const ProfilesPage &page = state.profiles;
        SwitchToTab(state, TAB_PROFILES);
        EXPECT_EQ(ListRows(page.list), (Rows{L"Desk|2|Ctrl+Alt+1", L"Game|1|"}));
        EXPECT_EQ(WindowText(page.nameEdit), "Desk") << "the first is selected";
        EXPECT_EQ(SendMessageW(page.hotkey, HKM_GETHOTKEY, 0, 0), CtrlAlt('1'));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PROFILE_AUTO), BST_CHECKED);

        // Rename and a hotkey for the second; Apply stores them.
        Select(page.list, 1);
        EXPECT_EQ(WindowText(page.nameEdit), "Game");
        Click(page.autoApply);
        EXPECT_EQ(Edit(dialog, page, 1, L"desk"), "Another profile is named \"desk\".");
        EXPECT_EQ(Edit(dialog, page, 1, L"Beamer"), "");
        EXPECT_EQ(SetHotkey(dialog, page, CtrlAlt('1')),
                  "Ctrl+Alt+1 is already the hotkey of profile \"Desk\".");
        EXPECT_EQ(SetHotkey(dialog, page, CtrlAlt('5')), "");
        EXPECT_EQ(ListRows(page.list), (Rows{L"Desk|2|Ctrl+Alt+1", L"Beamer|1|Ctrl+Alt+5"}));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
        Profile stored;
        EXPECT_TRUE(LoadProfile(L"Game", &stored)) << "nothing stored before Apply";
        ClickDialogButton(dialog, IDC_APPLY);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
        EXPECT_TRUE(LoadProfile(L"Beamer", &stored) && stored.hotkey == CtrlAlt('5') && stored.autoApply);
        EXPECT_EQ(ListRows(page.list), (Rows{L"Beamer|1|Ctrl+Alt+5", L"Desk|2|Ctrl+Alt+1"}))
            << "read back from the registry";

        // A combination another program holds is told, and kept; then a
        // deletion that Cancel drops.
        HWND other = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, '6'));
        Select(page.list, 1);
        EXPECT_EQ(SetHotkey(dialog, page, CtrlAlt('6')), "Ctrl+Alt+6 is taken by another program.");
        DestroyWindow(other);
        ClickDialogButton(dialog, IDC_PROFILE_DELETE);
        EXPECT_EQ(ListRows(page.list), Rows{L"Beamer|1|Ctrl+Alt+5"});
    }));
    ListProfilesCommand(&text);
    EXPECT_EQ(text, L"Beamer\nDesk\n") << "Apply stored the rename; Cancel keeps the deleted profile";

    // OK stores renames, also one onto a name that another frees, and a deletion.
    for (const wchar_t *renames : {L"Old", L""}) {
        ASSERT_TRUE(RunExtPropDialog(DialogEnd::Ok, [renames](HWND dialog, ExtPropState &state) {
            SwitchToTab(state, TAB_PROFILES);
            Edit(dialog, state.profiles, 1, renames, *renames ? IDC_PROFILE_RENAME : IDC_PROFILE_DELETE);
            Edit(dialog, state.profiles, 0, L"Desk");
        }));
        ListProfilesCommand(&text);
        EXPECT_EQ(text, *renames ? L"Desk\nOld\n" : L"Desk\n");
    }
    Profile desk;
    ASSERT_TRUE(LoadProfile(L"Desk", &desk));
    EXPECT_EQ(desk.displayCount, 1) << "the former Beamer";
}

struct Canvas : ::testing::Test {
    RegistryGuard registry;
    ScopedSimAdapter adapter;
    ~Canvas() { ClipCursor(nullptr); }
};

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
