// The icon view window over the Icons tab's canvas: one picture per desktop icon and two menus.
// The pictures are dragged with the pointer.
#pragma once
#include <windows.h>

#include <commctrl.h>

// Commands of the icon view's two popup menus.
#define ID_SHOW_ICON_TEXT 40014
#define ID_RESTORE_ALL_TEXTS 40016
#define ID_HIDE_ALL_TEXTS 40017
#define ID_SAVE_ICON_POSITIONS 40018
// ID_RESTORE_ICON_POSITIONS, shared with the tray's menu.
#include "resources/resource_ids.h"

// An item's state bit: the desktop icon's label is hidden.
#define ICON_TEXT_HIDDEN 0x80

#define ICON_VIEW_CLASS L"IconViewClass"
#define ICON_VIEW_GROWTH 20

struct IconViewItem {
    DWORD state;
    int image; // index into the view's images, -1 for none
    int x;     // upper-left corner in the view's client coordinates
    int y;
};

// The icon view object, embedded in the icon page's state. Starts all zero;
// the window keeps it in its user data.
struct IconView {
    HMENU itemMenu;    // "&Show Icon Text"
    HMENU desktopMenu; // "&Save Icons Position", "&Hide all Icons Texts", "&Restore all Icons Texts"
    HINSTANCE instance;
    BOOL dragging;
    int selected; // -1 for none
    int count;
    int capacity;
    BOOL created;      // the window and the menus exist
    HIMAGELIST images; // not owned: the icon page owns its icon images
    HWND window;
    IconViewItem *items; // owned; allocated with new[], grows by ICON_VIEW_GROWTH
    POINT dragOffset;    // picture corner minus cursor position when the drag began
};

// Registers "IconViewClass" (once per process); 1 on success.
int IconViewRegisterClass(HINSTANCE instance);
// Creates the hidden child window and the two menus for the view. Gives the
// window, or null when anything fails.
HWND IconViewCreate(IconView *view, HWND parent, HINSTANCE instance, const wchar_t *windowName);
// Releases the items, the window and the menus.
void IconViewDestroy(IconView *view);
LRESULT CALLBACK IconViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int IconViewHitTest(IconView *view, int x, int y);
// Ends a drag with a drop at the cursor's client position.
int IconViewEndDrag(IconView *view, int x, int y);
// Ends a drag without a drop: the picture goes back where it was picked up.
int IconViewCancelDrag(IconView *view);
