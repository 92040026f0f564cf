// Builds the catalogue and the two menus from the real menu resource on the
// simulated adapter, as start-up does.
#pragma once
#include <windows.h>

#include <vector>

#include "display/catalogue.h"
#include "display/mode_menus.h"
#include "shell/tessivon.h"
#include "tests/sim_adapter.h"

inline HMENU LoadedMenus;

inline void FreeProgramMenus()
{
    FreeDisplayCatalogue();
    DestroyMenu(LoadedMenus);
    LoadedMenus = DisplayMenu = CommandMenu = nullptr;
}

inline void BuildProgramMenus()
{
    FreeProgramMenus();
    BuildDisplayCatalogue();
    LoadedMenus = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    DisplayMenu = GetSubMenu(LoadedMenus, 0);
    CommandMenu = GetSubMenu(LoadedMenus, 1);
    BuildModeMenus(DisplayMenu);
    AddPropertiesItem(CommandMenu);
}
