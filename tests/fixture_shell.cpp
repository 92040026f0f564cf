// Plays the shell's desktop for the icon tests, in a process of its own:
// "Progman" > "SHELLDLL_DefView" > "SysListView32" (or, with "workerw", the
// view under a top-level "WorkerW"), whose items carry the texts, images and
// positions of LISTFILE and, as item values, real ID lists of the files named
// there.
//
//   fixture_shell LISTFILE REPORTFILE [workerw]
//
// LISTFILE: one line per icon, "X Y IMAGE|PATH|TEXT". Once the items exist,
// and again for every WM_APP sent to "Progman", REPORTFILE receives one line
// per item: "X Y IMAGE NUMBER|TEXT".
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>
#include <stdio.h>
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
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, item.iItem = i, item.pszText = text,
        item.cchTextMax = 512;
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

static HWND Make(const char *type, DWORD style, HWND parent)
{
    WNDCLASSA windowClass = {0, ShellProc, 0, 0, GetModuleHandleA(nullptr), 0, 0, 0, 0, type};
    if (strcmp(type, WC_LISTVIEWA)) // the list view is comctl32's own
        RegisterClassA(&windowClass);
    return CreateWindowExA(0, type, "", style, 0, 0, 1024, 768, parent, nullptr, nullptr, nullptr);
}

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    ReportPath = argv[2];
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    CoInitialize(nullptr);
    HWND program = Make("Progman", WS_POPUP, nullptr);
    HWND holder = argc > 3 && !strcmp(argv[3], "workerw") ? Make("WorkerW", WS_POPUP, nullptr) : program;
    ListView = Make(WC_LISTVIEWA, WS_CHILD | WS_VISIBLE | LVS_ICON,
                    Make("SHELLDLL_DefView", WS_CHILD | WS_VISIBLE, holder));
    FILE *file = fopen(argv[1], "r");
    char line[1200], path[MAX_PATH], text[512];
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, item.pszText = text;
    for (POINT at;
         file && fgets(line, sizeof(line), file) &&
         sscanf(line, "%ld %ld %d|%259[^|]|%511[^\r\n]", &at.x, &at.y, &item.iImage, path, text) == 5;
         item.iItem++) {
        item.lParam = (LPARAM)ILCreateFromPathA(path);
        SendMessageA(ListView, LVM_INSERTITEMA, 0, (LPARAM)&item);
        SendMessageA(ListView, LVM_SETITEMPOSITION, item.iItem, MAKELPARAM(at.x, at.y));
    }
    if (file)
        fclose(file);
    WriteReport();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
