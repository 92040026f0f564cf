#include <gtest/gtest.h>

#include "display/catalogue.h"
#include "tests/sim_adapter.h"

namespace {

struct CatalogueFixture : ::testing::Test {
    ScopedSimAdapter adapter;
    void SetUp() override { PortraitOption = 0; }
    void TearDown() override
    {
        FreeDisplayCatalogue();
        PortraitOption = 0;
        ReuseShapeAnswers = true;
    }
    void Build()
    {
        adapter.Install();
        FreeDisplayCatalogue();
        BuildDisplayCatalogue();
    }
};

std::string Describe(const ModeEntry &e)
{
    return std::to_string(e.width) + "x" + std::to_string(e.height) + "x" + std::to_string(e.bitsPerPixel) +
           "@" + std::to_string(e.frequency) + (e.isLandscape ? "" : "P");
}

std::vector<std::string> Table(int display)
{
    std::vector<std::string> rows;
    for (int j = 0; j < ModeCounts[display]; j++)
        rows.push_back(Describe(ModeTables[display][j]));
    return rows;
}

TEST_F(CatalogueFixture, GroupsDepthsInOrderOfFirstAppearance)
{
    Sim.candidates = {SimMode(640, 480, 8, 60), SimMode(800, 600, 16, 60), SimMode(1024, 768, 8, 60),
                      SimMode(1024, 768, 32, 75)};
    Build();
    ASSERT_EQ(DisplayCount, 1);
    EXPECT_EQ(Table(0),
              (std::vector<std::string>{"640x480x8@60", "1024x768x8@60", "800x600x16@60", "1024x768x32@75"}));
    // One display: tested against the first device name.
    ASSERT_FALSE(Sim.calls.empty());
    EXPECT_EQ(Sim.calls[0].device, "\\\\.\\Display1");
    EXPECT_EQ(Sim.calls[0].flags, (DWORD)CDS_TEST);
    EXPECT_EQ(Sim.calls[0].mode.dmFields,
              (DWORD)(DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFLAGS));
}

TEST_F(CatalogueFixture, PortraitTwinsFollowOnlyWhenOptionSetAndAccepted)
{
    Sim.candidates = {SimMode(800, 600, 16, 60), SimMode(1024, 768, 16, 75)};
    // The adapter takes 600x800 but not 768x1024.
    Sim.accepts = [](int, const DEVMODEA &m) { return !(m.dmPelsWidth == 768 && m.dmPelsHeight == 1024); };
    Build();
    EXPECT_EQ(Table(0), (std::vector<std::string>{"800x600x16@60", "1024x768x16@75"}));

    PortraitOption = 1;
    Build();
    EXPECT_EQ(Table(0), (std::vector<std::string>{"800x600x16@60", "600x800x16@60P", "1024x768x16@75"}));
}

TEST_F(CatalogueFixture, EqualModesBothAppear)
{
    DEVMODEA first = SimMode(800, 600, 16, 60);
    DEVMODEA second = first;
    second.dmDisplayFlags = DM_INTERLACED;
    Sim.candidates = {first, second};
    Build();
    EXPECT_EQ(Table(0), (std::vector<std::string>{"800x600x16@60", "800x600x16@60"}));
}

TEST_F(CatalogueFixture, EachDisplayTestsAgainstItsOwnDeviceName)
{
    Sim.candidates = {SimMode(640, 480, 8, 60), SimMode(1600, 1200, 32, 60)};
    // Only the third device takes 1600x1200.
    Sim.accepts = [](int device, const DEVMODEA &m) { return m.dmPelsWidth != 1600 || device == 2; };
    for (int count = 1; count <= 3; count++) {
        SimSetMonitors(count);
        Sim.calls.clear();
        Build();
        ASSERT_EQ(DisplayCount, count);
        for (int i = 0; i < count; i++)
            EXPECT_EQ(ModeCounts[i], i == 2 ? 2 : 1) << "display " << i;
        std::vector<std::string> devices;
        for (const SimCall &call : Sim.calls)
            if (devices.empty() || devices.back() != call.device)
                devices.push_back(call.device);
        std::vector<std::string> expected = {"\\\\.\\Display1", "\\\\.\\Display2", "\\\\.\\Display3"};
        expected.resize(count);
        EXPECT_EQ(devices, expected);
    }
}

TEST_F(CatalogueFixture, FourMonitorsKeepThreeDisplays)
{
    SimSetMonitors(4);
    Sim.candidates = {SimMode(640, 480, 8, 60)};
    Build();
    EXPECT_EQ(DisplayCount, 3);
    for (const SimCall &call : Sim.calls)
        EXPECT_NE(call.device, "\\\\.\\Display4");
    ModeSnapshot snapshots[4] = {};
    snapshots[3].width = -7;
    SnapshotCurrentModes(snapshots);
    EXPECT_EQ(snapshots[2].width, 1024);
    EXPECT_EQ(snapshots[3].width, -7) << "the fourth monitor was written past the three snapshots";
}

TEST_F(CatalogueFixture, WithoutChangeDisplaySettingsExEveryDisplayGetsTheSameList)
{
    SimSetMonitors(2);
    Sim.hasChangeEx = false;
    Sim.candidates = {SimMode(640, 480, 8, 60), SimMode(800, 600, 8, 60)};
    Sim.accepts = [](int device, const DEVMODEA &m) { return device == 0 || m.dmPelsWidth == 640; };
    Build();
    ASSERT_EQ(DisplayCount, 2);
    EXPECT_EQ(Table(0), Table(1));
    EXPECT_EQ(ModeCounts[0], 2);
    for (const SimCall &call : Sim.calls)
        EXPECT_EQ(call.function, "ChangeDisplaySettingsA");
}

TEST_F(CatalogueFixture, PartialMonitorFunctionsCountAsNone)
{
    SimSetMonitors(3);
    Sim.monitorFunctions = 0x3F & ~8; // MonitorFromPoint missing
    Sim.candidates = {SimMode(640, 480, 8, 60)};
    Build();
    EXPECT_EQ(DisplayCount, 1);
    // The one monitor's snapshot comes from the real screen, not the simulation.
    ModeSnapshot snapshots[3] = {};
    SnapshotCurrentModes(snapshots);
    EXPECT_EQ(snapshots[0].width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(snapshots[1].width, 0);
}

TEST_F(CatalogueFixture, SnapshotsComeInMonitorOrder)
{
    SimSetMonitors(3);
    Sim.monitors[1].rect.right = Sim.monitors[1].rect.left + 800;
    Sim.monitors[1].rect.bottom = 600;
    Sim.monitors[1].bitsPerPixel = 16;
    Sim.monitors[2].frequency = 75;
    adapter.Install();
    ModeSnapshot snapshots[3] = {};
    SnapshotCurrentModes(snapshots);
    EXPECT_EQ(snapshots[0].width, 1024);
    EXPECT_EQ(snapshots[1].width, 800);
    EXPECT_EQ(snapshots[1].height, 600);
    EXPECT_EQ(snapshots[1].bitsPerPixel, 16);
    EXPECT_EQ(snapshots[2].frequency, 75);
}

TEST_F(CatalogueFixture, EachCandidateIsTestedOncePerDisplayAndTwin)
{
    SimSetMonitors(3);
    PortraitOption = 1;
    for (int k = 0; k < 10; k++)
        Sim.candidates.push_back(SimMode(640 + 16 * k, 480, 8 + 8 * (k % 3), 60));
    Build();
    EXPECT_EQ(Sim.TestCalls(), 3 * 10 * 2);
    EXPECT_EQ(ModeCounts[0], 20);
}

// Device names follow the order outputs were attached, not the monitor order.
void NameMonitors(std::initializer_list<const char *> names)
{
    int k = 0;
    for (const char *name : names)
        Sim.monitors[k++].device = name;
}

TEST_F(CatalogueFixture, RatesShareOneAnswerPerShapeOnTheMonitorsOwnDevices)
{
    SimSetMonitors(3);
    NameMonitors({"\\\\.\\DISPLAY1", "\\\\.\\DISPLAY5", "\\\\.\\DISPLAY9"});
    PortraitOption = 1;
    const DWORD rates[] = {60, 75, 85};
    for (int k = 0; k < 24; k++)
        Sim.candidates.push_back(
            SimMode(640 + 32 * (k / 6), 480 + 24 * (k / 6), 16 + 16 * (k % 2), rates[k % 3]));
    Sim.candidates.push_back(SimMode(480, 640, 16, 60)); // the same shape as a twin
    Sim.accepts = [](int device, const DEVMODEA &m) {
        return (m.dmPelsWidth / 32 + m.dmBitsPerPel + device) % 3;
    };
    ReuseShapeAnswers = false;
    Build();
    std::vector<std::string> tested[3] = {Table(0), Table(1), Table(2)};
    int everyCandidate = Sim.TestCalls();
    Sim.calls.clear();
    ReuseShapeAnswers = true;
    Build();
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(Table(i), tested[i]) << "display " << i;
        EXPECT_FALSE(tested[i].empty()) << "display " << i;
    }
    EXPECT_NE(tested[0], tested[1]);
    EXPECT_EQ(everyCandidate, 3 * 25 * 2);
    EXPECT_EQ(Sim.TestCalls(), 3 * 4 * 2 * 2) << "four sizes, two depths, twins; 480x640 is a known twin";
    std::vector<std::string> devices;
    for (const SimCall &call : Sim.calls)
        if (devices.empty() || devices.back() != call.device)
            devices.push_back(call.device);
    EXPECT_EQ(devices, (std::vector<std::string>{"\\\\.\\DISPLAY1", "\\\\.\\DISPLAY5", "\\\\.\\DISPLAY9"}));
}

TEST_F(CatalogueFixture, MoreThanTwentyDepthsLoseNothing)
{
    for (int k = 0; k < 30; k++) {
        Sim.candidates.push_back(SimMode(640, 480, 100 + k, 60));
        Sim.candidates.push_back(SimMode(800, 600, 100 + k, 60));
    }
    Build();
    ASSERT_EQ(ModeCounts[0], 60);
    for (int k = 0; k < 30; k++) {
        EXPECT_EQ(ModeTables[0][2 * k].bitsPerPixel, 100 + k);
        EXPECT_EQ(ModeTables[0][2 * k].width, 640);
        EXPECT_EQ(ModeTables[0][2 * k + 1].bitsPerPixel, 100 + k);
        EXPECT_EQ(ModeTables[0][2 * k + 1].width, 800);
    }
}

TEST_F(CatalogueFixture, AtMostAThousandEntriesPerDisplay)
{
    for (int k = 0; k < 1200; k++)
        Sim.candidates.push_back(SimMode(640 + k, 480, 32, 60));
    Build();
    EXPECT_EQ(ModeCounts[0], MAX_ENTRIES_PER_DISPLAY);
    EXPECT_EQ(ModeTables[0][999].width, 640 + 999);
}

} // namespace
