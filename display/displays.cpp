// The one walk of the attached displays (display/displays.h).
// The display configuration types come with the Windows 7 headers; the
// functions themselves are looked up by name, so older systems still run.
#undef WINVER
#define WINVER 0x0601
#include "display/displays.h"

#include "base/platform.h"
#include "base/scoped.h"
#include "display/monitors.h"

#define MAX_CONFIG_PATHS 128

struct DisplayWalk {
    std::vector<DisplayRecord> *records;
    size_t room;
};

// The device context is only lent for the call: what it tells is read here.
static BOOL CALLBACK RecordDisplayProc(HMONITOR monitor, HDC monitorDC, LPRECT clipped, LPARAM data)
{
    DisplayWalk *walk = reinterpret_cast<DisplayWalk *>(data);
    if (walk->records->size() >= walk->room)
        return FALSE;
    DisplayRecord record = {};
    record.number = (int)walk->records->size() + 1;
    record.monitor = monitor;
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    // The rectangle handed over is clipped to the screen DC, which can still
    // have the desktop's former size right after a mode switch: the monitor's
    // own information comes first.
    if (CompatGetMonitorInfo(monitor, &info)) {
        record.monitorRect = info.rcMonitor;
        record.workRect = info.rcWork;
        record.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    } else if (clipped) {
        record.monitorRect = record.workRect = *clipped;
    }
    // A platform without monitor functions names its one device "DISPLAY".
    if (HasMonitorFunctions() && info.szDevice[0])
        lstrcpynW(record.device, info.szDevice, CCHDEVICENAME);
    else
        wsprintfW(record.device, L"\\\\.\\Display%d", record.number);
    record.mode = {Platform.GetDeviceCaps(monitorDC, HORZRES), Platform.GetDeviceCaps(monitorDC, VERTRES),
                   Platform.GetDeviceCaps(monitorDC, PLANES) * Platform.GetDeviceCaps(monitorDC, BITSPIXEL),
                   Platform.GetDeviceCaps(monitorDC, VREFRESH)};
    walk->records->push_back(record);
    return TRUE;
}

// The interface path of the monitor on the display device, from the device
// list; it stays across docking, so profiles know the monitor by it.
static void ReadDevicePath(DisplayRecord *record)
{
    DISPLAY_DEVICEW monitor = {};
    monitor.cb = sizeof(monitor);
    if (Platform.EnumDisplayDevicesW &&
        Platform.EnumDisplayDevicesW(record->device, 0, &monitor, EDD_GET_DEVICE_INTERFACE_NAME))
        lstrcpynW(record->devicePath, monitor.DeviceID, DISPLAY_PATH_SIZE);
}

static void ReadOrientation(DisplayRecord *record)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    record->orientation = DMDO_DEFAULT;
    if (Platform.EnumDisplaySettingsW &&
        Platform.EnumDisplaySettingsW(record->device, ENUM_CURRENT_SETTINGS, &mode) &&
        (mode.dmFields & DM_DISPLAYORIENTATION) && mode.dmDisplayOrientation <= DMDO_270)
        record->orientation = mode.dmDisplayOrientation;
}

typedef LONG(WINAPI *BufferSizesProc)(UINT32, UINT32 *, UINT32 *);
typedef LONG(WINAPI *QueryConfigProc)(UINT32, UINT32 *, DISPLAYCONFIG_PATH_INFO *, UINT32 *,
                                      DISPLAYCONFIG_MODE_INFO *, DISPLAYCONFIG_TOPOLOGY_ID *);
typedef LONG(WINAPI *DeviceInfoProc)(DISPLAYCONFIG_DEVICE_INFO_HEADER *);

// The monitor's friendly name on every active path, where the platform keeps
// one, given to the record of the path's device.
static void ReadFriendlyNames(std::vector<DisplayRecord> &records)
{
    HMODULE user32 = GetModuleHandleW(L"USER32");
    auto bufferSizes = ProcAddress<BufferSizesProc>(user32, "GetDisplayConfigBufferSizes");
    auto query = ProcAddress<QueryConfigProc>(user32, "QueryDisplayConfig");
    auto deviceInfo = ProcAddress<DeviceInfoProc>(user32, "DisplayConfigGetDeviceInfo");
    UINT32 pathCount = 0, modeCount = 0;
    if (!bufferSizes || !query || !deviceInfo ||
        bufferSizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount) != ERROR_SUCCESS ||
        pathCount > MAX_CONFIG_PATHS || modeCount > 2 * MAX_CONFIG_PATHS)
        return;
    std::vector<DISPLAYCONFIG_PATH_INFO> paths(pathCount);
    std::vector<DISPLAYCONFIG_MODE_INFO> modes(modeCount);
    if (query(QDC_ONLY_ACTIVE_PATHS, &pathCount, paths.data(), &modeCount, modes.data(), nullptr) !=
        ERROR_SUCCESS)
        return;
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
        for (DisplayRecord &record : records)
            if (!lstrcmpiW(source.viewGdiDeviceName, record.device))
                lstrcpynW(record.friendlyName, target.monitorFriendlyDeviceName, DISPLAY_FRIENDLY_NAME_SIZE);
    }
}

std::vector<DisplayRecord> ReadDisplays()
{
    std::vector<DisplayRecord> records;
    int reported = CompatGetSystemMetrics(SM_CMONITORS);
    records.reserve(reported < 1 ? 1 : reported > MAX_READ_DISPLAYS ? MAX_READ_DISPLAYS : reported);
    DisplayWalk walk = {&records, MAX_READ_DISPLAYS};
    {
        ScopedWindowDC screen(nullptr);
        CompatEnumDisplayMonitors(screen.dc, nullptr, RecordDisplayProc, reinterpret_cast<LPARAM>(&walk));
    }
    for (DisplayRecord &record : records) {
        ReadDevicePath(&record);
        ReadOrientation(&record);
    }
    ReadFriendlyNames(records);
    return records;
}

void DisplayDeviceNameOf(const std::vector<DisplayRecord> &displays, int k, wchar_t *name)
{
    if (k >= 0 && k < (int)displays.size())
        lstrcpynW(name, displays[k].device, CCHDEVICENAME);
    else
        wsprintfW(name, L"\\\\.\\Display%d", k + 1);
}
