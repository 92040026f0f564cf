// What the tests of the real tessivon.exe, started as a process of its own,
// share: finding its main window and waiting until it has handled a message.
#pragma once
#include <windows.h>

#include "app/main_window.h"

inline HWND ProgramWindow() { return FindWindowW(MAIN_WINDOW_CLASS, PROGRAM_TITLE); }

// Sends the message to the program's main window; true once it has been
// handled there within the time (a sign that what came before is done too).
inline bool ProgramHandles(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, UINT milliseconds = 10000)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(ProgramWindow(), message, wParam, lParam, SMTO_ABORTIFHUNG, milliseconds,
                               &answer);
}
