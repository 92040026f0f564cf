// Displays as a user names them, the best offered mode for a request, and a new primary display.
#include "display/display_list.h"

#include "base/platform.h"

int FindDisplay(const std::vector<DisplayRecord> &displays, const wchar_t *text)
{
    int length = lstrlenW(text);
    bool digits = length > 0 && length <= 6;
    int number = 0;
    for (int k = 0; digits && k < length; k++) {
        digits = text[k] >= L'0' && text[k] <= L'9';
        number = number * 10 + (text[k] - L'0');
    }
    if (digits)
        return number >= 1 && number <= (int)displays.size() ? number - 1 : -1;
    for (size_t k = 0; length > 0 && k < displays.size(); k++) {
        const DisplayRecord &display = displays[k];
        for (const wchar_t *name : {display.device, display.devicePath, display.friendlyName})
            if (name[0] && !lstrcmpiW(name, text))
                return (int)k;
    }
    return -1;
}

// The value to use among the candidates: the asked one, else the current one
// when a candidate has it, else the highest.
static LONG PickValue(const std::vector<const ModeEntry *> &candidates, LONG ModeEntry::*field, LONG asked,
                      LONG current)
{
    if (asked)
        return asked;
    LONG highest = 0;
    for (const ModeEntry *entry : candidates) {
        if (entry->*field == current)
            return current;
        highest = entry->*field > highest ? entry->*field : highest;
    }
    return highest;
}

bool BestOfferedMode(const ModeEntry *entries, int count, const ModeRequest &request,
                     const ModeSnapshot &current, ModeSnapshot *chosen)
{
    std::vector<const ModeEntry *> sized;
    for (int k = 0; k < count; k++) {
        const ModeEntry &entry = entries[k];
        if (entry.width == request.width && entry.height == request.height &&
            (!request.bitsPerPixel || entry.bitsPerPixel == request.bitsPerPixel) &&
            (!request.frequency || entry.frequency == request.frequency))
            sized.push_back(&entry);
    }
    if (sized.empty())
        return false;
    LONG bits = PickValue(sized, &ModeEntry::bitsPerPixel, request.bitsPerPixel, current.bitsPerPixel);
    std::vector<const ModeEntry *> deep;
    for (const ModeEntry *entry : sized)
        if (entry->bitsPerPixel == bits)
            deep.push_back(entry);
    LONG frequency = PickValue(deep, &ModeEntry::frequency, request.frequency, current.frequency);
    *chosen = {request.width, request.height, bits, frequency};
    return true;
}

static LONG MoveDisplay(const DisplayRecord &display, POINT origin, DWORD flags)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_POSITION;
    mode.dmPosition.x = display.monitorRect.left - origin.x;
    mode.dmPosition.y = display.monitorRect.top - origin.y;
    return Platform.ChangeDisplaySettingsExW(display.device, &mode, nullptr,
                                             flags | CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
}

// The primary display is the one at the desktop's origin: every display moves
// by the chosen one's offset, stored first and applied together at the end.
LONG MakePrimaryDisplay(const std::vector<DisplayRecord> &displays, int chosen)
{
    if (chosen < 0 || chosen >= (int)displays.size())
        return DISP_CHANGE_BADPARAM;
    if (!Platform.ChangeDisplaySettingsExW)
        return DISP_CHANGE_FAILED;
    POINT origin = {displays[chosen].monitorRect.left, displays[chosen].monitorRect.top};
    LONG result = MoveDisplay(displays[chosen], origin, CDS_SET_PRIMARY);
    for (size_t k = 0; k < displays.size() && result == DISP_CHANGE_SUCCESSFUL; k++)
        if ((int)k != chosen)
            result = MoveDisplay(displays[k], origin, 0);
    if (result != DISP_CHANGE_SUCCESSFUL)
        return result;
    return Platform.ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
}
