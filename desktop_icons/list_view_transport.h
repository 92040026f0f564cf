// The cross-process transport to the shell's desktop icon list view.
// The list view lives in the shell's process, so every record and text buffer
// a message points at is placed in that process: one operation opens a buffer
// there, sends its messages (each bounded in time) and frees it at its end.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <limits.h>
#include <shobjidl.h>

#include <vector>

#include "base/scoped.h"
#include "desktop_icons/folder_view_worker.h"

// In characters, the terminating zero included.
#define ICON_TEXT_CAPACITY 512
// A desktop holds thousands of icons, not millions: a count above this is
// taken as this many.
#define ICON_COUNT_LIMIT 10000
// The image index a batch read leaves on an icon the shell did not answer for.
#define ICON_UNANSWERED (INT_MIN + 1)

// One desktop icon as the program sees it.
struct DesktopIcon {
    int index; // position in the list view's item order, from 0
    int x, y;  // upper-left corner in the list view's coordinates
    int image; // the shell's image index, -1 for none
    WCHAR text[ICON_TEXT_CAPACITY];
    DWORD itemNumber;    // the item's value, taken as the icon's identity
    ULONGLONG itemValue; // the whole item value: in the shell's process, the item's ID list
};

// What the channel's owner keeps between operations (desktop_icons/folder_view.h).
struct ShellChannel;

// One operation's link to the shell's desktop list view, opened by
// ScopedSharedBlock at the operation's start and closed at its end.
struct SharedBlock {
    HWND listView = nullptr;
    ScopedHandle process;              // the list view's process
    RemoteMemory view;                 // the buffer in that process, or none
    bool shell64 = false;              // the shell expects the 64-bit item record
    ShellChannel *channel;             // the owner's memory of the shell; may be null
    ScopedFolderViewWorker folderView; // on the desktop's folder view, when it is usable
    bool folderViewAsked = false;
    bool unanswered = false;  // a message or call went unanswered: nothing more is sent
    bool countCapped = false; // the shell reported more than ICON_COUNT_LIMIT icons
    SharedBlock(HWND listView, ShellChannel *channel);
    SharedBlock(const SharedBlock &) = delete;
    SharedBlock &operator=(const SharedBlock &) = delete;
    bool Open() const { return view.address != nullptr; }
};

// An operation's block with COM for its length (the pictures need it); `open`
// says whether the shell's process could be reached: not without a list view
// or when the shell's process refuses.
struct ScopedSharedBlock {
    ScopedComApartment com; // ended after the block
    SharedBlock block;
    bool open;
    explicit ScopedSharedBlock(HWND listView, ShellChannel *channel = nullptr)
        : block(listView, channel), open(block.Open())
    {
    }
    ScopedSharedBlock(const ScopedSharedBlock &) = delete;
    ScopedSharedBlock &operator=(const ScopedSharedBlock &) = delete;
};

// "Progman" > "SHELLDLL_DefView" > "SysListView32", or where newer shells put
// it, a top-level "WorkerW" holding the "SHELLDLL_DefView"; null without one.
HWND FindDesktopListView();

// The operations, each addressed by item index; they do nothing on a block
// that is not open or whose shell has stopped answering.
// At most ICON_COUNT_LIMIT (countCapped set when the shell claims more).
int GetIconCount(SharedBlock *block);
// Image, text and number (and with positions, the list view's position) of
// many icons at once, their index fields set; the number of icons the shell
// answered for, 0 when nothing could be read. Icons the shell did not answer
// for keep ICON_UNANSWERED as their image, no text.
int ReadListViewIcons(SharedBlock *block, DesktopIcon *icons, int count, bool positions);
// ICON_UNANSWERED read as no picture (-1).
void ForgetUnanswered(DesktopIcon *icons, int count);
// ReadListViewIcons without the positions, at half the messages; missing
// items read as empty, with no picture.
int ReadDesktopIconNames(SharedBlock *block, DesktopIcon *icons, int count);
// Text and number of icon->index; 0 when the item is missing.
int ReadIconText(SharedBlock *block, DesktopIcon *icon);
// The item's label (when label is not null, ICON_TEXT_CAPACITY characters)
// and its whole value; false when the item is missing.
bool ReadItemValue(SharedBlock *block, int index, WCHAR *label, ULONGLONG *value);
int SetIconText(SharedBlock *block, int index, const wchar_t *text);
// What the icon covers (picture and label) relative to its position; 0 when
// it cannot be read.
int GetIconExtent(SharedBlock *block, int index, RECT *extent);
// The item value's ID list in the shell's process, copied here (CoTaskMemAlloc);
// null when it cannot be read whole.
LPITEMIDLIST CopyIdList(const SharedBlock *block, ULONGLONG address);
// Moves one icon through the list view.
int MoveListViewIcon(SharedBlock *block, int index, int x, int y);
// Moves the icons not marked done (each places[k] for indices[k]) in one
// batch through the list view; the number of moves handed over.
int MoveListViewIcons(SharedBlock *block, const int *indices, const POINT *places, int count,
                      const std::vector<char> &done);

#ifdef TESSIVON_BENCH_COUNTERS
// Messages sent to the shell's list view since the program started; only the
// benchmarks' build of the program counts them.
extern long ShellMessageCount;
#endif
