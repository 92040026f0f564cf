// The two popup menus of the tray icon: every display's modes, and the
// command menu's control-panel item.
#pragma once
#include <windows.h>

#include "display/catalogue.h"

// Mode commands: ID_MODE_BASE + MODE_IDS_PER_DISPLAY * display + entry.
#define ID_MODE_BASE 50000
#define MODE_IDS_PER_DISPLAY 1000
// The last id of the last display; nothing else may use ids from ID_MODE_BASE to here.
#define ID_MODE_LAST (ID_MODE_BASE + MODE_IDS_PER_DISPLAY * MAX_DISPLAYS - 1)
static_assert(ID_MODE_LAST <= 0xFFFF, "a command id is the low word of WM_COMMAND's first parameter");
static_assert(MAX_ENTRIES_PER_DISPLAY <= MODE_IDS_PER_DISPLAY, "a display's ids stay in its range");

// Fills the display menu from the catalogue (one submenu per display, made
// for displays the menu resource has no submenu for) and notes each entry's command id
// and submenu place in the catalogue.
void BuildModeMenus(DisplayCatalogue *catalogue, HMENU displayMenu);
// The control panel's item "&Properties ..." with the id, as the command menu's default.
void AddPropertiesItem(HMENU commandMenu, UINT id);
void MarkCurrentModes(const DisplayCatalogue &catalogue, HMENU displayMenu, int display,
                      const ModeSnapshot &snapshot);
// The display and entry a mode command stands for; false for any other id.
bool DecodeModeCommand(const DisplayCatalogue &catalogue, UINT id, int *display, int *entry);

// Menu texts of an entry; buffer of MENU_TEXT_SIZE characters.
#define MENU_TEXT_SIZE 256
void FormatPlainItemText(const ModeEntry &entry, wchar_t *text);
void FormatResolutionTitle(const ModeEntry &entry, wchar_t *text);
void FormatFrequencyItemText(const ModeEntry &entry, wchar_t *text);
