// The folder-view path to the desktop's icons, and the icon positions read and set through it.
// Newer shells move desktop icons only through the desktop's folder view; it
// stands for the list view only where it is the very view that holds the list
// view, otherwise (as under Wine) the list view itself is used.
#pragma once
#include <windows.h>

#include <vector>

#include "desktop_icons/list_view_transport.h"

// What the channel's owner (the Icons page, the icon layout keeper) keeps
// between operations; starts all zero.
struct ShellChannel {
    HWND folderViewRefusedFor; // the shell offered a folder view of another window: not asked again
    // A worker whose folder-view call went unanswered: while it waits, every
    // operation that needs the folder view fails at once; once it is back,
    // the folder view is asked for again.
    ScopedFolderViewWorker unanswered;
};

// Asks for the desktop's folder view once the dialog shows, so that the first
// move does not wait for it.
void PrepareShellChannel(HWND listView, ShellChannel *channel);
// Position, image, text and number of many icons at once (their index fields
// set); the number of icons the shell answered for, 0 when nothing could be
// read. Items missing meanwhile read as empty, with no picture.
int ReadDesktopIcons(SharedBlock *block, DesktopIcon *icons, int count);
// Every icon of the list view, in item order (empty when none can be read;
// missing ones at the end left off); without positions it asks the shell's
// folder view nothing.
std::vector<DesktopIcon> ReadEveryDesktopIcon(SharedBlock *block, bool positions = true);
int SetIconPosition(SharedBlock *block, int index, int x, int y);
// Moves many icons in one batch (each places[k] for indices[k]), through the
// folder view where it holds the list view, else the list view. Gives the
// number of moves handed over.
int SetIconPositions(SharedBlock *block, const int *indices, const POINT *places, int count);
