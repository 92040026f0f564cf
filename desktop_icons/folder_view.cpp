// Icon positions through the desktop's folder view where it holds the list view, else the list view.
#include "desktop_icons/folder_view.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <utility>

#include "base/scoped.h"

// Desktop coordinates the list view can be given back (two 16-bit halves).
static const int POSITION_LIMIT = 32767;

static int Bounded(int value, int limit) { return value < -limit ? -limit : value > limit ? limit : value; }

// The folder view went unanswered: the operation fails, and the owner keeps
// the worker to see when it comes back.
static void FolderViewUnanswered(SharedBlock *block)
{
    block->unanswered = true;
    if (block->channel)
        block->channel->unanswered = std::move(block->folderView);
    block->folderView = ScopedFolderViewWorker();
}

// Whether a folder-view job answered; one that did not fails the operation.
static bool Answered(SharedBlock *block, FolderViewAnswer answer)
{
    if (answer == FOLDER_VIEW_UNANSWERED)
        FolderViewUnanswered(block);
    return answer == FOLDER_VIEW_ANSWERED;
}

// The worker on the desktop's folder view, which newer shells require for
// moving icons, started only when a position is wanted: most operations need
// none. None where the shell offers no folder view with the list view's window.
static FolderViewWorker *UsableFolderView(SharedBlock *block)
{
    ShellChannel *channel = block->channel;
    if (block->folderViewAsked || block->unanswered || !block->Open())
        return block->folderView.worker;
    block->folderViewAsked = true;
    if (channel && block->listView == channel->folderViewRefusedFor)
        return nullptr;
    if (channel && FolderViewWorkerStuck(channel->unanswered.worker)) {
        block->unanswered = true;
        return nullptr;
    }
    if (channel)
        channel->unanswered = ScopedFolderViewWorker();
    FolderViewAnswer answer = OpenFolderViewWorker(block->listView, &block->folderView);
    if (answer == FOLDER_VIEW_OTHER_WINDOW && channel)
        channel->folderViewRefusedFor = block->listView;
    Answered(block, answer);
    return block->folderView.worker;
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

// An icon as the folder view is asked about it: by its index and display name.
static FolderViewIcon ForFolderView(const SharedBlock *block, int index, const WCHAR *label, ULONGLONG param,
                                    POINT place)
{
    WCHAR name[MAX_PATH];
    DisplayName(block, label, param, name);
    return {index, name, place, false};
}

// The answered icons take their places from the folder view where it holds them.
static void TakeFolderViewPositions(SharedBlock *block, DesktopIcon *icons, int count)
{
    std::vector<FolderViewIcon> asked;
    std::vector<int> which;
    for (int i = 0; i < count && UsableFolderView(block); i++) {
        if (icons[i].image == ICON_UNANSWERED)
            continue;
        asked.push_back(ForFolderView(block, icons[i].index, icons[i].text, icons[i].itemValue, {}));
        which.push_back(i);
    }
    if (asked.empty() || !Answered(block, ReadFolderViewPlaces(block->folderView.worker, &asked)))
        return;
    for (size_t k = 0; k < asked.size(); k++) {
        if (!asked[k].found)
            continue;
        icons[which[k]].x = Bounded(asked[k].place.x, POSITION_LIMIT);
        icons[which[k]].y = Bounded(asked[k].place.y, POSITION_LIMIT);
    }
}

int ReadDesktopIcons(SharedBlock *block, DesktopIcon *icons, int count)
{
    int answered = ReadListViewIcons(block, icons, count, true);
    TakeFolderViewPositions(block, icons, count);
    ForgetUnanswered(icons, count);
    // Places the folder view did not give are no places.
    return block->unanswered ? 0 : answered;
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
    if (block->unanswered)
        icons.clear();
    ForgetUnanswered(icons.data(), (int)icons.size());
    return icons;
}

int SetIconPosition(SharedBlock *block, int index, int x, int y)
{
    WCHAR label[ICON_TEXT_CAPACITY];
    ULONGLONG value = 0;
    if (UsableFolderView(block) && ReadItemValue(block, index, label, &value)) {
        std::vector<FolderViewIcon> icons = {ForFolderView(block, index, label, value, {x, y})};
        if (Answered(block, MoveFolderViewIcons(block->folderView.worker, &icons)) && icons[0].found)
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
        std::vector<FolderViewIcon> asked;
        for (int k = 0; k < count; k++)
            asked.push_back(ForFolderView(block, indices[k], icons[k].text, icons[k].itemValue, places[k]));
        if (!block->unanswered && Answered(block, MoveFolderViewIcons(block->folderView.worker, &asked)))
            for (int k = 0; k < count; k++)
                moved += done[k] = asked[k].found;
    }
    return moved + MoveListViewIcons(block, indices, places, count, done);
}
