// Profiles in the registry: one key per profile under PROFILES_KEY, named
// after the profile. A key that does not read as a whole profile is skipped,
// never deleted, and never costs the others.
#pragma once
#include <windows.h>

#include <vector>

#include "base/profile.h"

#define PROFILES_KEY L"Software\\Corvale\\Tessivon\\Profiles"

// Non-empty, shorter than PROFILE_NAME_SIZE, no backslash (a key separator)
// and no control characters.
bool IsValidProfileName(const wchar_t *name);
// Every readable profile, in the registry's order of keys; at most MAX_PROFILES.
std::vector<Profile> LoadProfiles();
// The profile of that name (case-insensitive); false when missing or unreadable.
bool LoadProfile(const wchar_t *name, Profile *profile);
// Replaces a stored profile of the same name; false when the name is invalid
// or the key cannot be written.
bool SaveProfile(const Profile &profile);
bool DeleteProfile(const wchar_t *name);
// The profile under its new name; false when the new name is invalid or taken
// by another profile, or the old one is missing.
bool RenameProfile(const wchar_t *oldName, const wchar_t *newName);
// The profile's hotkey and whether it applies itself when its displays are attached.
bool StoreProfileChoices(const wchar_t *name, WORD hotkey, BOOL autoApply);

// "Ctrl+Alt+1" and the like into the stored form; false for anything else.
// A combination needs Ctrl or Alt, so that it cannot take ordinary typing.
bool ParseHotkeyText(const wchar_t *text, WORD *hotkey);
// RegisterHotKey's modifiers (MOD_*) for the stored form.
UINT HotkeyModifiers(WORD hotkey);
// The stored form as text ("Ctrl+Alt+1"), "" for none; text holds 64 characters.
void FormatHotkeyText(WORD hotkey, wchar_t *text);
