// The desktop icons on the canvas of the Icons tab: loading them into the icon
// view window and the combo box, moving a real icon when its picture is
// dropped, and putting the icons back on Cancel.
#include "desktop_icons/desktop_icons.h"

#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "dialog/ext_prop.h"

// A sane bound for the shell's image indices.
static const int MAX_SHELL_IMAGE = 1 << 16;
static const int NOT_LISTED = -2;

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

static int CountDistinctImages(const std::vector<DesktopIcon> &icons)
{
    std::vector<bool> seen;
    int used = 0;
    for (const DesktopIcon &icon : icons) {
        if (icon.image < 0 || icon.image >= MAX_SHELL_IMAGE)
            continue;
        if ((int)seen.size() <= icon.image)
            seen.resize(icon.image + 1, false);
        if (!seen[icon.image])
            used++;
        seen[icon.image] = true;
    }
    return used;
}

// The shell's image index -> index in iconImages (-1: no picture to be had).
// The shell keeps one picture per index, so the list lives as long as the
// dialog and each load only adds the indices it has not seen yet.
static std::vector<int> ListedPictures;

// One picture per distinct image index of the shell, taken from the first
// icon that has it; gives the index in iconImages for every icon (-1 for none).
static std::vector<int> ListPictures(ExtPropState *state, SharedBlock *block,
                                     const std::vector<DesktopIcon> &icons)
{
    if (!state->iconImages) {
        ListedPictures.clear();
        state->iconImages =
            ImageList_Create(16, 16, ILC_MASK | ILC_COLOR4, CountDistinctImages(icons) + 4, 0);
        ImageList_SetBkColor(state->iconImages, CLR_NONE);
    }
    std::vector<int> pictures(icons.size(), -1);
    for (size_t i = 0; i < icons.size(); i++) {
        int shellImage = icons[i].image;
        if (shellImage < 0 || shellImage >= MAX_SHELL_IMAGE)
            continue;
        if ((int)ListedPictures.size() <= shellImage)
            ListedPictures.resize(shellImage + 1, NOT_LISTED);
        if (ListedPictures[shellImage] == NOT_LISTED) {
            HICON picture = GetIconPicture(block, icons[i].index);
            ListedPictures[shellImage] = picture ? ImageList_ReplaceIcon(state->iconImages, -1, picture) : -1;
            if (picture)
                DestroyIcon(picture);
        }
        pictures[i] = ListedPictures[shellImage];
    }
    return pictures;
}

static void AddToIconView(ExtPropState *state, const DesktopIcon &icon, int picture, POINT offset)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.iItem = icon.index;
    item.state = icon.text[0] ? 0 : ICON_TEXT_HIDDEN;
    item.iImage = picture;
    SendMessageA(state->iconViewWindow, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    int x = ScaleToCanvas(icon.x, state->scale) + offset.x;
    int y = ScaleToCanvas(icon.y, state->scale) + offset.y;
    SendMessageA(state->iconViewWindow, LVM_SETITEMPOSITION, icon.index, MAKELPARAM(x, y));
}

// The label the combo box shows: a hidden one under the text it had.
static std::wstring ListedLabel(const DesktopIcon &icon)
{
    wchar_t text[ICON_TEXT_CAPACITY];
    lstrcpyW(text, icon.text);
    if (!text[0])
        LookupHiddenText(icon.itemNumber, text, ICON_TEXT_CAPACITY - 1);
    return text;
}

static bool ComboListsAlready(HWND combo, const std::vector<std::wstring> &labels,
                              const std::vector<int> &pictures)
{
    if (SendMessageW(combo, CB_GETCOUNT, 0, 0) != (LRESULT)labels.size())
        return false;
    for (size_t i = 0; i < labels.size(); i++) {
        wchar_t text[ICON_TEXT_CAPACITY] = L"";
        COMBOBOXEXITEMW entry = {};
        entry.mask = CBEIF_TEXT | CBEIF_IMAGE;
        entry.iItem = (INT_PTR)i;
        entry.pszText = text;
        entry.cchTextMax = ICON_TEXT_CAPACITY;
        if (!SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry)) || labels[i] != text ||
            entry.iImage != pictures[i])
            return false;
    }
    return true;
}

// Refilling the combo box is slow, so a load that finds the same labels and
// pictures (after a zoom, say) leaves it as it is.
static void FillIconCombo(HWND combo, const std::vector<std::wstring> &labels,
                          const std::vector<int> &pictures)
{
    if (ComboListsAlready(combo, labels, pictures))
        return;
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < labels.size(); i++) {
        COMBOBOXEXITEMW entry = {};
        entry.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        entry.iItem = (INT_PTR)i;
        entry.pszText = const_cast<wchar_t *>(labels[i].c_str());
        entry.cchTextMax = (int)labels[i].size();
        entry.iImage = pictures[i];
        entry.iSelectedImage = pictures[i];
        SendMessageW(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    }
}

int LoadCanvasIcons()
{
    ExtPropState *state = ActiveExtPropState;
    SetBusyCursor(+1);
    SendMessageA(state->iconViewWindow, LVM_DELETEALLITEMS, 0, 0);
    SharedBlock block;
    if (!SharedBlockOpen(&block, state->desktopListView)) {
        if (state->currentTab == TAB_ICONS)
            SendMessageA(state->iconCombo, CB_RESETCONTENT, 0, 0);
        SetBusyCursor(-1);
        return 0;
    }
    // First pass: everything the shell knows of each icon.
    std::vector<DesktopIcon> icons = ReadEveryDesktopIcon(&block);
    if (!state->iconsPending)
        TakeSavedPositions(state, icons);
    std::vector<int> pictures = ListPictures(state, &block, icons);
    SharedBlockClose(&block);
    SendMessageA(state->iconViewWindow, LVM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->iconImages));

    // Second pass: the icon view's item i is the desktop's item i.
    POINT offset = MiniatureOffset(state);
    std::vector<std::wstring> labels;
    for (size_t i = 0; i < icons.size(); i++) {
        AddToIconView(state, icons[i], pictures[i], offset);
        labels.push_back(ListedLabel(icons[i]));
    }
    // The combo box is the Windows tab's too: it lists icons only while the
    // Icons tab is shown (an Apply on another tab reloads the icons as well).
    if (state->currentTab == TAB_ICONS) {
        SendMessageA(state->iconCombo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(state->iconImages));
        FillIconCombo(state->iconCombo, labels, pictures);
    }
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
