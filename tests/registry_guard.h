// Removes the program's keys and the Run value before and after a test, so
// that tests start from a first run and leave nothing behind.
#pragma once
#include <windows.h>

#include <shlwapi.h>

#include <string>

#include "settings/settings.h"

// Reads the value into data; gives its type, or REG_NONE when it is missing.
inline DWORD ReadValue(const char *path, const char *name, void *data, DWORD size)
{
    DWORD type = REG_NONE;
    return SHGetValueA(HKEY_CURRENT_USER, path, name, &type, data, &size) == ERROR_SUCCESS ? type : REG_NONE;
}

inline void ClearProgramKeys()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
    RegDeleteKeyA(HKEY_CURRENT_USER, HIDE_TEXT_ICONS_KEY);
    SHDeleteValueA(HKEY_CURRENT_USER, RUN_KEY, OptionNames[0]);
}

struct RegistryGuard {
    RegistryGuard() { ClearProgramKeys(); }
    ~RegistryGuard() { ClearProgramKeys(); }
};

inline void WriteSettingsValue(const char *name, DWORD type, const void *data, DWORD size)
{
    SHSetValueA(HKEY_CURRENT_USER, SETTINGS_KEY, name, type, data, size);
}

inline void WriteOption(int option, DWORD value)
{
    WriteSettingsValue(OptionNames[option + 1], REG_DWORD, &value, 4);
}

// The stored value, or -1 when it is missing or not a REG_DWORD.
inline long long ReadStoredOption(int option)
{
    DWORD value = 0;
    return ReadValue(SETTINGS_KEY, OptionNames[option + 1], &value, sizeof(value)) == REG_DWORD
               ? (long long)value
               : -1;
}

// The Run value's text, or "<missing>".
inline std::string ReadRunValue()
{
    char text[1024] = "";
    return ReadValue(RUN_KEY, OptionNames[0], text, sizeof(text)) == REG_SZ ? std::string(text) : "<missing>";
}
