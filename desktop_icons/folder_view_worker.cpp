// The folder view's worker thread and its jobs (desktop_icons/folder_view_worker.h).
#include "desktop_icons/folder_view_worker.h"

#include <exdisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "base/scoped.h"

enum FolderViewJob { JOB_OPEN, JOB_READ, JOB_MOVE };
// Icons moved by one call.
static const size_t MOVE_BATCH_LIMIT = 100;
// Creating the shell's windows object may first load its server into this
// process, which takes longer than a call: it may go this many bounds without
// an answer.
static const LONG CREATION_BOUNDS = 10;

// What the worker and its caller share. Each holds a reference and the last to
// let go frees it, so a caller that stops waiting leaves nothing to vanish
// under the worker. The job's fields are the caller's while no job is under
// way, the worker's while one is.
struct FolderViewWorker {
    volatile LONG references = 2;
    volatile LONG calls = 0;  // calls into the folder view begun so far
    volatile LONG busy = 0;   // a job is under way
    volatile LONG ending = 0; // the caller let go: no job follows
    volatile LONG bounds = 1; // how many bounds the call under way may take
    ScopedHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    ScopedHandle done{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    FolderViewJob job = JOB_OPEN;
    HWND listView = nullptr;
    std::vector<FolderViewIcon> icons;
    FolderViewAnswer answer = FOLDER_VIEW_FAILED;
    // Used and released on the worker's thread only.
    ScopedComPointer<IFolderView> view;
    ScopedComPointer<IShellFolder> folder;
};

static void LetGo(FolderViewWorker *worker)
{
    if (InterlockedDecrement(&worker->references) == 0)
        delete worker;
}

// Counted before each call (always true, to lead a condition), so that a call
// that does not return shows as no progress.
static bool Begin(FolderViewWorker *worker) { return InterlockedIncrement(&worker->calls), true; }

// The desktop's folder view and its folder, taken only where the view's
// window is the list view's parent: Wine offers a view of another window that
// holds no items.
static FolderViewAnswer OpenView(FolderViewWorker *worker)
{
    ScopedComPointer<IShellWindows> windows;
    ScopedComPointer<IDispatch> dispatch;
    ScopedComPointer<IServiceProvider> provider;
    ScopedComPointer<IShellBrowser> browser;
    ScopedComPointer<IShellView> shellView;
    VARIANT empty = {};
    empty.vt = VT_EMPTY;
    long handle = 0;
    HWND viewWindow = nullptr;
    InterlockedExchange(&worker->bounds, CREATION_BOUNDS);
    HRESULT created = (Begin(worker), CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL,
                                                       IID_IShellWindows, windows.Out()));
    // Counted as an answer before the bound is one again (RunJob reads the bound first).
    Begin(worker);
    InterlockedExchange(&worker->bounds, 1);
    if (FAILED(created) || !Begin(worker) ||
        windows->FindWindowSW(&empty, &empty, SWC_DESKTOP, &handle, SWFO_NEEDDISPATCH,
                              reinterpret_cast<IDispatch **>(dispatch.Out())) != S_OK ||
        !dispatch.pointer || !Begin(worker) ||
        FAILED(dispatch->QueryInterface(IID_IServiceProvider, provider.Out())) || !Begin(worker) ||
        FAILED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.Out())) ||
        !Begin(worker) ||
        FAILED(browser->QueryActiveShellView(reinterpret_cast<IShellView **>(shellView.Out()))) ||
        !Begin(worker) || FAILED(shellView->GetWindow(&viewWindow)))
        return FOLDER_VIEW_FAILED;
    if (!viewWindow || !worker->listView || viewWindow != GetParent(worker->listView))
        return FOLDER_VIEW_OTHER_WINDOW;
    if (!Begin(worker) || FAILED(shellView->QueryInterface(IID_IFolderView, worker->view.Out())) ||
        !Begin(worker) || FAILED(worker->view->GetFolder(IID_IShellFolder, worker->folder.Out())))
        return FOLDER_VIEW_FAILED;
    return FOLDER_VIEW_ANSWERED;
}

// The folder view's item of the icon's index, confirmed by its display name,
// since the two lists are not bound to keep one order.
static bool ItemNamed(FolderViewWorker *worker, const FolderViewIcon &icon,
                      ScopedCoTaskMemory<ITEMID_CHILD> *item)
{
    WCHAR shown[MAX_PATH] = L"";
    STRRET display = {};
    if (!Begin(worker) || FAILED(worker->view->Item(icon.index, item->Out())) || !item->pointer)
        return false;
    return Begin(worker) &&
           SUCCEEDED(worker->folder->GetDisplayNameOf(item->pointer, SHGDN_NORMAL, &display)) &&
           SUCCEEDED(StrRetToBufW(&display, item->pointer, shown, MAX_PATH)) && !icon.name.empty() &&
           icon.name == shown;
}

static FolderViewAnswer ReadPlaces(FolderViewWorker *worker)
{
    for (FolderViewIcon &icon : worker->icons) {
        ScopedCoTaskMemory<ITEMID_CHILD> item;
        icon.found = !worker->ending && ItemNamed(worker, icon, &item) && Begin(worker) &&
                     SUCCEEDED(worker->view->GetItemPosition(item.pointer, &icon.place));
    }
    return FOLDER_VIEW_ANSWERED;
}

