// Desktop icon layouts per display setup, and the keeper that carries one across a display change.
// A layout holds the places of the shell's icons keyed by each icon's
// identity (IconIdentities), saved and put back in one batch; the keeper
// keeps the present setup's layout fresh and restores the new setup's after
// every display change once the shell has rearranged the icons.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/scoped.h"
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

// Keeps the present setup's stored layout fresh with KeepIconLayout on:
// saved once the icons have settled at start-up, after each restore, after
// the user moves icons, before the session locks or the machine sleeps; and
// around every display change, the program's own or another program's, the
// new setup's layout restored and saved once the shell has rearranged the
// icons. Nothing is saved while the icons are unsettled or cannot be read.
struct IconLayoutKeeper {
    HWND owner;               // runs the keeper's timers; null in a command process working alone
    int startupTicks;         // of the start-up wait for the shell's icon list
    int lastCount;            // icons seen at the last start-up tick
    bool settling;            // since a display change the icons may stand scrambled: nothing is saved
    int settleTicks;          // of that wait
    DWORD lastPlacesHash;     // places seen at the last settling or watching tick
    std::wstring keptSetup;   // the setup whose layout is kept fresh; empty until the icons are settled
    ScopedWinEventHook moves; // the shell's icon moves, where the platform tells them
    ShellChannel channel;
};

// Timers the keeper runs on its owner's window.
#define ICON_STARTUP_TIMER_ID 0x1C01
#define ICON_SETTLE_TIMER_ID 0x1C02
#define ICON_MOVED_TIMER_ID 0x1C03 // a moment after the user's last move
#define ICON_WATCH_TIMER_ID 0x1C04 // the comparison where no move is told
#define ICON_STARTUP_PERIOD 500
#define ICON_SETTLE_PERIOD 250
// The settling wait ends after this many ticks at the latest.
#define ICON_SETTLE_TICK_LIMIT 16

// At the owner's creation, and again when the shell starts anew: with
// RestoreIconPosAtStartup or KeepIconLayout on, waits for the shell's icon
// list to settle, then restores (RestoreIconPosAtStartup) and keeps it.
void IconLayoutStart(IconLayoutKeeper *keeper, HWND owner);
// Before a display change the program makes (menu pick, Escape, command line,
// profile): with KeepIconLayout on, saves the present setup's layout and waits
// for the change.
void IconLayoutBeforeDisplayChange(IconLayoutKeeper *keeper);
// On every WM_DISPLAYCHANGE: waits for the icons to settle under the new setup.
void IconLayoutDisplayChanged(IconLayoutKeeper *keeper);
// One of the keeper's timers went off; false when the id is not the keeper's.
bool IconLayoutTimer(IconLayoutKeeper *keeper, UINT_PTR id);
// Before the session locks or the machine sleeps, and after the user's
// restore: with KeepIconLayout on, saves the layout when the icons stand settled.
void IconLayoutKeepNow(IconLayoutKeeper *keeper);
// The user's restore (the tray's and the Icons tab's "&Restore Icons
// Position", /restore-icons in the running copy): RestoreIconLayout, then the
// layout put back is kept. RestoreIconLayout's count.
int IconLayoutRestoreAndKeep(IconLayoutKeeper *keeper, HWND listView, ShellChannel *channel = nullptr);
// At exit and at the session's end: saves the layout unless a display change
// still waits for the icons to settle.
void IconLayoutSaveSettled(IconLayoutKeeper *keeper);
