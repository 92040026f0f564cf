// The catalogue and the two menus as start-up makes them, on the simulated adapter.
#pragma once
#include <windows.h>

#include "app/main_window.h"
#include "display/mode_menus.h"
#include "tests/sim_adapter.h"

// Builds them afresh (freeing the previous ones) in the state.
inline void RebuildProgramMenus(MainWindowState *state)
{
    FreeProgramMenus(state);
    BuildProgramMenus(state, GetModuleHandleW(nullptr));
}
