// Loads the Icons tab against the stand-in shell with 500 icons sharing 20
// pictures. Prints the time per load and the messages sent to the shell's
// list view per load.
#include <cstdio>

#include "desktop_icons/desktop_icons.h"
#include "shell/platform.h"
#include "tests/dialog_driver.h"
#include "tests/fixture_shell.h"

static double Milliseconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

int main()
{
    LoadPlatformTable();
    std::vector<FixtureIcon> icons;
    for (int i = 0; i < 500; i++)
        icons.push_back({(i % 25) * 40, (i / 25) * 38, i % 20, "Icon " + std::to_string(i), 0});
    FixtureShell shell(icons);
    const int rounds = 20;
    double first = 0, later = 0;
    long messages = 0;
    RunExtPropDialog([&](HWND, ExtPropState &state) {
        long before = ShellMessageCount;
        double start = Milliseconds();
        SwitchToTab(state, TAB_ICONS); // the first load also takes the pictures
        first = Milliseconds() - start;
        for (int round = 0; round < rounds; round++)
            LoadCanvasIcons();
        later = (Milliseconds() - start - first) / rounds;
        messages = (ShellMessageCount - before) / (rounds + 1);
        printf("icons shown: %d, pictures: %d\n", state.iconView.count,
               ImageList_GetImageCount(state.iconImages));
    });
    printf("messages to the shell's list view per load: %ld\n", messages);
    printf("first load (entering the tab): %.1f ms; later loads: %.1f ms each (%d loads)\n", first, later,
           rounds);
    return first ? 0 : 1;
}
