// Registering the program's own window classes.
#pragma once
#include <windows.h>

// A class with no background brush, no icon and the arrow left to the
// windows; false when the platform refuses it (also when it exists already).
bool RegisterPlainWindowClass(HINSTANCE instance, const wchar_t *name, WNDPROC procedure);
