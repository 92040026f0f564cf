// The Icons page's state and its operations: the desktop icons on the canvas of the Icons tab.
// The icon view window over the desktop miniature, the combo box's list of
// icons, real icons moved when their pictures are dropped, and put back on Cancel.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "desktop_icons/folder_view.h"
#include "desktop_icons/icon_view.h"

// One opening of the dialog's Icons page. The windows but the icon view are
// the dialog's; everything else is released by ReleaseIconPage.
struct IconPage {
    HWND combo;     // shared with the Windows page
    HWND miniature; // the desktop miniature the pictures lie over
    HWND listView;  // the shell's desktop icon list, or none
    ShellChannel channel;
    IconView view;
    HWND viewWindow;
    HIMAGELIST images;
    // The shell's image index -> index in images (-1: no picture to be had).
    // The shell keeps one picture per index, so the list lives as long as the
    // page and each load only adds the indices it has not seen yet.
    std::vector<int> listedPictures;
    std::vector<POINT> savedPositions; // where the icons stood before the moves
    // The same icons' identities, taken at the first move: a shell started
    // anew numbers its icons in another order.
    std::vector<std::wstring> savedIdentities;
    BOOL savedFromOtherShell; // the shell has started anew since the positions were taken
    BOOL pending;             // icons were moved since the last "&Apply" or "Cancel"
    // The combo box's entries of the last load, put in when it is opened.
    std::vector<std::wstring> comboLabels;
    std::vector<int> comboPictures;
    // The load under way, a chunk of icons at a time.
    BOOL loading;
    int loadNext, loadCount; // the next item to read, the items to read
    BOOL loadTakesPositions; // it takes the places to go back to
    BOOL loadListsInCombo;
    BOOL shellUnanswered; // the last load found the shell not answering
    BOOL countCapped;     // the shell reported more icons than are read
    int busyDepth;
    HCURSOR cursorBeforeBusy;
    HCURSOR waitCursor;
};

// Every second while the dialog is open the Icons page looks whether the
// shell answers again or has started anew.
#define ICON_SHELL_TIMER_ID 0x1C0
#define ICON_SHELL_TIMER_MS 1000
// The next chunk of a load comes on this timer when input waits (a timer
// message is handled after it).
#define ICON_LOAD_TIMER_ID 0x1C1
#define ICON_LOAD_CHUNK 100

// Creates the icon view window (hidden) over the dialog and finds the shell's
// icon list; false when the window cannot be created.
bool SetUpIconPage(IconPage *page, HWND dialog, HWND combo, HWND miniature);
void ReleaseIconPage(IconPage *page);
// Fills the icon view and, with listInCombo, the combo box's entries (put in
// when it opens, FillIconCombo) from the desktop; 0 when there is no icon to show.
int LoadCanvasIcons(IconPage *page, float scale, bool listInCombo);
// The same a chunk at a time, so that the page answers and draws the icons
// as they arrive: Begin empties the icon view, each Continue adds the next
// ICON_LOAD_CHUNK icons and says whether more are to come. A new load, or
// LoadCanvasIcons, takes the place of one under way.
void BeginCanvasIconLoad(IconPage *page, bool listInCombo);
bool ContinueCanvasIconLoad(IconPage *page, float scale);
void FillIconCombo(IconPage *page);
// Work that would otherwise fall on the first entry into the page, done once
// the dialog shows: the channel's start-up and the pictures.
void PrepareIconPage(IconPage *page, float scale);
// The one line the page shows about the shell, or null when all is well.
const wchar_t *IconPageProblem(const IconPage *page);
// Looks for the shell's list view again; true when it is another one (the
// shell started anew or went away): the icons are then to be loaded again.
bool FollowShell(IconPage *page);
// A picture was dropped: the desktop icon moves at once. True when this was
// the first move since the last "&Apply" or "Cancel".
bool OnIconMoved(IconPage *page, float scale, int index, LPARAM corner);
// Puts every icon back where it was when the positions were last taken.
void RestoreIconPositions(IconPage *page);
// The moves are final: the positions are taken afresh at the next load.
void CommitIconMoves(IconPage *page);
void SetBusyCursor(IconPage *page, int delta);
