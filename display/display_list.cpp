// The display configuration types come with the Windows 7 headers; the
// functions themselves are looked up by name, so older systems still run.
#undef WINVER
#define WINVER 0x0601
#include "display/display_list.h"

#include "base/platform.h"
#include "base/scoped.h"
#include "display/monitors.h"

// Far beyond any real desk; bounds what the platform's answers can make us hold.
#define MAX_LISTED_DISPLAYS 64
#define MAX_CONFIG_PATHS 128

struct MonitorNames {
    std::wstring gdiName;
    std::wstring friendlyName;
    std::wstring devicePath;
};

typedef LONG(WINAPI *BufferSizesProc)(UINT32, UINT32 *, UINT32 *);
typedef LONG(WINAPI *QueryConfigProc)(UINT32, UINT32 *, DISPLAYCONFIG_PATH_INFO *, UINT32 *,
                                      DISPLAYCONFIG_MODE_INFO *, DISPLAYCONFIG_TOPOLOGY_ID *);
typedef LONG(WINAPI *DeviceInfoProc)(DISPLAYCONFIG_DEVICE_INFO_HEADER *);

// The names of the monitor on every active path, where the platform keeps them.
static std::vector<MonitorNames> ActivePathNames()
{
    std::vector<MonitorNames> names;
    HMODULE user32 = GetModuleHandleW(L"USER32");
    auto bufferSizes = ProcAddress<BufferSizesProc>(user32, "GetDisplayConfigBufferSizes");
    auto query = ProcAddress<QueryConfigProc>(user32, "QueryDisplayConfig");
    auto deviceInfo = ProcAddress<DeviceInfoProc>(user32, "DisplayConfigGetDeviceInfo");
    UINT32 pathCount = 0, modeCount = 0;
    if (!bufferSizes || !query || !deviceInfo ||
        bufferSizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount) != ERROR_SUCCESS ||
        pathCount > MAX_CONFIG_PATHS || modeCount > 2 * MAX_CONFIG_PATHS)
        return names;
    std::vector<DISPLAYCONFIG_PATH_INFO> paths(pathCount);
    std::vector<DISPLAYCONFIG_MODE_INFO> modes(modeCount);
    if (query(QDC_ONLY_ACTIVE_PATHS, &pathCount, paths.data(), &modeCount, modes.data(), nullptr) !=
        ERROR_SUCCESS)
        return names;
    for (UINT32 k = 0; k < pathCount && k < paths.size(); k++) {
        DISPLAYCONFIG_SOURCE_DEVICE_NAME source = {};
        source.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME;
        source.header.size = sizeof(source);
        source.header.adapterId = paths[k].sourceInfo.adapterId;
        source.header.id = paths[k].sourceInfo.id;
        DISPLAYCONFIG_TARGET_DEVICE_NAME target = {};
        target.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME;
        target.header.size = sizeof(target);
        target.header.adapterId = paths[k].targetInfo.adapterId;
        target.header.id = paths[k].targetInfo.id;
        if (deviceInfo(&source.header) != ERROR_SUCCESS || deviceInfo(&target.header) != ERROR_SUCCESS)
            continue;
        // The platform's texts are fixed arrays; a missing terminator must not run on.
        source.viewGdiDeviceName[CCHDEVICENAME - 1] = 0;
        target.monitorFriendlyDeviceName[63] = 0;
        target.monitorDevicePath[127] = 0;
        names.push_back(
            {source.viewGdiDeviceName, target.monitorFriendlyDeviceName, target.monitorDevicePath});
    }
    return names;
}

bool ReadMonitorDevicePath(const wchar_t *device, wchar_t *path, int size)
{
    DISPLAY_DEVICEW monitor = {};
    monitor.cb = sizeof(monitor);
    if (!Platform.EnumDisplayDevicesW ||
        !Platform.EnumDisplayDevicesW(device, 0, &monitor, EDD_GET_DEVICE_INTERFACE_NAME))
        return false;
    lstrcpynW(path, monitor.DeviceID, size);
    return true;
}

static void NameMonitor(DisplayInfo *display, const std::vector<MonitorNames> &paths)
{
    for (const MonitorNames &names : paths) {
        if (!lstrcmpiW(names.gdiName.c_str(), display->device)) {
            display->friendlyName = names.friendlyName;
            display->devicePath = names.devicePath;
            return;
        }
    }
    // Without display configuration the monitor device still has its path.
    wchar_t path[128];
    if (ReadMonitorDevicePath(display->device, path, ARRAYSIZE(path)))
        display->devicePath = path;
}

static BOOL CALLBACK ListDisplayProc(HMONITOR monitor, HDC monitorDC, LPRECT, LPARAM data)
{
    auto *displays = reinterpret_cast<std::vector<DisplayInfo> *>(data);
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    if (!CompatGetMonitorInfo(monitor, &info))
        return TRUE;
    DisplayInfo display = {};
    int number = (int)displays->size();
    // A platform without monitor functions names its one device "DISPLAY".
    if (HasMonitorFunctions() && info.szDevice[0])
        lstrcpynW(display.device, info.szDevice, CCHDEVICENAME);
    else
        DisplayDeviceName(number, display.device);
    display.rect = info.rcMonitor;
    display.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    display.current = ModeOfMonitorDC(monitorDC);
    displays->push_back(display);
    return displays->size() < MAX_LISTED_DISPLAYS;
}

std::vector<DisplayInfo> ListDisplays()
{
    std::vector<DisplayInfo> displays;
    {
        ScopedWindowDC screen(nullptr);
        CompatEnumDisplayMonitors(screen.dc, nullptr, ListDisplayProc, reinterpret_cast<LPARAM>(&displays));
    }
    std::vector<MonitorNames> paths = ActivePathNames();
    for (DisplayInfo &display : displays)
        NameMonitor(&display, paths);
    return displays;
}

int FindDisplay(const std::vector<DisplayInfo> &displays, const wchar_t *text)
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
        const DisplayInfo &display = displays[k];
        for (const wchar_t *name :
             {(const wchar_t *)display.device, display.devicePath.c_str(), display.friendlyName.c_str()})
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

static LONG MoveDisplay(const DisplayInfo &display, POINT origin, DWORD flags)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_POSITION;
    mode.dmPosition.x = display.rect.left - origin.x;
    mode.dmPosition.y = display.rect.top - origin.y;
    return Platform.ChangeDisplaySettingsExW(display.device, &mode, nullptr,
                                             flags | CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
}

// The primary display is the one at the desktop's origin: every display moves
// by the chosen one's offset, stored first and applied together at the end.
LONG MakePrimaryDisplay(const std::vector<DisplayInfo> &displays, int chosen)
{
    if (chosen < 0 || chosen >= (int)displays.size())
        return DISP_CHANGE_BADPARAM;
    if (!Platform.ChangeDisplaySettingsExW)
        return DISP_CHANGE_FAILED;
    POINT origin = {displays[chosen].rect.left, displays[chosen].rect.top};
    LONG result = MoveDisplay(displays[chosen], origin, CDS_SET_PRIMARY);
    for (size_t k = 0; k < displays.size() && result == DISP_CHANGE_SUCCESSFUL; k++)
        if ((int)k != chosen)
            result = MoveDisplay(displays[k], origin, 0);
    if (result != DISP_CHANGE_SUCCESSFUL)
        return result;
    return Platform.ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
}
