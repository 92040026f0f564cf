// The main window's profiles: the "Profiles" submenu of the display menu, its
// save command, and hotkeys that apply a profile from anywhere. Every profile
// applied goes through the display session.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/profile.h"
#include "session/display_session.h"

struct ProfileMenu {
    HMENU submenu;                            // refilled before the display menu opens
    std::vector<Profile> shown;               // what its items stand for
    std::vector<std::wstring> hotkeyProfiles; // hotkey id k + 1 applies the profile named k
};

// Fills the "Profiles" submenu at the end of the display menu (adding it the
// first time): one item per profile, the one matching the present
// arrangement checked, then "&Save current settings as profile...".
void RefreshProfilesMenu(ProfileMenu *menu, HMENU displayMenu);
// The command of a profile item or the save item; false for any other id.
bool OnProfileCommand(ProfileMenu *menu, DisplaySession *session, HWND window, UINT id);

// Registers every profile's hotkey on the window (dropping the former ones);
// gives one line per combination that could not be registered.
std::wstring RegisterProfileHotkeys(ProfileMenu *menu, HWND window);
void UnregisterProfileHotkeys(ProfileMenu *menu, HWND window);
// WM_HOTKEY with the id RegisterProfileHotkeys gave.
void OnProfileHotkey(ProfileMenu *menu, DisplaySession *session, int id);
