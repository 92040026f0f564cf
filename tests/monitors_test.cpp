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

// Without the six monitor functions every answer describes the one screen.
TEST(MonitorLayer, WithoutMonitorFunctionsOneScreenAtTheOrigin)
{
    ScopedSimAdapter adapter;
    Sim.monitorFunctions = 0;
    adapter.Install();
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_FALSE(InitMonitorFunctions());
    EXPECT_EQ(CompatGetSystemMetrics(SM_CYVIRTUALSCREEN), cy);
    EXPECT_EQ(CompatMonitorFromPoint({cx, 0}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(CompatMonitorFromPoint({cx, 0}, MONITOR_DEFAULTTONEAREST), PRIMARY_MONITOR_HANDLE);
    RECT inside = {-10, -10, 1, 1};
    EXPECT_EQ(CompatMonitorFromRect(&inside, MONITOR_DEFAULTTONULL), PRIMARY_MONITOR_HANDLE);
    HWND window =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, cx + 100, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(CompatMonitorFromWindow(window, MONITOR_DEFAULTTONULL), nullptr);
    DestroyWindow(window);

    // Only a record of full size is filled, and the device name only in the larger one.
    MONITORINFOEXA info = {};
    info.cbSize = sizeof(MONITORINFO) - 1;
    EXPECT_FALSE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info));
    info.cbSize = sizeof(info);
    ASSERT_TRUE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info));
    EXPECT_STREQ(info.szDevice, "DISPLAY");

    // One call at most, limited to the clip rectangle; none away from the screen.
    std::pair<int, RECT> visit = {0, {}};
    EXPECT_FALSE(CompatEnumDisplayMonitors(nullptr, nullptr, nullptr, 0));
    RECT clip = {10, 20, 30, 40}, away = {cx + 5, 0, cx + 50, 10};
    EXPECT_TRUE(CompatEnumDisplayMonitors(nullptr, &clip, CountMonitor, (LPARAM)&visit));
    EXPECT_TRUE(CompatEnumDisplayMonitors(nullptr, &away, CountMonitor, (LPARAM)&visit));
    EXPECT_EQ(visit.first, 1);
    EXPECT_TRUE(EqualRect(&visit.second, &clip));
}

TEST(MonitorLayer, PassesThroughOnlyWhenAllSixExist)
{
    ScopedSimAdapter adapter;
    SimSetMonitors(2);
    adapter.Install();
    EXPECT_EQ(CompatGetSystemMetrics(SM_CXVIRTUALSCREEN), 2048);
    for (int k = 0; k < 6; k++) {
        Sim.monitorFunctions = 0x3F & ~(1u << k);
        adapter.Install();
        EXPECT_EQ(CompatGetSystemMetrics(SM_CMONITORS), 1) << k;
    }
}

} // namespace
