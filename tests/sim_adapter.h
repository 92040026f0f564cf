// A simulated display adapter behind the platform table: any number of monitors,
// a chosen candidate mode list, which modes each device accepts, result codes
// and a log of every call. Installed for the lifetime of a ScopedSimAdapter.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/platform.h"

struct SimMonitor {
    RECT rect; // the work area is all but its bottom 30 pixels
    bool primary;
    std::wstring device; // also the device's description
    LONG bitsPerPixel, frequency;
};

struct SimCall {
    std::wstring device; // empty for ChangeDisplaySettingsW
    DWORD flags;
    DEVMODEW mode;
};

struct SimAdapter {
    std::vector<SimMonitor> monitors; // may change while a test runs: monitors come and go
    std::vector<DEVMODEW> candidates;
    // Whether the device (0-based index) accepts the mode; all by default.
    std::function<bool(int device, const DEVMODEW &mode)> accepts;
    LONG changeResult = DISP_CHANGE_SUCCESSFUL; // result of every change but a test; the monitors stay
    // Monitor k's device path (its device's interface name); none when empty or missing.
    std::vector<std::wstring> devicePaths;

    std::vector<SimCall> calls;
    std::vector<NOTIFYICONDATAW> notifications;
    std::vector<std::wstring> launches; // "file params" of ShellExecuteW

    int TestCalls() const
    {
        return (int)std::ranges::count_if(calls, [](const SimCall &c) { return c.flags & CDS_TEST; });
    }
    // "display flags height;" per call, the tests left out when asked: the
    // device name's last character, "?" for the plain call that names none.
    std::string Log(bool tests = true) const
    {
        std::string log;
        for (const SimCall &c : calls)
            if (tests || !(c.flags & CDS_TEST))
                log += std::string(1, c.device.empty() ? '?' : (char)c.device.back()) + " " +
                       std::to_string(c.flags) + " " + std::to_string(c.mode.dmPelsHeight) + ";";
        return log;
    }
};

extern SimAdapter Sim;

// The flags in the log of a display staged for a change applied in one call,
// and of the display made primary so.
inline const std::string SimStaged = std::to_string(CDS_UPDATEREGISTRY | CDS_NORESET),
                         SimPrimary = std::to_string(CDS_UPDATEREGISTRY | CDS_NORESET | CDS_SET_PRIMARY);

// Monitors "\\.\Display1" and on, laid out side by side, each width x height, the first primary.
void SimSetMonitors(int count, LONG width = 1024, LONG height = 768);
// A candidate as the platform's enumeration would give it.
DEVMODEW SimMode(DWORD width, DWORD height, DWORD bits, DWORD frequency);

// Installs Sim's settings, reset to one monitor, until the end of the scope.
struct ScopedSimAdapter {
    PlatformTable saved = Platform;
    ScopedSimAdapter()
    {
        Sim = SimAdapter();
        SimSetMonitors(1);
        Install();
    }
    ~ScopedSimAdapter() { Platform = saved; }
    // Puts the table together from Sim's settings; call after changing them.
    void Install();
};
