// Start-up: facts, the single instance, menus, the main window and the message loop.
#include "app/startup.h"

#include "app/main_window.h"
#include "app/single_instance.h"
#include "base/facts.h"
#include "base/messages.h"
#include "command/command_line.h"
#include "command/console_output.h"
#include "session/display_session.h"

// A command: refused at once when it cannot be parsed, else handed to the
// running program, or carried out here (no window, no icon) when none runs.
static int RunCommand(const std::vector<std::wstring> &arguments, InstanceClaim *claim)
{
    CommandOutput output = {};
    CommandRequest request;
    std::wstring reason;
    int code = ParseCommandLine(arguments, &request, &reason);
    if (code != EXIT_DONE) {
        output.err = reason + L"\r\n";
    } else if (HWND running = AwaitRunningWindow(claim, INSTANCE_WAIT_MS)) {
        code = HandOverCommand(running, arguments, &output, HAND_OVER_WAIT_MS);
    } else if (claim->owned) {
        DisplaySession alone = {};
        code = CarryOutCommand(arguments, &alone, &output);
    } else {
        output.err = L"Tessivon is starting but its window did not appear\r\n";
        code = EXIT_NO_ANSWER;
    }
    PrintOutput(output);
    return code;
}

static int RunTrayProgram(HINSTANCE instance, InstanceClaim *claim)
{
    // A later copy: the first one shows its icon again.
    if (!claim->owned) {
        if (HWND running = AwaitRunningWindow(claim, INSTANCE_WAIT_MS))
            SendMessageW(running, WM_SHOW_AGAIN, 0, 0);
        if (!claim->owned)
            return 1;
    }

    MainWindowState state = {};
    BuildProgramMenus(&state, instance);

    const wchar_t *failure = nullptr;
    if (!RegisterMainWindowClass(instance))
        failure = L"Couldn't Register Window Class";
    else if (!CreateMainWindow(&state, instance))
        failure = L"Couldn't Create Window";
    if (failure) {
        MessageBoxW(nullptr, failure, L"Error", MB_ICONHAND);
        FreeProgramMenus(&state);
        return 1;
    }
    TrayIconShow(&state.tray, state.window, PROGRAM_TITLE);

    MSG message;
    BOOL result;
    // -1 is a failed call, not WM_QUIT: only 0 ends the loop.
    while ((result = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (result == -1)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    FreeProgramMenus(&state);
    return 0;
}

int RunTessivon(HINSTANCE instance, const std::vector<std::wstring> &arguments)
{
    // Before anything else, so that copies started together cannot each find no other.
    InstanceClaim claim = ClaimInstance();
    ReadProgramFacts(instance);
    int code = arguments.empty() ? RunTrayProgram(instance, &claim) : RunCommand(arguments, &claim);
    ReleaseInstance(&claim);
    return code;
}
