// Plays the shell's desktop for the icon tests, in a process of its own:
// "Progman" > "SHELLDLL_DefView" > "SysListView32" (or, with "workerw", the
// view under a top-level "WorkerW"), whose items carry the texts, images and
// positions of LISTFILE and, as item values, real ID lists of the files named
// there.
//
//   fixture_shell LISTFILE REPORTFILE [workerw]
//
// LISTFILE: one line per icon, "X Y IMAGE|PATH|TEXT". Once the items exist,
// and again for every WM_APP sent to "Progman", REPORTFILE receives "count N"
// and one line per item: "X Y IMAGE NUMBER|TEXT".
#include <windows.h>

#include <commctrl.h>
#include <initializer_list>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

static HWND ListView;
static const char *ReportPath;

// Written under another name and then renamed, so a reader never sees half.
static void WriteReport()
{
    char temporary[MAX_PATH + 8];
    wsprintfA(temporary, "%s.tmp", ReportPath);
    FILE *file = fopen(temporary, "w");
    if (!file)
        return;
    int count = (int)SendMessageA(ListView, LVM_GETITEMCOUNT, 0, 0);
    fprintf(file, "count %d\n", count);
    for (int i = 0; i < count; i++) {
        char text[512] = "";
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = i;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(ListView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        POINT place = {};
        SendMessageA(ListView, LVM_GETITEMPOSITION, i, reinterpret_cast<LPARAM>(&place));
        fprintf(file, "%ld %ld %d %lu|%s\n", place.x, place.y, item.iImage, (unsigned long)(DWORD)item.lParam,
                item.pszText);
    }
    fclose(file);
    MoveFileExA(temporary, ReportPath, MOVEFILE_REPLACE_EXISTING);
}

static LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_APP:
        WriteReport();
        return 1;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void AddItems(const char *listPath)
{
    FILE *file = fopen(listPath, "r");
    char line[1200];
    for (int i = 0; file && fgets(line, sizeof(line), file); i++) {
        line[strcspn(line, "\r\n")] = '\0';
        int x = 0, y = 0, image = 0;
        char *path = strchr(line, '|');
        char *text = path ? strchr(path + 1, '|') : nullptr;
        if (!text || sscanf(line, "%d %d %d", &x, &y, &image) != 3)
            continue;
        *path++ = *text++ = '\0';
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = i;
        item.pszText = text;
        item.iImage = image;
        item.lParam = reinterpret_cast<LPARAM>(ILCreateFromPathA(path));
        int index = (int)SendMessageA(ListView, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        SendMessageA(ListView, LVM_SETITEMPOSITION, index, MAKELPARAM(x, y));
    }
    if (file)
        fclose(file);
}

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    ReportPath = argv[2];
    bool workerW = argc > 3 && !strcmp(argv[3], "workerw");
    HINSTANCE instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    CoInitialize(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ShellProc;
    windowClass.hInstance = instance;
    for (const char *name : {"Progman", "WorkerW", "SHELLDLL_DefView"}) {
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }
    auto make = [&](const char *type, DWORD style, HWND parent) {
        return CreateWindowExA(0, type, "", style, 0, 0, 1024, 768, parent, nullptr, instance, nullptr);
    };
    HWND program = make("Progman", WS_POPUP, nullptr);
    HWND holder = workerW ? make("WorkerW", WS_POPUP, nullptr) : program;
    HWND view = make("SHELLDLL_DefView", WS_CHILD | WS_VISIBLE, holder);
    ListView = make(WC_LISTVIEWA, WS_CHILD | WS_VISIBLE | LVS_ICON, view);
    AddItems(argv[1]);
    WriteReport();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
