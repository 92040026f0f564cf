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
