// The other process the tests need, in one of two parts.
//
//   fixture_shell LISTFILE REPORTFILE [workerw]
//
// plays the shell's desktop for the icon tests: "Progman" > "SHELLDLL_DefView"
// > "SysListView32" (or, with "workerw", the view under a top-level
// "WorkerW"), whose items carry the texts, images and positions of LISTFILE
// and, as item values, real ID lists of the files named there. LISTFILE: one
// line per icon, "X Y IMAGE|PATH|TEXT", in UTF-8. Once the items exist, and
// again for every WM_APP sent to "Progman", REPORTFILE receives one line per
// item, in UTF-8: "X Y IMAGE NUMBER|TEXT". Texts and paths may hold any
// character but a line break and, in paths, "|".
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
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <wchar.h>

static HWND ListView;
static const wchar_t *ReportPath;

static void ToUtf8(const wchar_t *text, char *out, int size)
{
    if (!WideCharToMultiByte(CP_UTF8, 0, text, -1, out, size, nullptr, nullptr))
        out[0] = '\0';
}

static void FromUtf8(const char *text, wchar_t *out, int size)
{
    if (!MultiByteToWideChar(CP_UTF8, 0, text, -1, out, size))
        out[0] = L'\0';
}

// Written under another name and then renamed, so a reader never sees half.
static void WriteReport()
{
    std::wstring temporary = std::wstring(ReportPath) + L".tmp";
    wchar_t text[512];
    char utf8[4 * 512];
    FILE *file = _wfopen(temporary.c_str(), L"wb");
    for (int i = 0; file && i < (int)SendMessageW(ListView, LVM_GETITEMCOUNT, 0, 0); i++) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, item.iItem = i, item.pszText = text;
        item.cchTextMax = 512;
        text[0] = L'\0';
        SendMessageW(ListView, LVM_GETITEMW, 0, (LPARAM)&item);
        POINT place = {};
        SendMessageW(ListView, LVM_GETITEMPOSITION, i, (LPARAM)&place);
        ToUtf8(text, utf8, sizeof(utf8));
        fprintf(file, "%ld %ld %d %lu|%s\n", place.x, place.y, item.iImage, (unsigned long)item.lParam, utf8);
    }
    if (file)
        fclose(file);
    MoveFileExW(temporary.c_str(), ReportPath, MOVEFILE_REPLACE_EXISTING);
}

static LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        WriteReport();
    return message == WM_APP ? 1 : DefWindowProcW(window, message, wParam, lParam);
}

static HWND Make(const wchar_t *type, const wchar_t *title, DWORD style, int x, int y, int width, int height,
                 HWND parent = nullptr)
{
    WNDCLASSW windowClass = {0, ShellProc, 0, 0, GetModuleHandleW(nullptr), 0, 0, (HBRUSH)(COLOR_WINDOW + 1),
                             0, type};
    if (wcscmp(type, WC_LISTVIEWW)) // the list view is comctl32's own
        RegisterClassW(&windowClass);
    return CreateWindowExW(0, type, title, style, x, y, width, height, parent, nullptr, nullptr, nullptr);
}

static void MakeWindows(int count)
{
    const DWORD shown = WS_POPUP | WS_BORDER | WS_VISIBLE;
    wchar_t title[32];
    for (int k = 0; k < count; k++) { // left of the dialog, ten to a column
        wsprintfW(title, L"Fixture %d", k);
        Make(L"TessivonFixture", title, shown, 8 + (k / 10) * 50, 8 + (k % 10) * 60, 40, 50);
    }
    HWND minimised = Make(L"TessivonFixture", L"Fixture minimised", WS_OVERLAPPEDWINDOW, 20, 20, 100, 80);
    ShowWindow(minimised, SW_SHOWMINNOACTIVE);
    Make(L"TessivonFixture", L"Fixture flat", shown, 60, 700, 100, 0);
    Make(L"TessivonFixture", L"", shown, 60, 720, 30, 20);
    Make(L"TessivonFixture", L"Fixture hidden", WS_POPUP, 60, 740, 30, 20);
    Make(L"Shell_TrayWnd", L"Fixture taskbar", shown, 300, 740, 400, 20);
    Make(L"BaseBar", L"Fixture band", shown, 720, 740, 100, 20);
}

// One line of the list: "X Y IMAGE|PATH|TEXT"; the text may be empty.
static bool ReadIcon(FILE *file, POINT *at, int *image, wchar_t *path, wchar_t *text)
{
    char line[4 * (MAX_PATH + 512) + 64];
    int used = 0;
    if (!fgets(line, sizeof(line), file) || sscanf(line, "%ld %ld %d|%n", &at->x, &at->y, image, &used) < 3 ||
        !used)
        return false;
    line[strcspn(line, "\r\n")] = '\0';
    char *bar = strchr(line + used, '|');
    if (!bar)
        return false;
    *bar = '\0';
    FromUtf8(line + used, path, MAX_PATH);
    FromUtf8(bar + 1, text, 512);
    return true;
}

static void MakeShell(const wchar_t *listPath, bool workerW)
{
    InitCommonControls();
    CoInitialize(nullptr);
    HWND holder = Make(L"Progman", L"", WS_POPUP, 0, 0, 1024, 768);
    holder = workerW ? Make(L"WorkerW", L"", WS_POPUP, 0, 0, 1024, 768) : holder;
    HWND view = Make(L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0, 1024, 768, holder);
    ListView = Make(WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 1024, 768, view);
    FILE *file = _wfopen(listPath, L"rb");
    wchar_t path[MAX_PATH], text[512];
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, item.pszText = text;
    POINT at;
    while (file && ReadIcon(file, &at, &item.iImage, path, text)) {
        item.lParam = (LPARAM)ILCreateFromPathW(path);
        SendMessageW(ListView, LVM_INSERTITEMW, 0, (LPARAM)&item);
        SendMessageW(ListView, LVM_SETITEMPOSITION, item.iItem++, MAKELPARAM(at.x, at.y));
    }
    if (file)
        fclose(file);
    WriteReport();
}

int main()
{
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3)
        return 2;
    ReportPath = argv[2];
    if (!wcscmp(argv[1], L"windows"))
        MakeWindows(_wtoi(argv[2]));
    else
        MakeShell(argv[1], argc > 3 && !wcscmp(argv[3], L"workerw"));
    Make(L"TessivonFixture", L"Fixture ready", WS_POPUP, 0, 0, 10, 10);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
