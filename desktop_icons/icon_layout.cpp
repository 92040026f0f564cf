// Icon layouts saved and restored per display setup, and the keeper's ticks (desktop_icons/icon_layout.h).
#include "desktop_icons/icon_layout.h"

#include <algorithm>
#include <map>

#include "base/decimal.h"
#include "desktop_icons/desktop_icons.h"
#include "display/displays.h"
#include "settings/settings.h"

// The start-up wait, in ticks: the shell's icon list may appear long after logon.
static const int STARTUP_TICK_LIMIT = 120;
// The user's moves come in bursts (a drag of many icons): saved once they stop.
static const UINT MOVED_SAVE_DELAY = 2000;
// Where the platform tells no moves, the places are compared once a minute.
static const UINT WATCH_PERIOD = 60000;

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

// The platform hands a WinEvent callback nothing of ours: the window told of
// the shell's icon moves and the list view watched, set with the hook.
static HWND MovesOwner, MovesListView;

static void CALLBACK OnShellLocationChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                                           DWORD)
{
    // An item of the list view moved, not the view itself nor a caret.
    if (window == MovesListView && object == OBJID_CLIENT && child != CHILDID_SELF)
        SetTimer(MovesOwner, ICON_MOVED_TIMER_ID, MOVED_SAVE_DELAY, nullptr);
}

// The user's icon moves, told by the shell's process (again after the shell
// started anew); where the platform tells none, a comparison once a minute.
static void WatchIconMoves(IconLayoutKeeper *keeper, HWND listView)
{
    if (!keeper->owner || (keeper->moves.handle && listView == MovesListView))
        return;
    MovesOwner = keeper->owner, MovesListView = listView;
    DWORD process = 0;
    GetWindowThreadProcessId(listView, &process);
    keeper->moves.Reset(SetWinEventHook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, nullptr,
                                        OnShellLocationChange, process, 0, WINEVENT_OUTOFCONTEXT));
    if (keeper->moves.handle)
        KillTimer(keeper->owner, ICON_WATCH_TIMER_ID);
    else
        SetTimer(keeper->owner, ICON_WATCH_TIMER_ID, WATCH_PERIOD, nullptr);
}

// Saves the present layout as the present setup's, the one now kept fresh.
static void Keep(IconLayoutKeeper *keeper, HWND listView)
{
    if (!KeepIconLayoutOn())
        return;
    // Watched before the save, so that no move after it goes unseen.
    WatchIconMoves(keeper, listView);
    if (SaveIconLayout(listView, &keeper->channel) >= 0)
        keeper->keptSetup = PresentDisplaySetup();
}

// Puts the present setup's layout back and keeps the result; a stored layout
// that could not be put back leaves the icons scrambled, so nothing is saved.
static void RestoreAndKeep(IconLayoutKeeper *keeper, HWND listView)
{
    std::vector<IconPlace> stored;
    if (RestoreIconLayout(listView, &keeper->channel) < 0 &&
        ReadIconLayout(PresentDisplaySetup().c_str(), &stored))
        return;
    Keep(keeper, listView);
}

void IconLayoutStart(IconLayoutKeeper *keeper, HWND owner)
{
    keeper->owner = owner;
    keeper->settling = false; // a shell started anew has placed its icons itself
    keeper->startupTicks = keeper->lastCount = 0;
    if (ReadOptionNumber(OPT_RESTORE_ICON_POS_AT_STARTUP) || KeepIconLayoutOn())
        SetTimer(owner, ICON_STARTUP_TIMER_ID, ICON_STARTUP_PERIOD, nullptr);
}

void IconLayoutBeforeDisplayChange(IconLayoutKeeper *keeper)
{
    // While the icons still settle from a change before, they stand scrambled.
    if (keeper->settling || !KeepIconLayoutOn())
        return;
    if (HWND listView = FindDesktopListView())
        SaveIconLayout(listView, &keeper->channel);
}

void IconLayoutDisplayChanged(IconLayoutKeeper *keeper)
{
    // What was kept fresh belonged to the setup before.
    keeper->keptSetup.clear();
    if (!keeper->owner || !KeepIconLayoutOn())
        return;
    keeper->settling = true;
    keeper->settleTicks = 0;
    // A move told just before the change belonged to the setup before, not to the new one.
    KillTimer(keeper->owner, ICON_MOVED_TIMER_ID);
    SetTimer(keeper->owner, ICON_SETTLE_TIMER_ID, ICON_SETTLE_PERIOD, nullptr);
}

