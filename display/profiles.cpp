// Profiles against the displays: the present arrangement captured, a profile applied in one step.
#include "display/profiles.h"

#include "base/platform.h"
#include "display/displays.h"
#include "display/mode_switch.h"

bool CaptureArrangement(Profile *present)
{
    *present = {};
    for (const DisplayRecord &display : ReadDisplays()) {
        if (present->displayCount >= MAX_PROFILE_DISPLAYS)
            break;
        ProfileDisplay &d = present->displays[present->displayCount++];
        lstrcpynW(d.device, display.device, CCHDEVICENAME);
        lstrcpynW(d.path, display.devicePath, PROFILE_PATH_SIZE);
        d.width = display.mode.width, d.height = display.mode.height;
        d.bitsPerPixel = display.mode.bitsPerPixel, d.frequency = display.mode.frequency;
        d.orientation = display.orientation;
        d.left = display.monitorRect.left;
        d.top = display.monitorRect.top;
        d.primary = display.primary;
    }
    return present->displayCount > 0;
}

int FindPresentDisplay(const Profile &present, const ProfileDisplay &display)
{
    for (int k = 0; k < present.displayCount; k++) {
        const ProfileDisplay &candidate = present.displays[k];
        bool samePath = display.path[0] && candidate.path[0] && !lstrcmpiW(display.path, candidate.path);
        bool sameName =
            (!display.path[0] || !candidate.path[0]) && !lstrcmpiW(display.device, candidate.device);
        if (samePath || sameName)
            return k;
    }
    return -1;
}

// 0 and 1 both stand for the hardware's default rate.
static bool SameRate(LONG a, LONG b) { return a <= 1 || b <= 1 || a == b; }

bool ProfileMatchesArrangement(const Profile &profile, const Profile &present)
{
    if (profile.displayCount != present.displayCount)
        return false;
    for (int i = 0; i < profile.displayCount; i++) {
        const ProfileDisplay &d = profile.displays[i];
        int k = FindPresentDisplay(present, d);
        if (k < 0)
            return false;
        const ProfileDisplay &p = present.displays[k];
        if (d.width != p.width || d.height != p.height || d.bitsPerPixel != p.bitsPerPixel ||
            !SameRate(d.frequency, p.frequency) || !d.primary != !p.primary)
            return false;
    }
    return true;
}

bool SameDisplaySet(const Profile &a, const Profile &b)
{
    if (a.displayCount != b.displayCount)
        return false;
    // Each monitor of b stands for one monitor of a only.
    bool taken[MAX_PROFILE_DISPLAYS] = {};
    for (int i = 0; i < a.displayCount; i++) {
        int k = FindPresentDisplay(b, a.displays[i]);
        if (k < 0 || taken[k])
            return false;
        taken[k] = true;
    }
    return true;
}

std::vector<Profile> MarkedProfilesFor(const std::vector<Profile> &profiles, const Profile &present)
{
    std::vector<Profile> fits;
    for (const Profile &profile : profiles)
        if (profile.autoApply && SameDisplaySet(profile, present))
            fits.push_back(profile);
    return fits;
}

// The profile's mode for a display; places only matter, and are only given,
// when the profile arranges several displays.
static DEVMODEW ProfileMode(const Profile &profile, const ProfileDisplay &d, const ProfileDisplay &now)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = (DWORD)d.width;
    mode.dmPelsHeight = (DWORD)d.height;
    mode.dmBitsPerPel = (DWORD)d.bitsPerPixel;
    if (d.frequency > 1) {
        mode.dmFields |= DM_DISPLAYFREQUENCY;
        mode.dmDisplayFrequency = (DWORD)d.frequency;
    }
    if (d.orientation != now.orientation) {
        mode.dmFields |= DM_DISPLAYORIENTATION;
        mode.dmDisplayOrientation = d.orientation;
    }
    if (profile.displayCount > 1) {
        mode.dmFields |= DM_POSITION;
        mode.dmPosition.x = d.left;
        mode.dmPosition.y = d.top;
    }
    return mode;
}

