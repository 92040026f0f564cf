// The hidden main window: the tray icon's clicks, the two menus, mode
// switches with their Escape undo, and the program's commands.
#pragma once
#include <windows.h>

#include "app/tray_icon.h"
#include "base/facts.h"
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
    int labelPassRetries; // the start-up pass over the hidden labels, tried again
};

// The catalogue of the displays and the two menus from the menu resource, as
// start-up makes them.
void BuildProgramMenus(MainWindowState *state, HINSTANCE instance);
void FreeProgramMenus(MainWindowState *state);

bool RegisterMainWindowClass(HINSTANCE instance);
// The hidden main window for the state; null when it cannot be created.
HWND CreateMainWindow(MainWindowState *state, HINSTANCE instance);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
