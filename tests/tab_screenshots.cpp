// For scripts/screenshot-tabs: opens the Extended Display Properties dialog on
// the real platform, writes where the dialog and its five tabs lie on the
// screen to the file named on the command line, and cancels the dialog once a
// file of that name with ".done" appended exists.
//
// The file holds "screens N", "dialog LEFT TOP RIGHT BOTTOM" and one line
// "tab INDEX X Y" per tab, X and Y being the tab's centre.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>

#include "dialog/ext_prop.h"
#include "shell/platform.h"
#include "shell/tessivon.h"

static char PlacesPath[MAX_PATH], DonePath[MAX_PATH + 8];

// Written under another name first, so that the script never reads half a file.
static void WritePlaces(HWND dialog, const ExtPropState &state)
{
    char temporary[MAX_PATH + 8];
    FILE *file = fopen((wsprintfA(temporary, "%s.tmp", PlacesPath), temporary), "w");
    if (!file)
        return;
    RECT box;
    GetWindowRect(dialog, &box);
    fprintf(file, "screens %d\ndialog %ld %ld %ld %ld\n", state.screenCount, box.left, box.top, box.right,
            box.bottom);
    for (int tab = 0; tab < TAB_COUNT; tab++) {
        RECT item = {};
        SendMessageA(state.tabControl, TCM_GETITEMRECT, tab, (LPARAM)&item);
        MapWindowPoints(state.tabControl, nullptr, (POINT *)&item, 2);
        fprintf(file, "tab %d %ld %ld\n", tab, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    }
    fclose(file);
    MoveFileExA(temporary, PlacesPath, MOVEFILE_REPLACE_EXISTING);
}

static void CALLBACK WatchDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    static bool written;
    HWND dialog = FindWindowA(nullptr, EXT_PROP_CAPTION);
    if (!dialog || !ActiveExtPropState)
        return;
    if (!written)
        WritePlaces(dialog, *ActiveExtPropState);
    written = true;
    if (GetFileAttributesA(DonePath) != INVALID_FILE_ATTRIBUTES && KillTimer(nullptr, timer))
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED),
                     (LPARAM)GetDlgItem(dialog, IDC_CANCEL));
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return fprintf(stderr, "usage: tab_screenshots PLACES-FILE\n"), 2;
    lstrcpynA(PlacesPath, argv[1], MAX_PATH);
    wsprintfA(DonePath, "%s.done", PlacesPath);
    InstanceHandle = GetModuleHandleA(nullptr);
    ModulePathLength = GetModuleFileNameA(nullptr, ModulePath, MAX_PATH);
    IsWindows2000OrLater = TRUE;
    LoadPlatformTable();
    ChangeDisplaySettingsExEntry = Platform.ChangeDisplaySettingsExA;
    SetTimer(nullptr, 0, 200, WatchDialog);
    OpenExtendedProperties({GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2});
}
