// The dialog's window procedure and its commands; its opening is in dialog/open_dialog.h.
#pragma once
#include <windows.h>

#include "dialog/ext_prop.h"

INT_PTR CALLBACK ExtPropDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// code: notification code (high word of the first parameter); first: the whole
// first parameter, its low word the command id; control: the sender.
INT_PTR DialogCommand(ExtPropState *state, UINT code, WPARAM first, HWND control);
