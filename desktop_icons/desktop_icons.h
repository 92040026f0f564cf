// The desktop icon tools: the channel to the shell's desktop icon list, the
// icons on the canvas of the Icons tab, the store of hidden icon labels and
// the icon view window that lies over the canvas.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <vector>

struct IFolderView;

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

// In characters, the terminating zero included.
#define ICON_TEXT_CAPACITY 512

// One desktop icon as the program sees it.
struct DesktopIcon {
    int index; // position in the list view's item order, from 0
    int x, y;  // upper-left corner in the list view's coordinates
    int image; // the shell's image index, -1 for none
    WCHAR text[ICON_TEXT_CAPACITY];
    DWORD itemNumber; // the item's value, taken as the icon's identity
};

// One operation's link to the shell's desktop list view: a buffer inside the
// shell's process (a pointer handed to the list view must be valid there),
// opened at the operation's start and closed at its end.
struct SharedBlock {
    HWND listView;
    HANDLE process;          // the list view's process
    void *view;              // the buffer in that process, or none
    bool shell64;            // the shell expects the 64-bit item record
    IFolderView *folderView; // the desktop's folder view, when it is usable
    bool folderViewAsked;
};

// Messages sent to the shell's list view since the program started; the
// benchmark reads it.
extern long ShellMessageCount;

// "Progman" > "SHELLDLL_DefView" > "SysListView32", or where newer shells put
// it, a top-level "WorkerW" holding the "SHELLDLL_DefView"; null without one.
HWND FindDesktopListView();
// 1 when the buffer could be had in the list view's process; 0 (and nothing to
// close) without a list view or when the shell's process cannot be reached.
int SharedBlockOpen(SharedBlock *block, HWND listView);
int SharedBlockClose(SharedBlock *block);
// The operations, each addressed by item index; they do nothing on a block
// that is not open.
int GetIconCount(SharedBlock *block);
// Position, image, text and number of many icons at once (their index fields
// set); 0 when nothing could be read. Items missing meanwhile read as empty.
int ReadDesktopIcons(SharedBlock *block, DesktopIcon *icons, int count);
// Every icon of the list view, in item order (empty when none can be read).
std::vector<DesktopIcon> ReadEveryDesktopIcon(SharedBlock *block);
// Text and number of icon->index; 0 when the item is missing.
int ReadIconText(SharedBlock *block, DesktopIcon *icon);
int SetIconText(SharedBlock *block, int index, const wchar_t *text);
int SetIconPosition(SharedBlock *block, int index, int x, int y);
// The icon's 16 by 16 picture, taken in this process from the item's identity;
// null when there is none. The caller destroys it.
HICON GetIconPicture(SharedBlock *block, int index);

// Icons on the canvas (the dialog's Icons tab).
// Fills the icon view and the combo box from the desktop; 0 when there is no
// icon to show.
int LoadCanvasIcons();
// A picture was dropped: the desktop icon moves at once.
int OnIconMoved(int index, LPARAM corner);
// Puts every icon back where it was when the positions were last taken.
int RestoreIconPositions();
extern int BusyCursorDepth;
extern HCURSOR CursorBeforeBusy;
void SetBusyCursor(int delta);

// The store of hidden labels.
// The label stored under the item number (capacity in characters), empty when
// there is none.
int LookupHiddenText(DWORD itemNumber, wchar_t *text, DWORD capacity);
int HideIconText(HWND listView, int index);
int RestoreIconText(HWND listView, int index);
int HideStoredIconTexts();
// At the main window's creation: the stored labels are hidden again when the
// option says so.
int StartupIconAction();

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
int IconViewHitTest(IconView *view, int x, int y);
// Ends a drag with a drop at the cursor's client position.
int IconViewEndDrag(IconView *view, int x, int y);
// Ends a drag without a drop: the picture goes back where it was picked up.
int IconViewCancelDrag(IconView *view);
