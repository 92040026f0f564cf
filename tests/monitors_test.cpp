#include <gtest/gtest.h>

#include "display/monitors.h"
#include "tests/sim_adapter.h"

namespace {

// A platform without monitor functions: the answers describe the one screen.
struct SingleMonitorPlatform : ::testing::Test {
    ScopedSimAdapter adapter;
    int cx = GetSystemMetrics(SM_CXSCREEN);
    int cy = GetSystemMetrics(SM_CYSCREEN);
    void SetUp() override
    {
        Sim.monitorFunctions = 0;
        adapter.Install();
    }
};

TEST_F(SingleMonitorPlatform, SystemMetricsDescribeOneScreenAtTheOrigin)
{
    EXPECT_FALSE(InitMonitorFunctions());
    EXPECT_EQ(CompatGetSystemMetrics(SM_CMONITORS), 1);
    EXPECT_EQ(CompatGetSystemMetrics(SM_SAMEDISPLAYFORMAT), 1);
    EXPECT_EQ(CompatGetSystemMetrics(SM_XVIRTUALSCREEN), 0);
    EXPECT_EQ(CompatGetSystemMetrics(SM_YVIRTUALSCREEN), 0);
    EXPECT_EQ(CompatGetSystemMetrics(SM_CXVIRTUALSCREEN), cx);
    EXPECT_EQ(CompatGetSystemMetrics(SM_CYVIRTUALSCREEN), cy);
    EXPECT_EQ(CompatGetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CXICON));
}

TEST_F(SingleMonitorPlatform, MonitorFromPointRectAndWindow)
{
    EXPECT_EQ(CompatMonitorFromPoint({0, 0}, MONITOR_DEFAULTTONULL), PRIMARY_MONITOR_HANDLE);
    EXPECT_EQ(CompatMonitorFromPoint({cx, 0}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(CompatMonitorFromPoint({cx, 0}, MONITOR_DEFAULTTONEAREST), PRIMARY_MONITOR_HANDLE);
    EXPECT_EQ(CompatMonitorFromPoint({-1, -1}, MONITOR_DEFAULTTOPRIMARY), PRIMARY_MONITOR_HANDLE);

    RECT inside = {-10, -10, 1, 1};
    RECT outside = {cx, 0, cx + 10, 10};
    EXPECT_EQ(CompatMonitorFromRect(&inside, MONITOR_DEFAULTTONULL), PRIMARY_MONITOR_HANDLE);
    EXPECT_EQ(CompatMonitorFromRect(&outside, MONITOR_DEFAULTTONULL), nullptr);

    HWND window =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, cx + 100, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    EXPECT_EQ(CompatMonitorFromWindow(window, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(CompatMonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), PRIMARY_MONITOR_HANDLE);
    SetWindowPos(window, nullptr, 10, 10, 50, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(CompatMonitorFromWindow(window, MONITOR_DEFAULTTONULL), PRIMARY_MONITOR_HANDLE);
    DestroyWindow(window);
    EXPECT_EQ(CompatMonitorFromWindow(window, MONITOR_DEFAULTTONULL), nullptr);
}

TEST_F(SingleMonitorPlatform, MonitorInfo)
{
    MONITORINFOEXA info = {};
    info.cbSize = sizeof(MONITORINFO) - 1;
    EXPECT_FALSE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info));
    info.cbSize = sizeof(MONITORINFO);
    EXPECT_FALSE(CompatGetMonitorInfo((HMONITOR)1, &info));
    ASSERT_TRUE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info));
    EXPECT_EQ(info.rcMonitor.right, cx);
    EXPECT_EQ(info.dwFlags, (DWORD)MONITORINFOF_PRIMARY);
    EXPECT_EQ(info.szDevice[0], '\0') << "a plain MONITORINFO has no device name";
    info.cbSize = sizeof(info);
    ASSERT_TRUE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info));
    EXPECT_STREQ(info.szDevice, "DISPLAY");
}

struct Visit {
    int calls = 0;
    RECT limit = {};
};

BOOL CALLBACK CountMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM data)
{
    Visit *visit = reinterpret_cast<Visit *>(data);
    visit->calls++;
    visit->limit = *rect;
    return monitor == PRIMARY_MONITOR_HANDLE;
}

TEST_F(SingleMonitorPlatform, EnumDisplayMonitorsCallsAtMostOnce)
{
    Visit visit;
    EXPECT_FALSE(CompatEnumDisplayMonitors(nullptr, nullptr, nullptr, 0));
    EXPECT_TRUE(CompatEnumDisplayMonitors(nullptr, nullptr, CountMonitor, (LPARAM)&visit));
    EXPECT_EQ(visit.calls, 1);
    EXPECT_EQ(visit.limit.right, cx);

    RECT clip = {10, 20, 30, 40};
    CompatEnumDisplayMonitors(nullptr, &clip, CountMonitor, (LPARAM)&visit);
    EXPECT_EQ(visit.calls, 2);
    EXPECT_TRUE(EqualRect(&visit.limit, &clip));

    RECT away = {cx + 5, 0, cx + 50, 10};
    EXPECT_TRUE(CompatEnumDisplayMonitors(nullptr, &away, CountMonitor, (LPARAM)&visit));
    EXPECT_EQ(visit.calls, 2);

    // A device context whose clip region is empty: nothing is called.
    HDC screen = GetDC(nullptr);
    HRGN empty = CreateRectRgn(0, 0, 0, 0);
    SelectClipRgn(screen, empty);
    EXPECT_TRUE(CompatEnumDisplayMonitors(screen, nullptr, CountMonitor, (LPARAM)&visit));
    EXPECT_EQ(visit.calls, 2);
    SelectClipRgn(screen, nullptr);
    EXPECT_TRUE(CompatEnumDisplayMonitors(screen, nullptr, CountMonitor, (LPARAM)&visit));
    EXPECT_EQ(visit.calls, 3);
    DeleteObject(empty);
    ReleaseDC(nullptr, screen);
}

TEST(MonitorLayer, PassesThroughWhenAllSixExist)
{
    ScopedSimAdapter adapter;
    SimSetMonitors(2);
    adapter.Install();
    EXPECT_TRUE(InitMonitorFunctions());
    EXPECT_EQ(CompatGetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(CompatGetSystemMetrics(SM_CXVIRTUALSCREEN), 2048);
    HMONITOR second = CompatMonitorFromPoint({1500, 10}, MONITOR_DEFAULTTONULL);
    MONITORINFOEXA info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(CompatGetMonitorInfo(second, &info));
    EXPECT_STREQ(info.szDevice, "\\\\.\\Display2");
    EXPECT_EQ(info.dwFlags, 0u);

    // Any one of the six missing: none is used.
    for (int k = 0; k < 6; k++) {
        Sim.monitorFunctions = 0x3F & ~(1u << k);
        adapter.Install();
        EXPECT_FALSE(InitMonitorFunctions()) << k;
        EXPECT_EQ(CompatGetSystemMetrics(SM_CMONITORS), 1) << k;
    }
}

} // namespace
