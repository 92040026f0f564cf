// Enters the Icons tab against the stand-in shell with 500 icons sharing 20
// pictures, as a user does: the dialog is shown, a moment later the tab is
// clicked. Prints how long after the click the tab is drawn and answers the
// pointer, how long until every icon is drawn (goals: 100 ms and 200 ms), the
// time of later loads, and the messages sent to the shell's list view.
#include "base/platform.h"
#include "desktop_icons/desktop_icons.h"
#include "tests/dialog_driver.h"
#include "tests/fixture_shell.h"

static double Milliseconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

// Handles what is waiting in the dialog's queue, painting included.
static void HandleWaitingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The user's moment between seeing the dialog and clicking the tab.
static void UserPause(int milliseconds)
{
    for (double end = Milliseconds() + milliseconds; Milliseconds() < end; Sleep(5))
        HandleWaitingMessages();
}

// A message posted now comes back once the thread has handled everything
// before it: the dialog then answers the pointer.
static void WaitUntilAnswering(HWND dialog)
{
    const UINT probe = RegisterWindowMessageW(L"TessivonBenchmarkProbe");
    PostMessageW(dialog, probe, 0, 0);
    for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;) {
        if (message.message == probe)
            return;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int main()
{
    LoadPlatformTable();
    FixtureShell shell(GridIcons(500, 20));
    const int rounds = 20;
    bool shown = RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        UserPause(500);
        long messages = ShellMessageCount;
        double click = Milliseconds();
        // As a click on the strip, the icons left to come on the dialog's timer.
        NMHDR header = {state.tabControl, IDC_TAB_CONTROL, (UINT)TCN_SELCHANGING};
        SwitchTab(&state, &header, TAB_ICONS);
        SendMessageW(state.tabControl, TCM_SETCURSEL, TAB_ICONS, 0);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        WaitUntilAnswering(dialog);
        double answering = Milliseconds() - click;
        while (state.icons.loading && Milliseconds() - click < 5000)
            UserPause(1);
        UpdateWindow(state.icons.viewWindow);
        double everyIcon = Milliseconds() - click;
        long entryMessages = ShellMessageCount - messages;
        double start = Milliseconds();
        for (int round = 0; round < rounds; round++)
            ReloadCanvasIcons(&state);
        double later = (Milliseconds() - start) / rounds;
        printf("icons shown: %d, pictures: %d\n", state.icons.view.count,
               ImageList_GetImageCount(state.icons.images));
        printf("messages to the shell's list view: %ld entering the tab, %ld per later load\n", entryMessages,
               (ShellMessageCount - messages - entryMessages) / rounds);
        printf("after the click: tab drawn and answering %.1f ms (goal 100), every icon drawn %.1f ms "
               "(goal 200)\n",
               answering, everyIcon);
        printf("later loads: %.1f ms each (%d loads)\n", later, rounds);
    });
    return shown ? 0 : 1;
}
