// The icon view window: its items, painting, drag and menus (desktop_icons/icon_view.h).
#include "desktop_icons/icon_view.h"

#include <stdlib.h>

#include "base/messages.h"
#include "base/scoped.h"
#include "base/window_class.h"

int IconViewRegisterClass(HINSTANCE instance)
{
    WNDCLASSEXW known = {};
    known.cbSize = sizeof(known);
    if (GetClassInfoExW(instance, ICON_VIEW_CLASS, &known))
        return 1;
    // No background brush: between the pictures the canvas stays visible.
    return RegisterPlainWindowClass(instance, ICON_VIEW_CLASS, IconViewWindowProc);
}

static void InsertMenuText(HMENU menu, UINT id, const wchar_t *text)
{
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.wID = id;
    item.dwTypeData = const_cast<wchar_t *>(text);
    InsertMenuItemW(menu, 0, TRUE, &item);
}

HWND IconViewCreate(IconView *view, HWND parent, HINSTANCE instance, const wchar_t *windowName)
{
    if (view->created)
        return nullptr;
    view->instance = instance;
    if (!IconViewRegisterClass(instance))
        return nullptr;
    view->window = CreateWindowExW(WS_EX_NOPARENTNOTIFY, ICON_VIEW_CLASS, windowName, WS_CHILD | WS_TABSTOP,
                                   0, 0, 0, 0, parent, nullptr, instance, view);
    if (!view->window)
        return nullptr;
    view->itemMenu = CreatePopupMenu();
    InsertMenuText(view->itemMenu, ID_SHOW_ICON_TEXT, L"&Show Icon Text");
    view->desktopMenu = CreatePopupMenu();
    InsertMenuText(view->desktopMenu, ID_RESTORE_ALL_TEXTS, L"&Restore all Icons Texts");
    InsertMenuText(view->desktopMenu, ID_HIDE_ALL_TEXTS, L"&Hide all Icons Texts");
    InsertMenuText(view->desktopMenu, ID_RESTORE_ICON_POSITIONS, L"&Restore Icons Position");
    InsertMenuText(view->desktopMenu, ID_SAVE_ICON_POSITIONS, L"&Save Icons Position");
    view->created = TRUE;
    return view->window;
}

void IconViewDestroy(IconView *view)
{
    if (view->window && IsWindow(view->window))
        SetWindowLongPtrW(view->window, GWLP_USERDATA, 0);
    if (view->created) {
        delete[] view->items;
        view->items = nullptr;
        view->count = 0;
        view->capacity = 0;
        // Usually gone already with the dialog, its parent.
        if (IsWindow(view->window))
            DestroyWindow(view->window);
        view->window = nullptr;
        view->created = FALSE;
    }
    if (view->itemMenu)
        DestroyMenu(view->itemMenu);
    if (view->desktopMenu)
        DestroyMenu(view->desktopMenu);
    view->itemMenu = nullptr;
    view->desktopMenu = nullptr;
}

static int IconViewAppendItem(IconView *view, const LVITEMW *item)
{
    if (view->count == view->capacity) {
        IconViewItem *grown = new IconViewItem[view->capacity + ICON_VIEW_GROWTH]();
        if (view->items)
            CopyMemory(grown, view->items, view->count * sizeof(IconViewItem));
        delete[] view->items;
        view->items = grown;
        view->capacity += ICON_VIEW_GROWTH;
    }
    // Never shown until a position is set.
    view->items[view->count] = {item->state & ICON_TEXT_HIDDEN, item->iImage, -100, -100};
    return view->count++;
}

static int IconViewSetItemPosition(IconView *view, int i, int x, int y)
{
    if (i >= view->count)
        return 0;
    if (i >= 0) {
        view->items[i].x = x;
        view->items[i].y = y;
    }
    return 1;
}

static SIZE PictureSize(const IconView *view)
{
    int width = 0, height = 0;
    ImageList_GetIconSize(view->images, &width, &height);
    return {width, height};
}

static void IconViewDrawItem(IconView *view, HDC dc, int i)
{
    const IconViewItem &item = view->items[i];
    ImageList_Draw(view->images, item.image, dc, item.x, item.y,
                   i == view->selected ? ILD_BLEND50 : ILD_NORMAL);
}

