// What the tests of the real tessivon.exe, started as a process of its own,
// share: finding its main window.
#pragma once
#include <windows.h>

#include "app/main_window.h"
#include "tests/ui_driver.h"

inline HWND ProgramWindow() { return FindWindowW(MAIN_WINDOW_CLASS, PROGRAM_TITLE); }
