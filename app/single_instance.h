// One Tessivon per session, claimed without a race through a named mutex,
// and the messages that hand a later copy's command (or "show again") to it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "command/command_line.h"

// How long a later copy waits for the first one's main window, and for the
// running program to carry out a command (a switch with /confirm waits for
// the user).
#define INSTANCE_WAIT_MS 20000
#define HAND_OVER_WAIT_MS 60000
// The running program's answer while it carries out another command: a
// display change or the keep-or-revert question lets the next command in
// while the first is under way, so it is turned away to be sent again.
#define COMMAND_BUSY 0x0B05

struct InstanceClaim {
    HANDLE mutex; // null when the platform refused to make it
    bool owned;   // this process is the instance
};

// Takes the session's instance mutex when it is free.
InstanceClaim ClaimInstance();
// For a claim another process holds: waits until that process's main window
// appears (given back) or the holder lets go, which makes the claim owned
// (null given back); null as well when the wait runs out.
HWND AwaitRunningWindow(InstanceClaim *claim, DWORD milliseconds);
void ReleaseInstance(InstanceClaim *claim);

// The arguments this process was started with, without the program's name.
std::vector<std::wstring> ProgramArguments();

// The command process's side: the running main window carries the command
// out; gives its exit code and fills in what it printed.
int HandOverCommand(HWND running, const std::vector<std::wstring> &arguments, CommandOutput *output,
                    DWORD milliseconds);
// The running main window's side, for WM_COPYDATA: the handed command's
// arguments; false when the data is not a whole command of ours.
bool ReadHandedCommand(const COPYDATASTRUCT *copy, std::vector<std::wstring> *arguments);
// Sends what the command printed back to the sender's window.
void ReplyToHandedCommand(HWND sender, HWND from, const CommandOutput &output);
