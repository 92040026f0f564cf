// For scripts/screenshot-tabs: opens the Extended Display Properties dialog on
// the real platform, writes where the dialog and its five tabs lie on the
// screen to the file named on the command line, and cancels the dialog once a
// file of that name with ".done" appended exists.
//
// The file holds "screens N", "dialog LEFT TOP RIGHT BOTTOM" and one line
// "tab INDEX X Y" per tab, X and Y being the tab's centre.
//
// The desktop wallpaper is set to a picture drawn here, stretched, so that the
// screens show it. When the Windows tab is shown, a window of this program
// ("Sample window") is chosen in the list and the centre of its miniature is
// written to a file named like the first with ".miniature" appended, for the
// script to drag it.
//
// A stand-in shell (fixture_shell.exe) holds a few desktop icons meanwhile, so
// that the Icons tab has something to show.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dialog/ext_prop.h"
#include "shell/platform.h"
#include "shell/tessivon.h"
#include "tests/fixture_shell.h"

static char PlacesPath[MAX_PATH];
static char DonePath[MAX_PATH + 8];
static char MiniaturePath[MAX_PATH + 16];
static HWND SampleWindow;

// A sky over green hills with a sun: enough shape to tell the picture is scaled.
static void WriteWallpaper(const char *path)
{
    const int width = 1024, height = 768, stride = width * 3;
    DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BYTE *bytes = (BYTE *)calloc(1, offset + stride * height);
    BITMAPFILEHEADER file = {0x4D42, offset + stride * height, 0, 0, offset};
    BITMAPINFOHEADER info = {sizeof(info), width, height, 1, 24, 0, 0, 0, 0, 0, 0};
    memcpy(bytes, &file, sizeof(file));
    memcpy(bytes + sizeof(file), &info, sizeof(info));
    for (int y = 0; y < height; y++) // bottom-up rows
        for (int x = 0; x < width; x++) {
            BYTE *pixel = bytes + offset + y * stride + x * 3;
            int hill = 250 + (x % 512 < 256 ? x % 256 : 256 - x % 256) / 3;
            int sunX = x - 760, sunY = y - 600;
            if (sunX * sunX + sunY * sunY < 70 * 70)
                pixel[0] = 40, pixel[1] = 210, pixel[2] = 250;
            else if (y < hill)
                pixel[0] = 40, pixel[1] = (BYTE)(120 + y / 8), pixel[2] = 50;
            else
                pixel[0] = 235, pixel[1] = (BYTE)(150 + y / 10), pixel[2] = (BYTE)(60 + y / 10);
        }
    FILE *out = fopen(path, "wb");
    if (out) {
        fwrite(bytes, 1, offset + stride * height, out);
        fclose(out);
    }
    free(bytes);
}

static void SetWallpaper()
{
    static char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    lstrcatA(path, "tessivon-wallpaper.bmp");
    WriteWallpaper(path);
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, "TileWallpaper", 0, REG_SZ, (const BYTE *)"0", 2);
        RegSetValueExA(key, "WallpaperStyle", 0, REG_SZ, (const BYTE *)"2", 2);
        RegCloseKey(key);
    }
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path, SPIF_UPDATEINIFILE);
}

// Chooses the sample window in the list, as a user picking it would.
static void ChooseSampleWindow(HWND dialog, const ExtPropState &state)
{
    SendMessageA(state.windowCombo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(state.windowCombo, CB_SHOWDROPDOWN, FALSE, 0);
    int count = (int)SendMessageA(state.windowCombo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_LPARAM;
        item.iItem = i;
        SendMessageA(state.windowCombo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (reinterpret_cast<HWND>(item.lParam) != SampleWindow)
            continue;
        SendMessageA(state.windowCombo, CB_SETCURSEL, i, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_WINDOW_COMBO, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(state.windowCombo));
    }
    RECT miniature;
    GetWindowRect(state.windowMiniature, &miniature);
    FILE *file = fopen(MiniaturePath, "w");
    if (file) {
        fprintf(file, "%ld %ld\n", (miniature.left + miniature.right) / 2,
                (miniature.top + miniature.bottom) / 2);
        fclose(file);
    }
}

// Written under another name first, so that the script never reads half a file.
static void WritePlaces(HWND dialog, const ExtPropState &state)
{
    char temporary[MAX_PATH + 8];
    wsprintfA(temporary, "%s.tmp", PlacesPath);
    FILE *file = fopen(temporary, "w");
    if (!file)
        return;
    RECT box;
    GetWindowRect(dialog, &box);
    fprintf(file, "screens %d\ndialog %ld %ld %ld %ld\n", state.screenCount, box.left, box.top, box.right,
            box.bottom);
    for (int tab = 0; tab < TAB_COUNT; tab++) {
        RECT item = {};
        SendMessageA(state.tabControl, TCM_GETITEMRECT, tab, (LPARAM)&item);
        POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(state.tabControl, &centre);
        fprintf(file, "tab %d %ld %ld\n", tab, centre.x, centre.y);
    }
    fclose(file);
    MoveFileExA(temporary, PlacesPath, MOVEFILE_REPLACE_EXISTING);
}

static void CALLBACK WatchDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    static bool written, chosen;
    HWND dialog = FindWindowA(nullptr, EXT_PROP_CAPTION);
    if (!dialog || !ActiveExtPropState)
        return;
    if (!written)
        WritePlaces(dialog, *ActiveExtPropState);
    written = true;
    if (!chosen && ActiveExtPropState->currentTab == TAB_WINDOWS) {
        ChooseSampleWindow(dialog, *ActiveExtPropState);
        chosen = true;
    }
    if (GetFileAttributesA(DonePath) == INVALID_FILE_ATTRIBUTES)
        return;
    KillTimer(nullptr, timer);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, IDC_CANCEL));
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: tab_screenshots PLACES-FILE\n");
        return 2;
    }
    lstrcpynA(PlacesPath, argv[1], MAX_PATH);
    wsprintfA(DonePath, "%s.done", PlacesPath);
    wsprintfA(MiniaturePath, "%s.miniature", PlacesPath);
    InstanceHandle = GetModuleHandleA(nullptr);
    ModulePathLength = GetModuleFileNameA(nullptr, ModulePath, MAX_PATH);
    IsWindows2000OrLater = TRUE;
    LoadPlatformTable();
    ChangeDisplaySettingsExEntry = Platform.ChangeDisplaySettingsExA;
    const char *names[] = {"My Computer", "Documents", "Notes.txt", "Pictures", "Recycle Bin",
                           "Readme.txt",  "Projects",  "Music",     "Todo.txt", "Downloads"};
    std::vector<FixtureIcon> icons;
    for (int i = 0; i < 10; i++)
        icons.push_back({20 + (i / 5) * 90, 20 + (i % 5) * 90, i % 3, names[i]});
    FixtureShell shell(icons);
    SetWallpaper();
    SampleWindow = CreateWindowExA(0, "STATIC", "Sample window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 40,
                                   220, 160, nullptr, nullptr, InstanceHandle, nullptr);
    SetTimer(nullptr, 0, 200, WatchDialog);
    OpenExtendedProperties({GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2});
    return 0;
}
