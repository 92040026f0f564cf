// The profile commands: apply, save, delete and list profiles by name.
#include "command/profile_commands.h"

#include "display/profiles.h"
#include "session/display_session.h"
#include "settings/profile_store.h"

static int Fail(std::wstring *text, const std::wstring &reason)
{
    *text = reason + L"\n";
    return 1;
}

int ApplyProfileCommand(DisplaySession *session, const wchar_t *name, std::wstring *text)
{
    Profile profile;
    if (!LoadProfile(name, &profile))
        return Fail(text, L"No profile named " + QuotedName(name) + L".");
    ProfileApplyResult result;
    SessionApplyProfile(session, profile, &result);
    *text = DescribeProfileApplyResult(result);
    return ProfileApplyExitCode(result);
}

bool SaveCurrentArrangement(const wchar_t *name, WORD hotkey, BOOL autoApply)
{
    Profile profile;
    if (!IsValidProfileName(name) || !CaptureArrangement(&profile))
        return false;
    lstrcpynW(profile.name, name, PROFILE_NAME_SIZE);
    profile.hotkey = hotkey;
    profile.autoApply = autoApply;
    return SaveProfile(profile);
}

std::wstring ProfileWithHotkey(WORD hotkey, const wchar_t *except)
{
    for (const Profile &profile : LoadProfiles())
        if (hotkey && profile.hotkey == hotkey && lstrcmpiW(profile.name, except))
            return profile.name;
    return L"";
}

int SaveProfileCommand(const wchar_t *name, const wchar_t *hotkeyText, std::wstring *text, bool autoApply)
{
    if (!IsValidProfileName(name))
        return Fail(text, L"Invalid profile name " + QuotedName(name) + L": 1 to 63 characters, no \"\\\".");
    Profile existing = {};
    WORD hotkey = LoadProfile(name, &existing) ? existing.hotkey : 0;
    if (hotkeyText && !ParseHotkeyText(hotkeyText, &hotkey))
        return Fail(text, L"Invalid hotkey " + QuotedName(hotkeyText) +
                              L": Ctrl or Alt, then a letter, digit or F1-F24.");
    std::wstring other = ProfileWithHotkey(hotkey, name);
    if (!other.empty())
        return Fail(text, L"The hotkey " + QuotedName(hotkeyText ? hotkeyText : L"") +
                              L" belongs to profile " + QuotedName(other.c_str()) + L".");
    if (!SaveCurrentArrangement(name, hotkey, autoApply || existing.autoApply))
        return Fail(text, L"Couldn't save profile " + QuotedName(name) + L".");
    *text = L"";
    return 0;
}

int DeleteProfileCommand(const wchar_t *name, std::wstring *text)
{
    // A key that does not read as a profile can still be deleted by its name.
    if (!DeleteProfile(name))
        return Fail(text, L"No profile named " + QuotedName(name) + L".");
    *text = L"";
    return 0;
}

int ListProfilesCommand(std::wstring *text)
{
    text->clear();
    for (const Profile &profile : LoadProfiles())
        *text += std::wstring(profile.name) + L"\n";
    return 0;
}
