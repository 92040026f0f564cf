// The Profiles page: stored profiles listed, renamed, deleted, given hotkeys and marked.
// The list shows name, displays and hotkey; the registry follows at "&Apply"
// or OK, Cancel drops the edits.
#include "dialog/profiles_page.h"

#include <string>

#include "base/facts.h"
#include "dialog/dialog_tools.h"
#include "resources/resource_ids.h"
#include "settings/profile_store.h"

// Tried on the dialog and given back at once, to learn whether a combination
// is free.
#define TRIAL_HOTKEY_ID 0xBFFF

// A hidden control at a laid-out pixel place (see DialogPixelsX).
static HWND CreatePageControl(HWND dialog, const wchar_t *className, const wchar_t *text, DWORD style, int id,
                              int x, int y, int width, int height)
{
    HWND control =
        CreateWindowExW(0, className, text, WS_CHILD | style, DialogPixelsX(dialog, x),
                        DialogPixelsY(dialog, y), DialogPixelsX(dialog, width), DialogPixelsY(dialog, height),
                        dialog, reinterpret_cast<HMENU>((INT_PTR)id), InstanceHandle, nullptr);
    SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

static void AddColumn(HWND list, int index, const wchar_t *title, int width)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t *>(title);
    column.cx = width;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

static void LoadEdits(ProfilesPage *page)
{
    page->edits.clear();
    for (const Profile &profile : LoadProfiles()) {
        ProfileEdit edit = {profile, {}, profile.hotkey, profile.autoApply, false};
        lstrcpynW(edit.storedName, profile.name, PROFILE_NAME_SIZE);
        page->edits.push_back(edit);
    }
}

static void SetItemText(HWND list, int item, int column, const wchar_t *text)
{
    LVITEMW cell = {};
    cell.iSubItem = column;
    cell.pszText = const_cast<wchar_t *>(text);
    SendMessageW(list, LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell));
}

