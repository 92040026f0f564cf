// The "Extended Display Properties" dialog.
#pragma once
#include <windows.h>

// Runs the dialog modally, centred on the monitor under the point.
int OpenExtendedProperties(POINT point);
