// The desktop icon layer of the Extended Display Properties dialog: the icon
// view window that lies over the canvas on the Icons tab.
#pragma once
#include <windows.h>

#include <commctrl.h>

// Sent by the icon view window to its parent, the dialog.
#define WM_ICON_MOVED (WM_USER + 18) // wParam item, lParam new corner (x low, y high 16 bits)
#define WM_ICON_TEXT (WM_USER + 19)  // wParam item, lParam non-zero restores the label, zero hides it

// Commands of the icon view's two popup menus.
#define ID_SHOW_ICON_TEXT 40014
#define ID_RESTORE_ALL_TEXTS 40016
#define ID_HIDE_ALL_TEXTS 40017
#define ID_SAVE_ICON_POSITIONS 40018

// An item's state bit: the desktop icon's label is hidden.
#define ICON_TEXT_HIDDEN 0x80

#define ICON_VIEW_CLASS "IconViewClass"
#define ICON_VIEW_GROWTH 20

struct IconViewItem {
    DWORD state;
    int image; // index into the view's images, -1 for none
    int x;     // upper-left corner in the view's client coordinates
    int y;
};

// The icon view object, embedded in the dialog's state. Starts all zero.
struct IconView {
    HMENU itemMenu;    // "&Show Icon Text"
    HMENU desktopMenu; // "&Save Icons Position", "&Hide all Icons Texts", "&Restore all Icons Texts"
    HINSTANCE instance;
    BOOL dragging;
    int selected; // -1 for none
    int count;
    int capacity;
    BOOL created;      // the window and the menus exist
    HIMAGELIST images; // not owned: the dialog owns its icon images
    HWND window;
    IconViewItem *items; // owned; allocated with new[], grows by ICON_VIEW_GROWTH
    POINT dragOffset;    // picture corner minus cursor position when the drag began
};

// The one object whose window procedure is active; the procedure reaches its
// object only through it.
extern IconView *IconViewInstance;
extern BOOL IconViewClassRegistered;

// Registers "IconViewClass" once per process; 1 on success.
int IconViewRegisterClass(HINSTANCE instance);
// Creates the hidden child window and the two menus for the view. Gives the
// window, or null when another view is active or anything fails.
HWND IconViewCreate(IconView *view, HWND parent, HINSTANCE instance, const char *windowName);
// Releases the items, the window and the menus, and frees the active slot.
void IconViewDestroy(IconView *view);
LRESULT CALLBACK IconViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
