// The options and the start-at-logon entry in the registry.
#include "settings/settings.h"

const wchar_t *const OptionNames[OPTION_COUNT + 1] = {
    L"#AA Tessivon",           L"ShowWindowClassName",
    L"ShowTrayBarAsWindow",    L"FillBackgroundWithGradientColor",
    L"ShowWallpaperDesktop",   L"ShowDesktopDuringZoom",
    L"DarkIconInTab",          L"ExtPropAsDblClick",
    L"HideIconTextAtStartup",  L"RestoreIconPosAtStartup",
    L"AutomaticlySaveIconPos", L"TessivonTrayIconIn256Colors",
    L"LaunchAtWindowsStartup", L"DisplayPortraitResolution",
    L"ConfirmModeChange",      L"KeepIconLayout",
};

static const wchar_t *OptionName(int option) { return OptionNames[option + 1]; }

DWORD ReadOptionNumber(int option) { return ReadOptionNumberOr(option, 0); }

DWORD ReadOptionNumberOr(int option, DWORD missing)
{
    ScopedKey settings;
    if (!settings.Create(SETTINGS_KEY))
        return missing;
    DWORD value = 0;
    DWORD size = sizeof(value);
    // Whatever the type, up to four bytes are taken as the number; a longer
    // value is not a number at all and counts as off.
    if (RegQueryValueExW(settings.key, OptionName(option), nullptr, nullptr, reinterpret_cast<BYTE *>(&value),
                         &size) != ERROR_SUCCESS)
        return missing;
    return value;
}

void LoadDialogOptions(DWORD options[OPTION_COUNT], DWORD defaults)
{
    for (int i = 0; i < OPTION_COUNT; i++)
        options[i] = (defaults >> i) & 1;
    ScopedKey settings;
    if (!settings.Create(SETTINGS_KEY))
        return;
    for (int i = OPTION_COUNT - 1; i >= 0; i--) {
        DWORD value = 0, type = 0, size = sizeof(value);
        if (RegQueryValueExW(settings.key, OptionName(i), nullptr, &type, reinterpret_cast<BYTE *>(&value),
                             &size) == ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof(value))
            options[i] = value;
    }
}

void QuoteModulePath(const wchar_t *modulePath, wchar_t *quoted, int quotedSize)
{
    if (quotedSize <= 0)
        return;
    int length = lstrlenW(modulePath);
    if (length + 3 > quotedSize) {
        // Cannot happen with a MAX_PATH path and a buffer of MAX_PATH + 2,
        // but an unquoted or cut path must never be written.
        quoted[0] = L'\0';
        return;
    }
    quoted[0] = L'"';
    CopyMemory(quoted + 1, modulePath, length * sizeof(wchar_t));
    quoted[length + 1] = L'"';
    quoted[length + 2] = L'\0';
}

bool StoreDialogOptions(const DWORD options[OPTION_COUNT], const wchar_t *modulePath)
{
    {
        ScopedKey settings;
        if (!settings.Create(SETTINGS_KEY))
            return false;
        for (int i = 0; i < OPTION_COUNT; i++) {
            DWORD value = options[i];
            RegSetValueExW(settings.key, OptionName(i), 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                           sizeof(value));
        }
    }
    ScopedKey run;
    if (!run.Create(RUN_KEY))
        return true;
    if (options[OPT_LAUNCH_AT_WINDOWS_STARTUP]) {
        wchar_t quoted[MAX_PATH + 3];
        QuoteModulePath(modulePath, quoted, MAX_PATH + 3);
        if (quoted[0] && modulePath[0])
            RegSetValueExW(run.key, OptionNames[0], 0, REG_SZ, reinterpret_cast<const BYTE *>(quoted),
                           (lstrlenW(quoted) + 1) * sizeof(wchar_t));
    } else {
        RegDeleteValueW(run.key, OptionNames[0]);
    }
    return true;
}
