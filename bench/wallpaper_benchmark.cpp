// Opening the Extended Display Properties dialog with a stretched JPEG
// wallpaper: a 7680 by 4320 picture (an 8K screen's) against a 640 by 480 one.
// Each picture is opened in a process of its own, so that neither's peak hides
// the other's. Prints, as medians of eleven openings after a first one, the
// time from the call until the dialog has painted itself and until the
// screens show the picture, the resident memory while the dialog is open
// (against before the opening) and the process's peak.
// Run it with build/wine-run inside the test prefix's desktop.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <vector>

#include "base/platform.h"
#include "tests/canvas_driver.h"
#include "tests/registry_guard.h"

static double Milliseconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

// Kilobytes resident now, or at the process's peak. Under Wine these are the
// Linux process's figures, so the memory of Wine's own libraries (its decoders
// run there) counts too.
static long ResidentKB(bool peak = false)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return (long)((peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) / 1024);
}

static double OpenedAt, ShownAt;
static long ResidentWhileOpen;

// The lowest-priority message: it comes once the dialog has nothing else to do.
static void CALLBACK WatchDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindExtPropDialog();
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    OpenedAt = Milliseconds();
    WaitForWallpapers(dialog, DialogState(dialog));
    ShownAt = Milliseconds();
    ResidentWhileOpen = ResidentKB();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, IDC_CANCEL));
}

struct Opening {
    double opened, shown; // milliseconds from the call
};

static Opening OpenOnce()
{
    PrepareDialogProgram();
    OpenedAt = ShownAt = 0;
    double start = Milliseconds();
    SetTimer(nullptr, 0, 1, WatchDialog);
    OpenExtendedProperties({100, 100});
    return {OpenedAt - start, ShownAt - start};
}

static int Measure(const wchar_t *path)
{
    RegistryGuard registry;
    LoadPlatformTable();
    ScopedWallpaper wallpaper(path, L"2");
    long atStart = ResidentKB();
    // What loads once for any opening is loaded first.
    OpenOnce();
    long before = ResidentKB(), held = 0;
    const int rounds = 11;
    std::vector<double> opened, shown;
    for (int k = 0; k < rounds; k++) {
        Opening opening = OpenOnce();
        opened.push_back(opening.opened);
        shown.push_back(opening.shown);
        held = std::max(held, ResidentWhileOpen);
    }
    std::sort(opened.begin(), opened.end());
    std::sort(shown.begin(), shown.end());
    printf("  dialog open and painted: %.1f ms (median of %d; %.1f to %.1f)\n", opened[rounds / 2], rounds,
           opened[0], opened[rounds - 1]);
    printf("  wallpaper shown: %.1f ms (median; %.1f to %.1f)\n", shown[rounds / 2], shown[0],
           shown[rounds - 1]);
    printf("  resident while open: %+.1f MB against before the opening; peak resident: %.1f MB (%.1f MB "
           "before the first opening)\n",
           (held - before) / 1024.0, ResidentKB(true) / 1024.0, atStart / 1024.0);
    return opened[0] > 0 ? 0 : 1;
}

// A few shapes, so that the decoder has real work.
static COLORREF Bands(int x, int y) { return RGB(x % 256, y % 256, (x / 64 + y / 64) % 2 ? 200 : 40); }

int main(int argc, char **argv)
{
    if (argc == 3 && !strcmp(argv[1], "open")) {
        wchar_t path[MAX_PATH] = L"";
        MultiByteToWideChar(CP_UTF8, 0, argv[2], -1, path, MAX_PATH);
        return Measure(path);
    }
    const struct {
        int width, height;
        const char *name;
    } pictures[] = {{640, 480, "tessivon_small.jpg"}, {7680, 4320, "tessivon_8k.jpg"}};
    int failed = 0;
    for (const auto &picture : pictures) {
        wchar_t name[64];
        MultiByteToWideChar(CP_UTF8, 0, picture.name, -1, name, 64);
        std::wstring path = TempPath(name);
        if (!WritePicture(path, picture.width, picture.height, 0, Bands, GUID_ContainerFormatJpeg)) {
            printf("could not write %s\n", picture.name);
            return 1;
        }
        printf("%d x %d JPEG, stretched:\n", picture.width, picture.height);
        fflush(stdout);
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        ChildProcess child(L"\"" + std::wstring(self) + L"\" open \"" + path + L"\"");
        failed |= child.Wait(120000) != 0;
        DeleteFileW(path.c_str());
    }
    return failed;
}
