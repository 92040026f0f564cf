// What the tab switch and the Settings and About pages share beside the
// dialog's header.
#pragma once
#include "dialog/ext_prop.h"

// Posted to the tab strip after a tab key: by then the strip has moved on its
// own or it never will (Wine's strip does not know Home and End).
#define WM_TAB_KEY_SETTLE (WM_APP + 1)

// The tab a key on the strip leads to from the tab shown, or -1 when the key
// does not change tabs.
int KeyboardTabTarget(int currentTab, WORD key);
// options[i] = 1 when check box i is ticked, else 0.
void TakeOptionsFromCheckBoxes(ExtPropState *state);
