// The Profiles page of the dialog: the stored profiles listed, renamed, deleted, given hotkeys and marked to
// apply themselves.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "dialog/ext_prop.h"

// Initialisation: the page's controls, hidden, and the stored profiles.
void SetUpProfilesPage(ExtPropState *state);
void ShowProfilesPage(ExtPropState *state, BOOL shown);
// WM_COMMAND of the page's controls; false when the sender is none of them.
bool ProfilesPageCommand(ExtPropState *state, UINT code, int id, HWND control);
// WM_NOTIFY of the list.
INT_PTR ProfilesPageNotify(ExtPropState *state, NMHDR *header);
// "&Apply" and OK: deletions, new names, hotkeys and marks reach the registry.
void StoreProfileEdits(ExtPropState *state);
