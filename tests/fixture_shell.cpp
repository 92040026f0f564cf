// The other process the tests need, in one of two parts.
//
//   fixture_shell shell|workerw [hang|lying|folderview]
//
// plays the shell's desktop for the icon tests: "Progman" > "SHELLDLL_DefView"
// > "SysListView32" (or, with "workerw", the view under a top-level
// "WorkerW"), whose items carry the texts, images and positions of the icon
// list in the temporary folder (fixture_shell.h) and, as item values, real ID
// lists of the files named there. For every WM_APP sent to "Progman" the list
// is written again as the items are, with their numbers; WM_APP + 1 moves item
// wParam to the place in lParam, as a drag on the desktop. Texts may hold any
// character but a line break. Like the real shell, it pushes every icon inside
// the new screen on WM_DISPLAYCHANGE. With "hang" it stops answering any
// message once its icons exist, as a shell busy at logon does; with "lying" its
// list view tells other processes that it holds 100,000,000 items. With
// "folderview" it is a newer shell: its folder view (shell_windows_fixture.cpp)
// holds the list view, and its arrangement, before every report, puts back
// each icon that list view messages from another process moved.
//
//   fixture_shell windows N
//
// gives the window arrangement tests top-level windows "Fixture 0" to
// "Fixture N-1", a minimised one, one of zero height, one without a title, a
// hidden one and stand-ins for a taskbar and a desk band. A window that is
// sent WM_CLOSE is destroyed. With "stubborn" after N, "Fixture stubborn"
// keeps its place whatever it is asked.
//
// Either part ends its start with a hidden "Fixture ready".
//
//   fixture_shell keeper
//
// stays on the test desktop for the whole run (scripts/wine-prefix starts it)
// with two threads, each holding a message-only window: Wine miscounts a
// desktop's users when one of explorer's threads ends (a COM call into
// explorer leaves one that ends after 5 s idle) and closes the desktop under a
// test process that has a single thread, unless a process with two threads
// stays on it.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <map>

#include "fixture_shell.h"

// Desktop: "Progman", which gets the display changes; Stubborn keeps its place whatever it is asked.
static HWND ListView, Desktop, View, Stubborn;
static bool FolderView;
static std::map<UINT, POINT> Places; // where the shell itself put each item, by its lasting id

static LVITEMW ItemOf(int i, wchar_t *text)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, item.iItem = i, item.pszText = text;
    item.cchTextMax = 512;
    item.lParam = SendMessageW(ListView, LVM_GETITEMW, 0, (LPARAM)&item) ? item.lParam : -1;
    return item;
}

// Moves item i as the shell itself does, kept by its arrangements.
static void Place(int i, int x, int y)
{
    SendMessageW(ListView, LVM_SETITEMPOSITION, i, MAKELPARAM(x, y));
    Places[(UINT)SendMessageW(ListView, LVM_MAPINDEXTOID, i, 0)] = {x, y};
}

static int ItemCount() { return (int)SendMessageW(ListView, LVM_GETITEMCOUNT, 0, 0); }

static POINT PlaceOf(int i)
{
    POINT at = {};
    SendMessageW(ListView, LVM_GETITEMPOSITION, i, (LPARAM)&at);
    return at;
}

// Item i's display name, its label or while that is hidden its file's name, as the view's title.
static bool NameAsTitle(int i)
{
    wchar_t text[512] = L"";
    SHFILEINFOW file = {};
    LVITEMW item = ItemOf(i, text);
    if (item.lParam != -1 && !text[0] && item.lParam &&
        SHGetFileInfoW((LPCWSTR)item.lParam, 0, &file, sizeof(file), SHGFI_PIDL | SHGFI_DISPLAYNAME))
        lstrcpynW(text, file.szDisplayName, 512);
    return item.lParam != -1 && SetWindowTextW(View, text);
}

static LRESULT CALLBACK LyingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR)
{
    return message == LVM_GETITEMCOUNT && InSendMessage() ? 100000000
                                                          : DefSubclassProc(window, message, wParam, lParam);
}

static void WriteReport()
{
    std::vector<FixtureIcon> icons;
    for (int i = 0; i < ItemCount(); i++) {
        wchar_t text[512] = L"";
        LVITEMW item = ItemOf(i, text);
        auto kept = Places.find((UINT)SendMessageW(ListView, LVM_MAPINDEXTOID, i, 0));
        if (FolderView && kept != Places.end()) // the arrangement
            SendMessageW(ListView, LVM_SETITEMPOSITION, i, MAKELPARAM(kept->second.x, kept->second.y));
        POINT place = PlaceOf(i);
        icons.push_back({(int)place.x, (int)place.y, item.iImage, text, (DWORD)item.lParam});
    }
    WriteIcons(ShellFolder() + L"icons.txt", icons);
}

static LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        WriteReport();
    if (message == WM_APP + 1 || message == WM_APP + 2 || message == FOLDER_VIEW_MOVE)
        Place((int)wParam, (short)LOWORD(lParam), (short)HIWORD(lParam));
    // WM_APP + 2 also tells the move as Windows' list view tells a user's drag (Wine's tells none).
    if (message == WM_APP + 2)
        NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, ListView, OBJID_CLIENT, (LONG)wParam + 1);
    if (message == WM_WINDOWPOSCHANGING && window == Stubborn)
        reinterpret_cast<WINDOWPOS *>(lParam)->flags |= SWP_NOMOVE;
    // Each icon's corner at least 64 pixels, about a cell, off the new screen's right and bottom edges.
    if (message == WM_DISPLAYCHANGE && window == Desktop)
        for (int i = 0; i < ItemCount(); i++)
            Place(i, std::min(PlaceOf(i).x, LOWORD(lParam) - 64L),
                  std::min(PlaceOf(i).y, HIWORD(lParam) - 64L));
    if (message == FOLDER_VIEW_PLACE)
        return MAKELRESULT(PlaceOf((int)wParam).x, PlaceOf((int)wParam).y);
    if (message == FOLDER_VIEW_NAME || message == FOLDER_VIEW_MODE)
        return message == FOLDER_VIEW_MODE ? FolderView : NameAsTitle((int)wParam);
    return message == WM_APP || message == FOLDER_VIEW_MOVE ? 1
                                                            : DefWindowProcW(window, message, wParam, lParam);
}

static HWND Make(const wchar_t *type, const wchar_t *title, DWORD style, int x, int y, int width, int height,
                 HWND parent = nullptr)
{
    WNDCLASSW windowClass = {0, ShellProc, 0, 0, GetModuleHandleW(nullptr), 0, 0, (HBRUSH)(COLOR_WINDOW + 1),
                             0, type};
    if (wcscmp(type, WC_LISTVIEWW)) // the list view is comctl32's own
        RegisterClassW(&windowClass);
    // A top-level window is shown on top without being activated: an
    // activation that comes late would raise it again, and the window list's
    // order, bottom first, would no longer be the order of creation.
    bool shownOnTop = !parent && (style & WS_VISIBLE);
    HWND window = CreateWindowExW(0, type, title, shownOnTop ? style & ~WS_VISIBLE : style, x, y, width,
                                  height, parent, nullptr, nullptr, nullptr);
    if (shownOnTop)
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return window;
}

static void MakeWindows(int count, bool stubborn)
{
    const DWORD shown = WS_POPUP | WS_BORDER | WS_VISIBLE;
    for (int k = 0; k < count; k++) // left of the dialog, ten to a column
        Make(L"TessivonFixture", (L"Fixture " + std::to_wstring(k)).c_str(), shown, 8 + (k / 10) * 50,
             8 + (k % 10) * 60, 40, 50);
    HWND minimised = Make(L"TessivonFixture", L"Fixture minimised", WS_OVERLAPPEDWINDOW, 20, 20, 100, 80);
    ShowWindow(minimised, SW_SHOWMINNOACTIVE);
    Make(L"TessivonFixture", L"Fixture flat", shown, 60, 700, 100, 0);
    Make(L"TessivonFixture", L"", shown, 60, 720, 30, 20);
    Make(L"TessivonFixture", L"Fixture hidden", WS_POPUP, 60, 740, 30, 20);
    Make(L"Shell_TrayWnd", L"Fixture taskbar", shown, 300, 740, 400, 20);
    Make(L"BaseBar", L"Fixture band", shown, 720, 740, 100, 20);
    if (stubborn)
        Stubborn = Make(L"TessivonStubborn", L"Fixture stubborn", shown, 300, 300, 60, 50);
}

static void MakeShell(bool workerW, bool lying, bool folderView)
{
    InitCommonControls();
    CoInitialize(nullptr);
    // The desktop spans the virtual screen, whose corner is the list's origin.
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HWND holder = Desktop = Make(L"Progman", L"", WS_POPUP, left, top, width, height);
    holder = workerW ? Make(L"WorkerW", L"", WS_POPUP, left, top, width, height) : holder;
    View = Make(L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height, holder);
    ListView = Make(WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, width, height, View);
    FolderView = folderView;
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    for (const FixtureIcon &icon : ReadIcons(ShellFolder() + L"icons.txt")) {
        item.iImage = icon.image, item.pszText = (wchar_t *)icon.text.c_str();
        item.lParam = (LPARAM)ILCreateFromPathW(icon.file.c_str());
        SendMessageW(ListView, LVM_INSERTITEMW, 0, (LPARAM)&item);
        Place(item.iItem++, icon.x, icon.y);
    }
    if (lying)
        SetWindowSubclass(ListView, LyingProc, 0, 0);
}

// A message-only window that ties the calling thread to the desktop (which the
// keeper needs of two threads), and its messages until the process is ended.
static DWORD WINAPI StayOnDesktop(void *)
{
    CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}

int main()
{
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2)
        return 2;
    if (!wcscmp(argv[1], L"keeper")) {
        CloseHandle(CreateThread(nullptr, 0, StayOnDesktop, nullptr, 0, nullptr));
        return (int)StayOnDesktop(nullptr);
    }
    const wchar_t *option = argc > 2 ? argv[2] : L"";
    if (!wcscmp(argv[1], L"windows"))
        MakeWindows(_wtoi(option), argc > 3 && !wcscmp(argv[3], L"stubborn"));
    else
        MakeShell(!wcscmp(argv[1], L"workerw"), !wcscmp(option, L"lying"), !wcscmp(option, L"folderview"));
    Make(L"TessivonFixture", L"Fixture ready", WS_POPUP, 0, 0, 10, 10);
    if (!wcscmp(option, L"hang"))
        Sleep(INFINITE);
    return (int)StayOnDesktop(nullptr);
}
