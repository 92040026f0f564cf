#include "app/profile_menu.h"

#include "app/keep_or_revert.h"
#include "app/profile_commands.h"
#include "display/profiles.h"
#include "resources/resource_ids.h"
#include "settings/profile_store.h"
#include "settings/settings.h"

// A name as a menu item shows it: "&" would underline the next character.
static std::wstring MenuText(const wchar_t *name)
{
    std::wstring text;
    for (; *name; name++)
        text += *name == L'&' ? L"&&" : std::wstring(1, *name);
    return text;
}

static HMENU FindOrAddProfilesMenu(MainWindowState *state)
{
    HMENU menu = state->displayMenu;
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; position--)
        if (state->profilesMenu && GetSubMenu(menu, position) == state->profilesMenu)
            return state->profilesMenu;
    // The display menu was made anew (or this is the first time).
    state->profilesMenu = CreatePopupMenu();
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(state->profilesMenu), L"Profiles");
    return state->profilesMenu;
}

void RefreshProfilesMenu(MainWindowState *state)
{
    HMENU menu = FindOrAddProfilesMenu(state);
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
    state->menuProfiles = LoadProfiles();
    Profile present;
    CaptureArrangement(&present);
    for (size_t k = 0; k < state->menuProfiles.size(); k++) {
        const Profile &profile = state->menuProfiles[k];
        UINT checked = ProfileMatchesArrangement(profile, present) ? MF_CHECKED : MF_UNCHECKED;
        AppendMenuW(menu, MF_STRING | checked, ID_PROFILE_BASE + k, MenuText(profile.name).c_str());
    }
    if (!state->menuProfiles.empty())
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ID_SAVE_PROFILE, L"&Save current settings as profile...");
}

static void SaveProfileFromMenu(MainWindowState *state)
{
    wchar_t name[PROFILE_NAME_SIZE] = L"";
    if (AskProfileName(state->window, name) != IDOK)
        return;
    Profile existing;
    WORD hotkey = LoadProfile(name, &existing) ? existing.hotkey : 0;
    if (!SaveCurrentArrangement(name, hotkey)) {
        MessageBoxW(state->window, L"Couldn't save the profile.", L"Error", MB_ICONEXCLAMATION);
        return;
    }
    RegisterProfileHotkeys(state);
}

bool OnProfileCommand(MainWindowState *state, UINT id)
{
    if (id == ID_SAVE_PROFILE) {
        SaveProfileFromMenu(state);
        return true;
    }
    if (id < ID_PROFILE_BASE || id >= ID_PROFILE_BASE + MAX_PROFILES)
        return false;
    size_t k = id - ID_PROFILE_BASE;
    if (k < state->menuProfiles.size())
        ApplyProfileFromTray(state, state->menuProfiles[k]);
    return true;
}

// Where every profile switch from the menu or a hotkey ends: the user may
// take it back. Escape puts the previous arrangement back until another
// program is activated; the timed keep-or-revert question is asked here.
static void OfferKeepOrRevert(MainWindowState *state)
{
    if (ReadOptionNumberOr(OPT_CONFIRM_MODE_CHANGE, 1)) {
        int seconds = state->confirmSeconds ? state->confirmSeconds : KEEP_OR_REVERT_SECONDS;
        KeepOrRevert question = {nullptr, nullptr, 0, 0, seconds, nullptr, 0};
        state->confirming = TRUE;
        bool kept = AskKeepOrRevert(state->window, &question);
        state->confirming = FALSE;
        if (!kept) {
            PrepareDisplayChange(state);
            RestoreArrangementBefore(state);
            state->modeChanged = FALSE;
            return;
        }
    }
    state->profileApplied = TRUE;
    state->modeChanged = TRUE;
}

void ApplyProfileFromTray(MainWindowState *state, const Profile &profile)
{
    if (state->confirming)
        return;
    Profile before;
    CaptureArrangement(&before);
    PrepareDisplayChange(state);
    ProfileApplyResult result;
    ApplyProfile(profile, &result);
    bool changed = result.applied > 0 && result.finalResult == DISP_CHANGE_SUCCESSFUL;
    std::wstring text = DescribeProfileApplyResult(result);
    if (!text.empty())
        MessageBoxW(state->window, (L"Profile \"" + std::wstring(profile.name) + L"\":\n" + text).c_str(),
                    changed ? L"Warning" : L"Error", MB_ICONEXCLAMATION);
    if (!changed)
        return;
    state->arrangementBefore = before;
    OfferKeepOrRevert(state);
}

void RestoreArrangementBefore(MainWindowState *state)
{
    ProfileApplyResult result;
    ApplyProfile(state->arrangementBefore, &result);
}

// ---------------------------------------------------------------------------
// Hotkeys: id k + 1 applies the profile named hotkeyProfiles[k].

void UnregisterProfileHotkeys(MainWindowState *state)
{
    for (size_t k = 0; k < state->hotkeyProfiles.size(); k++)
        UnregisterHotKey(state->window, (int)k + 1);
    state->hotkeyProfiles.clear();
}

std::wstring RegisterProfileHotkeys(MainWindowState *state)
{
    UnregisterProfileHotkeys(state);
    std::wstring failures;
    for (const Profile &profile : LoadProfiles()) {
        if (!profile.hotkey)
            continue;
        state->hotkeyProfiles.push_back(profile.name);
        int id = (int)state->hotkeyProfiles.size();
        if (RegisterHotKey(state->window, id, HotkeyModifiers(profile.hotkey), LOBYTE(profile.hotkey)))
            continue;
        DWORD error = GetLastError();
        wchar_t keys[64], line[256];
        FormatHotkeyText(profile.hotkey, keys);
        if (error == ERROR_HOTKEY_ALREADY_REGISTERED)
            wsprintfW(line, L"The hotkey %s of profile \"%s\" is taken by another program.\n", keys,
                      profile.name);
        else
            wsprintfW(line, L"The hotkey %s of profile \"%s\" couldn't be registered (error %lu).\n", keys,
                      profile.name, error);
        failures += line;
    }
    return failures;
}

void OnProfileHotkey(MainWindowState *state, int id)
{
    Profile profile;
    if (state->dialogOpen || id < 1 || id > (int)state->hotkeyProfiles.size() ||
        !LoadProfile(state->hotkeyProfiles[id - 1].c_str(), &profile))
        return;
    ApplyProfileFromTray(state, profile);
}
