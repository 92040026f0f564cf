// What the tests of the real tessivon.exe, started as a process of its own,
// share: waiting for it and finding its main window.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "app/main_window.h"

inline bool WaitFor(const std::function<bool()> &condition, DWORD milliseconds)
{
    for (DWORD end = GetTickCount() + milliseconds; !condition(); Sleep(50))
        if (GetTickCount() > end)
            return false;
    return true;
}

inline HWND ProgramWindow() { return FindWindowW(MAIN_WINDOW_CLASS, PROGRAM_TITLE); }

// A Unix path seen through Wine's Z: drive.
inline std::wstring WindowsPath(const char *path)
{
    std::wstring converted = path[0] == '/' ? L"Z:" : L"";
    for (const char *c = path; *c; c++)
        converted += *c == '/' ? L'\\' : (wchar_t)*c;
    return converted;
}
