// Opens the real Extended Display Properties dialog through
// OpenExtendedProperties and runs a test's code inside its modal loop, with
// the running dialog's state as the dialog keeps it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <tuple>

#include "base/facts.h"
#include "canvas/canvas.h"
#include "dialog/dialog_tools.h"
#include "dialog/ext_prop.h"
#include "dialog/open_dialog.h"
#include "dialog/tabs.h"
#include "resources/resource_ids.h"
#include "tests/ui_driver.h"

// The OK button, the Cancel button, or WM_CLOSE (the title-bar close box).
enum class DialogEnd { Ok, Cancel, Close };

// The program-wide facts the dialog reads, as start-up sets them.
inline void PrepareDialogProgram() { ReadProgramFacts(GetModuleHandleW(nullptr)); }

inline ExtPropState &DialogState(HWND dialog)
{
    return *reinterpret_cast<ExtPropState *>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// A window's rectangle in the client coordinates of another (null: the screen).
inline RECT RectIn(HWND window, HWND other)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, other, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

#define EXPECT_RECT(rect, l, t, r, b)                                                                        \
    EXPECT_EQ(std::make_tuple((rect).left, (rect).top, (rect).right, (rect).bottom),                         \
              std::make_tuple((LONG)(l), (LONG)(t), (LONG)(r), (LONG)(b)))

// The canvas frame as the dialog lays it out with 8-point "MS Sans Serif" at
// 96 DPI (450 x 248), whatever font the platform gave the dialog, laid out
// again; the canvas examples are worked for that frame.
inline void UseLaidOutFrame(ExtPropState &state)
{
    SetWindowPos(state.canvas.canvasFrame, nullptr, 9, 47, 450, 248, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(state.canvas.backdrop, nullptr, 9, 47, 450, 248, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutCanvas(&state.canvas);
}

// The text of an entry of a ComboBoxEx.
inline std::wstring ComboText(HWND combo, int entry)
{
    wchar_t text[512] = L"";
    COMBOBOXEXITEMW item = {CBEIF_TEXT, entry, text, 512, 0, 0, 0, 0, 0};
    SendMessageW(combo, CBEM_GETITEMW, 0, (LPARAM)&item);
    return text;
}

inline HWND FindExtPropDialog() { return FindShown("#32770", "Extended Display Properties"); }

// A click on a button of the dialog, as the button itself reports it.
inline void ClickDialogButton(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// Changes the page as a click on the strip does, without the pointer: the
// switch runs while the strip still shows the old tab, then the strip follows.
inline void SwitchToTab(ExtPropState &state, int tab)
{
    NMHDR header = {state.tabControl, IDC_TAB_CONTROL, (UINT)TCN_SELCHANGING};
    if (!SwitchTab(&state, &header, tab))
        SendMessageA(state.tabControl, TCM_SETCURSEL, tab, 0);
    // The icons that would come on the dialog's timer, at once.
    while (ContinueCanvasIconLoad(&state.icons, state.canvas.scale))
        ;
}

// Opens the dialog with the cursor point, calls body(dialog, state) once the
// dialog is shown, then ends it as asked. Gives false when the dialog never
// showed (body did not run). A fatal assertion in body still ends the dialog.
using DialogBody = std::function<void(HWND, ExtPropState &)>;

inline bool RunExtPropDialog(DialogEnd end, const DialogBody &body, POINT point = {100, 100})
{
    PrepareDialogProgram();
    bool shown = false;
    WhenWindowAppears(FindExtPropDialog, [&](HWND dialog) {
        // A dialog that shows late is closed at once, so that the test fails
        // now instead of waiting in the dialog's loop.
        if (!dialog)
            return WhenWindowAppears(
                FindExtPropDialog, [](HWND late) { PostMessageW(late, WM_CLOSE, 0, 0); }, 60000);
        shown = true;
        body(dialog, DialogState(dialog));
        if (IsWindow(dialog) && IsWindowVisible(dialog) && end == DialogEnd::Close)
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        else if (IsWindow(dialog) && IsWindowVisible(dialog))
            ClickDialogButton(dialog, end == DialogEnd::Ok ? IDC_OK : IDC_CANCEL);
    });
    OpenExtendedProperties(point);
    CancelWindowWait();
    return shown;
}

inline bool RunExtPropDialog(const DialogBody &body) { return RunExtPropDialog(DialogEnd::Close, body); }
