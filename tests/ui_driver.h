// Drives modal UI from inside its own loop: a thread timer, started before
// MessageBoxA, TrackPopupMenu or DialogBoxParamA, waits until a window shows
// up, then hands it to a callback that reads and closes it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

inline std::function<HWND()> WaitFind;
inline std::function<void(HWND)> WaitAct;
inline UINT_PTR WaitTimer;
inline DWORD WaitDeadline;
inline unsigned WaitsStarted; // tells one wait from the next

// Ends any wait that has not fired yet.
inline void CancelWindowWait()
{
    KillTimer(nullptr, WaitTimer); // nothing to do when no wait runs
    WaitTimer = 0, WaitFind = nullptr;
}

inline void CALLBACK WaitTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    HWND window = WaitFind ? WaitFind() : nullptr;
    if (!WaitFind || (!window && GetTickCount() < WaitDeadline))
        return;
    std::function<void(HWND)> act = WaitAct;
    CancelWindowWait();
    act(window);
}

// Calls act(window) once find() gives a window; gives up after timeoutMs and
// calls act(nullptr). Only one wait runs at a time.
inline void WhenWindowAppears(std::function<HWND()> find, std::function<void(HWND)> act, int timeoutMs = 5000)
{
    CancelWindowWait();
    WaitsStarted++;
    WaitFind = find, WaitAct = act, WaitDeadline = GetTickCount() + timeoutMs;
    WaitTimer = SetTimer(nullptr, 0, 30, WaitTimerProc);
}

// A visible top-level window of the class ("#32768" a popup menu, "#32770" a
// message box or dialog) with the caption, any caption when it is null.
inline HWND FindShown(const char *className, const char *caption = nullptr)
{
    HWND window = FindWindowExA(nullptr, nullptr, className, caption);
    while (window && !IsWindowVisible(window))
        window = FindWindowExA(nullptr, window, className, caption);
    return window;
}

inline std::string WindowText(HWND window)
{
    char text[1024];
    return std::string(text, GetWindowTextA(window, text, sizeof(text)));
}

// Pumps messages for the given time, so that timers and posted messages run.
inline void PumpMessages(int milliseconds)
{
    for (DWORD end = GetTickCount() + milliseconds; GetTickCount() < end; Sleep(5)) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// Notes the next popup menu or, when boxes is set, message box ("caption:
// text") and closes it. Its wait ends with it, so that no later timer writes
// into a watch that has gone.
struct Watch {
    HMENU menu = nullptr;
    std::string box = "<none>";
    DWORD shownAt = 0; // GetTickCount() when it was found
    unsigned wait = 0;
    explicit Watch(int timeoutMs = 1500, bool boxes = true)
    {
        auto find = [boxes] {
            return FindShown("#32768") ? FindShown("#32768") : boxes ? FindShown("#32770") : nullptr;
        };
        WhenWindowAppears(
            find, [this](HWND window) { Close(window); }, timeoutMs);
        wait = WaitsStarted;
    }
    ~Watch()
    {
        if (WaitTimer && WaitsStarted == wait)
            CancelWindowWait();
    }
    Watch(const Watch &) = delete;
    void Close(HWND window)
    {
        shownAt = GetTickCount();
        if (window && (menu = (HMENU)SendMessageA(window, MN_GETHMENU, 0, 0)))
            EndMenu();
        else if (window && PostMessageA(window, WM_COMMAND, IDOK, 0))
            box = WindowText(window) + ": " + WindowText(GetDlgItem(window, 0xFFFF));
    }
};

// Polls the condition until it holds, pumping messages between polls when
// asked; false when it still fails after the time.
inline bool WaitFor(const std::function<bool()> &condition, DWORD milliseconds, bool pump = false)
{
    for (DWORD end = GetTickCount() + milliseconds; !condition(); pump ? PumpMessages(20) : Sleep(50))
        if (GetTickCount() > end)
            return false;
    return true;
}

inline bool PumpUntil(const std::function<bool()> &until, DWORD ms) { return WaitFor(until, ms, true); }

// A Unix path as Windows programs see it through Wine's Z: drive.
inline std::wstring WinePath(const char *path)
{
    std::wstring seen = path[0] == '/' ? L"Z:" : L"";
    for (const char *c = path; *c; c++)
        seen += *c == '/' ? L'\\' : (wchar_t)*c;
    return seen;
}

inline std::wstring Quoted(const std::wstring &text) { return L"\"" + text + L"\""; }

// A process started with the command line, ended with the scope; given
// handles, it writes its standard output and error there.
struct ChildProcess {
    PROCESS_INFORMATION info = {};
    explicit ChildProcess(std::wstring line, HANDLE out = nullptr, HANDLE err = nullptr)
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = out ? STARTF_USESTDHANDLES : 0;
        startup.hStdOutput = out, startup.hStdError = err;
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, out != nullptr, 0, nullptr, nullptr, &startup,
                       &info);
    }
    // The exit code, or -1 while it still runs after the wait.
    long Wait(DWORD milliseconds)
    {
        DWORD code = 0;
        bool ended = WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0;
        return ended && GetExitCodeProcess(info.hProcess, &code) ? (long)code : -1;
    }
    ~ChildProcess()
    {
        TerminateProcess(info.hProcess, 99); // nothing to do once it has ended
        Wait(5000);
        CloseHandle(info.hProcess), CloseHandle(info.hThread);
    }
};

// The pointer's confinement is the whole screen.
inline bool PointerFree()
{
    RECT clip, screen = {0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    OffsetRect(&screen, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN));
    return GetClipCursor(&clip) && EqualRect(&clip, &screen);
}
