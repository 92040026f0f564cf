// The attached displays as one reading: a record per display with its number,
// names, rectangles, primary flag, current mode and orientation, of which the
// menus, the command line, profiles and the canvas take what they need.
#pragma once
#include <windows.h>

#include <vector>

// Far beyond any real desk; bounds what the platform's answers can make us hold.
#define MAX_READ_DISPLAYS 64
#define DISPLAY_PATH_SIZE 128 // DISPLAY_DEVICEW's DeviceID
#define DISPLAY_FRIENDLY_NAME_SIZE 64

struct ModeSnapshot {
    LONG width;
    LONG height;
    LONG bitsPerPixel;
    LONG frequency;
};

// The same size, depth and rate.
inline bool SameMode(const ModeSnapshot &a, const ModeSnapshot &b)
{
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           a.frequency == b.frequency;
}

struct DisplayRecord {
    int number;                                       // 1-based, in the platform's monitor order
    wchar_t device[CCHDEVICENAME];                    // "\\.\DISPLAY1": follows the order of attachment
    wchar_t devicePath[DISPLAY_PATH_SIZE];            // the monitor's interface path; empty when none
    wchar_t friendlyName[DISPLAY_FRIENDLY_NAME_SIZE]; // the monitor's; empty when the platform has none
    HMONITOR monitor;
    RECT monitorRect; // desktop coordinates
    RECT workRect;
    bool primary;
    ModeSnapshot mode;
    DWORD orientation; // DMDO_*
};

// Every attached display in the platform's monitor order, at most
// MAX_READ_DISPLAYS; empty when the platform answered for none.
std::vector<DisplayRecord> ReadDisplays();

// The device name of display k (0-based) of the reading into name
// (CCHDEVICENAME characters); "\\.\Display<k+1>" past its end.
void DisplayDeviceNameOf(const std::vector<DisplayRecord> &displays, int k, wchar_t *name);
