// For scripts/screenshot-tabs: opens the Extended Display Properties dialog on
// the real platform, writes where the dialog and its six tabs lie on the
// screen to the file named on the command line ("screens N", "dialog LEFT TOP
// RIGHT BOTTOM", "tab INDEX X Y" per tab, at its centre, and "identify X Y",
// the centre of the Screen tab's "&Identify"), and cancels the
// dialog once a file of that name with ".done" appended exists.
//
// The wallpaper is a picture drawn here, kept as a JPEG file, stretched; the
// second monitor has a picture of its own through the per-monitor wallpaper
// fixture (registered by the script), as Windows 8 and later keep one per
// monitor. When the Windows tab is
// shown, a window of this program ("Sample window") is chosen in the list and
// the centre of its miniature written to the first name with ".miniature"
// appended, for the script to drag it. A stand-in shell holds a few desktop
// icons meanwhile, for the Icons tab.
#include "base/platform.h"
#include "command/profile_commands.h"
#include "display/displays.h"
#include "tests/canvas_driver.h"
#include "tests/fixture_wallpaper.h"

static std::wstring Places;

// A sky over green hills with a sun: enough shape to tell the picture is scaled.
// Its rows count from the top of a 768-row picture; the shapes from the bottom.
static COLORREF Landscape(int x, int row)
{
    int y = 767 - row, sunX = x - 760, sunY = y - 600,
        hill = 250 + (x % 512 < 256 ? x % 256 : 256 - x % 256) / 3;
    if (sunX * sunX + sunY * sunY < 70 * 70)
        return RGB(250, 210, 40);
    return y < hill ? RGB(50, 120 + y / 8, 40) : RGB(60 + y / 10, 150 + y / 10, 235);
}

// The second monitor's own picture: the same hills by night, the sun a moon.
static COLORREF Night(int x, int row)
{
    COLORREF day = Landscape(x, row);
    return day == RGB(250, 210, 40) ? RGB(235, 235, 215)
                                    : RGB(GetRValue(day) / 5, GetGValue(day) / 3, GetBValue(day) / 2);
}

// Written under another name first, so that the script never reads half a file.
static void WriteFile(const std::wstring &path, const std::string &text)
{
    FILE *file = _wfopen((path + L".tmp").c_str(), L"w");
    fputs(text.c_str(), file);
    fclose(file);
    MoveFileExW((path + L".tmp").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

static void CALLBACK WatchDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    static bool written, chosen;
    HWND dialog = FindWindowW(nullptr, EXT_PROP_CAPTION);
    ExtPropState *state = dialog ? &DialogState(dialog) : nullptr;
    char line[100];
    if (!dialog || !state)
        return;
    if (!written) {
        RECT box = WindowRect(dialog);
        wsprintfA(line, "screens %d\ndialog %ld %ld %ld %ld\n", state->canvas.screenCount, box.left, box.top,
                  box.right, box.bottom);
        std::string text = line;
        for (int tab = 0; tab < TAB_COUNT; tab++) {
            RECT item = {};
            SendMessageW(state->tabControl, TCM_GETITEMRECT, tab, (LPARAM)&item);
            POINT centre = Centre(item);
            ClientToScreen(state->tabControl, &centre);
            text += (wsprintfA(line, "tab %d %ld %ld\n", tab, centre.x, centre.y), line);
        }
        POINT identify = Centre(WindowRect(GetDlgItem(dialog, IDC_IDENTIFY_BUTTON)));
        text += (wsprintfA(line, "identify %ld %ld\n", identify.x, identify.y), line);
        WriteFile(Places, text);
        written = true;
    }
    if (!chosen && state->currentTab == TAB_WINDOWS) {
        POINT centre = ChooseWindow(dialog, *state, FindWindowW(L"STATIC", L"Sample window"));
        WriteFile(Places + L".miniature", (wsprintfA(line, "%ld %ld\n", centre.x, centre.y), line));
        chosen = true;
    }
    if (GetFileAttributesW((Places + L".done").c_str()) != INVALID_FILE_ATTRIBUTES) {
        KillTimer(nullptr, timer);
        SendMessageW(dialog, WM_COMMAND, IDC_CANCEL, (LPARAM)GetDlgItem(dialog, IDC_CANCEL));
    }
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    wchar_t places[MAX_PATH] = L"";
    MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, places, MAX_PATH);
    Places = places;
    PrepareDialogProgram();
    LoadPlatformTable();
    FixtureShell shell(GridIcons(10, 3));
    // Two profiles of the present arrangement, for the Profiles tab.
    SaveCurrentArrangement(L"Desk", MAKEWORD('1', HOTKEYF_CONTROL | HOTKEYF_ALT), TRUE);
    SaveCurrentArrangement(L"Presentation", MAKEWORD('2', HOTKEYF_CONTROL | HOTKEYF_ALT));
    ScopedWallpaper wallpaper(1024, 768, 0, L"2", Landscape, GUID_ContainerFormatJpeg,
                              L"tessivon_wallpaper.jpg");
    std::vector<DisplayRecord> displays = ReadDisplays();
    std::wstring night = TempPath(L"tessivon_wallpaper_night.jpg");
    WritePicture(night, 1024, 768, 0, Night, GUID_ContainerFormatJpeg);
    ScopedFixtureMonitors perMonitor(displays.size() > 1
                                         ? std::vector{NamedMonitor(displays[1].monitorRect, S_OK, night)}
                                         : std::vector<FixtureMonitor>{});
    CreateWindowExW(0, L"STATIC", L"Sample window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 40, 220, 160,
                    nullptr, nullptr, InstanceHandle, nullptr);
    SetTimer(nullptr, 0, 200, WatchDialog);
    OpenExtendedProperties({GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2});
    return 0;
}
