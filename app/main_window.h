// The hidden main window: the tray icon's clicks, the two menus, mode
// switches with their Escape undo, and the program's commands.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "app/tray_icon.h"
#include "base/facts.h"
#include "base/profile.h"
#include "desktop_icons/icon_layout.h"
#include "display/catalogue.h"

#define MAIN_WINDOW_CLASS PROGRAM_TITLE

// Everything the main window works with; handed to CreateMainWindow and kept
// in the window's user data. Start-up owns it for the program's run.
struct MainWindowState {
    HWND window;
    HMENU menus; // the menu resource; its popups are the two menus below
    HMENU displayMenu;
    HMENU commandMenu;
    DisplayCatalogue catalogue;
    TrayIcon tray;
    UINT taskbarCreatedMessage; // sent by the shell when the taskbar is re-created
    POINT menuPoint;
    BOOL dialogOpen;
    BOOL clickPending;    // a single click waits for the double-click time
    BOOL doubleClickSeen; // the button-up after a double click opens nothing
    SHORT leftWasDown;
    SHORT rightWasDown;
    ModeSnapshot savedModes[MAX_DISPLAYS]; // what Escape puts back
    BOOL modeChanged;
    BOOL confirming;             // the keep-or-revert question is shown; the tray waits
    BOOL commandUnderWay;        // a handed-over command runs; the next one is sent again
    int confirmSeconds;          // its countdown; 0 for KEEP_OR_REVERT_SECONDS
    IconLayoutKeeper iconLayout; // the desktop icons' layout across display changes
    // Profiles (app/profile_menu.cpp).
    HMENU profilesMenu;                       // the "Profiles" submenu, refilled before the menu opens
    std::vector<Profile> menuProfiles;        // what its items stand for
    std::vector<std::wstring> hotkeyProfiles; // hotkey id k + 1 applies the profile named k
    std::wstring takenHotkeys;                // told once, after start-up
    Profile arrangementBefore;                // what Escape puts back after a profile
    BOOL profileApplied;                      // Escape restores arrangementBefore, not savedModes
    int labelPassRetries;                     // the start-up pass over the hidden labels, tried again
};

// The catalogue of the displays and the two menus from the menu resource, as
// start-up makes them.
void BuildProgramMenus(MainWindowState *state, HINSTANCE instance);
void FreeProgramMenus(MainWindowState *state);

// Switches the display to the catalogue entry as a pick from the tray menu
// does: with the option ConfirmModeChange on (the default) through
// SwitchModesAndConfirm; with it off, stored at once. A refusal is told in a
// message box. True when the new mode stays; refused (false) while a question
// is shown.
bool SwitchModeAndConfirm(MainWindowState *state, int display, int entry);
// Puts each display into its mode in after (one record per catalogue display;
// one equal to the display's current mode is left alone) for the moment only,
// then asks keep or revert, centred on display shownOn (SwitchThenConfirm).
// The snapshot taken first is what the question and then Escape go back to;
// the tray menus wait meanwhile. Tells nothing: gives the platform's result
// for the caller to report, DISP_CHANGE_FAILED while another question is
// shown. *kept tells whether the new modes stay.
LONG SwitchModesAndConfirm(MainWindowState *state, const ModeSnapshot *after, int shownOn, bool *kept);

bool RegisterMainWindowClass(HINSTANCE instance);
// The hidden main window for the state; null when it cannot be created.
HWND CreateMainWindow(MainWindowState *state, HINSTANCE instance);
// Call right before every display change the program makes (a mode picked,
// Escape, the command line, a profile): with KeepIconLayout on, the present
// setup's icon layout is saved, and the new setup's is restored once the
// shell has rearranged the icons after WM_DISPLAYCHANGE.
void PrepareDisplayChange(MainWindowState *state);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
