// The keep-or-revert question's dialog and its countdown.
#include "session/keep_or_revert.h"

#include "base/facts.h"
#include "display/displays.h"
#include "display/mode_switch.h"
#include "resources/resource_ids.h"

#define COUNTDOWN_TIMER_ID 1

// "Reverting in 15 seconds."; text holds 64 characters.
static void CountdownText(int seconds, wchar_t *text)
{
    wsprintfW(text, seconds == 1 ? L"Reverting in %d second." : L"Reverting in %d seconds.", seconds);
}

// Centred on the display's monitor, in monitor order as the catalogue counts
// displays; on the primary screen when it is not found. Not on the work area:
// right after a switch the taskbar may not have moved it to the new size yet.
static void CentreOnDisplay(HWND dialog, int display)
{
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::vector<DisplayRecord> displays = ReadDisplays();
    if (display >= 0 && display < (int)displays.size())
        area = displays[display].monitorRect;
    RECT rect;
    GetWindowRect(dialog, &rect);
    int x = (area.left + area.right - (rect.right - rect.left)) / 2;
    int y = (area.top + area.bottom - (rect.bottom - rect.top)) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static void ShowSecondsLeft(HWND dialog, const KeepOrRevert *question)
{
    wchar_t text[64];
    CountdownText(question->secondsLeft, text);
    SetDlgItemTextW(dialog, IDC_KEEP_COUNTDOWN, text);
}

static void OnInitDialog(HWND dialog, KeepOrRevert *question)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(question));
    question->secondsLeft = question->seconds;
    ShowSecondsLeft(dialog, question);
    CentreOnDisplay(dialog, question->shownOn);
    SetTimer(dialog, COUNTDOWN_TIMER_ID, 1000, nullptr);
    // A user who cannot read the screen can still answer with Enter or Escape.
    SetForegroundWindow(dialog);
}

static void OnCountdownTick(HWND dialog, KeepOrRevert *question)
{
    if (--question->secondsLeft <= 0) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    ShowSecondsLeft(dialog, question);
}

static INT_PTR CALLBACK KeepOrRevertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    KeepOrRevert *question = reinterpret_cast<KeepOrRevert *>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, reinterpret_cast<KeepOrRevert *>(lParam));
        return TRUE; // the focus goes to the first button, Keep
    case WM_TIMER:
        if (question)
            OnCountdownTick(dialog, question);
        return TRUE;
    case WM_COMMAND:
        // The close box and Escape arrive as IDCANCEL.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        KillTimer(dialog, COUNTDOWN_TIMER_ID);
        return FALSE;
    default:
        return FALSE;
    }
}

bool AskKeepOrRevert(HWND owner, KeepOrRevert *question)
{
    return DialogBoxParamW(InstanceHandle, MAKEINTRESOURCEW(IDD_KEEP_OR_REVERT), owner, KeepOrRevertProc,
                           reinterpret_cast<LPARAM>(question)) == IDOK;
}
