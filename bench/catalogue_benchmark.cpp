// Builds the display catalogue on the simulated adapter: five displays, 300
// candidate modes, portrait twins on. Prints the number of mode tests the
// platform saw and the time taken.
#include <cstdio>

#include "display/catalogue.h"
#include "tests/sim_adapter.h"

int main()
{
    ScopedSimAdapter adapter;
    const int displays = 5;
    SimSetMonitors(displays);
    const DWORD depths[] = {8, 16, 32}, rates[] = {60, 75, 85, 100};
    for (int k = 0; Sim.candidates.size() < 300; k++)
        Sim.candidates.push_back(
            SimMode(640 + 32 * (k / 12), 480 + 24 * (k / 12), depths[k % 3], rates[(k / 3) % 4]));
    // Every device refuses a few shapes, so the tables differ.
    Sim.accepts = [](int device, const DEVMODEW &mode) { return (mode.dmPelsWidth / 32 + device) % 7 != 0; };
    adapter.Install();
    DisplayCatalogue catalogue = {};

    const int rounds = 20;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int round = 0; round < rounds; round++) {
        FreeDisplayCatalogue(&catalogue);
        Sim.calls.clear();
        BuildDisplayCatalogue(&catalogue, {true, true});
    }
    QueryPerformanceCounter(&end);
    printf("displays: %d, candidate modes: %zu, portrait twins: on, entries:", catalogue.displayCount,
           Sim.candidates.size());
    for (int i = 0; i < catalogue.displayCount; i++)
        printf(" %d", catalogue.counts[i]);
    printf("\nmode tests per build: %d (one per distinct shape, display and twin; every candidate would take "
           "%zu)\n"
           "time per build: %.3f ms (mean of %d builds)\n",
           Sim.TestCalls(), displays * 2 * Sim.candidates.size(),
           1000.0 * (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart / rounds, rounds);
    FreeDisplayCatalogue(&catalogue);
}
