// The other process the tests need, in one of two parts.
//
//   fixture_shell LISTFILE REPORTFILE [workerw]
//
// plays the shell's desktop for the icon tests: "Progman" > "SHELLDLL_DefView"
// > "SysListView32" (or, with "workerw", the view under a top-level
// "WorkerW"), whose items carry the texts, images and positions of LISTFILE
// and, as item values, real ID lists of the files named there. LISTFILE: one
// line per icon, "X Y IMAGE|PATH|TEXT". Once the items exist, and again for
// every WM_APP sent to "Progman", REPORTFILE receives one line per item:
// "X Y IMAGE NUMBER|TEXT".
//
//   fixture_shell windows N
//
// gives the window arrangement tests top-level windows "Fixture 0" to
// "Fixture N-1", a minimised one, one of zero height, one without a title, a
// hidden one and stand-ins for a taskbar and a desk band. A window that is
// sent WM_CLOSE is destroyed.
//
// Either part ends its start with a hidden "Fixture ready".
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HWND ListView;
static const char *ReportPath;

// Written under another name and then renamed, so a reader never sees half.
static void WriteReport()
{
    char temporary[MAX_PATH + 8], text[512];
    wsprintfA(temporary, "%s.tmp", ReportPath);
    FILE *file = fopen(temporary, "w");
    for (int i = 0; file && i < (int)SendMessageA(ListView, LVM_GETITEMCOUNT, 0, 0); i++) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, item.iItem = i, item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(ListView, LVM_GETITEMA, 0, (LPARAM)&item);
        POINT place = {};
        SendMessageA(ListView, LVM_GETITEMPOSITION, i, (LPARAM)&place);
        fprintf(file, "%ld %ld %d %lu|%s\n", place.x, place.y, item.iImage, (unsigned long)item.lParam, text);
    }
    if (file)
        fclose(file);
    MoveFileExA(temporary, ReportPath, MOVEFILE_REPLACE_EXISTING);
}

static LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        WriteReport();
    return message == WM_APP ? 1 : DefWindowProcA(window, message, wParam, lParam);
}

static HWND Make(const char *type, const char *title, DWORD style, int x, int y, int width, int height,
                 HWND parent = nullptr)
{
    WNDCLASSA windowClass = {0, ShellProc, 0, 0, GetModuleHandleA(nullptr), 0, 0, (HBRUSH)(COLOR_WINDOW + 1),
                             0, type};
    if (strcmp(type, WC_LISTVIEWA)) // the list view is comctl32's own
        RegisterClassA(&windowClass);
    return CreateWindowExA(0, type, title, style, x, y, width, height, parent, nullptr, nullptr, nullptr);
}

static void MakeWindows(int count)
{
    const DWORD shown = WS_POPUP | WS_BORDER | WS_VISIBLE;
    char title[32];
    for (int k = 0; k < count; k++) { // left of the dialog, ten to a column
        wsprintfA(title, "Fixture %d", k);
        Make("TessivonFixture", title, shown, 8 + (k / 10) * 50, 8 + (k % 10) * 60, 40, 50);
    }
    HWND minimised = Make("TessivonFixture", "Fixture minimised", WS_OVERLAPPEDWINDOW, 20, 20, 100, 80);
    ShowWindow(minimised, SW_SHOWMINNOACTIVE);
    Make("TessivonFixture", "Fixture flat", shown, 60, 700, 100, 0);
    Make("TessivonFixture", "", shown, 60, 720, 30, 20);
    Make("TessivonFixture", "Fixture hidden", WS_POPUP, 60, 740, 30, 20);
    Make("Shell_TrayWnd", "Fixture taskbar", shown, 300, 740, 400, 20);
    Make("BaseBar", "Fixture band", shown, 720, 740, 100, 20);
}

static void MakeShell(const char *listPath, bool workerW)
{
    InitCommonControls();
    CoInitialize(nullptr);
    HWND holder = Make("Progman", "", WS_POPUP, 0, 0, 1024, 768);
    holder = workerW ? Make("WorkerW", "", WS_POPUP, 0, 0, 1024, 768) : holder;
    HWND view = Make("SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, 1024, 768, holder);
    ListView = Make(WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 1024, 768, view);
    FILE *file = fopen(listPath, "r");
    char path[MAX_PATH], text[512];
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, item.pszText = text;
    POINT at;
    while (file &&
           fscanf(file, "%ld %ld %d|%259[^|]|%511[^\n]", &at.x, &at.y, &item.iImage, path, text) == 5) {
        item.lParam = (LPARAM)ILCreateFromPathA(path);
        SendMessageA(ListView, LVM_INSERTITEMA, 0, (LPARAM)&item);
        SendMessageA(ListView, LVM_SETITEMPOSITION, item.iItem++, MAKELPARAM(at.x, at.y));
    }
    if (file)
        fclose(file);
    WriteReport();
}

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    ReportPath = argv[2];
    if (!strcmp(argv[1], "windows"))
        MakeWindows(atoi(argv[2]));
    else
        MakeShell(argv[1], argc > 3 && !strcmp(argv[3], "workerw"));
    Make("TessivonFixture", "Fixture ready", WS_POPUP, 0, 0, 10, 10);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
