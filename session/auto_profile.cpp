// Profiles that apply themselves when exactly their monitors are attached.
#include "session/auto_profile.h"

#include <vector>

#include "display/profiles.h"
#include "session/display_session.h"
#include "settings/profile_store.h"

// Modes, primary, places and turns as the profile has them: nothing to do.
static bool ArrangedAs(const Profile &profile, const Profile &present)
{
    if (!ProfileMatchesArrangement(profile, present))
        return false;
    for (int i = 0; i < profile.displayCount; i++) {
        const ProfileDisplay &d = profile.displays[i];
        const ProfileDisplay &p = present.displays[FindPresentDisplay(present, d)];
        if (d.left != p.left || d.top != p.top || d.orientation != p.orientation)
            return false;
    }
    return true;
}

// "Profiles "A", "B" and "C" ..."
static std::wstring NamesText(const std::vector<Profile> &profiles)
{
    std::wstring text = L"Profiles ";
    for (size_t k = 0; k < profiles.size(); k++)
        text += (k == 0 ? L"" : k + 1 == profiles.size() ? L" and " : L", ") + QuotedName(profiles[k].name);
    return text;
}

static std::wstring ApplyFitting(DisplaySession *session, const Profile &profile)
{
    ProfileApplyResult result;
    bool changed = SessionApplyProfile(session, profile, &result);
    std::wstring problems = DescribeProfileApplyResult(result);
    if (!problems.empty() && problems.back() == L'\n')
        problems.pop_back();
    std::wstring text =
        L"Profile " + QuotedName(profile.name) + (changed ? L" applied" : L" could not be applied");
    return problems.empty() ? text : text + L"\n" + problems;
}

std::wstring FollowDisplaySet(AutoProfileWatch *watch, DisplaySession *session)
{
    watch->looks++;
    Profile present;
    // An unanswered reading is no new set of monitors.
    if (!CaptureArrangement(&present) || SameDisplaySet(present, watch->lastSet))
        return L"";
    watch->lastSet = present;
    std::vector<Profile> fits = MarkedProfilesFor(LoadProfiles(), present);
    if (fits.size() > 1)
        return NamesText(fits) + L" fit these displays alike; none was applied.";
    if (fits.empty() || ArrangedAs(fits[0], present))
        return L"";
    return ApplyFitting(session, fits[0]);
}
