// Everything the program keeps between runs, under HKEY_CURRENT_USER. Each
// access opens its key, works and closes it at once.
#pragma once
#include <windows.h>

#include "base/scoped.h"

#define SETTINGS_KEY L"Software\\Corvale\\Tessivon\\Settings"
#define HIDE_TEXT_ICONS_KEY L"Software\\Corvale\\Tessivon\\HideTextIcons"
#define RUN_KEY L"Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define DESKTOP_KEY L"Control Panel\\Desktop"

#define OPTION_COUNT 15
// Bit i is the dialog's default for option i.
#define OPTION_DEFAULTS 0x7C28u

// Index 0 names the start-at-logon value in the Run key; the others the options.
extern const wchar_t *const OptionNames[OPTION_COUNT + 1];

enum OptionIndex {
    OPT_SHOW_WINDOW_CLASS_NAME,
    OPT_SHOW_TRAY_BAR_AS_WINDOW,
    OPT_FILL_BACKGROUND_WITH_GRADIENT,
    OPT_SHOW_WALLPAPER_DESKTOP,
    OPT_SHOW_DESKTOP_DURING_ZOOM,
    OPT_DARK_ICON_IN_TAB,
    OPT_EXT_PROP_AS_DBL_CLICK,
    OPT_HIDE_ICON_TEXT_AT_STARTUP,
    OPT_RESTORE_ICON_POS_AT_STARTUP,
    OPT_AUTOMATICLY_SAVE_ICON_POS,
    OPT_TRAY_ICON_IN_256_COLORS,
    OPT_LAUNCH_AT_WINDOWS_STARTUP,
    OPT_DISPLAY_PORTRAIT_RESOLUTION,
    OPT_CONFIRM_MODE_CHANGE,
    OPT_KEEP_ICON_LAYOUT,
};

// Reads an option as the program outside the dialog does: up to four bytes of
// any type taken as a number, 0 when the key or the value is missing.
DWORD ReadOptionNumber(int option);
// The same with the value a missing option stands for.
DWORD ReadOptionNumberOr(int option, DWORD missing);

// Reads all options as the dialog does: a REG_DWORD value counts,
// anything else takes bit i of the defaults.
void LoadDialogOptions(DWORD options[OPTION_COUNT], DWORD defaults);

// Writes all options as REG_DWORD, then writes or deletes the
// start-at-logon value. Nothing is written when the Settings key cannot be
// opened. Gives true when the options were written.
bool StoreDialogOptions(const DWORD options[OPTION_COUNT], const wchar_t *modulePath);

// The Run value's data for a program path: the path in double quotes, so that
// a path with spaces cannot be read as another program with arguments.
void QuoteModulePath(const wchar_t *modulePath, wchar_t *quoted, int quotedSize);
