#include "tests/ui_driver.h"

static std::function<HWND()> WaitFind;
static std::function<void(HWND)> WaitAct;
static UINT_PTR WaitTimer;
static DWORD WaitDeadline;

static void CALLBACK WaitTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    HWND window = WaitFind ? WaitFind() : nullptr;
    if (!WaitFind || (!window && GetTickCount() < WaitDeadline))
        return;
    std::function<void(HWND)> act = WaitAct;
    CancelWindowWait();
    act(window);
}

void WhenWindowAppears(std::function<HWND()> find, std::function<void(HWND)> act, int timeoutMs)
{
    CancelWindowWait();
    WaitFind = find;
    WaitAct = act;
    WaitDeadline = GetTickCount() + timeoutMs;
    WaitTimer = SetTimer(nullptr, 0, 30, WaitTimerProc);
}

void CancelWindowWait()
{
    KillTimer(nullptr, WaitTimer); // nothing to do when no wait runs
    WaitTimer = 0;
    WaitFind = nullptr;
}

struct FindData {
    const char *className, *caption;
    HWND found;
};

static BOOL CALLBACK FindThreadWindow(HWND window, LPARAM data)
{
    FindData *find = reinterpret_cast<FindData *>(data);
    char className[64];
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, find->className) || !IsWindowVisible(window) ||
        (find->caption && WindowText(window) != find->caption))
        return TRUE;
    find->found = window;
    return FALSE;
}

static HWND FindOwnWindow(const char *className, const char *caption)
{
    FindData find = {className, caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindThreadWindow, reinterpret_cast<LPARAM>(&find));
    if (!find.found)
        EnumWindows(FindThreadWindow, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND FindPopupMenuWindow() { return FindOwnWindow("#32768", nullptr); }

HWND FindDialogByCaption(const char *caption) { return FindOwnWindow("#32770", caption); }

std::vector<MenuItemText> ReadMenu(HMENU menu)
{
    std::vector<MenuItemText> items;
    for (int k = 0; k < GetMenuItemCount(menu); k++) {
        char text[256] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        GetMenuItemInfoA(menu, k, TRUE, &info);
        bool separator = (info.fType & MFT_SEPARATOR) != 0;
        items.push_back({separator ? "" : text, info.wID, info.fState, separator, info.hSubMenu});
    }
    return items;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

void PumpMessages(int milliseconds)
{
    for (DWORD end = GetTickCount() + milliseconds; GetTickCount() < end; Sleep(5)) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

std::string Narrow(const wchar_t *text)
{
    char narrow[512] = "";
    if (text)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
    return narrow;
}

std::wstring Wide(const std::string &text)
{
    wchar_t wide[512] = L"";
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide, 512);
    return wide;
}
