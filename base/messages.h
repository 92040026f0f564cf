// The program's private window messages and the tray icon's callback, in one
// place so that no two of them share a number.
#pragma once
#include <windows.h>

// The notification area reports mouse events on the icon (lParam: the mouse message).
#define WM_TRAYNOTIFY 1869
// A second copy of the program asks the running one to show its icon again.
#define WM_SHOW_AGAIN (WM_USER + 20)
// The icon view to the dialog: a picture was dropped (wParam item, lParam the
// new corner, x low and y high 16 bits).
#define WM_ICON_MOVED (WM_USER + 18)
// The icon view to the dialog: wParam item, lParam non-zero restores the
// label, zero hides it.
#define WM_ICON_TEXT (WM_USER + 19)
// Posted to the tab strip after a tab key: by then the strip has moved on its
// own or it never will.
#define WM_TAB_KEY_SETTLE (WM_APP + 1)
// The main window to itself once it runs: tell which profile hotkeys are taken.
#define WM_REPORT_HOTKEYS (WM_APP + 17)
// A wallpaper decoding thread to the canvas frame: its pictures are ready.
#define WM_WALLPAPER_DECODED (WM_APP + 14)
// Posted to the dialog once it is shown: the Icons page's slow start-up work.
#define WM_PREPARE_ICONS (WM_APP + 2)
// Posted to the dialog while icons are loaded: read the next chunk.
#define WM_ICON_LOAD_STEP (WM_APP + 3)
