// The desktop icons' pictures, taken in this process from the items' ID lists.
// Never through the shell's image list handle, which means nothing in this
// process.
#pragma once
#include <windows.h>

#include "desktop_icons/list_view_transport.h"

// The icon's 16 by 16 picture; null when there is none. The caller destroys it.
HICON GetIconPicture(SharedBlock *block, int index);
