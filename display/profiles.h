// The present display arrangement as a profile, and a profile applied in one
// step: every display's mode and the primary are staged with
// CDS_UPDATEREGISTRY | CDS_NORESET, then one ChangeDisplaySettingsEx(NULL, ...)
// rearranges the desktop once.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/profile.h"

// The monitors present now, in monitor order (name left empty); false when
// none could be read.
bool CaptureArrangement(Profile *present);

// A display of a profile that was not changed, and why.
struct ProfileRefusal {
    std::wstring device; // the profile's device path, or its device name
    LONG result;         // DISP_CHANGE_* of the test or of the staging call
};

struct ProfileApplyResult {
    int applied;                       // displays staged
    bool restartNeeded;                // a staged display asked for a restart
    std::vector<std::wstring> missing; // displays of the profile not attached now
    std::vector<ProfileRefusal> refused;
    LONG finalResult; // of the one applying call; DISP_CHANGE_SUCCESSFUL when nothing was staged
};

// Monitor k of present that stands for display d of a profile: the same
// device path where both have one, otherwise the same device name; -1 when
// none.
int FindPresentDisplay(const Profile &present, const ProfileDisplay &display);
// Applies the profile: attached displays take their modes, the profile's
// primary becomes primary, and the rest are reported.
void ApplyProfile(const Profile &profile, ProfileApplyResult *result);
// The same displays (by identity) with the same modes and the same primary.
bool ProfileMatchesArrangement(const Profile &profile, const Profile &present);
// Exactly the same monitors (by identity, as FindPresentDisplay tells them),
// whatever their modes and places.
bool SameDisplaySet(const Profile &a, const Profile &b);
// The profiles marked to apply themselves whose monitors are exactly those of present.
std::vector<Profile> MarkedProfilesFor(const std::vector<Profile> &profiles, const Profile &present);

// Exit codes of the command line for an applied profile: 4 when the driver
// refused the whole change, 3 when a display does not offer its mode, 2 when
// a display is missing, 5 when a restart is needed, else 0.
int ProfileApplyExitCode(const ProfileApplyResult &result);
// One line per display not changed ("\\.\DISPLAY2: not attached"), "" when all were.
std::wstring DescribeProfileApplyResult(const ProfileApplyResult &result);
// A name as the user's messages show it: in double quotes.
std::wstring QuotedName(const wchar_t *name);
