// The hidden main window: the tray icon's clicks, the two menus built from the
// display catalogue, the program's commands; its display changes go through
// the display session it holds.
#pragma once
#include <windows.h>

#include <string>

#include "app/profile_menu.h"
#include "app/tray_icon.h"
#include "base/facts.h"
#include "base/scoped.h"
#include "display/catalogue.h"
#include "session/auto_profile.h"
#include "session/display_session.h"

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
    BOOL commandUnderWay;      // a handed-over command runs; the next one is sent again
    DisplaySession session;    // every display change: what Escape puts back, the question, the icons
    ProfileMenu profiles;      // the "Profiles" submenu and the hotkeys
    std::wstring takenHotkeys; // told once, after start-up
    int labelPassRetries;      // the start-up pass over the hidden labels, tried again

    // The marked profiles follow the monitors attached, told as they come and go.
    AutoProfileWatch autoProfiles;
    ScopedDeviceNotification monitorArrivals;
};

// The catalogue of the displays and the two menus from the menu resource, as
// start-up makes them.
void BuildProgramMenus(MainWindowState *state, HINSTANCE instance);
void FreeProgramMenus(MainWindowState *state);

// Switches the display to the catalogue entry as a pick from the tray menu
// does: with the option ConfirmModeChange on (the default) the question
// follows; with it off the mode is stored at once. A refusal is told in a
// message box. True when the new mode stays; refused (false) while a question
// is shown.
bool PickMode(MainWindowState *state, int display, int entry);

bool RegisterMainWindowClass(HINSTANCE instance);
// The hidden main window for the state; null when it cannot be created.
HWND CreateMainWindow(MainWindowState *state, HINSTANCE instance);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
