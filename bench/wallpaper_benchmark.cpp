// Opening the Extended Display Properties dialog with a stretched JPEG
// wallpaper: a 7680 by 4320 picture (an 8K screen's) against a 640 by 480 one.
// Each picture is opened in a process of its own, so that neither's peak hides
// the other's. Prints the time from the call until the dialog has painted its
// screens (the median of five openings), the memory the process holds while
// the dialog is open and its peak, each above what it held before the first
// opening. Run it with build/wine-run inside the test prefix's desktop.
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

static PROCESS_MEMORY_COUNTERS_EX Memory()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS *)&counters, sizeof(counters));
    return counters;
}

static double OpenedAt;
static SIZE_T HeldWhileOpen;

// The lowest-priority message: it comes once the dialog has nothing else to do.
static void CALLBACK WatchDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = FindExtPropDialog();
    if (!dialog)
        return;
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    OpenedAt = Milliseconds();
    HeldWhileOpen = Memory().PrivateUsage;
    KillTimer(nullptr, timer);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, IDC_CANCEL));
}

static double OpenOnce()
{
    PrepareDialogProgram();
    OpenedAt = 0;
    double start = Milliseconds();
    SetTimer(nullptr, 0, 1, WatchDialog);
    OpenExtendedProperties({100, 100});
    return OpenedAt ? OpenedAt - start : -1;
}

static int Measure(const wchar_t *path)
{
    RegistryGuard registry;
    LoadPlatformTable();
    ScopedWallpaper wallpaper(path, L"2");
    // What loads once for any opening is loaded without the wallpaper.
    WriteOption(OPT_SHOW_WALLPAPER_DESKTOP, 0);
    OpenOnce();
    WriteOption(OPT_SHOW_WALLPAPER_DESKTOP, 1);
    SIZE_T before = Memory().PrivateUsage, peakBefore = Memory().PeakPagefileUsage;
    std::vector<double> times;
    SIZE_T held = 0;
    for (int k = 0; k < 5; k++) {
        times.push_back(OpenOnce());
        held = std::max(held, HeldWhileOpen);
    }
    std::sort(times.begin(), times.end());
    SIZE_T peak = Memory().PeakPagefileUsage;
    printf("  opening: %.1f ms (median of 5; %.1f to %.1f)\n", times[2], times[0], times[4]);
    printf("  held while open: %.1f MB; peak: %.1f MB (above the %.1f MB before opening; earlier peak %.1f "
           "MB)\n",
           (double)(held - before) / 1048576, (double)(peak > before ? peak - before : 0) / 1048576,
           (double)before / 1048576, (double)peakBefore / 1048576);
    return times[0] > 0 ? 0 : 1;
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
