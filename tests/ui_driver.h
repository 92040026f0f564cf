// Drives modal UI from inside its own loop: a thread timer, started before
// MessageBoxA, TrackPopupMenu or DialogBoxParamA, waits until a window shows
// up, then hands it to a callback that reads and closes it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Calls act(window) once find() gives a window; gives up after timeoutMs and
// calls act(nullptr). Only one wait runs at a time.
void WhenWindowAppears(std::function<HWND()> find, std::function<void(HWND)> act, int timeoutMs = 5000);
// Ends any wait that has not fired yet.
void CancelWindowWait();

// A visible top-level window of the class ("#32768" a popup menu, "#32770" a
// message box or dialog) with the caption, any caption when it is null.
inline HWND FindShown(const char *className, const char *caption = nullptr)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, className, caption)) && !IsWindowVisible(window)) {
    }
    return window;
}

inline std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// Pumps messages for the given time, so that timers and posted messages run.
void PumpMessages(int milliseconds);

// The pointer's confinement is the whole screen.
inline bool PointerFree()
{
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    RECT clip, screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    return GetClipCursor(&clip) && EqualRect(&clip, &screen);
}
