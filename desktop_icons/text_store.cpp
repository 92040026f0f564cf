// The store of hidden desktop icon labels, blanked in the shell and kept in the registry.
// Value name = the label, REG_DWORD data = the icon's number, so that the
// labels can be given back, also in a later run.
#include "desktop_icons/desktop_icons.h"

#include <string>
#include <utility>
#include <vector>
#include <wchar.h>

#include "settings/settings.h"

// The store's value k: its label and number, the label empty when the value
// is none the program wrote (not a REG_DWORD, or a name or data too long), so
// that the labels after it are still found.
static LONG StoredLabel(HKEY store, DWORD k, wchar_t *text, DWORD capacity, DWORD *number)
{
    DWORD nameSize = capacity, type = REG_NONE, size = sizeof(*number);
    *number = 0;
    LONG result =
        RegEnumValueW(store, k, text, &nameSize, nullptr, &type, reinterpret_cast<BYTE *>(number), &size);
    if (result == ERROR_MORE_DATA) {
        result = ERROR_SUCCESS;
        type = REG_NONE;
    }
    if (result != ERROR_SUCCESS || type != REG_DWORD)
        text[0] = L'\0';
    return result;
}

int LookupHiddenText(DWORD itemNumber, wchar_t *text, DWORD capacity)
{
    ScopedKey store;
    store.Create(HIDE_TEXT_ICONS_KEY);
    for (DWORD k = 0;; k++) {
        DWORD number = 0;
        LONG result = StoredLabel(store.key, k, text, capacity, &number);
        if (result != ERROR_SUCCESS)
            return result == ERROR_NO_MORE_ITEMS;
        if (text[0] && number == itemNumber)
            return 1;
    }
}

static bool StoreHiddenText(const wchar_t *text, DWORD itemNumber)
{
    ScopedKey store;
    return store.Create(HIDE_TEXT_ICONS_KEY) &&
           RegSetValueExW(store.key, text, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&itemNumber),
                          sizeof(itemNumber)) == ERROR_SUCCESS;
}

int HideIconText(HWND listView, int index)
{
    ScopedSharedBlock shared(listView);
    SharedBlock &block = shared.block;
    if (!shared.open)
        return 0;
    DesktopIcon icon = {};
    icon.index = index;
    int hidden = 0;
    // Stored only once the shell has blanked the label, and the label given
    // back when it cannot be stored: no label is lost and none is stored
    // that still shows.
    if (ReadIconText(&block, &icon) && icon.text[0] && SetIconText(&block, index, L"")) {
        hidden = 1;
        if (!StoreHiddenText(icon.text, icon.itemNumber) && SetIconText(&block, index, icon.text))
            hidden = 0;
    }
    return hidden;
}

int RestoreIconText(HWND listView, int index)
{
    ScopedSharedBlock shared(listView);
    SharedBlock &block = shared.block;
    if (!shared.open)
        return 0;
    DesktopIcon icon = {};
    icon.index = index;
    int result = 0;
    if (ReadIconText(&block, &icon)) {
        if (icon.text[0]) {
            result = 1; // shown: nothing to give back
        } else {
            LookupHiddenText(icon.itemNumber, icon.text, ICON_TEXT_CAPACITY - 1);
            if (icon.text[0] && SetIconText(&block, index, icon.text)) {
                ScopedKey store;
                if (store.Create(HIDE_TEXT_ICONS_KEY))
                    RegDeleteValueW(store.key, icon.text);
                result = 1;
            }
        }
    }
    return result;
}

// The icon to blank for a stored label: the one with the same text and
// number, else the first with the same text; -1 for none.
static int FindStoredIcon(const std::vector<DesktopIcon> &icons, const wchar_t *text, DWORD number)
{
    int found = -1;
    for (const DesktopIcon &icon : icons) {
        if (!icon.text[0] || wcscmp(icon.text, text))
            continue;
        if (icon.itemNumber == number)
            return icon.index;
        if (found < 0)
            found = icon.index;
    }
    return found;
}

int HideStoredIconTexts()
{
    ScopedSharedBlock shared(FindDesktopListView());
    SharedBlock &block = shared.block;
    if (!shared.open)
        return 0;
    std::vector<DesktopIcon> icons = ReadEveryDesktopIcon(&block, false); // labels are found by name
    if (block.unanswered)
        return 0;
    // Labels blanked on an icon whose number has changed since (another
    // logon): stored again under the present number, or they could never be
    // given back.
    std::vector<std::pair<std::wstring, DWORD>> renumbered;
    {
        ScopedKey store;
        store.Create(HIDE_TEXT_ICONS_KEY);
        wchar_t name[ICON_TEXT_CAPACITY];
        DWORD number = 0;
        for (DWORD k = 0; StoredLabel(store.key, k, name, ICON_TEXT_CAPACITY - 1, &number) == ERROR_SUCCESS;
             k++) {
            int found = name[0] ? FindStoredIcon(icons, name, number) : -1;
            if (found < 0 || !SetIconText(&block, found, L""))
                continue;
            icons[found].text[0] = '\0';
            if (icons[found].itemNumber != number)
                renumbered.emplace_back(name, icons[found].itemNumber);
        }
    }
    for (const auto &entry : renumbered)
        StoreHiddenText(entry.first.c_str(), entry.second);
    return block.unanswered ? 0 : 1;
}

bool StartupIconAction() { return !ReadOptionNumber(OPT_HIDE_ICON_TEXT_AT_STARTUP) || HideStoredIconTexts(); }
