// The desktop icon tools' common header: the channel to the shell's icon list and the hidden labels.
// The channel has four parts, each with a header of its own: the list view
// transport, the folder-view path, naming items, and their pictures. The
// store of hidden labels (desktop_icons/text_store.cpp) is declared here.
#pragma once
#include <windows.h>

#include "desktop_icons/folder_view.h"
#include "desktop_icons/icon_pictures.h"
#include "desktop_icons/item_names.h"
#include "desktop_icons/list_view_transport.h"

// The label stored under the item number (capacity in characters), empty when
// there is none.
int LookupHiddenText(DWORD itemNumber, wchar_t *text, DWORD capacity);
int HideIconText(HWND listView, int index);
int RestoreIconText(HWND listView, int index);
// 1 when done, 0 when there was no shell or it stopped answering: the labels
// blanked so far stay blanked and stored, and a later pass does the rest.
int HideStoredIconTexts();
// At the main window's creation: the stored labels are hidden again when the
// option says so. False when it is to be tried again later.
bool StartupIconAction();
