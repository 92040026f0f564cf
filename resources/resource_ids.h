/* Resource ids of Tessivon, shared by tessivon.rc and the C++ code.
   Plain #define only: windres reads this file too. */
#ifndef TESSIVON_RESOURCE_IDS_H
#define TESSIVON_RESOURCE_IDS_H

/* Menu: popup 0 "LButton" (display modes), popup 1 "RButton" (commands). */
#define IDR_TRAY_MENU 102

/* Commands of the "RButton" menu. */
#define ID_ABOUT 40004
#define ID_PROPERTIES 40006 /* inserted at start-up */
#define ID_EXIT 40007
#define ID_EXTENDED_PROPERTIES 40013
/* Also in the icon view's desktop menu, beside "&Save Icons Position" (40018). */
#define ID_RESTORE_ICON_POSITIONS 40019
/* Each monitor's number shown on it for a few seconds; also a button of the Screen tab. */
#define ID_IDENTIFY 40020
/* 50000 to 64999 are the mode commands of up to fifteen displays
   (display/mode_menus.h); no other command may use them. */

/* The "Profiles" submenu at the end of the display menu: one item per profile
   (ID_PROFILE_BASE + its place in the submenu), then the save item. Below the
   mode commands (50000 and up). */
#define ID_SAVE_PROFILE 40900
#define ID_PROFILE_BASE 41000 /* up to ID_PROFILE_BASE + MAX_PROFILES - 1 */

/* The small dialog that asks for a profile's name. */
#define IDD_PROFILE_NAME 2
#define IDC_PROFILE_NAME 1101

/* Notification-area icons; the option TessivonTrayIconIn256Colors picks one. */
#define IDI_TRAY_16_COLORS 104
#define IDI_TRAY_256_COLORS 144

/* Tab strip icons (16 x 16, 16 colours). */
#define IDI_TAB_SCREEN 133
#define IDI_TAB_ICONS 134
#define IDI_TAB_WINDOW 135
#define IDI_TAB_SETTINGS 141
#define IDI_TAB_ABOUT 142

/* Four 24 x 20 monitor pictures "1" to "4" side by side, magenta is transparent. */
#define IDB_SCREEN_PICTURES 114

/* The Extended Display Properties dialog. */
#define IDD_EXTENDED_PROPERTIES 1

/* Controls of the dialog template. */
#define IDC_OK 1
#define IDC_CANCEL 3 /* not IDCANCEL: Escape (2) must do nothing */
#define IDC_APPLY 1002
#define IDC_TAB_CONTROL 1022
#define IDC_HINT_LABEL 1025
#define IDC_COMBO_LABEL 1026
#define IDC_DESKTOP_MINIATURE 1010
#define IDC_SCREEN_ITEM_1 1008
#define IDC_SCREEN_ITEM_2 1009
#define IDC_SCREEN_ITEM_3 1029
#define IDC_WINDOW_MINIATURE 1020
#define IDC_ZOOM_SLIDER 1031
#define IDC_BACKDROP 1034
#define IDC_CANVAS_FRAME 1012
#define IDC_KNOWN_BUGS 1040
#define IDC_FUTURE_FEATURES 1041
#define IDC_ABOUT_TEXT 1042
#define IDC_WEB_LINK 1019
#define IDC_MAIL_LINK 1021

/* Option check boxes, named after their registry values. */
#define IDC_OPT_SHOW_WINDOW_CLASS_NAME 1001
#define IDC_OPT_SHOW_TRAY_BAR_AS_WINDOW 1032
#define IDC_OPT_FILL_BACKGROUND_WITH_GRADIENT_COLOR 1033
#define IDC_OPT_SHOW_WALLPAPER_DESKTOP 1036
#define IDC_OPT_SHOW_DESKTOP_DURING_ZOOM 1038
#define IDC_OPT_DARK_ICON_IN_TAB 1039
#define IDC_OPT_EXT_PROP_AS_DBL_CLICK 1045
#define IDC_OPT_HIDE_ICON_TEXT_AT_STARTUP 1046
#define IDC_OPT_RESTORE_ICON_POS_AT_STARTUP 1047
#define IDC_OPT_AUTOMATICLY_SAVE_ICON_POS 1048
#define IDC_OPT_TESSIVON_TRAY_ICON_IN_256_COLORS 1049
#define IDC_OPT_LAUNCH_AT_WINDOWS_STARTUP 1050
#define IDC_OPT_DISPLAY_PORTRAIT_RESOLUTION 1051
#define IDC_OPT_CONFIRM_MODE_CHANGE 1052
#define IDC_OPT_KEEP_ICON_LAYOUT 1053

/* Windows created beside the template and given an id afterwards. They
   reuse the numbers of a template control; the code tells them apart by
   handle, never by GetDlgItem. */
#define IDC_PRIMARY_CHECK_BOX 1008 /* same as IDC_SCREEN_ITEM_1 */
#define IDC_WINDOW_COMBO 1031      /* same as IDC_ZOOM_SLIDER */

/* The question after a mode switch: keep it or revert; Enter is IDOK (keep),
   Escape and the close box IDCANCEL (revert). */
#define IDD_KEEP_OR_REVERT 150
#define IDC_KEEP_QUESTION 1501
#define IDC_KEEP_COUNTDOWN 1502

/* Controls of the Profiles page, created beside the template. */
#define IDC_PROFILE_LIST 1110
#define IDC_PROFILE_NAME_LABEL 1111
#define IDC_PROFILE_NEW_NAME 1112
#define IDC_PROFILE_RENAME 1113
#define IDC_PROFILE_DELETE 1114
#define IDC_PROFILE_HOTKEY_LABEL 1115
#define IDC_PROFILE_HOTKEY 1116
#define IDC_PROFILE_WARNING 1117
#define IDC_PROFILE_AUTO 1118

/* "&Identify" on the Screen tab, created beside the template. */
#define IDC_IDENTIFY_BUTTON 1120

/* Texts of the two link buttons; the code opens them with ShellExecuteA
   ("http://" and "mailto:" in front). */
#define TESSIVON_WEB_ADDRESS "www.corvale.example/tessivon"
#define TESSIVON_MAIL_ADDRESS "tessivon@corvale.example"

#endif /* TESSIVON_RESOURCE_IDS_H */
