// The whole program, from its facts to the end of the message loop.
#pragma once
#include <windows.h>

// Gives the process's exit code.
int RunTessivon(HINSTANCE instance);
