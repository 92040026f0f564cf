// tessivon.exe with arguments: one job, an exit code, lines to print. The
// commands form one table (command_line.cpp); parsing is plain functions of
// the argument texts.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "display/display_list.h"

struct DisplaySession;

enum CommandExitCode {
    EXIT_DONE = 0,
    EXIT_BAD_ARGUMENTS = 1,
    EXIT_NO_SUCH_DISPLAY = 2,
    EXIT_MODE_NOT_OFFERED = 3,
    EXIT_REFUSED = 4,
    EXIT_RESTART_NEEDED = 5,
    EXIT_NO_ANSWER = 6,         // Tessivon runs but did not take the command in time
    EXIT_ICONS_UNAVAILABLE = 7, // no layout stored for the setup, or the icons unreadable
};

// Bounds on what a caller may hand in.
#define MAX_ARGUMENTS 16
#define MAX_ARGUMENT_LENGTH 260

// What a command prints: standard output and standard error, whole lines.
struct CommandOutput {
    std::wstring out;
    std::wstring err;
    bool profilesChanged; // a profile was stored or deleted: the running program's hotkeys follow
};

struct CommandRequest;
// Carries a command out; every display change goes through the session (the
// running program's, or one of the command process's own). Gives the exit code.
typedef int (*CommandHandler)(const CommandRequest &request, DisplaySession *session, CommandOutput *output);

// One row of the command table.
struct CommandSpec {
    const wchar_t *name;      // as typed after "/" or "--"
    const wchar_t *valueName; // the value that must follow, null for none
    bool takesDisplay;        // accepts "/display D"
    bool takesConfirm;        // accepts "/confirm"
    bool takesHotkey;         // accepts "/hotkey KEYS" and "/auto"
    CommandHandler run;
    const wchar_t *meaning; // its line in the usage
};

struct CommandRequest {
    const CommandSpec *command;
    std::wstring value;
    std::wstring display; // empty: the primary display
    bool confirm;
    std::wstring hotkey; // "/hotkey KEYS", empty when not given
    bool autoApply;      // "/auto": the profile applies itself when its displays are connected
    ModeRequest mode;    // the parsed value of a command whose value is a mode
};

// Fills the request from the arguments (without the program's name); gives
// EXIT_DONE, or EXIT_BAD_ARGUMENTS with a one-line reason.
int ParseCommandLine(const std::vector<std::wstring> &arguments, CommandRequest *request,
                     std::wstring *reason);
// "WxH[xBITS][@HZ]"; false with a reason for anything else.
bool ParseModeValue(const std::wstring &text, ModeRequest *mode, std::wstring *reason);
// Parses and carries out; the reason of a refusal goes to output->err.
int CarryOutCommand(const std::vector<std::wstring> &arguments, DisplaySession *session,
                    CommandOutput *output);
// The /help text: commands, how displays are named, the exit codes.
std::wstring UsageText();
