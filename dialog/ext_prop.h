// The "Extended Display Properties" dialog: its state record and every
// function of the dialog window and its pages.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "base/profile.h"

#include "canvas/canvas.h"
#include "desktop_icons/icon_page.h"
#include "dialog/open_dialog.h"
#include "settings/settings.h"

#define EXT_PROP_CAPTION L"Extended Display Properties"

// Tabs, in the order of the strip; currentTab holds one of them.
enum ExtPropTab { TAB_SCREEN, TAB_WINDOWS, TAB_ICONS, TAB_SETTINGS, TAB_ABOUT, TAB_PROFILES, TAB_COUNT };

// A stored profile as the Profiles page edits it; the registry follows at
// "&Apply" or OK.
struct ProfileEdit {
    Profile profile; // name and hotkey as edited
    wchar_t storedName[PROFILE_NAME_SIZE];
    WORD storedHotkey;
    bool deleted;
};

struct ProfilesPage {
    HWND list; // name, displays, hotkey; item data = index into edits
    HWND nameLabel, nameEdit, renameButton, deleteButton;
    HWND hotkeyLabel, hotkey, warning;
    std::vector<ProfileEdit> edits;
    BOOL pending;
    BOOL showing; // the page sets its controls: no edit of the user's
};

// One opening of the dialog. OpenExtendedProperties owns it for the modal run
// and hands it to the dialog procedure, which keeps it in DWLP_USER;
// everything the opening creates is released by CloseExtPropDialog.
struct ExtPropState {
    HWND dialogWindow;
    DisplaySession *session; // the primary display chosen on the Screen tab changes through it
    POINT openingPoint;      // the dialog is centred on this point's monitor
    int currentTab;
    CanvasState canvas;
    IconPage icons;
    ProfilesPage profiles;
    DWORD options[OPTION_COUNT];
    HWND optionCheckBoxes[OPTION_COUNT];
    HWND tabControl;
    HIMAGELIST tabImages;
    HWND hintLabel;
    HWND comboLabel;
    HWND iconStatus; // the line under the canvas that tells what a layout command did
    HWND okButton;
    HWND futureFeaturesText, aboutText, knownBugsText;
    HWND webLink, mailLink;
    HFONT linkFont;
    RECT updateRect;
    // The tab switch in progress (dialog/tabs.cpp).
    int tabBeingLeft;
    int pendingTabTarget;
    BOOL tabTargetFromKeyboard;
    BOOL tabChangeRefused;
    int tabToRestore;
    UINT taskbarCreatedMessage; // the shell has started anew
};

// Lifecycle (dialog/ext_prop.cpp).
// The WM_INITDIALOG work; 0 when the icon view window cannot be created.
int InitExtPropDialog(ExtPropState *state);
// On a work area lower than the dialog, the dialog gives up the difference,
// taken from the miniature first, so that its buttons stay on the screen.
void FitDialogToWorkArea(ExtPropState *state);
// Releases everything the opening created, then ends the dialog with the result.
void CloseExtPropDialog(ExtPropState *state, INT_PTR result);
void SetStyleBits(HWND window, LONG clear, LONG set);
void EnableApplyButton(HWND dialog);
void DisableApplyButton(HWND dialog);
// The dialog's background erase; always TRUE.
BOOL EraseDialogBackground(ExtPropState *state, HDC dc);

// Display changes (dialog/display_change.cpp).
// The canvas rebuilt from the monitors now present, pending window and icon
// moves kept, and the dialog moved onto a monitor when it no longer fits.
void FollowDisplayChange(ExtPropState *state);
// Moves the window wholly onto the work area of the monitor nearest to it
// unless each of its corners lies in some monitor's work area; true when moved.
bool KeepWindowOnMonitors(HWND window);

// Dialog procedure and commands (dialog/dialog_proc.cpp).
INT_PTR CALLBACK ExtPropDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// code: notification code (high word of the first parameter); first: the whole
// first parameter, its low word the command id; control: the sender.
INT_PTR DialogCommand(ExtPropState *state, UINT code, WPARAM first, HWND control);

// Tabs and custom-drawn controls (dialog/tabs.cpp).
LRESULT InsertTab(HWND tabControl, const wchar_t *text, int image);
INT_PTR TabNotify(ExtPropState *state, int id, NMHDR *header);
// 1 when the switch is refused, 0 when done.
int SwitchTab(ExtPropState *state, NMHDR *header, int target);
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

// Profiles page (dialog/profiles_page.cpp).
// Initialisation: the page's controls, hidden, and the stored profiles.
void SetUpProfilesPage(ExtPropState *state);
void ShowProfilesPage(ExtPropState *state, BOOL shown);
// WM_COMMAND of the page's controls; false when the sender is none of them.
bool ProfilesPageCommand(ExtPropState *state, UINT code, int id, HWND control);
// WM_NOTIFY of the list.
INT_PTR ProfilesPageNotify(ExtPropState *state, NMHDR *header);
// "&Apply" and OK: deletions, new names and hotkeys reach the registry.
void StoreProfileEdits(ExtPropState *state);

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
void OpenLinkTarget(int id);
// The slide at OK and Cancel, when the platform offers it.
void AnimateDialogClosing(ExtPropState *state);
