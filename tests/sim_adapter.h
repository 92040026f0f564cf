// A simulated display adapter behind the platform table: 1 to 4 monitors,
// a chosen candidate mode list, which modes each device accepts, result codes
// and a log of every call. Installed for the lifetime of a ScopedSimAdapter.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "display/catalogue.h"

struct SimMonitor {
    RECT rect, work;
    bool primary;
    std::string device, description; // device "\\.\Display1" and so on
    LONG bitsPerPixel, frequency;
};

struct SimCall {
    // The function ("ChangeDisplaySettingsW", ...) and the device name, empty when none was passed.
    std::string function, device;
    DWORD flags;
    DEVMODEW mode;
};

struct SimNotify {
    DWORD action;
    NOTIFYICONDATAW data;
};

struct SimAdapter {
    std::vector<SimMonitor> monitors;
    std::vector<DEVMODEW> candidates;
    // Whether the device (0-based index) accepts the mode; all by default.
    std::function<bool(int device, const DEVMODEW &mode)> accepts;
    LONG changeResult = DISP_CHANGE_SUCCESSFUL; // result of every real change
    bool hasChangeEx = true;
    // Which of the six monitor functions exist (bit k for the k-th in look-up order).
    unsigned monitorFunctions = 0x3F;

    std::vector<SimCall> calls;
    std::vector<SimNotify> notifications;
    std::vector<std::string> launches; // "file params" of ShellExecuteW

    int TestCalls() const;
    int ChangeCalls() const;
};

extern SimAdapter Sim;

// Monitors laid out side by side, each width x height, the first primary.
void SimSetMonitors(int count, LONG width = 1024, LONG height = 768);
// A candidate as the platform's enumeration would give it.
DEVMODEW SimMode(DWORD width, DWORD height, DWORD bits, DWORD frequency);

class ScopedSimAdapter {
  public:
    ScopedSimAdapter();
    ~ScopedSimAdapter();
    // Puts the table together from Sim's settings; call after changing them.
    void Install();

  private:
    PlatformTable saved;
};
