// A window drag on the canvas: the dialog open on three simulated monitors
// with the wallpaper stretched, a window of another process dragged by 1,000
// pointer moves sent to the dialog. Prints the moves carried out per second and
// how many times the wallpaper was scaled. Run it with build/wine-run inside
// the test prefix's desktop (the window fixture is started beside it).
#include "tests/canvas_driver.h"
#include "tests/sim_adapter.h"

int main()
{
    ScopedSimAdapter adapter;
    SimSetMonitors(3);
    adapter.Install();
    WindowFixture fixture(1);
    ScopedWallpaper wallpaper(1024, 768, RGB(40, 90, 160), L"2");
    const int moves = 1000;
    LARGE_INTEGER frequency, start = {}, end;
    unsigned long stretches = 0, atOpening = WallpaperStretchCount;
    RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        POINT press = PressWindow(dialog, state, WindowFixture::Find("Fixture 0"));
        if (!state.canvas.dragging)
            return;
        ScreenToClient(dialog, &press);
        stretches = WallpaperStretchCount;
        QueryPerformanceCounter(&start);
        // Back and forth over 80 pixels, so that every move differs from the one before.
        for (int k = 0; k < moves; k++) {
            int dx = k % 80 < 40 ? k % 40 : 40 - k % 40;
            SendMessageA(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x + dx + 1, press.y + (k & 1)));
        }
        QueryPerformanceCounter(&end);
        stretches = WallpaperStretchCount - stretches;
        SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(press.x, press.y));
    });
    QueryPerformanceFrequency(&frequency);
    double seconds = (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
    if (!start.QuadPart)
        printf("the dialog did not open, or the press on the miniature started no drag\n");
    else
        printf("moves per second: %.1f (%d moves in %.3f s)\nwallpaper scalings (StretchBlt): %lu during the "
               "drag, %lu for the whole opening\n",
               moves / seconds, moves, seconds, stretches, WallpaperStretchCount - atOpening);
    return start.QuadPart ? 0 : 1;
}
