// State of the main window procedure, program-wide.
#pragma once
#include <windows.h>

#include "display/catalogue.h"

extern BOOL DialogOpen;
extern BOOL ClickPending;
extern BOOL DoubleClickSeen;
extern SHORT LeftWasDown;
extern SHORT RightWasDown;
extern ModeSnapshot SavedModes[MAX_DISPLAYS];
extern BOOL ModeChanged;
extern HMONITOR PrimaryMonitor;
