#include "desktop_icons/desktop_icons.h"

IconView *IconViewInstance;
BOOL IconViewClassRegistered;

int IconViewRegisterClass(HINSTANCE instance)
{
    if (IconViewClassRegistered)
        return 1;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = IconViewWindowProc;
    windowClass.hInstance = instance;
    // No background brush: between the pictures the canvas stays visible.
    windowClass.lpszClassName = ICON_VIEW_CLASS;
    if (!RegisterClassExA(&windowClass))
        return 0;
    IconViewClassRegistered = TRUE;
    return 1;
}

static void InsertMenuText(HMENU menu, UINT id, const char *text)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.wID = id;
    item.dwTypeData = const_cast<char *>(text);
    InsertMenuItemA(menu, 0, TRUE, &item);
}

HWND IconViewCreate(IconView *view, HWND parent, HINSTANCE instance, const char *windowName)
{
    if (IconViewInstance)
        return nullptr;
    // The window procedure reaches its object through this, already while the
    // window is being created.
    IconViewInstance = view;
    if (view->created)
        return nullptr;
    view->instance = instance;
    if (!IconViewRegisterClass(instance))
        return nullptr;
    view->window = CreateWindowExA(WS_EX_NOPARENTNOTIFY, ICON_VIEW_CLASS, windowName, WS_CHILD | WS_TABSTOP,
                                   0, 0, 0, 0, parent, nullptr, instance, nullptr);
    if (!view->window)
        return nullptr;
    view->itemMenu = CreatePopupMenu();
    InsertMenuText(view->itemMenu, ID_SHOW_ICON_TEXT, "&Show Icon Text");
    view->desktopMenu = CreatePopupMenu();
    InsertMenuText(view->desktopMenu, ID_RESTORE_ALL_TEXTS, "&Restore all Icons Texts");
    InsertMenuText(view->desktopMenu, ID_HIDE_ALL_TEXTS, "&Hide all Icons Texts");
    InsertMenuText(view->desktopMenu, ID_SAVE_ICON_POSITIONS, "&Save Icons Position");
    view->created = TRUE;
    return view->window;
}

void IconViewDestroy(IconView *view)
{
    if (IconViewInstance == view)
        IconViewInstance = nullptr;
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

LRESULT CALLBACK IconViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}