// Draws item i, or every item (later ones over earlier ones) when i < 0;
// then only those within the region to update, since a picture costs a trip
// to the display server: icons drawn as they arrive redraw no others.
static int IconViewPaint(IconView *view, int i)
{
    ScopedGdiObject<HRGN> update(CreateRectRgn(0, 0, 0, 0));
    GetUpdateRgn(view->window, update.handle, FALSE);
    ValidateRgn(view->window, update.handle);
    ScopedWindowDC window(view->window);
    HDC dc = window.dc;
    if (i >= 0 && i < view->count) {
        IconViewDrawItem(view, dc, i);
    } else if (i < 0) {
        SelectClipRgn(dc, update.handle);
        SIZE size = PictureSize(view);
        for (int k = 0; k < view->count; k++) {
            RECT picture = {view->items[k].x, view->items[k].y, view->items[k].x + size.cx,
                            view->items[k].y + size.cy};
            if (RectInRegion(update.handle, &picture))
                IconViewDrawItem(view, dc, k);
        }
    }
    return 0;
}

// The picture whose centre is nearest (horizontal plus vertical distance);
// the lower index on a tie; -1 outside every picture.
int IconViewHitTest(IconView *view, int x, int y)
{
    SIZE size = PictureSize(view);
    int halfWidth = size.cx / 2, halfHeight = size.cy / 2;
    int best = 10000, found = -1;
    for (int i = 0; i < view->count; i++) {
        int ax = abs(x - view->items[i].x - halfWidth);
        int ay = abs(y - view->items[i].y - halfHeight);
        if (ax <= halfWidth && ay <= halfHeight && ax + ay < best) {
            best = ax + ay;
            found = i;
        }
    }
    return found;
}

static int IconViewSelect(IconView *view, int i)
{
    if (i >= view->count)
        return 0;
    int old = view->selected;
    view->selected = i;
    if (old >= 0)
        IconViewPaint(view, old);
    if (i >= 0)
        IconViewPaint(view, i);
    return 1;
}

static int IconViewBeginDrag(IconView *view, int i, int x, int y)
{
    if (i < 0 || i >= view->count)
        return 0;
    view->dragging = TRUE;
    RECT box;
    GetWindowRect(view->window, &box);
    ClipCursor(&box);
    view->dragOffset = {view->items[i].x - x, view->items[i].y - y};
    IconViewSelect(view, i);
    ImageList_BeginDrag(view->images, view->items[i].image, -view->dragOffset.x, -view->dragOffset.y);
    ShowCursor(FALSE);
    ImageList_DragEnter(view->window, x, y);
    return 1;
}

// Undoes what a drag set up. The cursor is shown again only after a drag hid
// it: the display count would otherwise climb with every loss of activation,
// and the next drag could no longer hide the cursor.
static void StopDragFeedback(IconView *view)
{
    ImageList_EndDrag();
    if (view->dragging)
        ShowCursor(TRUE);
    ImageList_DragLeave(view->window);
    ClipCursor(nullptr);
}

static void InvalidatePicture(IconView *view, HWND window, POINT corner)
{
    SIZE size = PictureSize(view);
    RECT rect = {corner.x, corner.y, corner.x + size.cx, corner.y + size.cy};
    InvalidateRect(window, &rect, FALSE);
}

// The selected picture's place before the drop, as the parent sees it.
static void InvalidateOldPlace(IconView *view)
{
    if (view->selected < 0 || view->selected >= view->count)
        return;
    POINT corner = {view->items[view->selected].x, view->items[view->selected].y};
    ClientToScreen(view->window, &corner);
    HWND parent = GetParent(view->window);
    ScreenToClient(parent, &corner);
    InvalidatePicture(view, parent, corner);
}

int IconViewEndDrag(IconView *view, int x, int y)
{
    StopDragFeedback(view);
    if (!view->dragging)
        return 1;
    view->dragging = FALSE;
    InvalidateOldPlace(view);
    POINT corner = {view->dragOffset.x + x, view->dragOffset.y + y};
    IconViewSetItemPosition(view, view->selected, corner.x, corner.y);
    InvalidatePicture(view, view->window, corner);
    if (view->selected >= 0)
        SendMessageW(GetParent(view->window), WM_ICON_MOVED, view->selected, MAKELPARAM(corner.x, corner.y));
    return 1;
}

