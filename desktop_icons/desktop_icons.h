// The desktop icon tools: the channel to the shell's desktop icon list, the
// icons on the canvas of the Icons tab, the store of hidden icon labels and
// the icon view window that lies over the canvas.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <vector>

struct IFolderView;

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
// An operation's block, closed at the end of the scope; `open` says whether
// the shell's process could be reached.
struct ScopedSharedBlock {
    SharedBlock block;
    bool open;
    explicit ScopedSharedBlock(HWND listView) : block(), open(SharedBlockOpen(&block, listView) != 0) {}
    ~ScopedSharedBlock() { SharedBlockClose(&block); }
    ScopedSharedBlock(const ScopedSharedBlock &) = delete;
    ScopedSharedBlock &operator=(const ScopedSharedBlock &) = delete;
};
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
// What the icon covers (picture and label) relative to its position; 0 when
// it cannot be read.
int GetIconExtent(SharedBlock *block, int index, RECT *extent);
// The icon's 16 by 16 picture, taken in this process from the item's identity;
// null when there is none. The caller destroys it.
HICON GetIconPicture(SharedBlock *block, int index);

// The store of hidden labels.
// The label stored under the item number (capacity in characters), empty when
// there is none.
int LookupHiddenText(DWORD itemNumber, wchar_t *text, DWORD capacity);
int HideIconText(HWND listView, int index);
int RestoreIconText(HWND listView, int index);
int HideStoredIconTexts();
// At the main window's creation: the stored labels are hidden again when the
// option says so.
void StartupIconAction();
