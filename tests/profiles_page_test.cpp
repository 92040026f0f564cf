// The dialog's Profiles tab, read from its real controls, and what it stores.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command/profile_commands.h"
#include "settings/profile_store.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

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
