// Profiles by name, as the command line asks for them. Each gives the
// command line's exit code and the text to print: the output on 0, the
// reason (one line each) otherwise.
#pragma once
#include <windows.h>

#include <string>

struct DisplaySession;

// Applies the profile in one step through the session, so that a running
// program's Escape can put the arrangement before back. 0 done; 1 no profile of that name; 2 a
// display of the profile is missing (the rest applied); 3 a display does not
// offer its mode; 4 refused by the driver; 5 a restart is needed.
int ApplyProfileCommand(DisplaySession *session, const wchar_t *name, std::wstring *text);
// Saves the present arrangement under the name, replacing a profile of that
// name. hotkeyText ("Ctrl+Alt+1") may be null: a replaced profile then keeps
// its hotkey. With autoApply the profile applies itself when its displays
// are connected; without, a replaced profile keeps its mark. 1 for an invalid
// name or hotkey text, or a hotkey another profile has.
int SaveProfileCommand(const wchar_t *name, const wchar_t *hotkeyText, std::wstring *text,
                       bool autoApply = false);
// 1 when there is no profile of that name.
int DeleteProfileCommand(const wchar_t *name, std::wstring *text);
// Every profile's name, one a line; always 0.
int ListProfilesCommand(std::wstring *text);

// The present arrangement stored under the name with the hotkey and the mark
// to apply itself; false when the name is invalid or nothing could be stored.
bool SaveCurrentArrangement(const wchar_t *name, WORD hotkey, BOOL autoApply = FALSE);
// The name of another profile that has the hotkey, "" when none does.
std::wstring ProfileWithHotkey(WORD hotkey, const wchar_t *except);
