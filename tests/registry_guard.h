// Removes the program's keys and the Run value before and after a test, so
// that tests start from a first run and leave nothing behind.
#pragma once
#include <windows.h>

#include <shlwapi.h>

#include <string>

#include "settings/settings.h"
#include "tests/ui_driver.h"

// Reads the value into data; gives its type, or REG_NONE when it is missing.
inline DWORD ReadValue(const wchar_t *path, const wchar_t *name, void *data, DWORD size)
{
    DWORD type = REG_NONE;
    return SHGetValueW(HKEY_CURRENT_USER, path, name, &type, data, &size) == ERROR_SUCCESS ? type : REG_NONE;
}

inline void ClearProgramKeys()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, SETTINGS_KEY);
    RegDeleteKeyW(HKEY_CURRENT_USER, HIDE_TEXT_ICONS_KEY);
    SHDeleteValueW(HKEY_CURRENT_USER, RUN_KEY, OptionNames[0]);
}

struct RegistryGuard {
    RegistryGuard() { ClearProgramKeys(); }
    ~RegistryGuard() { ClearProgramKeys(); }
};

inline void WriteSettingsValue(const wchar_t *name, DWORD type, const void *data, DWORD size)
{
    SHSetValueW(HKEY_CURRENT_USER, SETTINGS_KEY, name, type, data, size);
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

// The Run value's text (UTF-8), or "<missing>".
inline std::string ReadRunValue()
{
    wchar_t text[1024] = L"";
    return ReadValue(RUN_KEY, OptionNames[0], text, sizeof(text)) == REG_SZ ? Narrow(text) : "<missing>";
}