static FolderViewAnswer MovePlaces(FolderViewWorker *worker)
{
    std::vector<ScopedCoTaskMemory<ITEMID_CHILD>> held;
    held.reserve(worker->icons.size());
    std::vector<PCUITEMID_CHILD> items;
    std::vector<POINT> points;
    for (FolderViewIcon &icon : worker->icons) {
        ScopedCoTaskMemory<ITEMID_CHILD> item;
        icon.found = !worker->ending && ItemNamed(worker, icon, &item);
        if (!icon.found)
            continue;
        items.push_back(item.pointer);
        held.push_back(std::move(item));
        points.push_back(icon.place);
    }
    // In batches, each one call that the shell handles well within the bound,
    // as the list view's moves are queued.
    bool moved = true;
    for (size_t first = 0; first < items.size() && moved; first += MOVE_BATCH_LIMIT) {
        UINT count = (UINT)std::min(MOVE_BATCH_LIMIT, items.size() - first);
        moved = !worker->ending && Begin(worker) &&
                SUCCEEDED(worker->view->SelectAndPositionItems(count, items.data() + first,
                                                               points.data() + first, SVSI_POSITIONITEM));
    }
    if (moved)
        return FOLDER_VIEW_ANSWERED;
    for (FolderViewIcon &icon : worker->icons)
        icon.found = false;
    return FOLDER_VIEW_FAILED;
}

static DWORD WINAPI WorkerThread(void *parameter)
{
    FolderViewWorker *worker = static_cast<FolderViewWorker *>(parameter);
    {
        ScopedComApartment com(COINIT_MULTITHREADED);
        while (WaitForSingleObject(worker->wake.handle, INFINITE) == WAIT_OBJECT_0 && !worker->ending) {
            worker->answer = worker->job == JOB_OPEN   ? OpenView(worker)
                             : worker->job == JOB_READ ? ReadPlaces(worker)
                                                       : MovePlaces(worker);
            InterlockedExchange(&worker->busy, 0);
            SetEvent(worker->done.handle);
        }
        worker->folder.Reset();
        worker->view.Reset();
    }
    LetGo(worker);
    return 0;
}

// Hands the job over and waits for as long as the worker's calls keep
// returning, each within its bounds.
static FolderViewAnswer RunJob(FolderViewWorker *worker, FolderViewJob job)
{
    worker->job = job;
    InterlockedExchange(&worker->busy, 1);
    SetEvent(worker->wake.handle);
    for (LONG seen = -1, idle = 0;;) {
        if (WaitForSingleObject(worker->done.handle, SHELL_ANSWER_BOUND_MS) == WAIT_OBJECT_0)
            return worker->answer;
        LONG bounds = InterlockedCompareExchange(&worker->bounds, 0, 0);
        LONG calls = InterlockedCompareExchange(&worker->calls, 0, 0);
        idle = calls == seen ? idle + 1 : 0;
        if (idle >= bounds)
            return FOLDER_VIEW_UNANSWERED;
        seen = calls;
    }
}

ScopedFolderViewWorker &ScopedFolderViewWorker::operator=(ScopedFolderViewWorker &&other)
{
    if (this != &other) {
        this->~ScopedFolderViewWorker();
        worker = other.worker;
        other.worker = nullptr;
    }
    return *this;
}

ScopedFolderViewWorker::~ScopedFolderViewWorker()
{
    if (!worker)
        return;
    InterlockedExchange(&worker->ending, 1);
    SetEvent(worker->wake.handle);
    LetGo(worker);
    worker = nullptr;
}

FolderViewAnswer OpenFolderViewWorker(HWND listView, ScopedFolderViewWorker *holder)
{
    *holder = ScopedFolderViewWorker();
    FolderViewWorker *worker = new FolderViewWorker;
    if (!worker->wake.handle || !worker->done.handle) {
        delete worker;
        return FOLDER_VIEW_FAILED;
    }
    worker->listView = listView;
    ScopedHandle thread(CreateThread(nullptr, 0, WorkerThread, worker, 0, nullptr));
    if (!thread.handle) {
        delete worker;
        return FOLDER_VIEW_FAILED;
    }
    holder->worker = worker;
    FolderViewAnswer answer = RunJob(worker, JOB_OPEN);
    if (answer != FOLDER_VIEW_ANSWERED && answer != FOLDER_VIEW_UNANSWERED)
        *holder = ScopedFolderViewWorker();
    return answer;
}

bool FolderViewWorkerStuck(const FolderViewWorker *worker) { return worker && worker->busy; }

// The icons go to the worker for the job and come back once it is done; a
// worker that did not answer keeps them.
static FolderViewAnswer RunOnIcons(FolderViewWorker *worker, FolderViewJob job,
                                   std::vector<FolderViewIcon> *icons)
{
    worker->icons.swap(*icons);
    FolderViewAnswer answer = RunJob(worker, job);
    if (answer != FOLDER_VIEW_UNANSWERED)
        worker->icons.swap(*icons);
    return answer;
}

FolderViewAnswer ReadFolderViewPlaces(FolderViewWorker *worker, std::vector<FolderViewIcon> *icons)
{
    return RunOnIcons(worker, JOB_READ, icons);
}

FolderViewAnswer MoveFolderViewIcons(FolderViewWorker *worker, std::vector<FolderViewIcon> *icons)
{
    return RunOnIcons(worker, JOB_MOVE, icons);
}
