#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/profile_commands.h"
#include "settings/profile_store.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

struct ProfilesTab : ::testing::Test {
    RegistryGuard registry;
    ScopedSimAdapter adapter;
    void SetUp() override
    {
        SimSetMonitors(2);
        adapter.Install();
        std::wstring text;
        ASSERT_EQ(SaveProfileCommand(L"Desk", L"Ctrl+Alt+1", &text), 0);
        SimSetMonitors(1);
        ASSERT_EQ(SaveProfileCommand(L"Game", nullptr, &text), 0);
        SimSetMonitors(2);
    }
};

// Each row of the list as "name|displays|hotkey", read from the real control.
std::vector<std::wstring> Rows(HWND list)
{
    std::vector<std::wstring> rows;
    int count = (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (int item = 0; item < count; item++) {
        std::wstring row;
        for (int column = 0; column < 3; column++) {
            wchar_t text[128] = L"";
            LVITEMW cell = {};
            cell.iSubItem = column;
            cell.pszText = text;
            cell.cchTextMax = 128;
            SendMessageW(list, LVM_GETITEMTEXTW, item, (LPARAM)&cell);
            row += (column ? L"|" : L"") + std::wstring(text);
        }
        rows.push_back(row);
    }
    return rows;
}

void Select(HWND list, int item)
{
    LVITEMW state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, item, (LPARAM)&state);
}

// Sets the control as a key press does, with the notification it sends.
void SetHotkey(HWND dialog, HWND control, WORD hotkey)
{
    SendMessageW(control, HKM_SETHOTKEY, hotkey, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROFILE_HOTKEY, EN_CHANGE), (LPARAM)control);
}

TEST_F(ProfilesTab, ListsRenamesDeletesAndSetsHotkeysStoredOnApplyAndOkDroppedOnCancel)
{
    ASSERT_TRUE(RunExtPropDialog(DialogEnd::Cancel, [](HWND dialog, ExtPropState &state) {
        const ProfilesPage &page = state.profiles;
        EXPECT_FALSE(IsWindowVisible(page.list));
        SwitchToTab(state, TAB_PROFILES);
        EXPECT_EQ(state.currentTab, TAB_PROFILES);
        for (HWND control : {page.list, page.nameEdit, page.renameButton, page.deleteButton, page.hotkey})
            EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_FALSE(IsWindowVisible(state.canvas.canvasFrame));
        EXPECT_EQ(Rows(page.list), (std::vector<std::wstring>{L"Desk|2|Ctrl+Alt+1", L"Game|1|"}));
        EXPECT_EQ(WindowText(page.nameEdit), "Desk") << "the first is selected";
        EXPECT_EQ(SendMessageW(page.hotkey, HKM_GETHOTKEY, 0, 0),
                  MAKEWORD('1', HOTKEYF_CONTROL | HOTKEYF_ALT));

        // Rename and a hotkey for the second; Apply stores them.
        Select(page.list, 1);
        EXPECT_EQ(WindowText(page.nameEdit), "Game");
        SetWindowTextW(page.nameEdit, L"desk");
        ClickDialogButton(dialog, IDC_PROFILE_RENAME);
        EXPECT_EQ(WindowText(page.warning), "Another profile is named \"desk\".");
        SetWindowTextW(page.nameEdit, L"Beamer");
        ClickDialogButton(dialog, IDC_PROFILE_RENAME);
        EXPECT_EQ(WindowText(page.warning), "");
        SetHotkey(dialog, page.hotkey, MAKEWORD('1', HOTKEYF_CONTROL | HOTKEYF_ALT));
        EXPECT_EQ(WindowText(page.warning), "Ctrl+Alt+1 is already the hotkey of profile \"Desk\".");
        SetHotkey(dialog, page.hotkey, MAKEWORD('5', HOTKEYF_CONTROL | HOTKEYF_ALT));
        EXPECT_EQ(WindowText(page.warning), "");
        EXPECT_EQ(Rows(page.list), (std::vector<std::wstring>{L"Desk|2|Ctrl+Alt+1", L"Beamer|1|Ctrl+Alt+5"}));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
        Profile stored;
        EXPECT_TRUE(LoadProfile(L"Game", &stored)) << "nothing stored before Apply";
        ClickDialogButton(dialog, IDC_APPLY);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
        EXPECT_FALSE(LoadProfile(L"Game", &stored));
        ASSERT_TRUE(LoadProfile(L"Beamer", &stored));
        EXPECT_EQ(stored.hotkey, MAKEWORD('5', HOTKEYF_CONTROL | HOTKEYF_ALT));
        EXPECT_EQ(stored.displayCount, 1);
        EXPECT_EQ(Rows(page.list), (std::vector<std::wstring>{L"Beamer|1|Ctrl+Alt+5", L"Desk|2|Ctrl+Alt+1"}))
            << "read back from the registry";

        // A combination another program holds is told, and kept; then a
        // deletion that Cancel drops.
        HWND other = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, '6'));
        Select(page.list, 1);
        SetHotkey(dialog, page.hotkey, MAKEWORD('6', HOTKEYF_CONTROL | HOTKEYF_ALT));
        EXPECT_EQ(WindowText(page.warning), "Ctrl+Alt+6 is taken by another program.");
        DestroyWindow(other);
        ClickDialogButton(dialog, IDC_PROFILE_DELETE);
        EXPECT_EQ(Rows(page.list), std::vector<std::wstring>{L"Beamer|1|Ctrl+Alt+5"});
    }));
    std::wstring text;
    ListProfilesCommand(&text);
    EXPECT_EQ(text, L"Beamer\nDesk\n") << "Cancel keeps the deleted profile";
    Profile desk;
    ASSERT_TRUE(LoadProfile(L"Desk", &desk));
    EXPECT_EQ(desk.hotkey, MAKEWORD('1', HOTKEYF_CONTROL | HOTKEYF_ALT));

    // OK stores renames, also one onto a name that another frees, and a deletion.
    for (const wchar_t *renames : {L"Old", L""}) {
        ASSERT_TRUE(RunExtPropDialog(DialogEnd::Ok, [renames](HWND dialog, ExtPropState &state) {
            SwitchToTab(state, TAB_PROFILES);
            Select(state.profiles.list, 1);
            SetWindowTextW(state.profiles.nameEdit, renames);
            ClickDialogButton(dialog, *renames ? IDC_PROFILE_RENAME : IDC_PROFILE_DELETE);
            Select(state.profiles.list, 0);
            SetWindowTextW(state.profiles.nameEdit, L"Desk");
            ClickDialogButton(dialog, IDC_PROFILE_RENAME);
        }));
        ListProfilesCommand(&text);
        EXPECT_EQ(text, *renames ? L"Desk\nOld\n" : L"Desk\n");
    }
    ASSERT_TRUE(LoadProfile(L"Desk", &desk));
    EXPECT_EQ(desk.displayCount, 1) << "the former Beamer";
}

} // namespace
