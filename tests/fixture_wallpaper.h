// What the per-monitor wallpaper fixture (fixture_wallpaper.dll) answers: the
// monitors a test writes to the registry before the program asks.
#pragma once
#include <windows.h>

#include <shlwapi.h>

#include <string>
#include <vector>

#define FIXTURE_WALLPAPER_KEY L"Software\\Tessivon wallpaper fixture"

struct FixtureMonitor {
    wchar_t path[64]; // the device path the object names it by
    RECT rect;
    // GetMonitorRECT's answer: S_FALSE for a monitor not attached (the
    // rectangle still where it last was), a failure for a call that fails.
    HRESULT answer;
    wchar_t picture[MAX_PATH];
};

inline FixtureMonitor NamedMonitor(const RECT &rect, HRESULT answer, const std::wstring &picture)
{
    static int named;
    FixtureMonitor monitor = {L"", rect, answer, L""};
    wsprintfW(monitor.path, L"\\\\?\\DISPLAY#FIXTURE#%d", ++named);
    lstrcpynW(monitor.picture, picture.c_str(), MAX_PATH);
    return monitor;
}

// The monitors the object names, in this order, for the scope (their picture
// files too); without them it names none.
struct ScopedFixtureMonitors {
    std::vector<FixtureMonitor> monitors;
    ScopedFixtureMonitors(const std::vector<FixtureMonitor> &named) : monitors(named)
    {
        SHSetValueW(HKEY_CURRENT_USER, FIXTURE_WALLPAPER_KEY, L"Monitors", REG_BINARY, monitors.data(),
                    (DWORD)(monitors.size() * sizeof(FixtureMonitor)));
    }
    ~ScopedFixtureMonitors()
    {
        SHDeleteKeyW(HKEY_CURRENT_USER, FIXTURE_WALLPAPER_KEY);
        for (const FixtureMonitor &monitor : monitors)
            DeleteFileW(monitor.picture);
    }
    ScopedFixtureMonitors(const ScopedFixtureMonitors &) = delete;
};
