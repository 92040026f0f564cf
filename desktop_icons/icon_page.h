// The desktop icons on the canvas of the Icons tab: the icon view window over
// the desktop miniature, the combo box's list of icons, real icons moved when
// their pictures are dropped, and put back on Cancel.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "desktop_icons/icon_view.h"

// One opening of the dialog's Icons page. The windows but the icon view are
// the dialog's; everything else is released by ReleaseIconPage.
struct IconPage {
    HWND combo;     // shared with the Windows page
    HWND miniature; // the desktop miniature the pictures lie over
    HWND listView;  // the shell's desktop icon list, or none
    IconView view;
    HWND viewWindow;
    HIMAGELIST images;
    // The shell's image index -> index in images (-1: no picture to be had).
    // The shell keeps one picture per index, so the list lives as long as the
    // page and each load only adds the indices it has not seen yet.
    std::vector<int> listedPictures;
    std::vector<POINT> savedPositions; // where the icons stood before the moves
    BOOL pending;                      // icons were moved since the last "&Apply" or "Cancel"
    int busyDepth;
    HCURSOR cursorBeforeBusy;
    HCURSOR waitCursor;
};

// Creates the icon view window (hidden) over the dialog and finds the shell's
// icon list; false when the window cannot be created.
bool SetUpIconPage(IconPage *page, HWND dialog, HWND combo, HWND miniature);
void ReleaseIconPage(IconPage *page);
// Fills the icon view and, with listInCombo, the combo box from the desktop;
// 0 when there is no icon to show.
int LoadCanvasIcons(IconPage *page, float scale, bool listInCombo);
// A picture was dropped: the desktop icon moves at once. True when this was
// the first move since the last "&Apply" or "Cancel".
bool OnIconMoved(IconPage *page, float scale, int index, LPARAM corner);
// Puts every icon back where it was when the positions were last taken.
void RestoreIconPositions(IconPage *page);
// The moves are final: the positions are taken afresh at the next load.
void CommitIconMoves(IconPage *page);
void SetBusyCursor(IconPage *page, int delta);
