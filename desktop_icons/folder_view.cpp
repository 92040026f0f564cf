// The desktop's folder view found, matched to the list view and used for icon positions.
#include "desktop_icons/folder_view.h"

#include <exdisp.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "base/scoped.h"

// Desktop coordinates the list view can be given back (two 16-bit halves).
static const int POSITION_LIMIT = 32767;

static int Bounded(int value, int limit) { return value < -limit ? -limit : value > limit ? limit : value; }

// A folder view may stand for the list view only when it is the very view that
// holds it.
static bool FolderViewMatches(HWND viewWindow, HWND listView)
{
    return viewWindow && listView && viewWindow == GetParent(listView);
}

// The desktop's folder view, which newer shells require for moving icons; none
// where the shell offers no folder view with the list view's window.
static IFolderView *OpenDesktopFolderView(HWND listView, ShellChannel *channel)
{
    ScopedComPointer<IShellWindows> windows;
    if ((channel && listView == channel->folderViewRefusedFor) ||
        FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows, windows.Out())))
        return nullptr;
    VARIANT empty = {};
    empty.vt = VT_EMPTY;
    long handle = 0;
    ScopedComPointer<IDispatch> dispatch;
    ScopedComPointer<IServiceProvider> provider;
    ScopedComPointer<IShellBrowser> browser;
    ScopedComPointer<IShellView> shellView;
    ScopedComPointer<IFolderView> folderView;
    HWND viewWindow = nullptr;
    if (windows->FindWindowSW(&empty, &empty, SWC_DESKTOP, &handle, SWFO_NEEDDISPATCH,
                              reinterpret_cast<IDispatch **>(dispatch.Out())) == S_OK &&
        dispatch.pointer && SUCCEEDED(dispatch->QueryInterface(IID_IServiceProvider, provider.Out())) &&
        SUCCEEDED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.Out())) &&
        SUCCEEDED(browser->QueryActiveShellView(reinterpret_cast<IShellView **>(shellView.Out()))) &&
        SUCCEEDED(shellView->GetWindow(&viewWindow))) {
        if (FolderViewMatches(viewWindow, listView))
            shellView->QueryInterface(IID_IFolderView, folderView.Out());
        else if (channel)
            channel->folderViewRefusedFor = listView;
    }
    return folderView.Detach();
}

// Asked for only when a position is wanted: most operations need none.
static IFolderView *UsableFolderView(SharedBlock *block)
{
    if (!block->folderViewAsked && !block->unanswered && block->Open()) {
        block->folderViewAsked = true;
        block->folderView.pointer = OpenDesktopFolderView(block->listView, block->channel);
    }
    return block->folderView.pointer;
}

void PrepareShellChannel(HWND listView, ShellChannel *channel)
{
    ScopedSharedBlock shared(listView, channel);
    if (shared.open)
        UsableFolderView(&shared.block);
}

// The list view item's display name: its label, or while the label is hidden,
// the name its ID list gives.
static void DisplayName(const SharedBlock *block, const WCHAR *label, ULONGLONG param, WCHAR *name)
{
    lstrcpynW(name, label, MAX_PATH);
    ScopedCoTaskMemory<ITEMIDLIST> list(label[0] ? nullptr : CopyIdList(block, param));
    if (!list.pointer)
        return;
    SHFILEINFOW info = {};
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list.pointer), 0, &info, sizeof(info),
                       SHGFI_PIDL | SHGFI_DISPLAYNAME))
        lstrcpynW(name, info.szDisplayName, MAX_PATH);
}

// The folder view's item of the same index, confirmed by its display name,
// since the two lists are not bound to keep one order; none when they differ.
static ScopedCoTaskMemory<ITEMID_CHILD> FolderViewItem(SharedBlock *block, int index, const WCHAR *label,
                                                       ULONGLONG param)
{
    ScopedCoTaskMemory<ITEMID_CHILD> item;
    if (!UsableFolderView(block) || FAILED(block->folderView->Item(index, item.Out())) || !item.pointer)
        return item;
    WCHAR name[MAX_PATH];
    DisplayName(block, label, param, name);
    WCHAR shown[MAX_PATH] = L"";
    ScopedComPointer<IShellFolder> folder;
    STRRET display = {};
    if (SUCCEEDED(block->folderView->GetFolder(IID_IShellFolder, folder.Out())) &&
        SUCCEEDED(folder->GetDisplayNameOf(item.pointer, SHGDN_NORMAL, &display)))
        StrRetToBufW(&display, item.pointer, shown, MAX_PATH);
    if (!name[0] || lstrcmpW(shown, name))
        return ScopedCoTaskMemory<ITEMID_CHILD>();
    return item;
}