static std::wstring DisplayIdentity(const ProfileDisplay &d)
{
    return d.path[0] ? std::wstring(d.device) + L" (" + d.path + L")" : std::wstring(d.device);
}

// Tests the mode, then stages it; the result of whichever failed.
static LONG StageDisplay(const Profile &profile, const ProfileDisplay &d, const ProfileDisplay &now)
{
    if (!Platform.ChangeDisplaySettingsExW)
        return DISP_CHANGE_FAILED;
    DEVMODEW mode = ProfileMode(profile, d, now);
    LONG test = Platform.ChangeDisplaySettingsExW(now.device, &mode, nullptr, CDS_TEST, nullptr);
    if (test != DISP_CHANGE_SUCCESSFUL)
        return test;
    DWORD flags = CDS_UPDATEREGISTRY | CDS_NORESET;
    if (d.primary && !now.primary)
        flags |= CDS_SET_PRIMARY;
    return Platform.ChangeDisplaySettingsExW(now.device, &mode, nullptr, flags, nullptr);
}

void ApplyProfile(const Profile &profile, ProfileApplyResult *result)
{
    *result = {};
    result->finalResult = DISP_CHANGE_SUCCESSFUL;
    Profile present;
    CaptureArrangement(&present);
    for (int i = 0; i < profile.displayCount; i++) {
        const ProfileDisplay &d = profile.displays[i];
        int k = FindPresentDisplay(present, d);
        if (k < 0) {
            result->missing.push_back(DisplayIdentity(d));
            continue;
        }
        LONG staged = StageDisplay(profile, d, present.displays[k]);
        // A restart needed is a change stored all the same.
        if (staged == DISP_CHANGE_SUCCESSFUL || staged == DISP_CHANGE_RESTART)
            result->applied++;
        else
            result->refused.push_back({DisplayIdentity(d), staged});
        result->restartNeeded = result->restartNeeded || staged == DISP_CHANGE_RESTART;
    }
    if (result->applied)
        result->finalResult = Platform.ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
}

int ProfileApplyExitCode(const ProfileApplyResult &result)
{
    bool driverRefused =
        result.finalResult != DISP_CHANGE_SUCCESSFUL && result.finalResult != DISP_CHANGE_RESTART;
    bool notOffered = false;
    for (const ProfileRefusal &refusal : result.refused) {
        driverRefused = driverRefused || refusal.result != DISP_CHANGE_BADMODE;
        notOffered = notOffered || refusal.result == DISP_CHANGE_BADMODE;
    }
    bool restart = result.restartNeeded || result.finalResult == DISP_CHANGE_RESTART;
    return driverRefused ? 4 : notOffered ? 3 : !result.missing.empty() ? 2 : restart ? 5 : 0;
}

// The message of a result on one line.
static std::wstring ResultLine(LONG code)
{
    const wchar_t *caption = nullptr;
    std::wstring text = ModeChangeResultText(code, &caption);
    for (wchar_t &c : text)
        c = c == L'\n' ? L' ' : c;
    // "Couldn't write settings to \nregistry." would keep a double blank.
    for (size_t at; (at = text.find(L"  ")) != std::wstring::npos;)
        text.erase(at, 1);
    return text;
}

std::wstring DescribeProfileApplyResult(const ProfileApplyResult &result)
{
    std::wstring text;
    for (const std::wstring &device : result.missing)
        text += device + L": not attached\n";
    for (const ProfileRefusal &refusal : result.refused)
        text += refusal.device + L": " + ResultLine(refusal.result) + L"\n";
    if (result.finalResult != DISP_CHANGE_SUCCESSFUL || result.restartNeeded)
        text += ResultLine(result.restartNeeded ? DISP_CHANGE_RESTART : result.finalResult) + L"\n";
    return text;
}

std::wstring QuotedName(const wchar_t *name) { return L"\"" + std::wstring(name) + L"\""; }
