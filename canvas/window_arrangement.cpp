// The Windows tab: other programs' windows listed, the chosen one's miniature, its moves.
// The real window follows the miniature live, and a table lets "Cancel" put
// every moved window back.
#include <windows.h>

#include <commctrl.h>

#include "canvas/canvas.h"
#include "settings/settings.h"

static const int LABEL_LIMIT = 255;
// A window that does not answer within this time is listed without its own icon.
static const UINT ICON_QUERY_MS = 100;
static const UINT COLLAPSE_FLAGS = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

static bool IsClass(const wchar_t *className, const wchar_t *name) { return lstrcmpW(className, name) == 0; }

// The first icon the window or its class offers.
static HICON WindowIcon(HWND window)
{
    const WPARAM kinds[2] = {ICON_SMALL, ICON_BIG};
    for (WPARAM kind : kinds) {
        DWORD_PTR icon = 0;
        if (SendMessageTimeoutW(window, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, ICON_QUERY_MS,
                                &icon) &&
            icon)
            return reinterpret_cast<HICON>(icon);
    }
    if (HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM)))
        return icon;
    return reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
}

static bool IsListable(const CanvasState *state, HWND window, const wchar_t *className)
{
    if (IsClass(className, L"Progman"))
        return false;
    if (!state->options[OPT_SHOW_TRAY_BAR_AS_WINDOW] &&
        (IsClass(className, L"BaseBar") || IsClass(className, L"Shell_TrayWnd")))
        return false;
    if (window == state->dialog)
        return false;
    LONG style = GetWindowLongW(window, GWL_STYLE);
    if (!(style & WS_VISIBLE) || (style & (WS_MINIMIZE | WS_MAXIMIZE)))
        return false;
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.right != rect.left && rect.bottom != rect.top;
}

static BOOL CALLBACK AddWindowEntryProc(HWND window, LPARAM data)
{
    CanvasState *state = reinterpret_cast<CanvasState *>(data);
    wchar_t title[128] = L"", className[128] = L"";
    GetWindowTextW(window, title, 127);
    GetClassNameW(window, className, 127);
    if (!IsListable(state, window, className))
        return TRUE;
    if (!title[0])
        lstrcpyW(title, L"*Blank*");
    // Room for the longest title and class; the label keeps 255 characters.
    wchar_t label[2 * 128 + 8];
    if (state->options[OPT_SHOW_WINDOW_CLASS_NAME])
        wsprintfW(label, L"%s - '%s'", title, className);
    else
        lstrcpyW(label, title);
    label[LABEL_LIMIT] = L'\0';

    int image = -1;
    if (HICON icon = WindowIcon(window))
        image = ImageList_ReplaceIcon(state->windowImages, -1, icon);

    // Each entry goes on top, so the list runs from the bottom of the Z order up.
    COMBOBOXEXITEMW entry = {};
    entry.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
    entry.iItem = 0;
    entry.pszText = label;
    entry.cchTextMax = LABEL_LIMIT;
    entry.iImage = image;
    entry.iSelectedImage = image;
    entry.lParam = reinterpret_cast<LPARAM>(window);
    SendMessageW(state->windowCombo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    return TRUE;
}

void FillWindowCombo(CanvasState *state)
{
    if (state->mode != CANVAS_WINDOWS)
        return;
    SendMessageW(state->windowCombo, CB_RESETCONTENT, 0, 0);
    // The previous filling's icons go first, so the list does not grow.
    ImageList_Remove(state->windowImages, -1);
    EnumWindows(AddWindowEntryProc, reinterpret_cast<LPARAM>(state));
    ShowWindow(state->windowMiniature, SW_SHOW);
    StartSyncTimer(state);
}

HWND GetSelectedWindow(CanvasState *state)
{
    int selected = (int)SendMessageW(state->windowCombo, CB_GETCURSEL, 0, 0);
    if (selected == -1)
        return nullptr;
    COMBOBOXEXITEMW entry = {};
    entry.mask = CBEIF_LPARAM;
    entry.iItem = selected;
    if (!SendMessageW(state->windowCombo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry)))
        return nullptr;
    HWND window = reinterpret_cast<HWND>(entry.lParam);
    RECT rect;
    if (!window || !IsWindow(window) || !GetWindowRect(window, &rect))
        return nullptr;
    return window;
}