// The answered icons take their places from the folder view where it holds them.
static void TakeFolderViewPositions(SharedBlock *block, DesktopIcon *icons, int count)
{
    for (int i = 0; i < count; i++) {
        if (icons[i].image == ICON_UNANSWERED)
            continue;
        ScopedCoTaskMemory<ITEMID_CHILD> item =
            FolderViewItem(block, icons[i].index, icons[i].text, icons[i].itemValue);
        POINT position = {icons[i].x, icons[i].y};
        if (item.pointer && SUCCEEDED(block->folderView->GetItemPosition(item.pointer, &position))) {
            icons[i].x = Bounded(position.x, POSITION_LIMIT);
            icons[i].y = Bounded(position.y, POSITION_LIMIT);
        }
    }
}

int ReadDesktopIcons(SharedBlock *block, DesktopIcon *icons, int count)
{
    int answered = ReadListViewIcons(block, icons, count, true);
    TakeFolderViewPositions(block, icons, count);
    ForgetUnanswered(icons, count);
    return answered;
}

std::vector<DesktopIcon> ReadEveryDesktopIcon(SharedBlock *block, bool positions)
{
    std::vector<DesktopIcon> icons(GetIconCount(block));
    for (size_t i = 0; i < icons.size(); i++)
        icons[i] = {(int)i, 0, 0, ICON_UNANSWERED, L"", 0, 0};
    if (!ReadListViewIcons(block, icons.data(), (int)icons.size(), positions))
        icons.clear();
    // A shell that claimed more items than it holds: the end is left off.
    while (!icons.empty() && icons.back().image == ICON_UNANSWERED)
        icons.pop_back();
    if (positions)
        TakeFolderViewPositions(block, icons.data(), (int)icons.size());
    ForgetUnanswered(icons.data(), (int)icons.size());
    return icons;
}

int SetIconPosition(SharedBlock *block, int index, int x, int y)
{
    WCHAR label[ICON_TEXT_CAPACITY];
    ULONGLONG value = 0;
    if (UsableFolderView(block) && ReadItemValue(block, index, label, &value)) {
        ScopedCoTaskMemory<ITEMID_CHILD> item = FolderViewItem(block, index, label, value);
        POINT place = {x, y};
        PCUITEMID_CHILD items[1] = {item.pointer};
        if (item.pointer &&
            SUCCEEDED(block->folderView->SelectAndPositionItems(1, items, &place, SVSI_POSITIONITEM)))
            return 1;
    }
    return MoveListViewIcon(block, index, x, y);
}

int SetIconPositions(SharedBlock *block, const int *indices, const POINT *places, int count)
{
    if (!block->Open() || count <= 0)
        return 0;
    std::vector<char> done(count, 0);
    int moved = 0;
    if (UsableFolderView(block)) {
        std::vector<DesktopIcon> icons(count);
        for (int k = 0; k < count; k++)
            icons[k] = {indices[k], 0, 0, -1, L"", 0, 0};
        ReadDesktopIconNames(block, icons.data(), count);
        std::vector<ScopedCoTaskMemory<ITEMID_CHILD>> held;
        held.reserve(count);
        std::vector<PCUITEMID_CHILD> items;
        std::vector<POINT> points;
        for (int k = 0; k < count; k++) {
            ScopedCoTaskMemory<ITEMID_CHILD> item =
                FolderViewItem(block, indices[k], icons[k].text, icons[k].itemValue);
            if (!item.pointer)
                continue;
            items.push_back(item.pointer);
            held.push_back(std::move(item));
            points.push_back(places[k]);
            done[k] = 1;
        }
        if (!items.empty() && SUCCEEDED(block->folderView->SelectAndPositionItems(
                                  (UINT)items.size(), items.data(), points.data(), SVSI_POSITIONITEM)))
            moved = (int)items.size();
        else
            std::fill(done.begin(), done.end(), 0);
    }
    return moved + MoveListViewIcons(block, indices, places, count, done);
}
