// Desktop icon layouts per display setup, and the keeper that carries one across a display change.
// A layout holds the places of the shell's icons keyed by each icon's
// identity (IconIdentities), saved and put back in one batch; the keeper
// saves one before each display change the program makes and restores the
// new setup's once the shell has rearranged the icons.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "desktop_icons/folder_view.h"
#include "settings/icon_layouts.h"

// The present monitors, "WxH@X,Y" each, ordered by place and joined by ";".
std::wstring PresentDisplaySetup();

// Every icon's identity and place, in item order; false when the icon list
// cannot be read. channel: the caller's memory of the shell, or null.
bool CaptureIconLayout(HWND listView, std::vector<IconPlace> *places, ShellChannel *channel = nullptr);
// Saves the present layout for the present setup; the number of icons saved,
// -1 when the shell's icon list cannot be read or the store not written.
int SaveIconLayout(HWND listView, ShellChannel *channel = nullptr);
// Puts every icon of the present setup's layout back in one batch; icons gone
// are passed over, icons not in the layout stay. The number of icons placed,
// -1 when no layout is stored for the setup or the shell does not answer.
int RestoreIconLayout(HWND listView, ShellChannel *channel = nullptr);

// Around a display change the program makes: the layout saved before it and
// the new setup's layout restored once the shell has rearranged the icons.
struct IconLayoutKeeper {
    DWORD armedAt;        // tick count of the save before a change; 0 when none waits
    int startupTicks;     // of the start-up wait for the shell's icon list
    int lastCount;        // icons seen at the last start-up tick
    int settleTicks;      // of the wait for the shell's rearranging
    DWORD lastPlacesHash; // places seen at the last settling tick
    ShellChannel channel;
};

// Timers the keeper's owner runs on its window.
#define ICON_STARTUP_TIMER_ID 0x1C01
#define ICON_SETTLE_TIMER_ID 0x1C02
#define ICON_STARTUP_PERIOD 500
#define ICON_SETTLE_PERIOD 250

// Before a display change the program makes (menu pick, Escape, command line,
// profile): with KeepIconLayout on, saves the present setup's layout and waits
// for the change.
void IconLayoutBeforeDisplayChange(IconLayoutKeeper *keeper);
// On WM_DISPLAYCHANGE: true when a change made by the program now waits for
// the shell to settle (the owner then runs ICON_SETTLE_TIMER_ID).
bool IconLayoutDisplayChanged(IconLayoutKeeper *keeper);
// One tick of the settling wait: true when done (the new setup's layout
// restored once the places stopped changing, or the wait's bound reached).
bool IconLayoutSettleTick(IconLayoutKeeper *keeper);
// One tick of the start-up wait for the shell's icon list: true when done
// (the layout restored, or the wait's bound reached).
bool IconLayoutStartupTick(IconLayoutKeeper *keeper);
