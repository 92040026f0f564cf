// Removes the program's keys and the Run value before and after a test, so
// that tests start from a first run and leave nothing behind.
#pragma once
#include <windows.h>

#include <shlwapi.h>

#include <string>

#include "settings/settings.h"

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

inline void WriteOption(int option, DWORD value)
{
    SHSetValueW(HKEY_CURRENT_USER, SETTINGS_KEY, OptionNames[option + 1], REG_DWORD, &value, 4);
}

// The stored value, or -1 when it is missing or not a REG_DWORD.
inline long long ReadStoredOption(int option)
{
    DWORD value = 0, type = 0, size = 4;
    bool read = !SHGetValueW(HKEY_CURRENT_USER, SETTINGS_KEY, OptionNames[option + 1], &type, &value, &size);
    return read && type == REG_DWORD ? (long long)value : -1;
}

inline std::wstring ReadRunValue()
{
    wchar_t text[1024] = L"";
    DWORD size = sizeof(text);
    return SHGetValueW(HKEY_CURRENT_USER, RUN_KEY, OptionNames[0], nullptr, text, &size) ? L"<missing>"
                                                                                         : text;
}