void InvalidateScreenItems(CanvasState *state)
{
    for (int i = ShownScreenItems(state) - 1; i >= 0; i--)
        InvalidateRect(state->screenItems[i], nullptr, FALSE);
}

void CollapseMiniature(CanvasState *state)
{
    ShowWindow(state->windowMiniature, SW_HIDE);
    SetWindowPos(state->windowMiniature, nullptr, 0, 0, 0, 0, COLLAPSE_FLAGS);
}

void SyncWindowMiniature(CanvasState *state)
{
    state->targetWindow = GetSelectedWindow(state);
    if (!state->targetWindow)
        return;
    RECT window;
    GetWindowRect(state->targetWindow, &window);
    RECT place = DesktopRectToCanvas(window, VirtualScreenCorner(), state->desktopOrigin, state->scale);
    RECT old;
    GetWindowRectIn(state->windowMiniature, &old, state->dialog);
    MoveWindowToClientPoint(state->windowMiniature, nullptr, place.left, place.top, place.right - place.left,
                            place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE, state->dialog);
    if (old.left != place.left || old.top != place.top || old.right - old.left != place.right - place.left ||
        old.bottom - old.top != place.bottom - place.top)
        InvalidateScreenItems(state);
}

// The timer is not restarted here: the miniature follows the real window
// again after the next drag or when the list is filled again.
void ShowSelectedWindow(CanvasState *state)
{
    StopSyncTimer(state);
    CollapseMiniature(state);
    SyncWindowMiniature(state);
    ShowWindow(state->windowMiniature, SW_SHOW);
}

BOOL StartSyncTimer(CanvasState *state)
{
    if (state->timerRunning)
        return FALSE;
    SetTimer(state->dialog, state->timerId, CANVAS_TIMER_MS, nullptr);
    state->timerRunning = TRUE;
    return TRUE;
}

void StopSyncTimer(CanvasState *state)
{
    if (!state->timerRunning)
        return;
    KillTimer(state->dialog, state->timerId);
    state->timerRunning = FALSE;
}

bool PlaceTargetWindow(CanvasState *state, int left, int top)
{
    RememberPlacement(state, state->targetWindow);
    SetWindowPos(state->targetWindow, HWND_TOP, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // A window of higher rights (UIPI), or one that keeps its own place, stays.
    RECT now;
    state->targetRefused = GetWindowRect(state->targetWindow, &now) && (now.left != left || now.top != top);
    return !state->targetRefused;
}

// Each axis from the start, so the one the pointer did not move stays exact
// and no rounding piles up over many moves.
void MoveTargetByTravel(CanvasState *state, int x, int y)
{
    PlaceTargetWindow(state, state->dragStart.left + ScaleToDesktop(x - state->dragPress.x, state->scale),
                      state->dragStart.top + ScaleToDesktop(y - state->dragPress.y, state->scale));
}

bool MarkWindowsMoved(CanvasState *state)
{
    if (state->windowsPending)
        return false;
    state->windowsPending = TRUE;
    return true;
}

BOOL RememberPlacement(CanvasState *state, HWND window)
{
    if (!IsWindow(window))
        return FALSE;
    for (int i = 0; i < state->undoCount; i++)
        if (state->undoTable[i].window == window)
            return TRUE;
    if (state->undoCount == state->undoCapacity) {
        SavedPlacement *grown = new SavedPlacement[state->undoCapacity + UNDO_TABLE_STEP];
        for (int i = 0; i < state->undoCount; i++)
            grown[i] = state->undoTable[i];
        delete[] state->undoTable;
        state->undoTable = grown;
        state->undoCapacity += UNDO_TABLE_STEP;
    }
    RECT rect;
    GetWindowRect(window, &rect);
    state->undoTable[state->undoCount++] = {window, rect.left, rect.top};
    return TRUE;
}

void CommitWindowMoves(CanvasState *state)
{
    delete[] state->undoTable;
    state->undoTable = nullptr;
    state->undoCount = 0;
    state->undoCapacity = 0;
}

// Position only: the Z order keeps the raise of the drag.
void RestoreWindowMoves(CanvasState *state)
{
    for (int i = 0; i < state->undoCount; i++) {
        const SavedPlacement &saved = state->undoTable[i];
        if (IsWindow(saved.window))
            SetWindowPos(saved.window, nullptr, saved.left, saved.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CommitWindowMoves(state);
}
