// The question after a display switch: keep the new modes or go back to the
// old ones, reverting on its own when nobody answers (a mode the monitor
// cannot show leaves the user nothing to click).
#pragma once
#include <windows.h>

#include "desktop_icons/icon_layout.h"
#include "display/catalogue.h"

#define KEEP_OR_REVERT_SECONDS 15

// One switch to confirm: every display's mode before it and after it.
struct KeepOrRevert {
    const ModeSnapshot *before;
    const ModeSnapshot *after;
    int displayCount;
    int shownOn;                  // the display whose monitor the question is centred on
    int seconds;                  // the countdown's length
    IconLayoutKeeper *iconLayout; // keeps the icons across a revert; may be null
    // Kept by the dialog while it runs.
    int secondsLeft;
};

// Switches every display whose mode differs between before and after for the
// moment only (not stored), then asks, owned by owner (may be null). Keep
// stores the new modes as the displays' settings; Revert, Escape, closing the
// question or the countdown's end put every display back into its mode before,
// leaving the stored settings as they were. Gives the platform's result: a
// refused switch's code (whatever was switched before it is put back, and
// nothing is asked), else the result of storing the kept modes, or
// DISP_CHANGE_SUCCESSFUL. *kept tells whether the new modes stay.
LONG SwitchThenConfirm(HWND owner, KeepOrRevert *question, bool *kept);
// Only the question, for a change already made (a profile applied in one
// step): true when the user keeps it; the caller puts it back otherwise.
bool AskKeepOrRevert(HWND owner, KeepOrRevert *question);
