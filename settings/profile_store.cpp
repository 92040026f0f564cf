// Profiles in the registry, one key per profile.
#include "settings/profile_store.h"

#include <commctrl.h>

#include "base/scoped.h"

bool IsValidProfileName(const wchar_t *name)
{
    int length = 0;
    for (; name[length]; length++)
        if (name[length] == L'\\' || name[length] < L' ' || length + 1 >= PROFILE_NAME_SIZE)
            return false;
    // Leading or trailing blanks would make two names that look alike.
    return length > 0 && name[0] != L' ' && name[length - 1] != L' ';
}

static bool ProfileKeyPath(const wchar_t *name, wchar_t *path)
{
    if (!IsValidProfileName(name))
        return false;
    wsprintfW(path, L"%s\\%s", PROFILES_KEY, name);
    return true;
}

#define PATH_SIZE (PROFILE_NAME_SIZE + 64)

static bool ReadNumber(HKEY key, const wchar_t *name, DWORD *value)
{
    DWORD type = 0, size = sizeof(*value);
    return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(value), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof(*value);
}

static bool ReadText(HKEY key, const wchar_t *name, wchar_t *text, int capacity)
{
    DWORD type = 0, size = (DWORD)(capacity * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(text), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    // A stored string need not end in a zero.
    DWORD count = size / sizeof(wchar_t);
    if (count >= (DWORD)capacity && text[capacity - 1])
        return false;
    text[count < (DWORD)capacity ? count : capacity - 1] = L'\0';
    return true;
}

static void WriteNumber(HKEY key, const wchar_t *name, DWORD value)
{
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof(value));
}

static void WriteText(HKEY key, const wchar_t *name, const wchar_t *text)
{
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                   (lstrlenW(text) + 1) * sizeof(wchar_t));
}

// The values of display i (0-based) are "Display<i+1><field>".
static const wchar_t *DisplayValue(int display, const wchar_t *field, wchar_t *name)
{
    wsprintfW(name, L"Display%d%s", display + 1, field);
    return name;
}

// Bounds for what a monitor can run; anything outside is junk.
#define MAX_MODE_SIDE 100000
#define MAX_PLACE 1000000

static bool InRange(DWORD value, LONG low, LONG high) { return (LONG)value >= low && (LONG)value <= high; }

static bool ReadDisplay(HKEY key, int i, ProfileDisplay *display)
{
    wchar_t name[32];
    DWORD width, height, bits, frequency, orientation, left, top, primary;
    if (!ReadText(key, DisplayValue(i, L"Device", name), display->device, CCHDEVICENAME) ||
        !display->device[0] ||
        !ReadText(key, DisplayValue(i, L"Path", name), display->path, PROFILE_PATH_SIZE) ||
        !ReadNumber(key, DisplayValue(i, L"Width", name), &width) ||
        !ReadNumber(key, DisplayValue(i, L"Height", name), &height) ||
        !ReadNumber(key, DisplayValue(i, L"Bits", name), &bits) ||
        !ReadNumber(key, DisplayValue(i, L"Frequency", name), &frequency) ||
        !ReadNumber(key, DisplayValue(i, L"Orientation", name), &orientation) ||
        !ReadNumber(key, DisplayValue(i, L"Left", name), &left) ||
        !ReadNumber(key, DisplayValue(i, L"Top", name), &top) ||
        !ReadNumber(key, DisplayValue(i, L"Primary", name), &primary))
        return false;
    if (!InRange(width, 1, MAX_MODE_SIDE) || !InRange(height, 1, MAX_MODE_SIDE) || !InRange(bits, 1, 64) ||
        !InRange(frequency, 0, 1000) || orientation > DMDO_270 || !InRange(left, -MAX_PLACE, MAX_PLACE) ||
        !InRange(top, -MAX_PLACE, MAX_PLACE) || primary > 1)
        return false;
    display->width = (LONG)width, display->height = (LONG)height;
    display->bitsPerPixel = (LONG)bits, display->frequency = (LONG)frequency;
    display->orientation = orientation;
    display->left = (LONG)left, display->top = (LONG)top;
    display->primary = (BOOL)primary;
    return true;
}

