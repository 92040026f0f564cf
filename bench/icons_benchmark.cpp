// Loads the Icons tab against the stand-in shell with 500 icons sharing 20
// pictures. Prints the time per load and the messages sent to the shell's
// list view per load.
#include "base/platform.h"
#include "desktop_icons/desktop_icons.h"
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
    FixtureShell shell(GridIcons(500, 20));
    const int rounds = 20;
    bool shown = RunExtPropDialog([&](HWND, ExtPropState &state) {
        long messages = ShellMessageCount;
        double start = Milliseconds();
        SwitchToTab(state, TAB_ICONS); // the first load also takes the pictures
        double first = Milliseconds() - start;
        for (int round = 0; round < rounds; round++)
            ReloadCanvasIcons(&state);
        double later = (Milliseconds() - start - first) / rounds;
        printf("icons shown: %d, pictures: %d\n", state.icons.view.count,
               ImageList_GetImageCount(state.icons.images));
        printf("messages to the shell's list view per load: %ld\n",
               (ShellMessageCount - messages) / (rounds + 1));
        printf("first load (entering the tab): %.1f ms; later loads: %.1f ms each (%d loads)\n", first, later,
               rounds);
    });
    return shown ? 0 : 1;
}
