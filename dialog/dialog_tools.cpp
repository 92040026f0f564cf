// The small tools every page of the dialog uses (dialog/dialog_tools.h).
#include "dialog/dialog_tools.h"

#include "canvas/canvas.h"
#include "resources/resource_ids.h"

#define LAID_OUT_BASE_X 6
#define LAID_OUT_BASE_Y 13

// Four by eight dialog units are one base unit each way.
static RECT BaseUnits(HWND dialog)
{
    RECT units = {0, 0, 4, 8};
    if (!MapDialogRect(dialog, &units))
        SetRect(&units, 0, 0, LAID_OUT_BASE_X, LAID_OUT_BASE_Y);
    return units;
}

int DialogPixelsX(HWND dialog, int pixels)
{
    return MulDiv(pixels, BaseUnits(dialog).right, LAID_OUT_BASE_X);
}

int DialogPixelsY(HWND dialog, int pixels)
{
    return MulDiv(pixels, BaseUnits(dialog).bottom, LAID_OUT_BASE_Y);
}

void SetStyleBits(HWND window, LONG clear, LONG set)
{
    LONG style = GetWindowLongW(window, GWL_STYLE);
    SetWindowLongW(window, GWL_STYLE, (style & ~clear) | set);
}

static void SetApplyDisabled(HWND dialog, bool disabled)
{
    HWND apply = GetDlgItem(dialog, IDC_APPLY);
    SetStyleBits(apply, disabled ? 0 : WS_DISABLED, disabled ? WS_DISABLED : 0);
    RedrawWindow(apply, nullptr, nullptr, RDW_INVALIDATE);
}

void EnableApplyButton(HWND dialog) { SetApplyDisabled(dialog, false); }

void DisableApplyButton(HWND dialog) { SetApplyDisabled(dialog, true); }

void WidenToText(HWND control, HWND dialog, int extra)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(control, text, 1024);
    RECT needed = {};
    TEXTMETRICW metrics = {};
    {
        WindowTextDC dc(control);
        DrawTextW(dc.dc, text, -1, &needed, DT_CALCRECT | DT_EXPANDTABS);
        GetTextMetricsW(dc.dc, &metrics);
    }
    RECT client, place;
    GetClientRect(dialog, &client);
    GetWindowRectIn(control, &place, dialog);
    // Glyphs may be drawn a little beyond their measured cells.
    int width = needed.right + metrics.tmAveCharWidth + extra;
    if (width > client.right - CONTENT_MARGIN - place.left)
        width = client.right - CONTENT_MARGIN - place.left;
    if (width > place.right - place.left)
        SetWindowPos(control, nullptr, 0, 0, width, place.bottom - place.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
