#include <gtest/gtest.h>

#include <span>

#include "display/catalogue.h"
#include "display/monitors.h"
#include "tests/sim_adapter.h"

namespace {

using Rows = std::vector<std::string>;

TEST(Catalogue, DisplaysTestedOnTheirOwnDevicesOncePerShapeAtMostFifteenAndTheMonitorLayerAllOrNothing)
{
    ScopedSimAdapter adapter;
    DisplayCatalogue catalogue = {};
    CatalogueOptions options = {false, true};
    // The display's table, one "WxHxBITS@HZ" per entry, "P" after a portrait.
    auto build = [&](int display = 0) {
        Sim.calls.clear();
        FreeDisplayCatalogue(&catalogue);
        BuildDisplayCatalogue(&catalogue, options);
        Rows rows;
        for (const ModeEntry &e : std::span(catalogue.tables[display], catalogue.counts[display]))
            rows.push_back(std::to_string(e.width) + "x" + std::to_string(e.height) + "x" +
                           std::to_string(e.bitsPerPixel) + "@" + std::to_string(e.frequency) +
                           (e.isLandscape ? "" : "P"));
        return rows;
    };
    Sim.candidates = {SimMode(640, 480, 8, 60), SimMode(1600, 1200, 32, 60)};
    // Only the fifth device takes 1600x1200.
    Sim.accepts = [](int device, const DEVMODEW &m) { return m.dmPelsWidth != 1600 || device == 4; };
    SimSetMonitors(5);
    EXPECT_EQ(build(4), (Rows{"640x480x8@60", "1600x1200x32@60"})) << "the fifth display's own table";
    ModeSnapshot snapshots[MAX_DISPLAYS + 1] = {};
    // Past fifteen displays the mode commands would leave their 16-bit range
    // (the snapshots' modes are the main window test's: its marks and Escape).
    SimSetMonitors(MAX_DISPLAYS + 1, 640, 480);
    snapshots[MAX_DISPLAYS].width = -7;
    EXPECT_EQ(SnapshotCurrentModes(snapshots), MAX_DISPLAYS);
    EXPECT_EQ(snapshots[MAX_DISPLAYS].width, -7) << "a snapshot was written past the displays' room";

    // More than twenty depths lose nothing.
    Sim.candidates.clear();
    for (int k = 0; k < 30; k++)
        for (int width : {640, 800})
            Sim.candidates.push_back(SimMode(width, 480, 100 + k, 60));
    Rows rows = build();
    ASSERT_EQ(rows.size(), 60u);
    EXPECT_EQ(rows[59], "800x480x129@60");

    // Device names follow the order outputs were attached, not the monitor order;
    // candidates that differ only by rate share one test per display and twin.
    Sim.candidates.clear();
    SimSetMonitors(3);
    const std::vector<std::wstring> names = {L"\\\\.\\DISPLAY1", L"\\\\.\\DISPLAY5", L"\\\\.\\DISPLAY9"};
    for (int k = 0; k < 3; k++)
        Sim.monitors[k].device = names[k];
    options.portraitTwins = true;
    for (int k = 0; k < 24; k++) // rates 60, 75 and 90
        Sim.candidates.push_back(
            SimMode(640 + 32 * (k / 6), 480 + 24 * (k / 6), 16 + 16 * (k % 2), 60 + 15 * (k % 3)));
    Sim.candidates.push_back(SimMode(480, 640, 16, 60)); // a twin's shape, already known
    Sim.accepts = [](int device, const DEVMODEW &m) {
        return (m.dmPelsWidth / 32 + m.dmBitsPerPel + device) % 3;
    };
    options.reuseShapeAnswers = false;
    Rows everyCandidate[3] = {build(0), build(1), build(2)};
    options.reuseShapeAnswers = true;
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(build(i), everyCandidate[i]) << "display " << i;
    EXPECT_EQ(Sim.TestCalls(), 3 * 4 * 2 * 2) << "four sizes, two depths, twins";
    std::vector<std::wstring> devices;
    for (const SimCall &call : Sim.calls)
        if (devices.empty() || devices.back() != call.device)
            devices.push_back(call.device);
    EXPECT_EQ(devices, names);

    // The six monitor functions are used only when all exist; without them every
    // answer describes the one screen.
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
    FreeDisplayCatalogue(&catalogue);
}

} // namespace
