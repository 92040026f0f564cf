// The program's own window classes: registering them, and the state each
// window is created with.
#pragma once
#include <windows.h>

// A class with no background brush, no icon and the arrow left to the
// windows; false when the platform refuses it (also when it exists already).
bool RegisterPlainWindowClass(HINSTANCE instance, const wchar_t *name, WNDPROC procedure);

// The state a window was created with (CreateWindowExW's last parameter),
// kept in its user data from WM_NCCREATE on; null before that and after the
// state was taken back.
template <typename State> State *WindowCreationState(HWND window, UINT message, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
    return reinterpret_cast<State *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}