static int SelectedEdit(const ProfilesPage *page)
{
    int item = (int)SendMessageW(page->list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    if (item < 0)
        return -1;
    LVITEMW data = {};
    data.mask = LVIF_PARAM;
    data.iItem = item;
    SendMessageW(page->list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return (int)data.lParam;
}

static void ShowSelected(ProfilesPage *page)
{
    int k = SelectedEdit(page);
    page->showing = TRUE;
    SetWindowTextW(page->nameEdit, k >= 0 ? page->edits[k].profile.name : L"");
    SendMessageW(page->hotkey, HKM_SETHOTKEY, k >= 0 ? page->edits[k].profile.hotkey : 0, 0);
    SendMessageW(page->autoApply, BM_SETCHECK,
                 k >= 0 && page->edits[k].profile.autoApply ? BST_CHECKED : BST_UNCHECKED, 0);
    page->showing = FALSE;
    for (HWND control :
         {page->nameEdit, page->renameButton, page->deleteButton, page->hotkey, page->autoApply})
        EnableWindow(control, k >= 0);
}

// The list anew from the edits, the edit of index `select` selected.
static void FillList(ProfilesPage *page, int select)
{
    SendMessageW(page->list, LVM_DELETEALLITEMS, 0, 0);
    int item = 0;
    for (size_t k = 0; k < page->edits.size(); k++) {
        const ProfileEdit &edit = page->edits[k];
        if (edit.deleted)
            continue;
        LVITEMW row = {};
        row.mask = LVIF_TEXT | LVIF_PARAM;
        row.iItem = item;
        row.pszText = const_cast<wchar_t *>(edit.profile.name);
        row.lParam = (LPARAM)k;
        SendMessageW(page->list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
        wchar_t text[64];
        wsprintfW(text, L"%d", edit.profile.displayCount);
        SetItemText(page->list, item, 1, text);
        FormatHotkeyText(edit.profile.hotkey, text);
        SetItemText(page->list, item, 2, text);
        if ((int)k == select) {
            LVITEMW state = {};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(page->list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
        }
        item++;
    }
    ShowSelected(page);
}

void SetUpProfilesPage(ExtPropState *state)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&controls);
    HWND dialog = state->dialogWindow;
    ProfilesPage &page = state->profiles;
    RECT client;
    GetClientRect(dialog, &client);
    // The column of the canvas: 9 pixels from either edge, y 47 to 295.
    int width = MulDiv(client.right, 6, DialogPixelsX(dialog, 6)) - 2 * CONTENT_MARGIN;
    page.list = CreatePageControl(dialog, WC_LISTVIEWW, L"",
                                  WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                  IDC_PROFILE_LIST, CONTENT_MARGIN, 47, width, 130);
    SendMessageW(page.list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddColumn(page.list, 0, L"Name", DialogPixelsX(dialog, width - 200));
    AddColumn(page.list, 1, L"Displays", DialogPixelsX(dialog, 70));
    AddColumn(page.list, 2, L"Hotkey", DialogPixelsX(dialog, 110));
    page.nameLabel = CreatePageControl(dialog, L"STATIC", L"Name:", SS_LEFT, IDC_PROFILE_NAME_LABEL,
                                       CONTENT_MARGIN, 193, 60, 16);
    page.nameEdit = CreatePageControl(dialog, L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
                                      IDC_PROFILE_NEW_NAME, 75, 190, width - 250, 22);
    SendMessageW(page.nameEdit, EM_LIMITTEXT, PROFILE_NAME_SIZE - 1, 0);
    page.renameButton = CreatePageControl(dialog, L"BUTTON", L"Re&name", WS_TABSTOP | BS_PUSHBUTTON,
                                          IDC_PROFILE_RENAME, width - 165, 189, 80, 24);
    page.deleteButton = CreatePageControl(dialog, L"BUTTON", L"&Delete", WS_TABSTOP | BS_PUSHBUTTON,
                                          IDC_PROFILE_DELETE, width - 75, 189, 80, 24);
    page.hotkeyLabel = CreatePageControl(dialog, L"STATIC", L"Hotkey:", SS_LEFT, IDC_PROFILE_HOTKEY_LABEL,
                                         CONTENT_MARGIN, 223, 60, 16);
    page.hotkey = CreatePageControl(dialog, HOTKEY_CLASSW, L"", WS_TABSTOP | WS_BORDER, IDC_PROFILE_HOTKEY,
                                    75, 220, width - 250, 22);
    page.autoApply =
        CreatePageControl(dialog, L"BUTTON", L"Apply when these displays are connected",
                          WS_TABSTOP | BS_AUTOCHECKBOX, IDC_PROFILE_AUTO, CONTENT_MARGIN, 249, width, 18);
    // A combination needs Ctrl or Alt: alone or with Shift, a key gets Ctrl+Alt.
    SendMessageW(page.hotkey, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                 MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    page.warning = CreatePageControl(dialog, L"STATIC", L"", SS_LEFT, IDC_PROFILE_WARNING, CONTENT_MARGIN,
                                     272, width, 20);
    LoadEdits(&page);
    FillList(&page, page.edits.empty() ? -1 : 0);
}

void ShowProfilesPage(ExtPropState *state, BOOL shown)
{
    const ProfilesPage &page = state->profiles;
    for (HWND control : {page.list, page.nameLabel, page.nameEdit, page.renameButton, page.deleteButton,
                         page.hotkeyLabel, page.hotkey, page.autoApply, page.warning})
        ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

static void Edited(ExtPropState *state)
{
    if (!state->profiles.pending)
        EnableApplyButton(state->dialogWindow);
    state->profiles.pending = TRUE;
}

static void Warn(ProfilesPage *page, const std::wstring &text)
{
    SetWindowTextW(page->warning, text.c_str());
}

// The profile (other than `except`) that has the name or the hotkey, or -1.
static int OtherEdit(const ProfilesPage *page, int except, const wchar_t *name, WORD hotkey)
{
    for (size_t k = 0; k < page->edits.size(); k++) {
        const ProfileEdit &edit = page->edits[k];
        if ((int)k != except && !edit.deleted &&
            ((name && !lstrcmpiW(edit.profile.name, name)) || (hotkey && edit.profile.hotkey == hotkey)))
            return (int)k;
    }
    return -1;
}

static void OnRename(ExtPropState *state)
{
    ProfilesPage *page = &state->profiles;
    int k = SelectedEdit(page);
    wchar_t name[PROFILE_NAME_SIZE + 1] = L"";
    GetWindowTextW(page->nameEdit, name, PROFILE_NAME_SIZE + 1);
    if (k < 0)
        return;
    if (!IsValidProfileName(name))
        return Warn(page, L"A profile name has 1 to 63 characters, no \"\\\" and no blank at either end.");
    if (OtherEdit(page, k, name, 0) >= 0)
        return Warn(page, L"Another profile is named \"" + std::wstring(name) + L"\".");
    Warn(page, L"");
    lstrcpynW(page->edits[k].profile.name, name, PROFILE_NAME_SIZE);
    FillList(page, k);
    Edited(state);
}

static void OnDelete(ExtPropState *state)
{
    ProfilesPage *page = &state->profiles;
    int k = SelectedEdit(page);
    if (k < 0)
        return;
    page->edits[k].deleted = true;
    Warn(page, L"");
    FillList(page, -1);
    Edited(state);
}

// What the user learns of a combination as it is set: another profile has
// it, or another program holds it (it is kept all the same, and told again
// at start-up).
static std::wstring HotkeyWarning(ExtPropState *state, int k, WORD hotkey)
{
    ProfilesPage *page = &state->profiles;
    wchar_t keys[64];
    FormatHotkeyText(hotkey, keys);
    int other = OtherEdit(page, k, nullptr, hotkey);
    if (other >= 0)
        return std::wstring(keys) + L" is already the hotkey of profile \"" +
               page->edits[other].profile.name + L"\".";
    if (!hotkey)
        return L"";
    HWND dialog = state->dialogWindow;
    if (RegisterHotKey(dialog, TRIAL_HOTKEY_ID, HotkeyModifiers(hotkey), LOBYTE(hotkey))) {
        UnregisterHotKey(dialog, TRIAL_HOTKEY_ID);
        return L"";
    }
    if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED)
        return std::wstring(keys) + L" is taken by another program.";
    return std::wstring(keys) + L" cannot be used as a hotkey.";
}

static void OnHotkeyChange(ExtPropState *state)
{
    ProfilesPage *page = &state->profiles;
    int k = SelectedEdit(page);
    if (page->showing || k < 0)
        return;
    WORD hotkey = (WORD)SendMessageW(page->hotkey, HKM_GETHOTKEY, 0, 0);
    std::wstring warning = HotkeyWarning(state, k, hotkey);
    Warn(page, warning);
    // Two profiles on one combination: the second could never be registered.
    if (OtherEdit(page, k, nullptr, hotkey) >= 0)
        return;
    page->edits[k].profile.hotkey = hotkey;
    wchar_t text[64];
    FormatHotkeyText(hotkey, text);
    int item = (int)SendMessageW(page->list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    SetItemText(page->list, item, 2, text);
    Edited(state);
}

static void OnAutoApplyClick(ExtPropState *state)
{
    ProfilesPage *page = &state->profiles;
    int k = SelectedEdit(page);
    if (page->showing || k < 0)
        return;
    page->edits[k].profile.autoApply = SendMessageW(page->autoApply, BM_GETCHECK, 0, 0) == BST_CHECKED;
    Edited(state);
}

bool ProfilesPageCommand(ExtPropState *state, UINT code, int id, HWND control)
{
    const ProfilesPage &page = state->profiles;
    if (control == page.renameButton && code == BN_CLICKED && id == IDC_PROFILE_RENAME)
        OnRename(state);
    else if (control == page.deleteButton && code == BN_CLICKED && id == IDC_PROFILE_DELETE)
        OnDelete(state);
    else if (control == page.hotkey && code == EN_CHANGE)
        OnHotkeyChange(state);
    else if (control == page.autoApply && code == BN_CLICKED && id == IDC_PROFILE_AUTO)
        OnAutoApplyClick(state);
    else
        return false;
    return true;
}

INT_PTR ProfilesPageNotify(ExtPropState *state, NMHDR *header)
{
    ProfilesPage *page = &state->profiles;
    if (header->hwndFrom == page->list && header->code == LVN_ITEMCHANGED &&
        (reinterpret_cast<NMLISTVIEW *>(header)->uChanged & LVIF_STATE))
        ShowSelected(page);
    return 0;
}

void StoreProfileEdits(ExtPropState *state)
{
    ProfilesPage *page = &state->profiles;
    for (const ProfileEdit &edit : page->edits)
        if (edit.deleted)
            DeleteProfile(edit.storedName);
    // A name that one rename frees may be the next one's: passes until none
    // moves (an exchange of two names stays undone, as the list then shows).
    for (bool moved = true; moved;) {
        moved = false;
        for (ProfileEdit &edit : page->edits)
            if (!edit.deleted && lstrcmpW(edit.storedName, edit.profile.name) &&
                RenameProfile(edit.storedName, edit.profile.name)) {
                lstrcpynW(edit.storedName, edit.profile.name, PROFILE_NAME_SIZE);
                moved = true;
            }
    }
    for (const ProfileEdit &edit : page->edits)
        if (!edit.deleted &&
            (edit.storedHotkey != edit.profile.hotkey || edit.storedAuto != edit.profile.autoApply))
            StoreProfileChoices(edit.storedName, edit.profile.hotkey, edit.profile.autoApply);
    int selected = SelectedEdit(page);
    std::wstring name = selected >= 0 ? page->edits[selected].profile.name : L"";
    LoadEdits(page);
    int select = -1;
    for (size_t k = 0; k < page->edits.size(); k++)
        select = !lstrcmpiW(page->edits[k].profile.name, name.c_str()) ? (int)k : select;
    FillList(page, select);
    page->pending = FALSE;
}
