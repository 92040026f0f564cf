// The question after a display change: keep it or go back, going back on its
// own when nobody answers (a mode the monitor cannot show leaves the user
// nothing to click).
#pragma once
#include <windows.h>

#define KEEP_OR_REVERT_SECONDS 15

struct KeepOrRevert {
    int shownOn; // the display whose monitor the question is centred on
    int seconds; // the countdown's length
    // Kept by the dialog while it runs.
    int secondsLeft;
};

// Asks, owned by owner (may be null): true when the user keeps the change;
// Revert, Escape, closing the question or the countdown's end give false.
bool AskKeepOrRevert(HWND owner, KeepOrRevert *question);
