// The desktop icon tools: the channel to the shell's desktop icon list, the
// icons on the canvas of the Icons tab, the store of hidden icon labels and
// the icon view window that lies over the canvas.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

struct IFolderView;

// In characters, the terminating zero included.
#define ICON_TEXT_CAPACITY 512
// The longest the program waits for the shell to answer one message: a busy or
// hung shell must not freeze the tray icon or the dialog.
#define SHELL_ANSWER_BOUND_MS 300
// A desktop holds thousands of icons, not millions: a count above this is
// taken as this many.
#define ICON_COUNT_LIMIT 10000

// One desktop icon as the program sees it.
struct DesktopIcon {
    int index; // position in the list view's item order, from 0
    int x, y;  // upper-left corner in the list view's coordinates
    int image; // the shell's image index, -1 for none
    WCHAR text[ICON_TEXT_CAPACITY];
    DWORD itemNumber;    // the item's value, taken as the icon's identity
    ULONGLONG itemValue; // the whole item value: in the shell's process, the item's ID list
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
    bool unanswered;  // a message went unanswered: nothing more is sent
    bool countCapped; // the shell reported more than ICON_COUNT_LIMIT icons
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
// that is not open or whose shell has stopped answering.
// At most ICON_COUNT_LIMIT (countCapped set when the shell claims more).
int GetIconCount(SharedBlock *block);
// Position, image, text and number of many icons at once (their index fields
// set); the number of icons the shell answered for, 0 when nothing could be
// read. Items missing meanwhile read as empty, with no picture.
int ReadDesktopIcons(SharedBlock *block, DesktopIcon *icons, int count);
// The same without the positions, at half the messages.
int ReadDesktopIconNames(SharedBlock *block, DesktopIcon *icons, int count);
// Every icon of the list view, in item order (empty when none can be read;
// missing ones at the end left off); without positions it asks the shell's
// folder view nothing.
std::vector<DesktopIcon> ReadEveryDesktopIcon(SharedBlock *block, bool positions = true);
// Text and number of icon->index; 0 when the item is missing.
int ReadIconText(SharedBlock *block, DesktopIcon *icon);
int SetIconText(SharedBlock *block, int index, const wchar_t *text);
int SetIconPosition(SharedBlock *block, int index, int x, int y);
// Moves many icons in one batch (each places[k] for indices[k]), through the
// folder view where it holds the list view, else the list view. Gives the
// number of moves handed over.
int SetIconPositions(SharedBlock *block, const int *indices, const POINT *places, int count);
// The parsing names of the items' ID lists, read across (a path for a file),
// each empty when there is none; the number named.
int IconParsingNames(SharedBlock *block, const DesktopIcon *icons, int count, std::wstring *names);
// The icon's identity, the same in a shell started anew: the parsing name of
// its ID list, else its label. 0 when the item is missing.
int GetIconIdentity(SharedBlock *block, int index, wchar_t *identity, int capacity);
// Starts what the channel needs once (COM, the question for the desktop's
// folder view), so that the first operation does not wait for it.
void PrepareShellChannel(HWND listView);
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
// 1 when done, 0 when there was no shell or it stopped answering: the labels
// blanked so far stay blanked and stored, and a later pass does the rest.
int HideStoredIconTexts();
// At the main window's creation: the stored labels are hidden again when the
// option says so. False when it is to be tried again later.
bool StartupIconAction();