static bool ReadProfileKey(HKEY key, const wchar_t *name, Profile *profile)
{
    *profile = {};
    lstrcpynW(profile->name, name, PROFILE_NAME_SIZE);
    DWORD count = 0, hotkey = 0;
    if (!IsValidProfileName(name) || !ReadNumber(key, L"Displays", &count) || count < 1 ||
        count > MAX_PROFILE_DISPLAYS || !ReadNumber(key, L"Hotkey", &hotkey) || hotkey > 0xFFFF)
        return false;
    profile->hotkey = (WORD)hotkey;
    // Profiles stored before the mark existed have no "Auto": unmarked.
    DWORD autoApply = 0;
    profile->autoApply = ReadNumber(key, L"Auto", &autoApply) && autoApply == 1;
    profile->displayCount = (int)count;
    for (int i = 0; i < profile->displayCount; i++)
        if (!ReadDisplay(key, i, &profile->displays[i]))
            return false;
    return true;
}

std::vector<Profile> LoadProfiles()
{
    std::vector<Profile> profiles;
    ScopedKey all;
    if (!all.Open(PROFILES_KEY))
        return profiles;
    wchar_t name[256];
    for (DWORD index = 0; profiles.size() < MAX_PROFILES; index++) {
        DWORD length = 256;
        LONG result = RegEnumKeyExW(all.key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        Profile profile;
        ScopedKey key;
        if (result != ERROR_SUCCESS || !key.OpenUnder(all.key, name, KEY_READ))
            continue;
        if (ReadProfileKey(key.key, name, &profile))
            profiles.push_back(profile);
    }
    return profiles;
}

// The key's own spelling of the name, which may differ in case.
bool LoadProfile(const wchar_t *name, Profile *profile)
{
    for (const Profile &stored : LoadProfiles())
        if (!lstrcmpiW(stored.name, name)) {
            *profile = stored;
            return true;
        }
    return false;
}

static void WriteProfileValues(HKEY key, const Profile &profile)
{
    WriteNumber(key, L"Displays", (DWORD)profile.displayCount);
    WriteNumber(key, L"Hotkey", profile.hotkey);
    WriteNumber(key, L"Auto", profile.autoApply ? 1 : 0);
    wchar_t name[32];
    for (int i = 0; i < profile.displayCount; i++) {
        const ProfileDisplay &d = profile.displays[i];
        WriteText(key, DisplayValue(i, L"Device", name), d.device);
        WriteText(key, DisplayValue(i, L"Path", name), d.path);
        WriteNumber(key, DisplayValue(i, L"Width", name), (DWORD)d.width);
        WriteNumber(key, DisplayValue(i, L"Height", name), (DWORD)d.height);
        WriteNumber(key, DisplayValue(i, L"Bits", name), (DWORD)d.bitsPerPixel);
        WriteNumber(key, DisplayValue(i, L"Frequency", name), (DWORD)d.frequency);
        WriteNumber(key, DisplayValue(i, L"Orientation", name), d.orientation);
        WriteNumber(key, DisplayValue(i, L"Left", name), (DWORD)d.left);
        WriteNumber(key, DisplayValue(i, L"Top", name), (DWORD)d.top);
        WriteNumber(key, DisplayValue(i, L"Primary", name), d.primary ? 1 : 0);
    }
}

bool SaveProfile(const Profile &profile)
{
    wchar_t path[PATH_SIZE];
    if (!ProfileKeyPath(profile.name, path) || profile.displayCount < 1 ||
        profile.displayCount > MAX_PROFILE_DISPLAYS)
        return false;
    // A replaced profile with more displays must not keep the surplus values.
    RegDeleteKeyW(HKEY_CURRENT_USER, path);
    ScopedKey key;
    if (!key.Create(path))
        return false;
    WriteProfileValues(key.key, profile);
    return true;
}

bool DeleteProfile(const wchar_t *name)
{
    wchar_t path[PATH_SIZE];
    return ProfileKeyPath(name, path) && RegDeleteKeyW(HKEY_CURRENT_USER, path) == ERROR_SUCCESS;
}

bool RenameProfile(const wchar_t *oldName, const wchar_t *newName)
{
    Profile profile, other;
    if (!IsValidProfileName(newName) || !LoadProfile(oldName, &profile))
        return false;
    // Only a change of case may land on the profile's own key.
    if (lstrcmpiW(oldName, newName) && LoadProfile(newName, &other))
        return false;
    if (!DeleteProfile(oldName))
        return false;
    lstrcpynW(profile.name, newName, PROFILE_NAME_SIZE);
    return SaveProfile(profile);
}

bool StoreProfileChoices(const wchar_t *name, WORD hotkey, BOOL autoApply)
{
    Profile profile;
    if (!LoadProfile(name, &profile))
        return false;
    profile.hotkey = hotkey;
    profile.autoApply = autoApply;
    return SaveProfile(profile);
}

// ---------------------------------------------------------------------------
// Hotkey texts.

struct NamedKey {
    const wchar_t *name;
    BYTE key;
};

static const NamedKey NamedKeys[] = {
    {L"Space", VK_SPACE},   {L"Home", VK_HOME},    {L"End", VK_END},       {L"Insert", VK_INSERT},
    {L"Delete", VK_DELETE}, {L"PageUp", VK_PRIOR}, {L"PageDown", VK_NEXT}, {L"Left", VK_LEFT},
    {L"Right", VK_RIGHT},   {L"Up", VK_UP},        {L"Down", VK_DOWN},
};

static bool KeyOfName(const wchar_t *name, BYTE *key)
{
    int length = lstrlenW(name);
    if (length == 1 && ((name[0] >= L'0' && name[0] <= L'9') || (name[0] >= L'A' && name[0] <= L'Z') ||
                        (name[0] >= L'a' && name[0] <= L'z'))) {
        *key = (BYTE)(name[0] >= L'a' ? name[0] - L'a' + L'A' : name[0]);
        return true;
    }
    if ((name[0] == L'F' || name[0] == L'f') && length >= 2 && length <= 3) {
        int number = 0;
        for (int k = 1; k < length; k++)
            number = name[k] >= L'0' && name[k] <= L'9' ? number * 10 + (name[k] - L'0') : -1000;
        if (number >= 1 && number <= 24) {
            *key = (BYTE)(VK_F1 + number - 1);
            return true;
        }
    }
    for (const NamedKey &named : NamedKeys)
        if (!lstrcmpiW(named.name, name)) {
            *key = named.key;
            return true;
        }
    return false;
}

static const NamedKey Modifiers[] = {{L"Ctrl", HOTKEYF_CONTROL},
                                     {L"Control", HOTKEYF_CONTROL},
                                     {L"Alt", HOTKEYF_ALT},
                                     {L"Shift", HOTKEYF_SHIFT}};

bool ParseHotkeyText(const wchar_t *text, WORD *hotkey)
{
    BYTE modifiers = 0, key = 0;
    wchar_t part[16];
    for (const wchar_t *start = text;;) {
        const wchar_t *end = start;
        while (*end && *end != L'+')
            end++;
        if (end == start || end - start >= 16 || key)
            return false; // an empty part, an overlong one, or something after the key
        lstrcpynW(part, start, (int)(end - start) + 1);
        BYTE modifier = 0;
        for (const NamedKey &named : Modifiers)
            modifier = !lstrcmpiW(named.name, part) ? named.key : modifier;
        if (modifier)
            modifiers |= modifier;
        else if (!KeyOfName(part, &key))
            return false;
        if (!*end)
            break;
        start = end + 1;
    }
    if (!key || !(modifiers & (HOTKEYF_CONTROL | HOTKEYF_ALT)))
        return false;
    *hotkey = MAKEWORD(key, modifiers);
    return true;
}

UINT HotkeyModifiers(WORD hotkey)
{
    BYTE modifiers = HIBYTE(hotkey);
    return (modifiers & HOTKEYF_CONTROL ? MOD_CONTROL : 0) | (modifiers & HOTKEYF_ALT ? MOD_ALT : 0) |
           (modifiers & HOTKEYF_SHIFT ? MOD_SHIFT : 0);
}

void FormatHotkeyText(WORD hotkey, wchar_t *text)
{
    text[0] = L'\0';
    BYTE key = LOBYTE(hotkey), modifiers = HIBYTE(hotkey);
    if (!key)
        return;
    if (modifiers & HOTKEYF_CONTROL)
        lstrcatW(text, L"Ctrl+");
    if (modifiers & HOTKEYF_ALT)
        lstrcatW(text, L"Alt+");
    if (modifiers & HOTKEYF_SHIFT)
        lstrcatW(text, L"Shift+");
    wchar_t name[16] = L"";
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        name[0] = (wchar_t)key;
    else if (key >= VK_F1 && key <= VK_F24)
        wsprintfW(name, L"F%d", key - VK_F1 + 1);
    for (const NamedKey &named : NamedKeys)
        if (named.key == key)
            lstrcpynW(name, named.name, 16);
    if (!name[0])
        wsprintfW(name, L"#%d", key);
    lstrcatW(text, name);
}
