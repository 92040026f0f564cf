// Registering the program's window classes and keeping each window's state.
#include "base/window_class.h"

bool RegisterPlainWindowClass(HINSTANCE instance, const wchar_t *name, WNDPROC procedure)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0;
}
