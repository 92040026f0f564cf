// A window drag on the canvas: the dialog open on three simulated monitors
// with a 1920 by 1080 JPEG wallpaper stretched, a window of another process
// dragged by 1,000 pointer moves sent to the dialog. Prints the moves carried
// out per second, with the wallpaper and over plain screens, and how many
// times the wallpaper was scaled. Run it with build/wine-run inside
// the test prefix's desktop (the window fixture is started beside it).
#include "tests/canvas_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

// A few shapes, so that the scaled picture is no single colour.
static COLORREF Bands(int x, int y) { return RGB(x % 256, y % 256, (x / 64 + y / 64) % 2 ? 200 : 40); }

struct DragFigures {
    double seconds, threadSeconds; // on the clock, and the dialog thread's processor time
    unsigned long stretches, stretchesInOpening;
};

// User and kernel time of this thread: the figure a busy machine disturbs least.
static double ThreadSeconds()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto seconds = [](FILETIME time) {
        return (double)(((ULONGLONG)time.dwHighDateTime << 32) | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// One opening with a drag of 1,000 moves; seconds 0 when no drag started.
static DragFigures Drag()
{
    const int moves = 1000;
    LARGE_INTEGER frequency, start = {}, end = {};
    unsigned long stretches = 0, atOpening = WallpaperStretchCount;
    double threadSeconds = 0;
    RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        WaitForWallpapers(dialog, state);
        POINT press = PressWindow(dialog, state, WindowFixture::Find("Fixture 0"));
        if (!state.canvas.dragging)
            return;
        ScreenToClient(dialog, &press);
        stretches = WallpaperStretchCount;
        threadSeconds = ThreadSeconds();
        QueryPerformanceCounter(&start);
        // Back and forth over 80 pixels, so that every move differs from the one before.
        for (int k = 0; k < moves; k++) {
            int dx = k % 80 < 40 ? k % 40 : 40 - k % 40;
            SendMessageA(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x + dx + 1, press.y + (k & 1)));
        }
        QueryPerformanceCounter(&end);
        threadSeconds = ThreadSeconds() - threadSeconds;
        stretches = WallpaperStretchCount - stretches;
        SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(press.x, press.y));
    });
    QueryPerformanceFrequency(&frequency);
    return {(double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart, threadSeconds, stretches,
            WallpaperStretchCount - atOpening};
}

int main()
{
    RegistryGuard registry;
    ScopedSimAdapter adapter;
    SimSetMonitors(3);
    adapter.Install();
    WindowFixture fixture(1);
    ScopedWallpaper wallpaper(1920, 1080, 0, L"2", Bands, GUID_ContainerFormatJpeg, L"tessivon_drag.jpg");
    // The same drag over plain screens, for comparison.
    WriteOption(OPT_SHOW_WALLPAPER_DESKTOP, 0);
    DragFigures plain = Drag();
    WriteOption(OPT_SHOW_WALLPAPER_DESKTOP, 1);
    DragFigures shown = Drag();
    if (plain.seconds <= 0 || shown.seconds <= 0) {
        printf("the dialog did not open, or the press on the miniature started no drag\n");
        return 1;
    }
    const std::pair<const char *, DragFigures> rows[] = {{"1920 x 1080 JPEG stretched", shown},
                                                         {"plain screens", plain}};
    for (const auto &[name, figures] : rows)
        printf("moves per second, %s: %.1f (1000 moves in %.3f s; the dialog thread's processor time %.3f ms "
               "a move)\n",
               name, 1000 / figures.seconds, figures.seconds, figures.threadSeconds);
    printf("wallpaper scalings (StretchBlt): %lu during the drag, %lu for the whole opening\n",
           shown.stretches, shown.stretchesInOpening);
    return 0;
}
