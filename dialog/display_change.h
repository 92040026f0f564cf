// The dialog after the platform's monitors changed: the canvas rebuilt and the dialog kept reachable.
#pragma once
#include <windows.h>

#include "dialog/ext_prop.h"

// The canvas rebuilt from the monitors now present, pending window and icon
// moves kept, and the dialog moved onto a monitor when it no longer fits.
void FollowDisplayChange(ExtPropState *state);
