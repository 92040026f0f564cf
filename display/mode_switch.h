// Switching a display to a catalogue entry or back to a recorded mode.
#pragma once
#include <windows.h>

#include "display/catalogue.h"

bool SwitchDisplayMode(int display, int entry);
LONG ApplyModeSnapshot(const ModeSnapshot &snapshot, int display);
void ReportModeChangeResult(LONG result);
