// Removes the program's keys and the Run value before and after a test, so
// that tests start from a first run and leave nothing behind.
#pragma once
#include <windows.h>

#include <shlwapi.h>

#include <string>

#include "settings/icon_layouts.h"
#include "settings/profile_store.h"
#include "settings/settings.h"

inline void ClearProgramKeys()
{
    for (const wchar_t *key : {SETTINGS_KEY, HIDE_TEXT_ICONS_KEY, ICON_LAYOUTS_KEY, PROFILES_KEY})
        SHDeleteKeyW(HKEY_CURRENT_USER, key);
    SHDeleteValueW(HKEY_CURRENT_USER, RUN_KEY, OptionNames[0]);
}

struct RegistryGuard {
    RegistryGuard() { ClearProgramKeys(); }
    ~RegistryGuard() { ClearProgramKeys(); }
};

inline void WriteNumber(const wchar_t *key, const std::wstring &name, DWORD value)
{
    SHSetValueW(HKEY_CURRENT_USER, key, name.c_str(), REG_DWORD, &value, sizeof(value));
}

inline void WriteOption(int option, DWORD value)
{
    WriteNumber(SETTINGS_KEY, OptionNames[option + 1], value);
}

// The stored value, or -1 when it is missing or not a REG_DWORD.
inline long long ReadNumber(const wchar_t *key, const std::wstring &name)
{
    DWORD value = 0, type = 0, size = sizeof(value);
    bool read = !SHGetValueW(HKEY_CURRENT_USER, key, name.c_str(), &type, &value, &size);
    return read && type == REG_DWORD ? (long long)value : -1;
}
