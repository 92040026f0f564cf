// The displays and the modes each of them accepts, built once at start-up,
// and the record of a monitor's current mode.
#pragma once
#include <windows.h>

#include "display/displays.h"

// Mode command ids give each display 1000 ids below 65536 (see
// display/mode_menus.h), so the menus hold at most fifteen displays.
#define MAX_DISPLAYS 15
#define MAX_DEPTHS 20
#define MAX_ENTRIES_PER_DISPLAY 1000

struct ModeEntry {
    LONG width;
    LONG height;
    LONG bitsPerPixel;
    LONG frequency;     // 0 when the platform does not know it
    LONG commandId;     // set by BuildModeMenus
    LONG groupPosition; // set by BuildModeMenus; -1 for a plain item
    LONG isLandscape;   // 0 for a portrait twin (width and height exchanged)
};

// Every display's accepted modes; display i is the i-th monitor enumerated.
// tables and counts hold displayCount elements each; they and the tables are
// allocated with new[] and freed by FreeDisplayCatalogue.
struct DisplayCatalogue {
    int displayCount;
    ModeEntry **tables;
    int *counts;
};

// How the catalogue is built: with portrait twins of every mode, and with one
// acceptance test per distinct shape (off, every candidate is tested, for
// comparison).
struct CatalogueOptions {
    bool portraitTwins;
    bool reuseShapeAnswers;
};

// The device name of display i (0-based, monitor order) into name
// (CCHDEVICENAME characters), as ReadDisplays names it.
void DisplayDeviceName(int display, wchar_t *name);
// How many displays the catalogue holds for the monitors present: one at
// least, MAX_DISPLAYS at most.
int PresentDisplayCount();
void BuildDisplayCatalogue(DisplayCatalogue *catalogue, CatalogueOptions options);
// Frees the tables; the catalogue is empty afterwards.
void FreeDisplayCatalogue(DisplayCatalogue *catalogue);
// Writes one snapshot per monitor in enumeration order, at most MAX_DISPLAYS;
// gives how many were written.
int SnapshotCurrentModes(ModeSnapshot *destination);

// Stable grouping of entries by colour depth, groups in order of first
// appearance; gives the number of entries written (always count).
int GroupEntriesByDepth(const ModeEntry *entries, int count, ModeEntry *grouped);
