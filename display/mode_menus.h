// The two popup menus of the tray icon: every display's modes, and the
// command menu's control-panel item.
#pragma once
#include <windows.h>

#include "display/catalogue.h"

// Mode commands: ID_MODE_BASE + MODE_IDS_PER_DISPLAY * display + entry.
#define ID_MODE_BASE 50000
#define MODE_IDS_PER_DISPLAY 1000

// Fills the display menu from the catalogue and notes each entry's command id
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
