// The Extended Display Properties dialog: what its ends leave, its pages, the
// options it stores, monitors that come and go, a real mode switch, and the
// Profiles tab read from its real controls.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "command/profile_commands.h"
#include "settings/profile_store.h"
#include "tests/canvas_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

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
                SendMessageW(state.optionCheckBoxes[OPT_SHOW_WINDOW_CLASS_NAME], BM_CLICK, 0, 0);
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
            SendMessageW(state.optionCheckBoxes[OPT_SHOW_WINDOW_CLASS_NAME], BM_CLICK, 0, 0);
            SwitchToTab(state, TAB_ABOUT);
            SwitchToTab(state, TAB_SETTINGS);
            SendMessageW(state.optionCheckBoxes[OPT_SHOW_TRAY_BAR_AS_WINDOW], BM_CLICK, 0, 0);
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
        SendMessageW(page.autoApply, BM_CLICK, 0, 0);
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

} // namespace
