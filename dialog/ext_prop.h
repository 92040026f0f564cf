// The "Extended Display Properties" dialog: its state record, the program-wide
// entries it binds, and every function of the dialog window and its pages.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "canvas/canvas.h"
#include "desktop_icons/desktop_icons.h"
#include "settings/settings.h"

#define EXT_PROP_CAPTION "Extended Display Properties"
#define CANVAS_TIMER_ID 5149
#define CANVAS_TIMER_MS 200

// Tabs, in the order of the strip; currentTab holds one of them.
enum ExtPropTab { TAB_SCREEN, TAB_WINDOWS, TAB_ICONS, TAB_SETTINGS, TAB_ABOUT, TAB_COUNT };

// One remembered window position of the window undo table.
struct SavedPlacement {
    HWND window;
    LONG left;
    LONG top;
};

// One opening of the dialog. OpenExtendedProperties owns it for the modal run;
// everything it holds is released by CloseExtPropDialog. The two arrays
// (undoTable, savedIconPositions) are allocated with new[] and freed with
// delete[].
struct ExtPropState {
    COLORREF backgroundColor;
    int currentTab;
    POINT dragOffset;
    BOOL dragging;
    BOOL zooming;
    float scale; // canvas pixels per desktop pixel
    int screenCount;
    int wallpaperWidth, wallpaperHeight;
    IconView iconView;
    POINT desktopOrigin;
    ScreenRecord screens[MAX_SCREEN_RECORDS];
    HFONT dialogFont; // the dialog's own; never released by the program
    HFONT linkFont;
    HIMAGELIST screenImages;
    HIMAGELIST tabImages;
    HIMAGELIST windowImages;
    HIMAGELIST iconImages;
    HWND iconCombo; // always the same window as windowCombo
    HWND screenCombo;
    HWND windowCombo;
    HWND iconViewWindow;
    HWND primaryCheckBox;
    HWND okButton;
    HWND desktopMiniature;
    HWND canvasFrame;
    HWND backdrop;
    HWND screenItems[MAX_SCREEN_ITEMS];
    int selectedScreen;
    HWND hintLabel;
    HWND comboLabel;
    HWND desktopListView;
    HWND zoomSlider;
    HWND futureFeaturesText, aboutText, knownBugsText;
    HWND tabControl;
    HWND targetWindow;
    HWND windowMiniature;
    HCURSOR waitCursor, moveCursor;
    HBRUSH hollowBrush;
    HBRUSH activeCaptionBrush, inactiveCaptionBrush;
    HFONT screenFonts[MAX_SCREEN_ITEMS];
    RECT updateRect;
    int zoomMargin;
    int optionCount;
    HWND optionCheckBoxes[OPTION_COUNT];
    HWND webLink, mailLink;
    DWORD optionDefaults;
    DWORD options[OPTION_COUNT];
    BOOL timerRunning;
    BOOL primaryPending;
    BOOL iconsPending;
    BOOL windowsPending;
    HBITMAP wallpaper;
    int wallpaperMode; // 0 centre, 1 tile, 2 stretch
    int chosenPrimary;
    int platformPrimary;
    POINT *savedIconPositions;
    int savedIconCount;
    int undoCapacity, undoCount;
    SavedPlacement *undoTable;
    HWND dialogWindow;
    WNDPROC screenItemProcs[MAX_SCREEN_ITEMS];
    WNDPROC canvasFrameProc;
    WNDPROC desktopMiniatureProc;
    UINT canvasTimerId;
};
// ExtPropState is complete.

// The state of the running dialog, for its procedure and the subclassed
// controls; valid only during the modal loop.
extern ExtPropState *ActiveExtPropState;

// Bound on every opening, kept afterwards.
typedef BOOL(WINAPI *GradientFillProc)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
typedef BOOL(WINAPI *EnumDisplayDevicesProc)(LPCSTR, DWORD, DISPLAY_DEVICEA *, DWORD);
typedef LONG(WINAPI *ChangeDisplaySettingsExProc)(LPCSTR, DEVMODEA *, HWND, DWORD, LPVOID);
extern GradientFillProc GradientFillEntry;                             // none without MSIMG32
extern EnumDisplayDevicesProc EnumDisplayDevicesEntry;                 // never none while the dialog runs
extern ChangeDisplaySettingsExProc DialogChangeDisplaySettingsExEntry; // none when missing

// Lifecycle (dialog/ext_prop.cpp).
int OpenExtendedProperties(POINT point);
// The WM_INITDIALOG work; 0 when the icon view window cannot be created.
int InitExtPropDialog(ExtPropState *state, POINT point);
// Releases everything the opening created, then ends the dialog with the result.
void CloseExtPropDialog(ExtPropState *state, INT_PTR result);
// Stands in for EnumDisplayDevicesA: one device named "DISPLAY".
BOOL WINAPI EnumDisplayDevicesFallback(LPCSTR device, DWORD index, DISPLAY_DEVICEA *info, DWORD flags);
int SetStyleBits(HWND window, LONG clear, LONG set);
int EnableApplyButton(HWND dialog);
int DisableApplyButton(HWND dialog);

// Dialog procedure and commands (dialog/dialog_proc.cpp).
INT_PTR CALLBACK ExtPropDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// code: notification code (high word of the first parameter); first: the whole
// first parameter, its low word the command id; control: the sender.
INT_PTR DialogCommand(ExtPropState *state, UINT code, WPARAM first, HWND control);

// Tabs and custom-drawn controls (dialog/tabs.cpp).
LRESULT InsertTab(HWND tabControl, const char *text, int image);
// Fills screenCombo with one entry per display device; 0 when an insertion fails.
int FillScreenCombo(ExtPropState *state, HWND dialog, HWND combo);
INT_PTR TabNotify(ExtPropState *state, int id, NMHDR *header);
// 1 when the switch is refused, 0 when done.
int SwitchTab(ExtPropState *state, NMHDR *header, int target);
INT_PTR DrawTabItem(ExtPropState *state, int id, const DRAWITEMSTRUCT *item);
int DrawTabText(HDC dc, const RECT *rect, const char *text, BOOL disabled);
LRESULT CALLBACK TabCtrlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LinkButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Program-wide values of the tab logic, valid while the dialog runs.
extern int TabBeingLeft;
extern int PendingTabTarget;
extern BOOL TabTargetFromKeyboard;
extern BOOL TabChangeRefused;
extern int TabToRestore;
// The procedures the tab control and the link buttons had before subclassing;
// kept from one opening to the next. LinkButtonFormerProc is the web link's;
// the mail link is subclassed only when that one is known.
extern WNDPROC TabCtrlFormerProc;
extern WNDPROC LinkButtonFormerProc;
extern WNDPROC MailLinkFormerProc;
extern HFONT LinkButtonFont;

// Settings and About pages (dialog/settings_about.cpp).
// OK's storing step: the options (first taken from the check boxes when the
// Settings page is shown) and the start-with-Windows entry.
void StoreOptions(ExtPropState *state);
// Initialisation, after aboutText, knownBugsText, futureFeaturesText, webLink
// and mailLink are set: link subclassing, linkFont, the three texts.
void SetUpAboutPage(ExtPropState *state);
// Initialisation, after the starting tab: the About texts and links placed.
void PlaceAboutPage(ExtPropState *state);
// BN_CLICKED of button 1019 or 1021: opens the web page or a new mail.
void OpenLinkTarget(ExtPropState *state, int id);
// The slide at OK and Cancel, when the platform offers it.
void AnimateDialogClosing(ExtPropState *state);
