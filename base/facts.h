// Facts of the running program, written once at start-up and only read after.
#pragma once
#include <windows.h>

#define PROGRAM_TITLE L"Tessivon v2.7 alpha"
// The main window's class, by which a later copy finds the running program.
#define MAIN_WINDOW_CLASS PROGRAM_TITLE

extern HINSTANCE InstanceHandle;
extern wchar_t ModulePath[MAX_PATH];

// Sets the facts for the module: instance and path.
void ReadProgramFacts(HINSTANCE instance);
