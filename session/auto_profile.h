// Profiles that apply themselves when their displays return: the set of
// attached monitors followed, and the one marked profile made for exactly
// that set applied through the display session.
#pragma once
#include <windows.h>

#include <string>

#include "base/profile.h"

struct DisplaySession;

// The owner looks at the displays once this long after the last sign that
// monitors came or went: a dock attaches its monitors one after another.
#define AUTO_PROFILE_TIMER_ID 0x1C10
#define AUTO_PROFILE_SETTLE_MS 1000

struct AutoProfileWatch {
    Profile lastSet; // the monitors at the last look; none before the first
    int looks;       // looks taken: a sign that a change was handled
};

// Looks at the attached monitors (after they came or went, and once at
// start-up). When they differ from the last look and are exactly the
// monitors of one marked profile, that profile is applied without a question
// (Escape may take it back) unless the displays are already arranged as it
// says. The change that the apply itself causes leaves the set as it is, so
// it never applies again. Gives what to tell the user, "" for nothing.
std::wstring FollowDisplaySet(AutoProfileWatch *watch, DisplaySession *session);