// The icons' places in one number; false when they cannot be read whole.
static bool PlacesHash(HWND listView, ShellChannel *channel, DWORD *hash)
{
    ScopedSharedBlock shared(listView, channel);
    std::vector<DesktopIcon> icons;
    if (!shared.open || !ReadIcons(&shared.block, &icons, true))
        return false;
    *hash = 2166136261u;
    for (const DesktopIcon &icon : icons)
        for (int value : {icon.x, icon.y})
            *hash = (*hash ^ (DWORD)value) * 16777619u;
    return true;
}

// One tick of the settling wait: true when done (the new setup's layout
// restored and kept once the places stopped changing, or the bound reached).
static bool SettleTick(IconLayoutKeeper *keeper)
{
    if (!keeper->settling)
        return true;
    HWND listView = FindDesktopListView();
    DWORD hash = 0;
    bool read = listView && PlacesHash(listView, &keeper->channel, &hash);
    bool settled = read && keeper->settleTicks > 0 && hash == keeper->lastPlacesHash;
    keeper->lastPlacesHash = hash;
    if (!settled && ++keeper->settleTicks < ICON_SETTLE_TICK_LIMIT)
        return false;
    // Icons of a shell that does not answer may stand scrambled: nothing is
    // saved until a later change or start finds them settled.
    if (!read)
        return true;
    keeper->settling = false;
    RestoreAndKeep(keeper, listView);
    return true;
}

// One tick of the start-up wait for the shell's icon list: true when done
// (the layout restored and kept, or the wait's bound reached).
static bool StartupTick(IconLayoutKeeper *keeper)
{
    // A display change meanwhile restores and keeps once its icons settle.
    if (keeper->settling)
        return true;
    HWND listView = FindDesktopListView();
    int count = 0;
    if (listView) {
        ScopedSharedBlock shared(listView, &keeper->channel);
        count = GetIconCount(&shared.block);
    }
    // The icon list is there and no longer growing.
    bool ready = count > 0 && count == keeper->lastCount;
    keeper->lastCount = count;
    if (ready && ReadOptionNumber(OPT_RESTORE_ICON_POS_AT_STARTUP))
        RestoreAndKeep(keeper, listView);
    else if (ready)
        Keep(keeper, listView);
    return ready || ++keeper->startupTicks >= STARTUP_TICK_LIMIT;
}

// Where no moves are told: the layout saved when the places differ from the last seen.
static void WatchTick(IconLayoutKeeper *keeper)
{
    DWORD hash = 0;
    HWND listView = FindDesktopListView();
    if (keeper->settling || !listView || !PlacesHash(listView, &keeper->channel, &hash) ||
        hash == keeper->lastPlacesHash)
        return;
    keeper->lastPlacesHash = hash;
    IconLayoutKeepNow(keeper);
}

bool IconLayoutTimer(IconLayoutKeeper *keeper, UINT_PTR id)
{
    bool done = true;
    if (id == ICON_STARTUP_TIMER_ID)
        done = StartupTick(keeper);
    else if (id == ICON_SETTLE_TIMER_ID)
        done = SettleTick(keeper);
    else if (id == ICON_MOVED_TIMER_ID)
        IconLayoutKeepNow(keeper);
    else if (id == ICON_WATCH_TIMER_ID)
        WatchTick(keeper), done = false;
    else
        return false;
    if (done)
        KillTimer(keeper->owner, id);
    return true;
}

int IconLayoutRestoreAndKeep(IconLayoutKeeper *keeper, HWND listView, ShellChannel *channel)
{
    int placed = RestoreIconLayout(listView, channel);
    // A layout that could not be put back leaves the icons as they were:
    // kept, they would take the stored one's place.
    if (placed >= 0)
        IconLayoutKeepNow(keeper);
    return placed;
}

void IconLayoutKeepNow(IconLayoutKeeper *keeper)
{
    // Only under the setup whose icons were last seen settled: a display
    // change not yet told leaves them scrambled.
    if (keeper->settling || keeper->keptSetup.empty() || keeper->keptSetup != PresentDisplaySetup())
        return;
    if (HWND listView = FindDesktopListView())
        Keep(keeper, listView);
}

void IconLayoutSaveSettled(IconLayoutKeeper *keeper)
{
    if (keeper->settling)
        return;
    if (HWND listView = FindDesktopListView())
        SaveIconLayout(listView, &keeper->channel);
}
