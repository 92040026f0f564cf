// Drives modal UI from inside its own loop: a thread timer, started before
// MessageBoxA, TrackPopupMenu or DialogBoxParamA, waits until a window shows
// up, then hands it to a callback that reads and closes it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Calls act(window) once find() gives a window; gives up after timeoutMs and
// calls act(nullptr). Only one wait runs at a time.
void WhenWindowAppears(std::function<HWND()> find, std::function<void(HWND)> act, int timeoutMs = 5000);
// Ends any wait that has not fired yet.
void CancelWindowWait();

// The open popup menu window of this thread, or null.
HWND FindPopupMenuWindow();
// A message box or dialog (class "#32770") of this process with the caption.
HWND FindDialogByCaption(const char *caption);

struct MenuItemText {
    std::string text; // empty for a separator
    UINT id;
    UINT state;
    bool separator;
    HMENU submenu;
};
std::vector<MenuItemText> ReadMenu(HMENU menu);
std::string WindowText(HWND window);
// Pumps messages for the given time, so that timers and posted messages run.
void PumpMessages(int milliseconds);

// UTF-8 and the platform's wide text, for comparing what the program passed.
std::string Narrow(const wchar_t *text);
std::wstring Wide(const std::string &text);

// The pointer's confinement is the whole screen.
inline bool PointerFree()
{
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    RECT clip, screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return GetClipCursor(&clip) && EqualRect(&clip, &screen);
}
