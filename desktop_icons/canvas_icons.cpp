// The desktop icons on the canvas of the Icons tab: loading them into the icon
// view window and the combo box, moving a real icon when its picture is
// dropped, and putting the icons back on Cancel.
#include "desktop_icons/icon_page.h"

#include <string>
#include <vector>

#include "base/facts.h"
#include "canvas/canvas.h"
#include "desktop_icons/desktop_icons.h"

// A sane bound for the shell's image indices.
static const int MAX_SHELL_IMAGE = 1 << 16;
static const int NOT_LISTED = -2;

bool SetUpIconPage(IconPage *page, HWND dialog, HWND combo, HWND miniature)
{
    page->combo = combo;
    page->miniature = miniature;
    page->waitCursor = LoadCursorW(nullptr, IDC_WAIT);
    page->viewWindow = IconViewCreate(&page->view, dialog, InstanceHandle, L"IconView");
    page->listView = FindDesktopListView();
    return page->viewWindow != nullptr;
}

void ReleaseIconPage(IconPage *page)
{
    IconViewDestroy(&page->view);
    page->viewWindow = nullptr;
    if (page->images)
        ImageList_Destroy(page->images);
    page->images = nullptr;
    page->listedPictures.clear();
    page->savedPositions.clear();
}

void SetBusyCursor(IconPage *page, int delta)
{
    page->busyDepth += delta;
    if (page->busyDepth < 1) {
        page->busyDepth = 0;
        SetCursor(page->cursorBeforeBusy);
        return;
    }
    HCURSOR former = SetCursor(page->waitCursor);
    if (delta >= 1 && page->busyDepth == 1)
        page->cursorBeforeBusy = former;
}

// The miniature's client origin minus the icon view's, in screen pixels.
static POINT MiniatureOffset(const IconPage *page)
{
    POINT miniature = {0, 0}, view = {0, 0};
    ClientToScreen(page->miniature, &miniature);
    ClientToScreen(page->viewWindow, &view);
    return {miniature.x - view.x, miniature.y - view.y};
}

static void TakeSavedPositions(IconPage *page, const std::vector<DesktopIcon> &icons)
{
    page->savedPositions.clear();
    for (const DesktopIcon &icon : icons)
        page->savedPositions.push_back({icon.x, icon.y});
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

// One picture per distinct image index of the shell, taken from the first
// icon that has it; gives the index in iconImages for every icon (-1 for none).
static std::vector<int> ListPictures(IconPage *page, SharedBlock *block,
                                     const std::vector<DesktopIcon> &icons)
{
    std::vector<int> &listed = page->listedPictures;
    if (!page->images) {
        listed.clear();
        page->images = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR4, CountDistinctImages(icons) + 4, 0);
        ImageList_SetBkColor(page->images, CLR_NONE);
    }
    std::vector<int> pictures(icons.size(), -1);
    for (size_t i = 0; i < icons.size(); i++) {
        int shellImage = icons[i].image;
        if (shellImage < 0 || shellImage >= MAX_SHELL_IMAGE)
            continue;
        if ((int)listed.size() <= shellImage)
            listed.resize(shellImage + 1, NOT_LISTED);
        if (listed[shellImage] == NOT_LISTED) {
            HICON picture = GetIconPicture(block, icons[i].index);
            listed[shellImage] = picture ? ImageList_ReplaceIcon(page->images, -1, picture) : -1;
            if (picture)
                DestroyIcon(picture);
        }
        pictures[i] = listed[shellImage];
    }
    return pictures;
}

static void AddToIconView(IconPage *page, float scale, const DesktopIcon &icon, int picture, POINT offset)
{
    LVITEMW item = {};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.iItem = icon.index;
    item.state = icon.text[0] ? 0 : ICON_TEXT_HIDDEN;
    item.iImage = picture;
    SendMessageW(page->viewWindow, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    int x = ScaleToCanvas(icon.x, scale) + offset.x;
    int y = ScaleToCanvas(icon.y, scale) + offset.y;
    SendMessageW(page->viewWindow, LVM_SETITEMPOSITION, icon.index, MAKELPARAM(x, y));
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

int LoadCanvasIcons(IconPage *page, float scale, bool listInCombo)
{
    SetBusyCursor(page, +1);
    SendMessageW(page->viewWindow, LVM_DELETEALLITEMS, 0, 0);
    ScopedSharedBlock shared(page->listView);
    SharedBlock &block = shared.block;
    if (!shared.open) {
        if (listInCombo)
            SendMessageW(page->combo, CB_RESETCONTENT, 0, 0);
        SetBusyCursor(page, -1);
        return 0;
    }
    // First pass: everything the shell knows of each icon.
    std::vector<DesktopIcon> icons = ReadEveryDesktopIcon(&block);
    if (!page->pending)
        TakeSavedPositions(page, icons);
    std::vector<int> pictures = ListPictures(page, &block, icons);
    SendMessageW(page->viewWindow, LVM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(page->images));

    // Second pass: the icon view's item i is the desktop's item i.
    POINT offset = MiniatureOffset(page);
    std::vector<std::wstring> labels;
    for (size_t i = 0; i < icons.size(); i++) {
        AddToIconView(page, scale, icons[i], pictures[i], offset);
        labels.push_back(ListedLabel(icons[i]));
    }
    // The combo box is the Windows tab's too: it lists icons only while the
    // Icons tab is shown (an Apply on another tab reloads the icons as well).
    if (listInCombo) {
        SendMessageW(page->combo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(page->images));
        FillIconCombo(page->combo, labels, pictures);
    }
    InvalidateRect(page->viewWindow, nullptr, FALSE);
    SetBusyCursor(page, -1);
    return icons.empty() ? 0 : 1;
}

// An icon dropped wholly or partly beyond the monitors would be out of the
// user's sight or reach: it goes wholly onto the nearest monitor's work area.
// The list view's origin is the virtual screen's corner.
static POINT KeepIconOnWorkArea(SharedBlock *block, int index, int x, int y)
{
    RECT extent;
    if (!GetIconExtent(block, index, &extent))
        return {x, y};
    POINT corner = VirtualScreenCorner();
    RECT icon = extent;
    OffsetRect(&icon, x + corner.x, y + corner.y);
    if (OnSomeWorkArea(icon))
        return {x, y};
    RECT kept = KeepRectInArea(icon, NearestWorkArea(icon));
    return {kept.left - extent.left - corner.x, kept.top - extent.top - corner.y};
}

bool OnIconMoved(IconPage *page, float scale, int index, LPARAM corner)
{
    POINT offset = MiniatureOffset(page);
    int cx = (short)LOWORD(corner) - offset.x;
    int cy = (short)HIWORD(corner) - offset.y;
    ScopedSharedBlock shared(page->listView);
    if (shared.open) {
        POINT place =
            KeepIconOnWorkArea(&shared.block, index, ScaleToDesktop(cx, scale), ScaleToDesktop(cy, scale));
        SetIconPosition(&shared.block, index, place.x, place.y);
    }
    if (page->pending)
        return false;
    page->pending = TRUE;
    return true;
}

void RestoreIconPositions(IconPage *page)
{
    ScopedSharedBlock shared(page->listView);
    for (size_t i = 0; shared.open && i < page->savedPositions.size(); i++)
        SetIconPosition(&shared.block, (int)i, page->savedPositions[i].x, page->savedPositions[i].y);
}

void CommitIconMoves(IconPage *page)
{
    page->savedPositions.clear();
    page->pending = FALSE;
}