int IconViewCancelDrag(IconView *view)
{
    StopDragFeedback(view);
    if (view->dragging && view->selected >= 0 && view->selected < view->count)
        InvalidatePicture(view, view->window, {view->items[view->selected].x, view->items[view->selected].y});
    view->dragging = FALSE;
    return 1;
}

static void SetItemMenuCheck(IconView *view, bool checked)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    info.fState = checked ? MFS_CHECKED : 0;
    SetMenuItemInfoW(view->itemMenu, 0, TRUE, &info);
}

static void OnIconViewRightButton(IconView *view, int x, int y)
{
    int i = IconViewHitTest(view, x, y);
    IconViewSelect(view, i);
    POINT cursor;
    GetCursorPos(&cursor);
    HMENU menu = view->desktopMenu;
    if (i >= 0) {
        SetItemMenuCheck(view, !(view->items[i].state & ICON_TEXT_HIDDEN));
        menu = view->itemMenu;
    }
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, view->window, nullptr);
}

static void OnIconViewLeftButton(IconView *view, int x, int y)
{
    int i = IconViewHitTest(view, x, y);
    IconViewSelect(view, i);
    if (i >= 0)
        IconViewBeginDrag(view, i, x, y);
}

// The marks follow the request, not its outcome.
static void SetAllTexts(IconView *view, bool restore)
{
    HWND parent = GetParent(view->window);
    for (int i = 0; i < view->count; i++) {
        SendMessageW(parent, WM_ICON_TEXT, i, restore ? 1 : 0);
        if (restore)
            view->items[i].state &= ~ICON_TEXT_HIDDEN;
        else
            view->items[i].state |= ICON_TEXT_HIDDEN;
    }
}

static bool OnIconViewCommand(IconView *view, int id)
{
    switch (id) {
    case ID_SHOW_ICON_TEXT:
        if (view->selected >= 0 && view->selected < view->count) {
            IconViewItem &item = view->items[view->selected];
            SendMessageW(GetParent(view->window), WM_ICON_TEXT, view->selected,
                         item.state & ICON_TEXT_HIDDEN);
            item.state ^= ICON_TEXT_HIDDEN;
        }
        return true;
    case ID_RESTORE_ALL_TEXTS:
    case ID_HIDE_ALL_TEXTS:
        SetAllTexts(view, id == ID_RESTORE_ALL_TEXTS);
        return true;
    case ID_SAVE_ICON_POSITIONS:
    case ID_RESTORE_ICON_POSITIONS:
        // The layout is the whole desktop's: the parent acts on it.
        SendMessageW(GetParent(view->window), WM_COMMAND, id, 0);
        return true;
    }
    return false;
}

static LRESULT OnSetImageList(IconView *view, HIMAGELIST images)
{
    if (!images)
        return 0;
    HIMAGELIST previous = view->images;
    view->images = images;
    return reinterpret_cast<LRESULT>(previous);
}

static LRESULT OnDeleteAllItems(IconView *view)
{
    view->selected = -1;
    view->count = 0;
    return 1;
}

LRESULT CALLBACK IconViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    IconView *view = WindowCreationState<IconView>(window, message, lParam);
    if (!view)
        return DefWindowProcW(window, message, wParam, lParam);
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    switch (message) {
    case WM_CREATE:
        return 1;
    case WM_PAINT:
        return IconViewPaint(view, -1);
    case WM_COMMAND:
        if (OnIconViewCommand(view, LOWORD(wParam)))
            return 0;
        break;
    case WM_MOUSEMOVE:
        if (!view->dragging)
            break;
        ImageList_DragMove(x, y);
        return 0;
    case WM_LBUTTONDOWN:
        OnIconViewLeftButton(view, x, y);
        return 0;
    case WM_LBUTTONUP:
        if (!view->dragging)
            break;
        IconViewEndDrag(view, x, y);
        return 0;
    case WM_RBUTTONDOWN:
        OnIconViewRightButton(view, x, y);
        return 0;
    case LVM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(view->images);
    case LVM_SETIMAGELIST:
        return OnSetImageList(view, reinterpret_cast<HIMAGELIST>(lParam));
    case LVM_INSERTITEMW:
        return IconViewAppendItem(view, reinterpret_cast<const LVITEMW *>(lParam));
    case LVM_DELETEALLITEMS:
        return OnDeleteAllItems(view);
    case LVM_SETITEMPOSITION:
        return IconViewSetItemPosition(view, (int)wParam, x, y);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
