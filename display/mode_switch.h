// Switching a display to a catalogue entry or back to a recorded mode.
#pragma once
#include <windows.h>

#include "display/catalogue.h"

// Gives the platform's result (DISP_CHANGE_*); DISP_CHANGE_BADPARAM for a
// display or entry the catalogue does not have.
LONG SwitchDisplayMode(const DisplayCatalogue &catalogue, int display, int entry);
LONG ApplyModeSnapshot(const ModeSnapshot &snapshot, int display);
// What the user is told of a failed switch: the text, and its caption
// ("Error" or "Warning"); null for success.
const wchar_t *ModeChangeResultText(LONG result, const wchar_t **caption);
