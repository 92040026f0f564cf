#include <gtest/gtest.h>

#include "display/monitors.h"
#include "tests/sim_adapter.h"

namespace {

// The six monitor functions are used only when all exist; without them every
// answer describes the one screen.
TEST(MonitorLayer, UsedOnlyWhenAllSixExist)
{
    ScopedSimAdapter adapter;
    SimSetMonitors(2);
    EXPECT_EQ(CompatGetSystemMetrics(SM_CXVIRTUALSCREEN), 2048);
    for (int k = 0; k <= 6; k++) { // any one missing, then all
        Sim.monitorFunctions = k < 6 ? 0x3F & ~(1u << k) : 0;
        adapter.Install();
        EXPECT_EQ(CompatGetSystemMetrics(SM_CMONITORS), 1) << k;
    }
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(MONITORINFO) - 1;
    EXPECT_FALSE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info)) << "a record too small is not written";
}

} // namespace
