// Icon layouts saved and restored per display setup, and the keeper's ticks (desktop_icons/icon_layout.h).
#include "desktop_icons/icon_layout.h"

#include <algorithm>
#include <map>

#include "base/decimal.h"
#include "desktop_icons/desktop_icons.h"
#include "display/displays.h"
#include "settings/settings.h"

// Waits, in ticks: the shell's icon list may appear long after logon; its
// rearranging after a display change takes a moment.
static const int STARTUP_TICK_LIMIT = 120;
static const int SETTLE_TICK_LIMIT = 16;
// A save older than this was for a change that never came.
static const DWORD CHANGE_WAIT_LIMIT = 30000;

std::wstring PresentDisplaySetup()
{
    std::vector<RECT> monitors;
    for (const DisplayRecord &display : ReadDisplays())
        monitors.push_back(display.monitorRect);
    std::sort(monitors.begin(), monitors.end(), [](const RECT &a, const RECT &b) {
        return a.left != b.left ? a.left < b.left : a.top < b.top;
    });
    std::wstring setup;
    for (const RECT &r : monitors) {
        wchar_t part[64];
        wsprintfW(part, L"%s%ldx%ld@%ld,%ld", setup.empty() ? L"" : L";", r.right - r.left, r.bottom - r.top,
                  r.left, r.top);
        setup += part;
    }
    return setup;
}

// Every icon of the list view, with its position or not; false when they
// cannot be read, so that a failed read never stands for an empty desktop.
static bool ReadIcons(SharedBlock *block, std::vector<DesktopIcon> *icons, bool positions)
{
    icons->assign(block->Open() ? GetIconCount(block) : 0, DesktopIcon());
    for (size_t i = 0; i < icons->size(); i++)
        (*icons)[i].index = (int)i;
    // An unanswered count is no empty desktop, and a read cut short is no layout.
    if (!block->Open() || block->unanswered || block->countCapped)
        return false;
    if (icons->empty())
        return true;
    DesktopIcon *first = icons->data();
    int count = (int)icons->size();
    int answered =
        positions ? ReadDesktopIcons(block, first, count) : ReadDesktopIconNames(block, first, count);
    return answered == count && !block->unanswered;
}

bool CaptureIconLayout(HWND listView, std::vector<IconPlace> *places, ShellChannel *channel)
{
    places->clear();
    ScopedSharedBlock shared(listView, channel);
    std::vector<DesktopIcon> icons;
    if (!shared.open || !ReadIcons(&shared.block, &icons, true))
        return false;
    std::vector<std::wstring> identities = IconIdentities(&shared.block, icons);
    for (size_t i = 0; i < icons.size(); i++)
        if (!identities[i].empty())
            places->push_back({identities[i], icons[i].x, icons[i].y});
    return true;
}

int SaveIconLayout(HWND listView, ShellChannel *channel)
{
    std::vector<IconPlace> places;
    if (!CaptureIconLayout(listView, &places, channel))
        return -1;
    // A desktop without icons stands for nothing worth keeping over what is stored.
    if (places.empty())
        return 0;
    return WriteIconLayout(PresentDisplaySetup().c_str(), places) ? (int)places.size() : -1;
}

int RestoreIconLayout(HWND listView, ShellChannel *channel)
{
    std::vector<IconPlace> stored;
    if (!ReadIconLayout(PresentDisplaySetup().c_str(), &stored))
        return -1;
    ScopedSharedBlock shared(listView, channel);
    if (!shared.open)
        return -1;
    std::map<std::wstring, POINT> layout;
    for (const IconPlace &place : stored)
        layout[place.identity] = {place.x, place.y};
    // Every icon of the layout is moved, in place or not: reading the
    // positions first would cost as many messages as the moves.
    std::vector<DesktopIcon> icons;
    if (!ReadIcons(&shared.block, &icons, false))
        return -1;
    std::vector<std::wstring> identities = IconIdentities(&shared.block, icons);
    std::vector<int> indices;
    std::vector<POINT> places;
    for (size_t i = 0; i < icons.size(); i++) {
        auto found = layout.find(identities[i]);
        if (found == layout.end())
            continue;
        indices.push_back(icons[i].index);
        places.push_back(found->second);
    }
    SetIconPositions(&shared.block, indices.data(), places.data(), (int)indices.size());
    return shared.block.unanswered ? -1 : (int)indices.size();
}

static bool KeepIconLayoutOn() { return ReadOptionNumberOr(OPT_KEEP_ICON_LAYOUT, 1) != 0; }

void IconLayoutBeforeDisplayChange(IconLayoutKeeper *keeper)
{
    if (!KeepIconLayoutOn())
        return;
    HWND listView = FindDesktopListView();
    if (listView && SaveIconLayout(listView, &keeper->channel) >= 0)
        keeper->armedAt = GetTickCount() | 1;
}

bool IconLayoutDisplayChanged(IconLayoutKeeper *keeper)
{
    if (!keeper->armedAt || GetTickCount() - keeper->armedAt > CHANGE_WAIT_LIMIT) {
        keeper->armedAt = 0;
        return false;
    }
    keeper->settleTicks = 0;
    keeper->lastPlacesHash = 0;
    return true;
}

static DWORD PlacesHash(HWND listView, ShellChannel *channel)
{
    ScopedSharedBlock shared(listView, channel);
    DWORD hash = 2166136261u;
    for (const DesktopIcon &icon : ReadEveryDesktopIcon(&shared.block))
        for (int value : {icon.x, icon.y})
            hash = (hash ^ (DWORD)value) * 16777619u;
    return hash;
}

bool IconLayoutSettleTick(IconLayoutKeeper *keeper)
{
    HWND listView = FindDesktopListView();
    DWORD hash = PlacesHash(listView, &keeper->channel);
    bool settled = keeper->settleTicks > 0 && hash == keeper->lastPlacesHash;
    keeper->lastPlacesHash = hash;
    if (!settled && ++keeper->settleTicks < SETTLE_TICK_LIMIT)
        return false;
    keeper->armedAt = 0;
    RestoreIconLayout(listView, &keeper->channel);
    return true;
}

bool IconLayoutStartupTick(IconLayoutKeeper *keeper)
{
    HWND listView = FindDesktopListView();
    int count = 0;
    if (listView) {
        ScopedSharedBlock shared(listView, &keeper->channel);
        count = GetIconCount(&shared.block);
    }
    // The icon list is there and no longer growing.
    bool ready = count > 0 && count == keeper->lastCount;
    keeper->lastCount = count;
    if (ready)
        RestoreIconLayout(listView, &keeper->channel);
    return ready || ++keeper->startupTicks >= STARTUP_TICK_LIMIT;
}
