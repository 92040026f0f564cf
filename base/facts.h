// Facts of the running program, written once at start-up and only read after.
#pragma once
#include <windows.h>

#define PROGRAM_TITLE L"Tessivon v2.7 alpha"
// The main window's class, by which a later copy finds the running program.
#define MAIN_WINDOW_CLASS PROGRAM_TITLE

typedef SHORT(WINAPI *KeyStateProc)(int virtualKey);

extern HINSTANCE InstanceHandle;
extern wchar_t ModulePath[MAX_PATH];
extern BOOL IsWindows2000OrLater;
// GetKeyState where the platform keeps it per thread, else GetAsyncKeyState.
extern KeyStateProc KeyStateFunction;

// Sets the facts for the module: instance, path and platform version.
void ReadProgramFacts(HINSTANCE instance);
