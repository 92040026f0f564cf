// Naming desktop items from their ID lists, and the one identity of a desktop icon made from it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "desktop_icons/list_view_transport.h"

// The parsing names of the items' ID lists, read across (a path for a file),
// each empty when there is none; the number named.
int IconParsingNames(SharedBlock *block, const DesktopIcon *icons, int count, std::wstring *names);
// Each icon's identity, the same in a shell started anew, in the order of
// icons: the parsing name of its ID list, else its label; the second and later
// icons of one identity get " #2", " #3" and so on, so that twins stay apart.
// Empty for an icon with neither. The layout store, Cancel on the Icons tab
// and every other match of icons across shells use this one.
std::vector<std::wstring> IconIdentities(SharedBlock *block, const std::vector<DesktopIcon> &icons);
