// A profile: the whole display arrangement saved under a name. Stored by
// settings/profile_store, captured and applied by display/profiles.
#pragma once
#include <windows.h>

#define PROFILE_NAME_SIZE 64
#define PROFILE_PATH_SIZE 128 // DISPLAY_DEVICEW's DeviceID
#define MAX_PROFILE_DISPLAYS 16
#define MAX_PROFILES 100

struct ProfileDisplay {
    wchar_t device[CCHDEVICENAME];   // "\\.\DISPLAY1": follows the order of attachment
    wchar_t path[PROFILE_PATH_SIZE]; // the monitor's device path; empty when the platform gives none
    LONG width, height, bitsPerPixel, frequency;
    DWORD orientation; // DMDO_*
    LONG left, top;    // place on the desktop
    BOOL primary;
};

struct Profile {
    wchar_t name[PROFILE_NAME_SIZE];
    // As the hotkey control gives it: virtual key in the low byte, HOTKEYF_*
    // in the high byte; 0 for none.
    WORD hotkey;
    BOOL autoApply; // applied by itself when exactly its displays are attached
    int displayCount;
    ProfileDisplay displays[MAX_PROFILE_DISPLAYS];
};
