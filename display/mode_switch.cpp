#include "display/mode_switch.h"

#include "shell/platform.h"
#include "shell/tessivon.h"

// One attempt, stored as the display's setting. Display 0 goes through the
// plain call, which applies to the default device.
static LONG SetModeOnDisplay(int display, LONG width, LONG height, LONG depth, LONG frequency)
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode.dmPelsWidth = (DWORD)width;
    mode.dmPelsHeight = (DWORD)height;
    mode.dmBitsPerPel = (DWORD)depth;
    mode.dmDisplayFrequency = (DWORD)frequency;
    if (display == 0)
        return Platform.ChangeDisplaySettingsA(&mode, CDS_UPDATEREGISTRY);
    if (!ChangeDisplaySettingsExEntry)
        return DISP_CHANGE_FAILED;
    return ChangeDisplaySettingsExEntry(DisplayDeviceName(display), &mode, nullptr, CDS_UPDATEREGISTRY,
                                        nullptr);
}

bool SwitchDisplayMode(int display, int entryIndex)
{
    if (display < 0 || display >= DisplayCount || entryIndex < 0 || entryIndex >= ModeCounts[display])
        return false;
    const ModeEntry &entry = ModeTables[display][entryIndex];
    // A snapshot the enumeration does not write counts as landscape.
    ModeSnapshot current[MAX_DISPLAYS];
    for (ModeSnapshot &snapshot : current)
        snapshot = {100, 100, 0, 0};
    SnapshotCurrentModes(current);
    bool portrait = current[display].width < current[display].height;
    LONG width = portrait ? entry.height : entry.width;
    LONG height = portrait ? entry.width : entry.height;
    LONG result = SetModeOnDisplay(display, width, height, entry.bitsPerPixel, entry.frequency);
    if (result == DISP_CHANGE_SUCCESSFUL)
        return true;
    ReportModeChangeResult(result);
    return false;
}

LONG ApplyModeSnapshot(const ModeSnapshot &snapshot, int display)
{
    return SetModeOnDisplay(display, snapshot.width, snapshot.height, snapshot.bitsPerPixel,
                            snapshot.frequency);
}

void ReportModeChangeResult(LONG result)
{
    const char *text;
    const char *caption = "Error";
    switch (result) {
    case DISP_CHANGE_SUCCESSFUL:
        return;
    case DISP_CHANGE_RESTART:
        text = "A restart appears to be required\nfor this video mode.";
        break;
    case DISP_CHANGE_FAILED:
        text = "The graphics adapter couldn't\nset this video mode.";
        break;
    case DISP_CHANGE_BADMODE:
        text = "The graphics adapter doesn't\nsupport this video mode.";
        break;
    case DISP_CHANGE_NOTUPDATED:
        text = "Couldn't write settings to \nregistry.";
        caption = "Warning";
        break;
    default:
        text = "Could not set mode";
        break;
    }
    MessageBoxA(MainWindow, text, caption, MB_ICONEXCLAMATION);
}
