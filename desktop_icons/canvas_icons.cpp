// The desktop icons on the canvas of the Icons tab: loading them into the icon
// view window and the combo box, moving a real icon when its picture is
// dropped, and putting the icons back on Cancel.
#include "desktop_icons/desktop_icons.h"

#include <vector>

#include "canvas/canvas.h"
#include "dialog/ext_prop.h"

int BusyCursorDepth;
HCURSOR CursorBeforeBusy;

void SetBusyCursor(int delta)
{
    BusyCursorDepth += delta;
    if (BusyCursorDepth < 1) {
        BusyCursorDepth = 0;
        SetCursor(CursorBeforeBusy);
        return;
    }
    HCURSOR former = SetCursor(ActiveExtPropState->waitCursor);
    if (delta >= 1 && BusyCursorDepth == 1)
        CursorBeforeBusy = former;
}

// The miniature's client origin minus the icon view's, in screen pixels.
static POINT MiniatureOffset(const ExtPropState *state)
{
    POINT miniature = {0, 0}, view = {0, 0};
    ClientToScreen(state->desktopMiniature, &miniature);
    ClientToScreen(state->iconViewWindow, &view);
    return {miniature.x - view.x, miniature.y - view.y};
}

static void TakeSavedPositions(ExtPropState *state, const std::vector<DesktopIcon> &icons)
{
    delete[] state->savedIconPositions;
    int count = (int)icons.size();
    state->savedIconPositions = new POINT[count > 0 ? count : 1];
    state->savedIconCount = count;
    for (int i = 0; i < count; i++)
        state->savedIconPositions[i] = {icons[i].x, icons[i].y};
}

// One picture per distinct image index of the shell, taken from the first
// icon that has it; gives the index in the list for every icon (-1 for none).
static std::vector<int> CopyPictures(SharedBlock *block, const std::vector<DesktopIcon> &icons,
                                     HIMAGELIST images)
{
    std::vector<int> map; // shell image index -> index in images, or -1
    std::vector<int> pictures(icons.size(), -1);
    const int MAX_SHELL_IMAGE = 1 << 16; // a sane bound for the shell's image indices
    for (size_t i = 0; i < icons.size(); i++) {
        int shellImage = icons[i].image;
        if (shellImage < 0 || shellImage >= MAX_SHELL_IMAGE)
            continue;
        if ((int)map.size() <= shellImage)
            map.resize(shellImage + 1, -2); // -2: not tried yet
        if (map[shellImage] == -2) {
            HICON picture = GetIconPicture(block, icons[i].index);
            map[shellImage] = picture ? ImageList_ReplaceIcon(images, -1, picture) : -1;
            if (picture)
                DestroyIcon(picture);
        }
        pictures[i] = map[shellImage];
    }
    return pictures;
}

static int CountDistinctImages(const std::vector<DesktopIcon> &icons)
{
    std::vector<bool> seen;
    int used = 0;
    for (const DesktopIcon &icon : icons) {
        if (icon.image < 0 || icon.image >= (1 << 16))
            continue;
        if ((int)seen.size() <= icon.image)
            seen.resize(icon.image + 1, false);
        if (!seen[icon.image])
            used++;
        seen[icon.image] = true;
    }
    return used;
}

static void AddIcon(ExtPropState *state, const DesktopIcon &icon, int picture, POINT offset)
{
    char text[ICON_TEXT_CAPACITY];
    lstrcpyA(text, icon.text);
    bool hidden = !text[0];
    // A hidden label is listed under the text it had.
    if (hidden)
        LookupHiddenText(icon.itemNumber, text, ICON_TEXT_CAPACITY - 1);

    LVITEMA item = {};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.iItem = icon.index;
    item.state = hidden ? ICON_TEXT_HIDDEN : 0;
    item.iImage = picture;
    SendMessageA(state->iconViewWindow, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    int x = ScaleToCanvas(icon.x, state->scale) + offset.x;
    int y = ScaleToCanvas(icon.y, state->scale) + offset.y;
    SendMessageA(state->iconViewWindow, LVM_SETITEMPOSITION, icon.index, MAKELPARAM(x, y));

    COMBOBOXEXITEMA entry = {};
    entry.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    entry.iItem = icon.index;
    entry.pszText = text;
    entry.cchTextMax = lstrlenA(text);
    entry.iImage = picture;
    entry.iSelectedImage = picture;
    SendMessageA(state->iconCombo, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&entry));
}

int LoadCanvasIcons()
{
    ExtPropState *state = ActiveExtPropState;
    SetBusyCursor(+1);
    SendMessageA(state->iconViewWindow, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(state->iconCombo, CB_RESETCONTENT, 0, 0);
    SharedBlock block;
    if (!SharedBlockOpen(&block, state->desktopListView)) {
        SetBusyCursor(-1);
        return 0;
    }
    // First pass: everything the shell knows of each icon.
    std::vector<DesktopIcon> icons(GetIconCount(&block));
    for (size_t i = 0; i < icons.size(); i++) {
        icons[i].index = (int)i;
        if (!ReadDesktopIcon(&block, &icons[i]))
            icons[i].image = -1;
    }
    if (!state->iconsPending)
        TakeSavedPositions(state, icons);

    if (state->iconImages)
        ImageList_Destroy(state->iconImages);
    state->iconImages = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR4, CountDistinctImages(icons) + 4, 0);
    ImageList_SetBkColor(state->iconImages, CLR_NONE);
    std::vector<int> pictures = CopyPictures(&block, icons, state->iconImages);
    SharedBlockClose(&block);
    SendMessageA(state->iconViewWindow, LVM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->iconImages));
    SendMessageA(state->iconCombo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->iconImages));

    // Second pass: the icon view's item i is the desktop's item i.
    POINT offset = MiniatureOffset(state);
    for (size_t i = 0; i < icons.size(); i++)
        AddIcon(state, icons[i], pictures[i], offset);
    InvalidateRect(state->iconViewWindow, nullptr, FALSE);
    SetBusyCursor(-1);
    return icons.empty() ? 0 : 1;
}

int OnIconMoved(int index, LPARAM corner)
{
    ExtPropState *state = ActiveExtPropState;
    POINT offset = MiniatureOffset(state);
    int cx = (short)LOWORD(corner) - offset.x;
    int cy = (short)HIWORD(corner) - offset.y;
    SharedBlock block;
    if (SharedBlockOpen(&block, state->desktopListView)) {
        SetIconPosition(&block, index, ScaleToDesktop(cx, state->scale), ScaleToDesktop(cy, state->scale));
        SharedBlockClose(&block);
    }
    if (!state->iconsPending) {
        state->iconsPending = TRUE;
        EnableApplyButton(state->dialogWindow);
    }
    return 0;
}

int RestoreIconPositions()
{
    ExtPropState *state = ActiveExtPropState;
    SharedBlock block;
    if (!SharedBlockOpen(&block, state->desktopListView))
        return 1;
    for (int i = 0; i < state->savedIconCount; i++)
        SetIconPosition(&block, i, state->savedIconPositions[i].x, state->savedIconPositions[i].y);
    SharedBlockClose(&block);
    return 1;
}
