// The whole program, from its facts to the end of the message loop.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Gives the process's exit code. Without arguments: the tray program; with
// them: one command, carried out by the running program when there is one.
int RunTessivon(HINSTANCE instance, const std::vector<std::wstring> &arguments = {});
