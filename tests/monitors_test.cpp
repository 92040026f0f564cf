#include <gtest/gtest.h>

#include "display/monitors.h"
#include "tests/sim_adapter.h"

namespace {

BOOL CALLBACK CountMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM data)
{
    auto *visit = reinterpret_cast<std::pair<int, RECT> *>(data);
    visit->first++;
    visit->second = *rect;
    return monitor == PRIMARY_MONITOR_HANDLE;
}

// The six monitor functions are used only when all exist; without them every
// answer describes the one screen.
TEST(MonitorLayer, WithoutMonitorFunctionsOneScreenAtTheOrigin)
{
    ScopedSimAdapter adapter;
    SimSetMonitors(2);
    adapter.Install();
    EXPECT_EQ(CompatGetSystemMetrics(SM_CXVIRTUALSCREEN), 2048);
    for (int k = 0; k <= 6; k++) { // any one missing, then all
        Sim.monitorFunctions = k < 6 ? 0x3F & ~(1u << k) : 0;
        adapter.Install();
        EXPECT_EQ(CompatGetSystemMetrics(SM_CMONITORS), 1) << k;
    }
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_FALSE(InitMonitorFunctions());
    EXPECT_EQ(CompatGetSystemMetrics(SM_CYVIRTUALSCREEN), cy);
    EXPECT_EQ(CompatMonitorFromPoint({cx, 0}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(CompatMonitorFromPoint({cx, 0}, MONITOR_DEFAULTTONEAREST), PRIMARY_MONITOR_HANDLE);

    // Only a record of full size is filled, and the device name only in the larger one.
    MONITORINFOEXA info = {};
    info.cbSize = sizeof(MONITORINFO) - 1;
    EXPECT_FALSE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info));
    info.cbSize = sizeof(info);
    ASSERT_TRUE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info));
    EXPECT_STREQ(info.szDevice, "DISPLAY");

    // One call at most, limited to the clip rectangle; none away from the screen.
    std::pair<int, RECT> visit = {0, {}};
    RECT clip = {10, 20, 30, 40}, away = {cx + 5, 0, cx + 50, 10};
    CompatEnumDisplayMonitors(nullptr, &clip, CountMonitor, (LPARAM)&visit);
    CompatEnumDisplayMonitors(nullptr, &away, CountMonitor, (LPARAM)&visit);
    EXPECT_EQ(visit.first, 1);
    EXPECT_TRUE(EqualRect(&visit.second, &clip));
}

} // namespace
