// Restores a saved layout of 500 icons on the stand-in shell after every icon
// was moved, through the list view (the folder view refused, as under Wine)
// and through the folder view (as on newer Windows). Prints, for each, the
// time per restore and the messages sent to the shell's list view per restore.
#include <vector>

#include "base/platform.h"
#include "desktop_icons/desktop_icons.h"
#include "desktop_icons/icon_layout.h"
#include "tests/fixture_shell.h"
#include "tests/registry_guard.h"

static double Milliseconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

// Every icon a little away from where it was saved.
static void MoveEveryIcon(HWND listView, int count, int round)
{
    ScopedSharedBlock shared(listView);
    std::vector<int> indices(count);
    std::vector<POINT> places(count);
    for (int i = 0; i < count; i++)
        indices[i] = i, places[i] = {10 + i % 25 * 40 + round, 10 + i / 25 * 30};
    SetIconPositions(&shared.block, indices.data(), places.data(), count);
}

// One path's figures; false when the layout could not be saved.
static bool MeasureRestores(const wchar_t *path, const char *name)
{
    RegistryGuard registry;
    const int count = 500, rounds = 10;
    FixtureShell shell(GridIcons(count, 20), false, path);
    HWND listView = FindDesktopListView();
    if (SaveIconLayout(listView) != count)
        return printf("%s: the layout could not be saved\n", name), false;
    double total = 0, worst = 0;
    long messages = 0;
    int placed = 0;
    for (int round = 0; round < rounds; round++) {
        MoveEveryIcon(listView, count, round);
        long before = ShellMessageCount;
        double start = Milliseconds();
        placed = RestoreIconLayout(listView);
        double took = Milliseconds() - start;
        messages += ShellMessageCount - before;
        total += took;
        worst = took > worst ? took : worst;
    }
    std::vector<FixtureIcon> now = shell.Report(), saved = GridIcons(count, 20);
    int home = 0;
    for (int i = 0; i < count && i < (int)now.size(); i++)
        home += now[i].x == saved[i].x && now[i].y == saved[i].y;
    printf("%s: icons placed per restore: %d, back home after the last: %d of %d\n", name, placed, home,
           count);
    printf("%s: messages to the shell's list view per restore: %ld\n", name, messages / rounds);
    printf("%s: restoring %d icons: %.1f ms on average, %.1f ms at most (%d restores)\n", name, count,
           total / rounds, worst, rounds);
    return true;
}

int main()
{
    LoadPlatformTable();
    bool listView = MeasureRestores(L"", "list view");
    return MeasureRestores(L"folderview", "folder view") && listView ? 0 : 1;
}
