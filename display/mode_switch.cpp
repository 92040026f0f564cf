// Mode switching on a named display, and recorded modes put back.
#include "display/mode_switch.h"

#include "base/platform.h"

// One attempt, always naming the display's device: the plain call acts on
// the primary display, which need not be the first monitor enumerated (a
// docked laptop). Only a platform without the Ex call (one display) uses it.
static LONG SetModeOnDisplay(int display, LONG width, LONG height, LONG depth, LONG frequency, DWORD flags)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode.dmPelsWidth = (DWORD)width;
    mode.dmPelsHeight = (DWORD)height;
    mode.dmBitsPerPel = (DWORD)depth;
    mode.dmDisplayFrequency = (DWORD)frequency;
    if (!Platform.ChangeDisplaySettingsExW)
        return display == 0 ? Platform.ChangeDisplaySettingsW(&mode, flags) : DISP_CHANGE_FAILED;
    wchar_t device[CCHDEVICENAME];
    DisplayDeviceName(display, device);
    return Platform.ChangeDisplaySettingsExW(device, &mode, nullptr, flags, nullptr);
}

bool SwitchTarget(const DisplayCatalogue &catalogue, int display, int entryIndex, ModeSnapshot *target)
{
    if (display < 0 || display >= catalogue.displayCount || entryIndex < 0 ||
        entryIndex >= catalogue.counts[display])
        return false;
    const ModeEntry &entry = catalogue.tables[display][entryIndex];
    // A display the reading does not hold counts as landscape.
    std::vector<DisplayRecord> displays = ReadDisplays();
    bool portrait =
        display < (int)displays.size() && displays[display].mode.width < displays[display].mode.height;
    *target = {portrait ? entry.height : entry.width, portrait ? entry.width : entry.height,
               entry.bitsPerPixel, entry.frequency};
    return true;
}

LONG ApplyModeSnapshot(const ModeSnapshot &snapshot, int display, DWORD flags)
{
    return SetModeOnDisplay(display, snapshot.width, snapshot.height, snapshot.bitsPerPixel,
                            snapshot.frequency, flags);
}

const wchar_t *ModeChangeResultText(LONG result, const wchar_t **caption)
{
    *caption = L"Error";
    switch (result) {
    case DISP_CHANGE_SUCCESSFUL:
        return nullptr;
    case DISP_CHANGE_RESTART:
        return L"A restart appears to be required\nfor this video mode.";
    case DISP_CHANGE_FAILED:
        return L"The graphics adapter couldn't\nset this video mode.";
    case DISP_CHANGE_BADMODE:
        return L"The graphics adapter doesn't\nsupport this video mode.";
    case DISP_CHANGE_NOTUPDATED:
        *caption = L"Warning";
        return L"Couldn't write settings to \nregistry.";
    default:
        return L"Could not set mode";
    }
}
