// The display session: the one owner of every display change the program
// makes (a tray pick, Escape, the keep-or-revert answer, the command line, a
// profile from the menu or a hotkey, the Screen tab's primary display). It
// keeps what to go back to, whether the question is showing, and the desktop
// icons' layout around the change.
#pragma once
#include <windows.h>

#include "base/profile.h"
#include "desktop_icons/icon_layout.h"
#include "display/catalogue.h"
#include "display/profiles.h"

struct DisplaySession {
    HWND owner;                             // owns the question; null in a command process working alone
    ModeSnapshot modesBefore[MAX_DISPLAYS]; // what Escape puts back after a mode switch
    int modesBeforeCount;
    Profile arrangementBefore; // what Escape puts back after a profile
    BOOL profileApplied;       // the last change was a profile: Escape restores arrangementBefore
    BOOL changed;              // a change was made that Escape may take back
    BOOL confirming;           // the keep-or-revert question is showing; other changes wait
    int confirmSeconds;        // the question's countdown; 0 for KEEP_OR_REVERT_SECONDS
    IconLayoutKeeper iconLayout;
};

// Puts one display (monitor order) into the mode. Without ask the mode is set
// and stored at once. With ask it is set for the moment only and the question
// follows, centred on that display: Keep stores it; Revert, closing the
// question or its countdown put every display back into its mode before,
// the stored settings untouched. Gives the platform's result (a refused
// switch asks nothing); DISP_CHANGE_FAILED while a question is showing.
// *kept tells whether the new mode stays; Escape may then take it back.
LONG SessionSwitchDisplay(DisplaySession *session, int display, const ModeSnapshot &mode, bool ask,
                          bool *kept);
// Applies the profile in one step; true when the displays changed, and
// Escape may then put the arrangement before back. Refused (false, nothing
// applied) while a question is showing.
bool SessionApplyProfile(DisplaySession *session, const Profile &profile, ProfileApplyResult *result);
// For a change already made (a profile): with ConfirmModeChange on, asks
// keep or revert; a revert takes the change back. True when it stays.
bool SessionConfirmChange(DisplaySession *session);
// Makes the display (monitor order) the primary one: every display moves so
// that it stands at the desktop's origin, all applied together. The
// platform's result.
LONG SessionMakePrimary(DisplaySession *session, int display);
// Escape: takes the last kept change back; false when there is none.
bool SessionUndo(DisplaySession *session);
// Nothing is left for Escape (another program was activated, or the
// displays came or went).
void SessionForgetUndo(DisplaySession *session);

// On every WM_DISPLAYCHANGE, the session's own or another program's: the new
// setup's icon layout comes back once the shell has settled.
void SessionDisplayChanged(DisplaySession *session);
