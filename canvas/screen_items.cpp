// One screen item per monitor, and the tables of records, items and digit fonts.
// The dialog template holds three; further monitors get statics made alike,
// and the tables grow with them.
#include "canvas/canvas.h"

#include <commctrl.h>

#include "base/facts.h"
#include "resources/resource_ids.h"

static const int TemplateItemIds[TEMPLATE_SCREEN_ITEMS] = {IDC_SCREEN_ITEM_1, IDC_SCREEN_ITEM_2,
                                                           IDC_SCREEN_ITEM_3};

void ScreenNumberText(int index, wchar_t *text) { wsprintfW(text, L"%d", index + 1); }

template <typename T> static void Grow(T *&table, int used, int size)
{
    T *grown = new T[size]();
    for (int i = 0; i < used; i++)
        grown[i] = table[i];
    delete[] table;
    table = grown;
}

static void GrowTables(CanvasState *canvas, int size)
{
    Grow(canvas->screenItems, canvas->screenItemCount, size);
    Grow(canvas->screenFonts, canvas->screenItemCount, size);
    Grow(canvas->screens, canvas->screenItemCount, size);
}

static void AddItem(CanvasState *canvas, HWND item)
{
    int index = canvas->screenItemCount++;
    canvas->screenItems[index] = item;
    SetWindowSubclass(item, CanvasSubclassProc, 0, reinterpret_cast<DWORD_PTR>(canvas));
    SetWindowPos(item, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AdoptTemplateScreenItems(CanvasState *canvas)
{
    GrowTables(canvas, TEMPLATE_SCREEN_ITEMS);
    for (int id : TemplateItemIds)
        AddItem(canvas, GetDlgItem(canvas->dialog, id));
}

// Made like the template's items and stacked right below the previous one, so
// that it lies over the desktop miniature as they do.
static HWND MakeScreenItem(CanvasState *canvas, int index)
{
    wchar_t number[12];
    ScreenNumberText(index, number);
    HWND item =
        CreateWindowExW(0, L"Static", canvas->zooming ? L"" : number, WS_CHILD | SS_CENTER | SS_CENTERIMAGE,
                        0, 0, 0, 0, canvas->dialog, nullptr, InstanceHandle, nullptr);
    if (item && index > 0)
        SetWindowPos(item, canvas->screenItems[index - 1], 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return item;
}

bool MatchScreenItems(CanvasState *canvas, int count)
{
    if (count > MAX_SCREEN_ITEMS)
        count = MAX_SCREEN_ITEMS;
    if (count > canvas->screenItemCount) {
        GrowTables(canvas, count);
        while (canvas->screenItemCount < count) {
            HWND item = MakeScreenItem(canvas, canvas->screenItemCount);
            if (!item)
                return false;
            AddItem(canvas, item);
        }
    }
    bool shown = canvas->mode != CANVAS_HIDDEN;
    for (int i = 0; i < canvas->screenItemCount; i++)
        ShowWindow(canvas->screenItems[i], shown && i < count ? SW_SHOWNA : SW_HIDE);
    return true;
}

void ReleaseScreenItems(CanvasState *canvas)
{
    for (int i = 0; i < canvas->screenItemCount; i++) {
        RemoveWindowSubclass(canvas->screenItems[i], CanvasSubclassProc, 0);
        if (canvas->screenFonts[i])
            DeleteObject(canvas->screenFonts[i]);
    }
    delete[] canvas->screenItems;
    delete[] canvas->screenFonts;
    delete[] canvas->screens;
    canvas->screenItems = nullptr;
    canvas->screenFonts = nullptr;
    canvas->screens = nullptr;
    canvas->screenItemCount = canvas->screenCount = 0;
}
