// Switching a display to a catalogue entry or back to a recorded mode.
#pragma once
#include <windows.h>

#include "display/catalogue.h"

// The mode a switch to the entry asks of the display, its present orientation
// kept; false for a display or entry the catalogue does not have.
bool SwitchTarget(const DisplayCatalogue &catalogue, int display, int entry, ModeSnapshot *target);
// With CDS_UPDATEREGISTRY the mode becomes the display's stored setting too;
// with 0 it holds until the next logon only; CDS_UPDATEREGISTRY | CDS_NORESET
// stores it without changing the display.
LONG ApplyModeSnapshot(const ModeSnapshot &snapshot, int display, DWORD flags = CDS_UPDATEREGISTRY);
// What the user is told of a failed switch: the text, and its caption
// ("Error" or "Warning"); null for success.
const wchar_t *ModeChangeResultText(LONG result, const wchar_t **caption);
