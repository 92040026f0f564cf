// The tray's two popup menus: the display menu of modes and the command menu.
#include "display/mode_menus.h"

static void AppendPortraitSuffix(const ModeEntry &entry, wchar_t *text)
{
    if (!entry.isLandscape)
        lstrcatW(text, L" \t(Portrait)");
}

void FormatPlainItemText(const ModeEntry &entry, wchar_t *text)
{
    if (entry.frequency)
        wsprintfW(text, L"%dx%d (%dbits) - %dHz", (int)entry.width, (int)entry.height,
                  (int)entry.bitsPerPixel, (int)entry.frequency);
    else
        wsprintfW(text, L"%dx%d (%dbits)", (int)entry.width, (int)entry.height, (int)entry.bitsPerPixel);
    AppendPortraitSuffix(entry, text);
}

void FormatResolutionTitle(const ModeEntry &entry, wchar_t *text)
{
    wsprintfW(text, L"%dx%d (%dbits)", (int)entry.width, (int)entry.height, (int)entry.bitsPerPixel);
    AppendPortraitSuffix(entry, text);
}

void FormatFrequencyItemText(const ModeEntry &entry, wchar_t *text)
{
    if (entry.frequency)
        wsprintfW(text, L"%dHz", (int)entry.frequency);
    else
        lstrcpyW(text, L"??");
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

static void FillDisplayMenu(DisplayCatalogue *catalogue, int display, HMENU target)
{
    ModeEntry *entries = catalogue->tables[display];
    int count = catalogue->counts[display];
    wchar_t text[MENU_TEXT_SIZE];
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
            InsertMenuW(target, p, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        }
        bool like = LikePrevious(entry, previousWidth, previousHeight, previousDepth);
        previousWidth = entry.width;
        previousHeight = entry.height;
        previousDepth = entry.bitsPerPixel;
        if (like) {
            FormatFrequencyItemText(entry, text);
            InsertMenuW(resolutionMenu, ++resolutionPosition, MF_BYPOSITION | MF_STRING, id, text);
            entry.groupPosition = p;
        } else {
            p++;
            if (j + 1 < count &&
                LikePrevious(entries[j + 1], entry.width, entry.height, entry.bitsPerPixel)) {
                resolutionMenu = CreatePopupMenu();
                resolutionPosition = 0;
                FormatResolutionTitle(entry, text);
                InsertMenuW(target, p, MF_BYPOSITION | MF_POPUP, (UINT_PTR)resolutionMenu, text);
                FormatFrequencyItemText(entry, text);
                InsertMenuW(resolutionMenu, 0, MF_BYPOSITION | MF_STRING, id, text);
                entry.groupPosition = p;
            } else {
                FormatPlainItemText(entry, text);
                InsertMenuW(target, p, MF_BYPOSITION | MF_STRING, id, text);
                entry.groupPosition = -1;
            }
        }
        entry.commandId = id;
    }
    if (catalogue->displayCount > 1) {
        wsprintfW(text, L"  Display %d", display + 1);
        MENUITEMINFOW title = {};
        title.cbSize = sizeof(title);
        title.fMask = MIIM_STATE | MIIM_TYPE;
        title.fType = MFT_STRING;
        title.fState = MFS_DEFAULT | MFS_GRAYED;
        title.dwTypeData = text;
        InsertMenuItemW(target, 1, TRUE, &title);
    }
    DeleteMenu(target, 0, MF_BYPOSITION);
}

// The menu resource holds three display submenus, each with a placeholder
// separator; further displays get submenus made alike, surplus ones go.
static void MatchDisplaySubmenus(HMENU displayMenu, int displayCount)
{
    for (int count = GetMenuItemCount(displayMenu); count > displayCount; count--)
        DeleteMenu(displayMenu, count - 1, MF_BYPOSITION);
    wchar_t text[MENU_TEXT_SIZE];
    for (int i = GetMenuItemCount(displayMenu); i >= 0 && i < displayCount; i++) {
        HMENU submenu = CreatePopupMenu();
        AppendMenuW(submenu, MF_SEPARATOR, 0, nullptr);
        wsprintfW(text, L"Display &%d", i + 1);
        AppendMenuW(displayMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text);
    }
}

void BuildModeMenus(DisplayCatalogue *catalogue, HMENU displayMenu)
{
    int displayCount = catalogue->displayCount;
    if (displayCount <= 1) {
        DeleteMenu(displayMenu, 2, MF_BYPOSITION);
        DeleteMenu(displayMenu, 1, MF_BYPOSITION);
        FillDisplayMenu(catalogue, 0, displayMenu);
        return;
    }
    MatchDisplaySubmenus(displayMenu, displayCount);
    for (int i = 0; i < displayCount; i++)
        FillDisplayMenu(catalogue, i, GetSubMenu(displayMenu, i));
}

void AddPropertiesItem(HMENU commandMenu, UINT id)
{
    wchar_t text[] = L"&Properties ...";
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = MFS_DEFAULT;
    item.wID = id;
    item.dwTypeData = text;
    InsertMenuItemW(commandMenu, 2, TRUE, &item);
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

void MarkCurrentModes(const DisplayCatalogue &catalogue, HMENU displayMenu, int display,
                      const ModeSnapshot &snapshot)
{
    if (display < 0 || display >= catalogue.displayCount)
        return;
    const ModeEntry *entries = catalogue.tables[display];
    int count = catalogue.counts[display];
    // With one display the modes stand in the display menu itself, where the
    // placeholder's removal moved every item up by one.
    bool single = catalogue.displayCount == 1;
    HMENU menu = single ? displayMenu : GetSubMenu(displayMenu, display);
    int shift = single ? 1 : 0;
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

bool DecodeModeCommand(const DisplayCatalogue &catalogue, UINT id, int *display, int *entry)
{
    for (int i = 0; i < catalogue.displayCount; i++) {
        UINT first = ID_MODE_BASE + MODE_IDS_PER_DISPLAY * i;
        if (id >= first && id < first + (UINT)catalogue.counts[i]) {
            *display = i;
            *entry = (int)(id - first);
            return true;
        }
    }
    return false;
}
