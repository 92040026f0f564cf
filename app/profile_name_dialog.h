// The small dialog that asks for a profile's name.
#pragma once
#include <windows.h>

#include "base/profile.h"

// Asks for the name; an existing name asks before it is replaced. IDOK with
// the name, or IDCANCEL.
INT_PTR AskProfileName(HWND owner, wchar_t name[PROFILE_NAME_SIZE]);
