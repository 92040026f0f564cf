// Loads the Icons tab against the stand-in shell with 500 icons sharing 20
// pictures. Prints the time per load and the messages sent to the shell's
// list view per load.
#include <algorithm>
#include <cstdio>

#include "desktop_icons/desktop_icons.h"
#include "shell/platform.h"
#include "tests/dialog_driver.h"
#include "tests/fixture_shell.h"

int main()
{
    LoadPlatformTable();
    std::vector<FixtureIcon> icons;
    for (int i = 0; i < 500; i++)
        icons.push_back({(i % 25) * 40, (i / 25) * 38, i % 20, "Icon " + std::to_string(i)});
    FixtureShell shell(icons);
    const int rounds = 20;
    std::vector<double> times;
    long messages = 0;
    int shown = 0, pictures = 0;
    RunExtPropDialog([&](HWND, ExtPropState &state) {
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        long before = ShellMessageCount;
        // The first load is the tab switch; it also takes the pictures.
        for (int round = 0; round <= rounds; round++) {
            QueryPerformanceCounter(&start);
            if (round == 0)
                SwitchToTab(state, TAB_ICONS);
            else
                LoadCanvasIcons();
            QueryPerformanceCounter(&end);
            times.push_back(1000.0 * (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart);
        }
        messages = (ShellMessageCount - before) / (rounds + 1);
        shown = state.iconView.count;
        pictures = ImageList_GetImageCount(state.iconImages);
    });
    if (times.empty())
        return 1;
    double first = times[0];
    times.erase(times.begin());
    double mean = 0;
    for (double time : times)
        mean += time / rounds;
    std::sort(times.begin(), times.end());
    printf("icons shown: %d, pictures: %d\n", shown, pictures);
    printf("messages to the shell's list view per load: %ld\n", messages);
    printf("first load (entering the tab): %.1f ms\n", first);
    printf("later loads: median %.1f ms, mean %.1f ms, fastest %.1f ms (%d loads)\n", times[rounds / 2], mean,
           times[0], rounds);
    return 0;
}
