#include <gtest/gtest.h>

#include "display/monitors.h"
#include "tests/sim_adapter.h"

namespace {

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
    int cx = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_FALSE(InitMonitorFunctions());
    EXPECT_EQ(CompatGetSystemMetrics(SM_CXVIRTUALSCREEN), cx);
    EXPECT_EQ(CompatMonitorFromPoint({cx, 0}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(CompatMonitorFromPoint({cx, 0}, MONITOR_DEFAULTTONEAREST), PRIMARY_MONITOR_HANDLE);

    // Only a record of full size is filled, and the device name only in the larger one.
    MONITORINFOEXA info = {};
    info.cbSize = sizeof(MONITORINFO) - 1;
    EXPECT_FALSE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info));
    info.cbSize = sizeof(info);
    ASSERT_TRUE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info));
    EXPECT_STREQ(info.szDevice, "DISPLAY");
}

} // namespace
