// Icon layouts in the registry, one key per display setup.
#include "settings/icon_layouts.h"

#include <wchar.h>

#include <set>

#include "base/scoped.h"

// Digits of a number, an optional minus first when allowed; gives the text after them.
static const wchar_t *SkipNumber(const wchar_t *text, bool signedNumber)
{
    if (signedNumber && *text == L'-')
        text++;
    const wchar_t *start = text;
    while (*text >= L'0' && *text <= L'9' && text - start < 6)
        text++;
    return text > start && !(*text >= L'0' && *text <= L'9') ? text : nullptr;
}

bool IsDisplaySetupText(const wchar_t *setup)
{
    static const struct {
        wchar_t after;
        bool signedNumber;
    } Fields[] = {{L'x', false}, {L'@', false}, {L',', true}, {L';', true}};
    const wchar_t *text = setup;
    if (!text || !*text)
        return false;
    for (;;) {
        for (const auto &field : Fields) {
            bool size = !field.signedNumber;
            if (size && *text == L'0')
                return false; // a monitor of no width or height
            text = SkipNumber(text, field.signedNumber);
            if (!text)
                return false;
            if (field.after == L';' && *text == L'\0')
                return true;
            if (*text++ != field.after)
                return false;
        }
    }
}

// The list view takes a place as two 16-bit halves.
static bool IsDesktopCoordinate(LONG value) { return value >= -32768 && value <= 32767; }

// The longest value name the registry allows, in characters.
#define VALUE_NAME_LIMIT 16384

static std::wstring SetupKeyPath(const wchar_t *setup)
{
    return std::wstring(ICON_LAYOUTS_KEY L"\\") + setup;
}

bool WriteIconLayout(const wchar_t *setup, const std::vector<IconPlace> &places)
{
    if (!IsDisplaySetupText(setup))
        return false;
    ScopedKey key;
    if (!key.Create(SetupKeyPath(setup).c_str()))
        return false;
    // The new places first, over the old ones: a failure half way leaves a
    // layout of old and new places, never a smaller one.
    std::set<std::wstring> written;
    for (const IconPlace &place : places) {
        LONG data[2] = {place.x, place.y};
        if (RegSetValueExW(key.key, place.identity.c_str(), 0, REG_BINARY,
                           reinterpret_cast<const BYTE *>(data), sizeof(data)) != ERROR_SUCCESS)
            return false;
        written.insert(place.identity);
    }
    // Then the icons no longer there; counted down, as a deletion moves the later values.
    std::vector<wchar_t> name(VALUE_NAME_LIMIT);
    DWORD count = 0;
    if (RegQueryInfoKeyW(key.key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    for (DWORD index = count; index-- > 0;) {
        DWORD nameLength = (DWORD)name.size();
        if (RegEnumValueW(key.key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) ==
                ERROR_SUCCESS &&
            !written.count(std::wstring(name.data(), nameLength)))
            RegDeleteValueW(key.key, name.data());
    }
    return true;
}

bool ReadIconLayout(const wchar_t *setup, std::vector<IconPlace> *places)
{
    places->clear();
    ScopedKey key;
    if (!IsDisplaySetupText(setup) || !key.Open(SetupKeyPath(setup).c_str()))
        return false;
    std::vector<wchar_t> name(VALUE_NAME_LIMIT);
    for (DWORD index = 0; places->size() < MAX_LAYOUT_PLACES; index++) {
        DWORD nameLength = (DWORD)name.size(), type = 0;
        LONG data[2] = {};
        DWORD size = sizeof(data);
        LONG result = RegEnumValueW(key.key, index, name.data(), &nameLength, nullptr, &type,
                                    reinterpret_cast<BYTE *>(data), &size);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        // Another type, a cut or longer value, an unreadable one, a place no
        // desktop can take: passed over.
        if (result == ERROR_SUCCESS && type == REG_BINARY && size == sizeof(data) && nameLength &&
            IsDesktopCoordinate(data[0]) && IsDesktopCoordinate(data[1]))
            places->push_back({std::wstring(name.data(), nameLength), (int)data[0], (int)data[1]});
    }
    return true;
}
