// The desktop icons on the Icons tab's canvas: loaded, moved when dropped, put back on Cancel.
// Each load fills the icon view window (and the combo box's entries) from the
// shell a chunk at a time; a dropped picture moves the real icon at once.
#include "desktop_icons/icon_page.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/facts.h"
#include "canvas/canvas.h"
#include "desktop_icons/desktop_icons.h"

#define TEXT_OF_NUMBER(number) L## #number
#define TEXT_OF(number) TEXT_OF_NUMBER(number)

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

static void EndLoad(IconPage *page);

void ReleaseIconPage(IconPage *page)
{
    EndLoad(page);
    IconViewDestroy(&page->view);
    page->viewWindow = nullptr;
    if (page->images)
        ImageList_Destroy(page->images);
    page->images = nullptr;
    page->listedPictures.clear();
    page->savedPositions.clear();
    page->savedIdentities.clear();
    page->comboLabels.clear();
    page->comboPictures.clear();
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

// Appends the icon's picture; gives the place it takes.
static RECT AddToIconView(IconPage *page, float scale, const DesktopIcon &icon, int picture, POINT offset)
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
    return {x, y, x + 16, y + 16};
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

// Refilling the combo box is slow (a message per entry), so it is filled
// only when it opens, and left as it is when it lists the same labels and
// pictures already.
void FillIconCombo(IconPage *page)
{
    HWND combo = page->combo;
    SendMessageW(combo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(page->images));
    const std::vector<std::wstring> &labels = page->comboLabels;
    const std::vector<int> &pictures = page->comboPictures;
    if (ComboListsAlready(combo, labels, pictures))
        return;
    SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
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
    SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
}

static void EndLoad(IconPage *page)
{
    if (page->loading)
        SetBusyCursor(page, -1);
    page->loading = FALSE;
    page->loadNext = page->loadCount = 0;
}

void BeginCanvasIconLoad(IconPage *page, bool listInCombo)
{
    if (!page->loading)
        SetBusyCursor(page, +1);
    page->loading = TRUE;
    SendMessageW(page->viewWindow, LVM_DELETEALLITEMS, 0, 0);
    InvalidateRect(page->viewWindow, nullptr, FALSE);
    // The combo box's entries are gathered for when it opens; what it holds
    // now is compared with them then.
    page->loadListsInCombo = listInCombo;
    if (listInCombo) {
        page->comboLabels.clear();
        page->comboPictures.clear();
    }
    ScopedSharedBlock shared(page->listView, &page->channel);
    page->loadNext = 0;
    page->loadCount = GetIconCount(&shared.block);
    page->shellUnanswered = shared.block.unanswered;
    page->countCapped = shared.block.countCapped;
    // The places to go back to are those of this load unless icons were
    // moved; a shell that does not answer leaves them as they were.
    page->loadTakesPositions = !page->pending && shared.open && !shared.block.unanswered;
    if (page->loadTakesPositions)
        page->savedPositions.clear();
    if (!page->loadCount)
        EndLoad(page);
}

// The icons read, shown on the canvas (the icon view's item i is the
// desktop's item i) and listed for the combo box.
static void ShowLoadedIcons(IconPage *page, SharedBlock *block, float scale,
                            const std::vector<DesktopIcon> &icons)
{
    std::vector<int> pictures = ListPictures(page, block, icons);
    SendMessageW(page->viewWindow, LVM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(page->images));
    POINT offset = MiniatureOffset(page);
    RECT arrived = {};
    for (size_t i = 0; i < icons.size(); i++) {
        RECT place = AddToIconView(page, scale, icons[i], pictures[i], offset);
        UnionRect(&arrived, &arrived, &place);
        if (page->loadTakesPositions)
            page->savedPositions.push_back({icons[i].x, icons[i].y});
        // The combo box is the Windows tab's too: it lists icons only while
        // the Icons tab is shown (an Apply on another tab reloads the icons).
        if (page->loadListsInCombo) {
            page->comboLabels.push_back(ListedLabel(icons[i]));
            page->comboPictures.push_back(pictures[i]);
        }
    }
    // Only where the new icons lie is drawn: the others are there already.
    InvalidateRect(page->viewWindow, &arrived, FALSE);
}

bool ContinueCanvasIconLoad(IconPage *page, float scale)
{
    if (!page->loading)
        return false;
    int first = page->loadNext;
    int count = std::min(ICON_LOAD_CHUNK, page->loadCount - first);
    std::vector<DesktopIcon> icons(count);
    for (int i = 0; i < count; i++)
        icons[i] = {first + i, 0, 0, -1, L"", 0, 0};
    ScopedSharedBlock shared(page->listView, &page->channel);
    int answered = ReadDesktopIcons(&shared.block, icons.data(), count);
    page->shellUnanswered = shared.block.unanswered;
    // Indices run without a gap, so only the first items can have answered;
    // a shell that held fewer than it claimed has no more.
    icons.resize(std::max(0, std::min(answered, count)));
    ShowLoadedIcons(page, &shared.block, scale, icons);
    page->loadNext = answered < count ? page->loadCount : first + count;
    if (page->loadNext < page->loadCount)
        return true;
    EndLoad(page);
    return false;
}

int LoadCanvasIcons(IconPage *page, float scale, bool listInCombo)
{
    BeginCanvasIconLoad(page, listInCombo);
    while (ContinueCanvasIconLoad(page, scale))
        ;
    return page->view.count > 0 ? 1 : 0;
}

// Every icon's identity, in item order: the same as the layout store's, so
// that an icon is known by one identity everywhere. Empty when the icons
// cannot be read.
static std::vector<std::wstring> ReadIdentities(SharedBlock *block)
{
    std::vector<DesktopIcon> icons(GetIconCount(block));
    for (size_t i = 0; i < icons.size(); i++)
        icons[i].index = (int)i;
    if (icons.empty() || !ReadDesktopIconNames(block, icons.data(), (int)icons.size()))
        return {};
    return IconIdentities(block, icons);
}

// The identities of the icons whose places were taken, read while the shell
// that numbered them still runs.
static void TakeSavedIdentities(IconPage *page, SharedBlock *block)
{
    page->savedIdentities = ReadIdentities(block);
    page->savedIdentities.resize(page->savedPositions.size());
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
    ScopedSharedBlock shared(page->listView, &page->channel);
    if (shared.open && !page->pending)
        TakeSavedIdentities(page, &shared.block);
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

// Each icon of the present shell goes to the place saved under its identity
// (twins are numbered apart, so each takes a saved place of its own).
static void RestoreByIdentity(IconPage *page, SharedBlock *block)
{
    std::map<std::wstring, POINT> saved;
    for (size_t k = 0; k < page->savedIdentities.size() && k < page->savedPositions.size(); k++)
        if (!page->savedIdentities[k].empty())
            saved.emplace(page->savedIdentities[k], page->savedPositions[k]);
    std::vector<std::wstring> identities = ReadIdentities(block);
    std::vector<int> indices;
    std::vector<POINT> places;
    for (size_t i = 0; i < identities.size(); i++) {
        auto found = saved.find(identities[i]);
        if (found == saved.end())
            continue;
        indices.push_back((int)i);
        places.push_back(found->second);
    }
    SetIconPositions(block, indices.data(), places.data(), (int)indices.size());
}

void RestoreIconPositions(IconPage *page)
{
    ScopedSharedBlock shared(page->listView, &page->channel);
    if (shared.open && page->savedFromOtherShell) {
        RestoreByIdentity(page, &shared.block);
        return;
    }
    for (size_t i = 0; shared.open && i < page->savedPositions.size(); i++)
        SetIconPosition(&shared.block, (int)i, page->savedPositions[i].x, page->savedPositions[i].y);
}

void CommitIconMoves(IconPage *page)
{
    page->savedPositions.clear();
    page->savedIdentities.clear();
    page->savedFromOtherShell = FALSE;
    page->pending = FALSE;
}

void PrepareIconPage(IconPage *page, float scale)
{
    PrepareShellChannel(page->listView, &page->channel);
    // The pictures are kept from load to load, so the first entry finds them.
    if (!page->loading)
        LoadCanvasIcons(page, scale, false);
}

const wchar_t *IconPageProblem(const IconPage *page)
{
    if (page->shellUnanswered)
        return L"The desktop does not answer; its icons are read again once it does.";
    if (page->countCapped)
        return L"The desktop reports more icons than the " TEXT_OF(ICON_COUNT_LIMIT) L" shown here.";
    return nullptr;
}

bool FollowShell(IconPage *page)
{
    HWND found = FindDesktopListView();
    if (found == page->listView && (!found || IsWindow(found)))
        return false;
    page->listView = found;
    if (page->pending)
        page->savedFromOtherShell = TRUE;
    // Another shell numbers its pictures its own way: they are taken anew
    // (into the same list, which the icon view and the combo box may hold).
    page->listedPictures.clear();
    return true;
}
