// The display catalogue and profiles on simulated monitors: each display's
// modes; profile names and hotkey texts, the store and its junk, and applying
// them in one step.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <span>

#include "command/profile_commands.h"
#include "display/catalogue.h"
#include "display/monitors.h"
#include "session/display_session.h"
#include "settings/profile_store.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

using Rows = std::vector<std::string>;

TEST(Catalogue, DisplaysTestedOnTheirOwnDevicesOncePerShapeAtMostFifteen)
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

    MONITORINFOEXW info = {};
    info.cbSize = sizeof(MONITORINFO) - 1;
    EXPECT_FALSE(CompatGetMonitorInfo(PRIMARY_MONITOR_HANDLE, &info)) << "a record too small is not written";
    FreeDisplayCatalogue(&catalogue);
}

// Names and hotkey texts are checked before anything is stored. A saved
// arrangement reads back; junk keys are skipped, not lost.
TEST(Profiles, CheckedSavedReadBackJunkSkippedAndAppliedInOneStepByPath)
{
    RegistryGuard registry;
    ScopedSimAdapter adapter;
    DisplaySession session = {}; // a command process's own
    SimSetMonitors(3);           // with device paths, the middle one at 1280x1024
    Sim.devicePaths = {L"\\\\?\\DISPLAY#A#1", L"\\\\?\\DISPLAY#B#2", L"\\\\?\\DISPLAY#C#3"};
    Sim.monitors[1].rect = {1024, 0, 2304, 1024};
    Sim.monitors[2].rect = {2304, 0, 3328, 768};
    std::wstring text;
    for (const wchar_t *bad : {L"", L" lead", L"trail ", L"a\\b", L"tab\there"})
        EXPECT_FALSE(IsValidProfileName(bad)) << bad;
    EXPECT_NE(IsValidProfileName(std::wstring(PROFILE_NAME_SIZE - 1, L'n').c_str()),
              IsValidProfileName(std::wstring(PROFILE_NAME_SIZE, L'n').c_str()));

    // Texts as typed and as shown again.
    WORD hotkey = 0;
    wchar_t back[64];
    for (auto [typed, shown] : {std::pair{L"alt+shift+f12", L"Alt+Shift+F12"},
                                {L"Control+pagedown", L"Ctrl+PageDown"},
                                {L"Ctrl+z", L"Ctrl+Z"}}) {
        EXPECT_TRUE(ParseHotkeyText(typed, &hotkey)) << typed;
        FormatHotkeyText(hotkey, back);
        EXPECT_STREQ(back, shown);
    }
    for (const wchar_t *bad : {L"", L"1", L"Shift+1", L"Ctrl+", L"+1", L"Ctrl++1", L"Ctrl+1+2", L"Ctrl+F25",
                               L"Ctrl+F0", L"Ctrl+Alt", L"Ctrl+Enter", L"Ctrl+Wiederholung1234567"})
        EXPECT_FALSE(ParseHotkeyText(bad, &hotkey)) << bad;

    EXPECT_EQ(SaveProfileCommand(L"Game", L"Ctrl+", &text), 1);
    EXPECT_EQ(SaveProfileCommand(L"Game", L"Ctrl+Alt+G", &text, true), 0);
    EXPECT_EQ(SaveProfileCommand(L"Other", L"ctrl+alt+g", &text), 1) << "the hotkey of another profile";
    EXPECT_EQ(text, L"The hotkey \"ctrl+alt+g\" belongs to profile \"Game\".\n");
    // Replaced without a hotkey or /auto: the former hotkey and mark stay; a
    // profile stored before the mark existed reads as unmarked.
    EXPECT_EQ(SaveProfileCommand(L"GAME", nullptr, &text), 0);
    Profile game;
    ASSERT_TRUE(LoadProfile(L"Game", &game));
    EXPECT_TRUE(game.hotkey == MAKEWORD('G', HOTKEYF_CONTROL | HOTKEYF_ALT) && game.autoApply);
    SHDeleteValueW(HKEY_CURRENT_USER, (std::wstring(PROFILES_KEY) + L"\\GAME").c_str(), L"Auto");
    EXPECT_TRUE(LoadProfile(L"Game", &game) && !game.autoApply);
    EXPECT_EQ(DeleteProfileCommand(L"game", &text), 0);

    ASSERT_EQ(SaveProfileCommand(L"Desk", L"ctrl+alt+1", &text), 0) << text;
    Profile desk;
    ASSERT_TRUE(LoadProfile(L"desk", &desk));
    EXPECT_STREQ(desk.name, L"Desk"); // its hotkey reads back as Game's above
    ASSERT_EQ(desk.displayCount, 3);
    const ProfileDisplay &middle = desk.displays[1];
    EXPECT_EQ(std::make_tuple(std::wstring(middle.device) + L" " + middle.path, middle.width, middle.height,
                              middle.bitsPerPixel, middle.frequency, middle.left, middle.top, middle.primary,
                              desk.displays[0].primary),
              std::make_tuple(std::wstring(L"\\\\.\\Display2 \\\\?\\DISPLAY#B#2"), 1280L, 1024L, 32L, 60L,
                              1024L, 0L, FALSE, TRUE));

    // Junk of every kind: a display count of 0 or beyond the bound, a height
    // out of range, a value of the wrong type, a name too long.
    const std::wstring base = std::wstring(PROFILES_KEY) + L"\\";
    for (auto [name, value, number] : {std::tuple{L"Zero", L"Displays", DWORD(0)},
                                       {L"Many", L"Displays", MAX_PROFILE_DISPLAYS + 1},
                                       {L"Huge", L"Display3Height", 0x80000000u}}) {
        lstrcpyW(desk.name, name);
        ASSERT_TRUE(SaveProfile(desk));
        SHSetValueW(HKEY_CURRENT_USER, (base + name).c_str(), value, REG_DWORD, &number, sizeof(number));
    }
    SHSetValueW(HKEY_CURRENT_USER, (base + L"Desk").c_str(), L"Display2Width", REG_SZ, L"1", 4);
    SHSetValueW(HKEY_CURRENT_USER, (base + std::wstring(PROFILE_NAME_SIZE, L'x')).c_str(), L"Displays",
                REG_DWORD, &desk.displayCount, 4);
    ListProfilesCommand(&text);
    EXPECT_EQ(text, L"") << "junk of every kind";
    EXPECT_EQ(ReadNumber((base + L"Zero").c_str(), L"Displays"), 0) << "junk is left alone";
    ASSERT_EQ(SaveProfileCommand(L"Copy", nullptr, &text), 0);
    ListProfilesCommand(&text);
    EXPECT_EQ(text, L"Copy\n") << "the others still load";
    EXPECT_EQ(SaveProfileCommand(L"Desk", nullptr, &text), 0) << "junk under the name is replaced";

    // Rename, and replace with fewer displays (no surplus values left).
    EXPECT_TRUE(RenameProfile(L"Copy", L"Projector"));
    SimSetMonitors(1);
    EXPECT_EQ(SaveProfileCommand(L"Projector", nullptr, &text), 0);
    EXPECT_EQ(ReadNumber((base + L"Projector").c_str(), L"Display2Width"), -1);

    // Applied, every display is staged with CDS_UPDATEREGISTRY | CDS_NORESET,
    // then one call applies them all. Monitors are found by device path though
    // their device names moved; a monitor not attached is named; a refused mode
    // is refused for its display only, with its reason.
    ASSERT_TRUE(LoadProfile(L"Desk", &desk)); // as saved on the three monitors of the start
    desk.displays[0].width = 800, desk.displays[0].height = 600;
    desk.displays[1].width = 1600, desk.displays[1].height = 1200;
    desk.displays[0].primary = FALSE, desk.displays[2].primary = TRUE; // the third becomes primary
    ASSERT_TRUE(SaveProfile(desk));

    // Docked again: monitor B now answers as \\.\Display3, C is gone.
    SimSetMonitors(2);
    Sim.monitors[1].device = L"\\\\.\\Display3";
    Sim.accepts = [](int device, const DEVMODEW &mode) { return device != 1 || mode.dmPelsWidth != 1600; };
    Sim.calls.clear();
    EXPECT_EQ(ApplyProfileCommand(&session, L"Desk", &text), 3);
    EXPECT_EQ(text, L"\\\\.\\Display3 (\\\\?\\DISPLAY#C#3): not attached\n"
                    L"\\\\.\\Display2 (\\\\?\\DISPLAY#B#2): The graphics adapter doesn't support this video "
                    L"mode.\n");
    EXPECT_EQ(Sim.Log(), "1 2 600;1 " + SimStaged + " 600;3 2 1200;? 0 0;")
        << "B tested on its present device";

    // Everything offered: the new primary gets CDS_SET_PRIMARY; places come along.
    Sim.accepts = nullptr;
    Sim.calls.clear();
    SimSetMonitors(3);
    EXPECT_EQ(ApplyProfileCommand(&session, L"Desk", &text), 0) << text;
    EXPECT_EQ(Sim.Log(false),
              "1 " + SimStaged + " 600;2 " + SimStaged + " 1200;3 " + SimPrimary + " 768;? 0 0;");
    EXPECT_EQ(std::make_pair(Sim.calls[5].mode.dmPosition.x, Sim.calls[5].mode.dmFields & DM_POSITION),
              std::make_pair(2304L, (DWORD)DM_POSITION));

    // Only missing displays: 2 and nothing applied; the driver refusing: 4; a restart: 5.
    SimSetMonitors(2);
    Sim.devicePaths = {L"\\\\?\\OTHER#1", L"\\\\?\\OTHER#2"};
    Sim.calls.clear();
    EXPECT_EQ(ApplyProfileCommand(&session, L"Desk", &text), 2);
    EXPECT_EQ(Sim.Log(false), "");
    SimSetMonitors(3);
    Sim.devicePaths.clear(); // then the device names tell the monitors
    for (auto [result, code] : {std::pair{DISP_CHANGE_FAILED, 4}, {DISP_CHANGE_RESTART, 5}}) {
        Sim.changeResult = result;
        EXPECT_EQ(ApplyProfileCommand(&session, L"Desk", &text), code) << text;
    }
}

} // namespace
