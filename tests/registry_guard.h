// Removes the program's keys and the Run value before and after a test, so
// that tests start from a first run and leave nothing behind.
#pragma once
#include <windows.h>

#include <string>

#include "settings/settings.h"

inline void ClearProgramKeys()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY);
    RegDeleteKeyA(HKEY_CURRENT_USER, HIDE_TEXT_ICONS_KEY);
    HKEY run;
    if (RegOpenKeyA(HKEY_CURRENT_USER, RUN_KEY, &run) == ERROR_SUCCESS) {
        RegDeleteValueA(run, OptionNames[0]);
        RegCloseKey(run);
    }
}

struct RegistryGuard {
    RegistryGuard() { ClearProgramKeys(); }
    ~RegistryGuard() { ClearProgramKeys(); }
};

inline void WriteSettingsValue(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    RegCreateKeyA(HKEY_CURRENT_USER, SETTINGS_KEY, &key);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
}

inline void WriteOption(int option, DWORD value)
{
    WriteSettingsValue(OptionNames[option + 1], REG_DWORD, &value, sizeof(value));
}

// The stored value, or -1 when it is missing or not a REG_DWORD.
inline long long ReadStoredOption(int option)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, SETTINGS_KEY, &key) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0, type = 0, size = sizeof(value);
    LONG result = RegQueryValueExA(key, OptionNames[option + 1], nullptr, &type, (BYTE *)&value, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD ? (long long)value : -1;
}

// The Run value's text, or "<missing>".
inline std::string ReadRunValue()
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, RUN_KEY, &key) != ERROR_SUCCESS)
        return "<missing>";
    char text[1024] = "";
    DWORD type = 0, size = sizeof(text);
    LONG result = RegQueryValueExA(key, OptionNames[0], nullptr, &type, (BYTE *)text, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::string(text) : "<missing>";
}
