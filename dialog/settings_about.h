// The Settings and About pages of the dialog: the options stored at OK, the About texts and links.
#pragma once
#include <windows.h>

#include "dialog/ext_prop.h"

// OK's storing step: the options (first taken from the check boxes when the
// Settings page is shown) and the start-with-Windows entry.
void StoreOptions(ExtPropState *state);
// Initialisation, after aboutText, knownBugsText, futureFeaturesText, webLink
// and mailLink are set: link subclassing, linkFont, the three texts.
void SetUpAboutPage(ExtPropState *state);
// Initialisation, after the starting tab: the About texts and links placed.
void PlaceAboutPage(ExtPropState *state);
// BN_CLICKED of button 1019 or 1021: opens the web page or a new mail.
void OpenLinkTarget(int id);
// The slide at OK and Cancel, when the platform offers it.
void AnimateDialogClosing(ExtPropState *state);
