// The display menu's "Profiles" submenu and the profiles' hotkeys.
#include "app/profile_menu.h"

#include "app/profile_name_dialog.h"
#include "command/profile_commands.h"
#include "display/profiles.h"
#include "resources/resource_ids.h"
#include "settings/profile_store.h"

// A name as a menu item shows it: "&" would underline the next character.
static std::wstring MenuText(const wchar_t *name)
{
    std::wstring text;
    for (; *name; name++)
        text += *name == L'&' ? L"&&" : std::wstring(1, *name);
    return text;
}

static HMENU FindOrAddProfilesMenu(ProfileMenu *menu, HMENU displayMenu)
{
    for (int position = GetMenuItemCount(displayMenu) - 1; position >= 0; position--)
        if (menu->submenu && GetSubMenu(displayMenu, position) == menu->submenu)
            return menu->submenu;
    // The display menu was made anew (or this is the first time).
    menu->submenu = CreatePopupMenu();
    AppendMenuW(displayMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(displayMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu->submenu), L"Profiles");
    return menu->submenu;
}

void RefreshProfilesMenu(ProfileMenu *menu, HMENU displayMenu)
{
    HMENU submenu = FindOrAddProfilesMenu(menu, displayMenu);
    while (GetMenuItemCount(submenu) > 0)
        DeleteMenu(submenu, 0, MF_BYPOSITION);
    menu->shown = LoadProfiles();
    Profile present;
    CaptureArrangement(&present);
    for (size_t k = 0; k < menu->shown.size(); k++) {
        const Profile &profile = menu->shown[k];
        UINT checked = ProfileMatchesArrangement(profile, present) ? MF_CHECKED : MF_UNCHECKED;
        AppendMenuW(submenu, MF_STRING | checked, ID_PROFILE_BASE + k, MenuText(profile.name).c_str());
    }
    if (!menu->shown.empty())
        AppendMenuW(submenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(submenu, MF_STRING, ID_SAVE_PROFILE, L"&Save current settings as profile...");
}

static void SaveProfileFromMenu(ProfileMenu *menu, HWND window)
{
    wchar_t name[PROFILE_NAME_SIZE] = L"";
    if (AskProfileName(window, name) != IDOK)
        return;
    // A replaced profile keeps its hotkey and its mark.
    Profile existing = {};
    WORD hotkey = LoadProfile(name, &existing) ? existing.hotkey : 0;
    if (!SaveCurrentArrangement(name, hotkey, existing.autoApply)) {
        MessageBoxW(window, L"Couldn't save the profile.", L"Error", MB_ICONEXCLAMATION);
        return;
    }
    RegisterProfileHotkeys(menu, window);
}

// Applies the profile in one step and tells what was not changed; Escape or
// the keep-or-revert question may then put the previous arrangement back.
static void ApplyProfileFromTray(DisplaySession *session, const Profile &profile)
{
    if (session->confirming)
        return;
    ProfileApplyResult result;
    bool changed = SessionApplyProfile(session, profile, &result);
    std::wstring text = DescribeProfileApplyResult(result);
    if (!text.empty())
        MessageBoxW(session->owner, (L"Profile \"" + std::wstring(profile.name) + L"\":\n" + text).c_str(),
                    changed ? L"Warning" : L"Error", MB_ICONEXCLAMATION);
    if (changed)
        SessionConfirmChange(session);
}

bool OnProfileCommand(ProfileMenu *menu, DisplaySession *session, HWND window, UINT id)
{
    if (id == ID_SAVE_PROFILE) {
        SaveProfileFromMenu(menu, window);
        return true;
    }
    if (id < ID_PROFILE_BASE || id >= ID_PROFILE_BASE + MAX_PROFILES)
        return false;
    size_t k = id - ID_PROFILE_BASE;
    if (k < menu->shown.size())
        ApplyProfileFromTray(session, menu->shown[k]);
    return true;
}

// ---------------------------------------------------------------------------
// Hotkeys: id k + 1 applies the profile named hotkeyProfiles[k].

void UnregisterProfileHotkeys(ProfileMenu *menu, HWND window)
{
    for (size_t k = 0; k < menu->hotkeyProfiles.size(); k++)
        UnregisterHotKey(window, (int)k + 1);
    menu->hotkeyProfiles.clear();
}

std::wstring RegisterProfileHotkeys(ProfileMenu *menu, HWND window)
{
    UnregisterProfileHotkeys(menu, window);
    std::wstring failures;
    for (const Profile &profile : LoadProfiles()) {
        if (!profile.hotkey)
            continue;
        menu->hotkeyProfiles.push_back(profile.name);
        int id = (int)menu->hotkeyProfiles.size();
        if (RegisterHotKey(window, id, HotkeyModifiers(profile.hotkey), LOBYTE(profile.hotkey)))
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

void OnProfileHotkey(ProfileMenu *menu, DisplaySession *session, int id)
{
    Profile profile;
    if (id < 1 || id > (int)menu->hotkeyProfiles.size() ||
        !LoadProfile(menu->hotkeyProfiles[id - 1].c_str(), &profile))
        return;
    ApplyProfileFromTray(session, profile);
}
