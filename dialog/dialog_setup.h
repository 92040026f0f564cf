// The dialog's set-up at WM_INITDIALOG, its closing and its background.
#pragma once
#include <windows.h>

#include "dialog/ext_prop.h"

// The WM_INITDIALOG work; 0 when the icon view window cannot be created.
int InitExtPropDialog(ExtPropState *state);
// Releases everything the opening created, then ends the dialog with the result.
void CloseExtPropDialog(ExtPropState *state, INT_PTR result);
// The dialog's background erase; always TRUE.
BOOL EraseDialogBackground(ExtPropState *state, HDC dc);
