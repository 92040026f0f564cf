// Small tools every page of the dialog uses: laid-out pixel places, text widths, the Apply button.
#pragma once
#include <windows.h>

// The dialog's content column starts this far from the left edge and ends as
// far from the right one.
#define CONTENT_MARGIN 9

// The dialog's pixel places were laid out for 8-point "MS Sans Serif" at 96
// DPI, whose dialog base units are 6 by 13 pixels. These turn such a place
// into one for the dialog's actual units, so that the created controls keep
// their distance from the template's under another font or DPI.
int DialogPixelsX(HWND dialog, int pixels);
int DialogPixelsY(HWND dialog, int pixels);

// A control whose text would not fit (a static wraps and loses its last
// lines, a check box or label cuts its text) grows to the text, plus extra
// pixels for what is beside the text, up to the right margin of the dialog;
// it never shrinks. The template's sizes assume the 8-point "MS Sans Serif",
// and the platform may give the dialog a wider font.
void WidenToText(HWND control, HWND dialog, int extra);

void SetStyleBits(HWND window, LONG clear, LONG set);
void EnableApplyButton(HWND dialog);
void DisableApplyButton(HWND dialog);

// A window's device context with the window's own font selected, released at
// the end of the scope.
struct WindowTextDC {
    HWND window;
    HDC dc;
    HGDIOBJ former;
    explicit WindowTextDC(HWND window)
        : window(window), dc(GetDC(window)),
          former(SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0))))
    {
    }
    ~WindowTextDC()
    {
        SelectObject(dc, former);
        ReleaseDC(window, dc);
    }
    WindowTextDC(const WindowTextDC &) = delete;
    WindowTextDC &operator=(const WindowTextDC &) = delete;
};
