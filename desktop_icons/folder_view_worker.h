// The desktop's folder view, called on a worker thread with a COM apartment of its own.
// On Windows every folder-view call goes to the shell's process: a shell that
// stops answering holds up the worker, never its caller, who waits for each
// call no longer than for a list view message and then gives the view up.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The longest the program waits for the shell to answer one message or one
// folder-view call: a busy or hung shell must not freeze the tray icon or the dialog.
#define SHELL_ANSWER_BOUND_MS 300

// An icon read or moved through the folder view.
struct FolderViewIcon {
    int index;         // in the list view's item order
    std::wstring name; // its display name: the folder view's item of that index must have it
    POINT place;       // where it goes; read, where it is
    bool found;        // the folder view held it (and gave its place, or moved it)
};

// How a folder-view job ended.
enum FolderViewAnswer {
    FOLDER_VIEW_ANSWERED,
    FOLDER_VIEW_FAILED,       // no folder view to be had, or the call failed
    FOLDER_VIEW_OTHER_WINDOW, // the shell's view is another window than the list view's parent
    FOLDER_VIEW_UNANSWERED,   // a call went unanswered within the bound
};

struct FolderViewWorker;

// A worker and the folder view it holds; when let go, the worker ends as soon
// as any call it is still waiting in returns.
struct ScopedFolderViewWorker {
    FolderViewWorker *worker = nullptr;
    ScopedFolderViewWorker() = default;
    ScopedFolderViewWorker(ScopedFolderViewWorker &&other) : worker(other.worker) { other.worker = nullptr; }
    ScopedFolderViewWorker &operator=(ScopedFolderViewWorker &&other);
    ScopedFolderViewWorker(const ScopedFolderViewWorker &) = delete;
    ScopedFolderViewWorker &operator=(const ScopedFolderViewWorker &) = delete;
    ~ScopedFolderViewWorker();
};

// Starts a worker on the desktop's folder view that holds listView. The holder
// keeps it when it answered, and when it did not, so that its owner can tell
// when it has come back.
FolderViewAnswer OpenFolderViewWorker(HWND listView, ScopedFolderViewWorker *holder);
// Still waiting in a call that went unanswered.
bool FolderViewWorkerStuck(const FolderViewWorker *worker);
// The places of the icons found (upper-left corners in the list view's coordinates).
FolderViewAnswer ReadFolderViewPlaces(FolderViewWorker *worker, std::vector<FolderViewIcon> *icons);
// Moves the icons found, in one batch; none is marked found when the batch failed.
FolderViewAnswer MoveFolderViewIcons(FolderViewWorker *worker, std::vector<FolderViewIcon> *icons);
