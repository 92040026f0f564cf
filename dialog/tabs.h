// The dialog's tab strip and the switch between its pages, with the owner-drawn strip and the link buttons.
#pragma once
#include <windows.h>

#include "dialog/ext_prop.h"

LRESULT InsertTab(HWND tabControl, const wchar_t *text, int image);
INT_PTR TabNotify(ExtPropState *state, int id, NMHDR *header);
// 1 when the switch is refused, 0 when done.
int SwitchTab(ExtPropState *state, NMHDR *header, int target);
// The tab a key on the strip leads to from the tab shown, or -1 when the key
// does not change tabs.
int KeyboardTabTarget(int currentTab, WORD key);
INT_PTR DrawTabItem(ExtPropState *state, int id, const DRAWITEMSTRUCT *item);
void DrawTabText(HDC dc, const RECT *rect, const wchar_t *text, BOOL disabled);
// Given to the tab strip with the dialog's state as reference data.
LRESULT CALLBACK TabCtrlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                             DWORD_PTR state);
// Given to the two link buttons with the dialog's state as reference data.
LRESULT CALLBACK LinkButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                DWORD_PTR state);
// What the canvas shows for a tab.
CanvasMode CanvasModeOfTab(int tab);
// Loads the desktop icons onto the canvas at its present scale.
int ReloadCanvasIcons(ExtPropState *state);
// options[i] = 1 when check box i is ticked, else 0.
void TakeOptionsFromCheckBoxes(ExtPropState *state);
// The two labels' texts of a tab, each label wide enough for its text.
void ShowTabLabels(ExtPropState *state, int tab);
// One line for the user in place of the page's upper label, until the labels are shown again.
void SetHintText(ExtPropState *state, const wchar_t *text);
