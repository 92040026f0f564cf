// The two popup menus of the tray icon: every display's modes, and the
// command menu's control-panel item.
#pragma once
#include <windows.h>

#include "display/catalogue.h"

void BuildModeMenus(HMENU displayMenu);
void AddPropertiesItem(HMENU commandMenu);
void MarkCurrentModes(int display, const ModeSnapshot &snapshot);

// Menu texts of an entry; buffer of MENU_TEXT_SIZE characters.
#define MENU_TEXT_SIZE 256
void FormatPlainItemText(const ModeEntry &entry, char *text);
void FormatResolutionTitle(const ModeEntry &entry, char *text);
void FormatFrequencyItemText(const ModeEntry &entry, char *text);
