// The displays as a script names them: finding one by what a user types;
// choosing the offered mode closest to a request; making one primary.
#pragma once
#include <windows.h>

#include <vector>

#include "display/catalogue.h"
#include "display/displays.h"

// The display that text names: its number as listed (1-based), its device
// name, or its monitor's device path or friendly name, case-insensitively;
// -1 when none matches.
int FindDisplay(const std::vector<DisplayRecord> &displays, const wchar_t *text);

// A mode as asked for; 0 in bitsPerPixel or frequency leaves it open.
struct ModeRequest {
    LONG width;
    LONG height;
    LONG bitsPerPixel;
    LONG frequency;
};

// The offered mode that fits the request: an open depth or rate is kept from
// the current mode when that is offered with the size, else the highest one
// offered. False when the size (with any depth and rate given) is not offered.
bool BestOfferedMode(const ModeEntry *entries, int count, const ModeRequest &request,
                     const ModeSnapshot &current, ModeSnapshot *chosen);

// Moves every display so that the chosen one sits at (0,0) as the primary
// display, then applies all at once; gives the platform's first failure or
// the result of the final apply.
LONG MakePrimaryDisplay(const std::vector<DisplayRecord> &displays, int chosen);
