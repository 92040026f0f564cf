// The main window's profiles: the "Profiles" submenu of the display menu, the
// save command with its name dialog, hotkeys that apply a profile from
// anywhere, and Escape after a profile.
#pragma once
#include <windows.h>

#include <string>

#include "app/main_window.h"

// Fills the "Profiles" submenu at the end of the display menu (adding it the
// first time): one item per profile, the one matching the present
// arrangement checked, then "&Save current settings as profile...".
void RefreshProfilesMenu(MainWindowState *state);
// The command of a profile item or the save item; false for any other id.
bool OnProfileCommand(MainWindowState *state, UINT id);
// Applies the profile in one step, tells what was not changed and lets
// Escape (or the keep-or-revert question) put the previous arrangement back.
void ApplyProfileFromTray(MainWindowState *state, const Profile &profile);
// Puts back the arrangement from before the last profile applied.
void RestoreArrangementBefore(MainWindowState *state);

// Registers every profile's hotkey on the main window (dropping the former
// ones); gives one line per combination that could not be registered.
std::wstring RegisterProfileHotkeys(MainWindowState *state);
void UnregisterProfileHotkeys(MainWindowState *state);
// WM_HOTKEY with the id RegisterProfileHotkeys gave.
void OnProfileHotkey(MainWindowState *state, int id);

// The small dialog that asks for a profile's name; an existing name asks
// before it is replaced. IDOK with the name, or IDCANCEL.
INT_PTR AskProfileName(HWND owner, wchar_t name[PROFILE_NAME_SIZE]);
