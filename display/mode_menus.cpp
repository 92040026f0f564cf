#include "display/mode_menus.h"

#include "shell/tessivon.h"

static char MenuText[MENU_TEXT_SIZE];

static void AppendPortraitSuffix(const ModeEntry &entry, char *text)
{
    if (!entry.isLandscape)
        lstrcatA(text, " \t(Portrait)");
}

void FormatPlainItemText(const ModeEntry &entry, char *text)
{
    if (entry.frequency)
        wsprintfA(text, "%dx%d (%dbits) - %dHz", (int)entry.width, (int)entry.height, (int)entry.bitsPerPixel,
                  (int)entry.frequency);
    else
        wsprintfA(text, "%dx%d (%dbits)", (int)entry.width, (int)entry.height, (int)entry.bitsPerPixel);
    AppendPortraitSuffix(entry, text);
}

void FormatResolutionTitle(const ModeEntry &entry, char *text)
{
    wsprintfA(text, "%dx%d (%dbits)", (int)entry.width, (int)entry.height, (int)entry.bitsPerPixel);
    AppendPortraitSuffix(entry, text);
}

void FormatFrequencyItemText(const ModeEntry &entry, char *text)
{
    if (entry.frequency)
        wsprintfA(text, "%dHz", (int)entry.frequency);
    else
        lstrcpyA(text, "??");
    AppendPortraitSuffix(entry, text);
}

// Same resolution (either way round) and same depth: such entries share one
// resolution submenu.
static bool LikePrevious(const ModeEntry &entry, LONG width, LONG height, LONG depth)
{
    return ((entry.width == width && entry.height == height) ||
            (entry.width == height && entry.height == width)) &&
           entry.bitsPerPixel == depth;
}

static void FillDisplayMenu(int display, HMENU target)
{
    ModeEntry *entries = ModeTables[display];
    int count = ModeCounts[display];
    int id = ID_MODE_BASE + MODE_IDS_PER_DISPLAY * display;
    int p = 0;
    LONG previousWidth = -1, previousHeight = -1;
    LONG previousDepth = count > 0 ? entries[0].bitsPerPixel : 0;
    HMENU resolutionMenu = nullptr;
    int resolutionPosition = 0;
    for (int j = 0; j < count; j++, id++) {
        ModeEntry &entry = entries[j];
        if (entry.bitsPerPixel != previousDepth) {
            p++;
            InsertMenuA(target, p, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        }
        bool like = LikePrevious(entry, previousWidth, previousHeight, previousDepth);
        previousWidth = entry.width;
        previousHeight = entry.height;
        previousDepth = entry.bitsPerPixel;
        if (like) {
            FormatFrequencyItemText(entry, MenuText);
            InsertMenuA(resolutionMenu, ++resolutionPosition, MF_BYPOSITION | MF_STRING, id, MenuText);
            entry.groupPosition = p;
        } else {
            p++;
            if (j + 1 < count &&
                LikePrevious(entries[j + 1], entry.width, entry.height, entry.bitsPerPixel)) {
                resolutionMenu = CreatePopupMenu();
                resolutionPosition = 0;
                FormatResolutionTitle(entry, MenuText);
                InsertMenuA(target, p, MF_BYPOSITION | MF_POPUP, (UINT_PTR)resolutionMenu, MenuText);
                FormatFrequencyItemText(entry, MenuText);
                InsertMenuA(resolutionMenu, 0, MF_BYPOSITION | MF_STRING, id, MenuText);
                entry.groupPosition = p;
            } else {
                FormatPlainItemText(entry, MenuText);
                InsertMenuA(target, p, MF_BYPOSITION | MF_STRING, id, MenuText);
                entry.groupPosition = -1;
            }
        }
        entry.commandId = id;
    }
    if (DisplayCount > 1) {
        lstrcpyA(MenuText, "  Display 1");
        MenuText[lstrlenA(MenuText) - 1] = (char)('1' + display);
        MENUITEMINFOA title = {};
        title.cbSize = sizeof(title);
        title.fMask = MIIM_STATE | MIIM_TYPE;
        title.fType = MFT_STRING;
        title.fState = MFS_DEFAULT | MFS_GRAYED;
        title.dwTypeData = MenuText;
        InsertMenuItemA(target, 1, TRUE, &title);
    }
    DeleteMenu(target, 0, MF_BYPOSITION);
}

void BuildModeMenus(HMENU displayMenu)
{
    HMENU targets[MAX_DISPLAYS] = {};
    if (DisplayCount <= 1) {
        targets[0] = displayMenu;
        DeleteMenu(displayMenu, 2, MF_BYPOSITION);
        DeleteMenu(displayMenu, 1, MF_BYPOSITION);
    } else {
        for (int i = 0; i < DisplayCount; i++)
            targets[i] = GetSubMenu(displayMenu, i);
        for (int k = 0; k < MAX_DISPLAYS - DisplayCount; k++)
            DeleteMenu(displayMenu, 2, MF_BYPOSITION);
    }
    for (int i = 0; i < DisplayCount && i < MAX_DISPLAYS; i++)
        FillDisplayMenu(i, targets[i]);
}

void AddPropertiesItem(HMENU commandMenu)
{
    lstrcpyA(MenuText, "&Properties ...");
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = MFS_DEFAULT;
    item.wID = ID_PROPERTIES;
    item.dwTypeData = MenuText;
    InsertMenuItemA(commandMenu, 2, TRUE, &item);
}

static bool Matches(const ModeEntry &entry, const ModeSnapshot &snapshot)
{
    return entry.width == snapshot.width && entry.height == snapshot.height &&
           entry.bitsPerPixel == snapshot.bitsPerPixel &&
           (snapshot.frequency == 0 || entry.frequency == snapshot.frequency);
}

static void ClearAllMarks(HMENU menu)
{
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; position--)
        CheckMenuItem(menu, position, MF_BYPOSITION | MF_UNCHECKED);
}

void MarkCurrentModes(int display, const ModeSnapshot &snapshot)
{
    if (display < 0 || display >= DisplayCount)
        return;
    ModeEntry *entries = ModeTables[display];
    int count = ModeCounts[display];
    // With one display the modes stand in the display menu itself, where the
    // placeholder's removal moved every item up by one.
    HMENU menu = DisplayCount == 1 ? DisplayMenu : GetSubMenu(DisplayMenu, display);
    int shift = DisplayCount == 1 ? 1 : 0;
    ClearAllMarks(menu);
    for (int j = 0; j < count; j++) {
        const ModeEntry &entry = entries[j];
        bool matches = Matches(entry, snapshot);
        // A resolution with a single rate is a plain item; it is marked too,
        // or a panel with one rate per resolution would never show a mark.
        if (entry.groupPosition < 0) {
            if (matches)
                CheckMenuItem(menu, entry.commandId, MF_BYCOMMAND | MF_CHECKED);
            continue;
        }
        HMENU resolutionMenu = GetSubMenu(menu, entry.groupPosition - shift);
        CheckMenuItem(resolutionMenu, entry.commandId, MF_BYCOMMAND | MF_UNCHECKED);
        if (matches) {
            CheckMenuItem(menu, entry.groupPosition - shift, MF_BYPOSITION | MF_CHECKED);
            CheckMenuItem(resolutionMenu, entry.commandId, MF_BYCOMMAND | MF_CHECKED);
        }
    }
}
