// The displays and the modes each of them accepts, built once at start-up,
// and the record of a monitor's current mode.
#pragma once
#include <windows.h>

#define MAX_DISPLAYS 3
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

struct ModeSnapshot {
    LONG width;
    LONG height;
    LONG bitsPerPixel;
    LONG frequency;
};

extern signed char DisplayCount;
extern ModeEntry *ModeTables[MAX_DISPLAYS];
extern LONG ModeCounts[MAX_DISPLAYS];
// Index 11 is replaced by the digit of the display; used only where the
// platform has no monitor functions to name the devices.
extern char DeviceNameTemplate[];
#define DEVICE_NAME_DIGIT 11

// The device name of display i (0-based, monitor order): the i-th monitor's
// own device name, or the digit rule without monitor functions. The text
// stays valid until the next call.
const char *DisplayDeviceName(int display);
void BuildDisplayCatalogue();
// Candidates that differ only by refresh rate share one acceptance answer per
// display; off, every candidate is tested (for comparison).
extern bool ReuseShapeAnswers;
// Frees the tables so that a test can build the catalogue again.
void FreeDisplayCatalogue();
bool TestModeOnDisplay(int display, DEVMODEA *mode);
// Writes one snapshot per monitor in enumeration order, at most MAX_DISPLAYS.
void SnapshotCurrentModes(ModeSnapshot *destination);

// Stable grouping of entries by colour depth, groups in order of first
// appearance; gives the number of entries written (always count).
int GroupEntriesByDepth(const ModeEntry *entries, int count, ModeEntry *grouped);
