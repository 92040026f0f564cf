// The "Extended Display Properties" dialog's state record. The set-up, each
// page and the window procedure have a header of their own, which includes
// this one.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "base/profile.h"

#include "canvas/canvas.h"
#include "desktop_icons/icon_page.h"
#include "settings/settings.h"

#define EXT_PROP_CAPTION L"Extended Display Properties"

struct DisplaySession;

// Tabs, in the order of the strip; currentTab holds one of them.
enum ExtPropTab { TAB_SCREEN, TAB_WINDOWS, TAB_ICONS, TAB_SETTINGS, TAB_ABOUT, TAB_PROFILES, TAB_COUNT };

// A stored profile as the Profiles page edits it; the registry follows at
// "&Apply" or OK.
struct ProfileEdit {
    Profile profile; // name and hotkey as edited
    wchar_t storedName[PROFILE_NAME_SIZE];
    WORD storedHotkey;
    BOOL storedAuto;
    bool deleted;
};

struct ProfilesPage {
    HWND list; // name, displays, hotkey; item data = index into edits
    HWND nameLabel, nameEdit, renameButton, deleteButton;
    HWND hotkeyLabel, hotkey, autoApply, warning;
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
