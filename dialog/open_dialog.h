// Opening the "Extended Display Properties" dialog, for the program's top.
#pragma once
#include <windows.h>

struct DisplaySession;

// Runs the dialog modally, centred on the monitor of the point; gives 1 when
// it ended by OK. The Screen tab's primary display changes through the
// session (null: one of the dialog's own).
INT_PTR OpenExtendedProperties(POINT point, DisplaySession *session = nullptr);
