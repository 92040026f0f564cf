// The dialog kept within reach of the user: fitted to a low work area and kept on the monitors.
#pragma once
#include <windows.h>

#include "dialog/ext_prop.h"

// On a work area lower than the dialog the miniature gives up the room, so
// that OK, Cancel and Apply stay reachable.
void FitDialogToWorkArea(ExtPropState *state);
// Moves the window wholly onto the work area of the monitor nearest to it
// unless each of its corners lies in some monitor's work area; true when moved.
bool KeepWindowOnMonitors(HWND window);
