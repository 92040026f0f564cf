// A window drag on the canvas: the dialog open on three simulated monitors
// with the wallpaper stretched, a window of another process dragged by 1,000
// pointer moves sent to the dialog. Prints the moves carried out per second and
// how many times the wallpaper was scaled. Run it with build/wine-run inside
// the test prefix's desktop (the window fixture is started beside it).
#include <cstdio>

#include "canvas/canvas.h"
#include "tests/canvas_driver.h"
#include "tests/dialog_driver.h"
#include "tests/sim_adapter.h"

int main()
{
    ScopedSimAdapter adapter;
    SimSetMonitors(3);
    adapter.Install();
    WindowFixture fixture(1);
    HWND window = WindowFixture::Find("Fixture 0");
    if (!window) {
        printf("the window fixture did not start\n");
        return 1;
    }
    ScopedWallpaper wallpaper(1024, 768, RGB(40, 90, 160), "0", "2");
    const int moves = 1000;
    double seconds = 0;
    unsigned long stretches = 0, opening = 0, atOpening = WallpaperStretchCount;
    long moved = 0;
    int sizes = 0;
    bool shown = RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        state.options[OPT_SHOW_WALLPAPER_DESKTOP] = 1;
        SwitchToTab(state, TAB_WINDOWS);
        SendMessageA(state.windowCombo, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageA(state.windowCombo, CB_SHOWDROPDOWN, FALSE, 0);
        int count = (int)SendMessageA(state.windowCombo, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; i++) {
            COMBOBOXEXITEMA item = {};
            item.mask = CBEIF_LPARAM;
            item.iItem = i;
            SendMessageA(state.windowCombo, CBEM_GETITEMA, 0, (LPARAM)&item);
            if ((HWND)item.lParam == window)
                ChooseEntry(dialog, state.windowCombo, i);
        }
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        POINT press = Centre(WindowRect(state.windowMiniature));
        PointerMessage(dialog, WM_LBUTTONDOWN, press);
        if (!state.dragging) {
            printf("the press on the miniature did not start a drag (target %p, miniature %ld wide)\n",
                   (void *)state.targetWindow, WindowRect(state.windowMiniature).right - press.x);
            return;
        }
        RECT startPlace = WindowRect(window);
        unsigned long before = WallpaperStretchCount;
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        POINT client = press;
        ScreenToClient(dialog, &client);
        // Back and forth over 80 pixels, so that every move differs from the one before.
        for (int k = 0; k < moves; k++) {
            int dx = k % 80 < 40 ? k % 40 : 40 - k % 40;
            SendMessageA(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x + dx + 1, client.y + (k & 1)));
        }
        QueryPerformanceCounter(&end);
        seconds = (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
        stretches = WallpaperStretchCount - before;
        RECT endPlace = WindowRect(window);
        moved = endPlace.left - startPlace.left;
        opening = WallpaperStretchCount - atOpening;
        PointerMessage(dialog, WM_LBUTTONUP, press, 0);
        SIZE seen[MAX_SCREEN_ITEMS] = {};
        for (int i = 0; i < state.screenCount; i++) {
            RECT item;
            GetClientRect(state.screenItems[i], &item);
            bool known = false;
            for (int j = 0; j < sizes; j++)
                known = known || (seen[j].cx == item.right && seen[j].cy == item.bottom);
            if (!known)
                seen[sizes++] = {item.right, item.bottom};
        }
    });
    if (!shown || !seconds) {
        printf("the dialog did not open\n");
        return 1;
    }
    printf("monitors: 3 simulated, wallpaper: 1024 x 768 stretched, moves sent: %d\n", moves);
    printf("moves per second: %.1f (%.3f s in all)\n", moves / seconds, seconds);
    printf("the real window ended %ld pixels right of where the drag began\n", moved);
    printf("wallpaper scalings (StretchBlt): %lu during the drag, %lu for the whole opening; distinct screen "
           "item "
           "sizes: %d\n",
           stretches, opening, sizes);
    return 0;
}
