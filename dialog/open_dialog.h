// Opening the "Extended Display Properties" dialog, for the program's top.
#pragma once
#include <windows.h>

// Runs the dialog modally, centred on the monitor of the point; gives 1 when
// it ended by OK.
INT_PTR OpenExtendedProperties(POINT point);
