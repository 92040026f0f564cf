// The channel to the shell's desktop icon list. The list view lives in the
// shell's process, so every record and text buffer a message points at is
// placed in that process; pictures are taken here from the items' identities,
// never through the shell's image list handle, which means nothing in this
// process.
#include "desktop_icons/desktop_icons.h"

#include <algorithm>
#include <exdisp.h>
#include <limits.h>
#include <objbase.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>
#include <stddef.h>

#include <algorithm>
#include <vector>

#include "base/platform.h"
#include "base/scoped.h"

long ShellMessageCount;

// The list view's item record as the shell's process lays it out; the text
// it points to is WCHARs, since only the W messages are sent.
struct ItemRecord32 {
    UINT mask;
    int item, subItem;
    UINT state, stateMask;
    DWORD text;
    int textMax, image;
    DWORD param;
    int indent;
};
struct ItemRecord64 {
    UINT mask;
    int item, subItem;
    UINT state, stateMask, padding;
    ULONGLONG text;
    int textMax, image;
    ULONGLONG param;
    int indent, padding2;
};
static_assert(sizeof(ItemRecord32) == 40 && offsetof(ItemRecord32, param) == 32, "32-bit LVITEMW");
static_assert(offsetof(ItemRecord64, text) == 24 && offsetof(ItemRecord64, param) == 40, "64-bit LVITEMW");
// This build's own record checks the layout of its own kind of shell.
#ifdef _WIN64
typedef ItemRecord64 NativeItemRecord;
#else
typedef ItemRecord32 NativeItemRecord;
#endif
static_assert(offsetof(LVITEMW, pszText) == offsetof(NativeItemRecord, text) &&
                  offsetof(LVITEMW, cchTextMax) == offsetof(NativeItemRecord, textMax) &&
                  offsetof(LVITEMW, lParam) == offsetof(NativeItemRecord, param) &&
                  offsetof(LVITEMW, iIndent) == offsetof(NativeItemRecord, indent),
              "LVITEMW");

// The fields the channel uses, whatever the layout.
struct ItemFields {
    UINT mask;
    int item;
    ULONGLONG text;
    int textMax, image;
    ULONGLONG param;
};

// A text buffer in the shell's process, in bytes.
enum { TEXT_BYTES = ICON_TEXT_CAPACITY * sizeof(WCHAR) };
// The buffer in the shell's process: item record and text buffer.
enum { BLOCK_RECORD = 0, BLOCK_TEXT = 64, BLOCK_SIZE = BLOCK_TEXT + TEXT_BYTES };
// No desktop item's identity is anywhere near this long.
static const SIZE_T ID_LIST_LIMIT = 4096;
// The smallest page of any platform: a read within one is whole or not at all.
static const SIZE_T READ_PAGE = 4096;

static BYTE *Remote(const SharedBlock *block, SIZE_T offset)
{
    return static_cast<BYTE *>(block->view) + offset;
}

static ULONGLONG RemoteAddress(const SharedBlock *block, SIZE_T offset)
{
    return (ULONGLONG)(UINT_PTR)Remote(block, offset);
}

static bool Put(const SharedBlock *block, SIZE_T offset, const void *data, SIZE_T size)
{
    return WriteProcessMemory(block->process, Remote(block, offset), data, size, nullptr);
}

static bool Get(const SharedBlock *block, SIZE_T offset, void *data, SIZE_T size)
{
    return ReadProcessMemory(block->process, Remote(block, offset), data, size, nullptr);
}

// Every message waits at most SHELL_ANSWER_BOUND_MS, and none at all once the
// shell is known to be hung. After one goes unanswered the block sends nothing
// more, so an operation against a hung shell ends within one bound.
static LRESULT Send(SharedBlock *block, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (block->unanswered)
        return 0;
    ShellMessageCount++;
    if (!SendMessageTimeoutW(block->listView, message, wParam, lParam, SMTO_ABORTIFHUNG,
                             SHELL_ANSWER_BOUND_MS, &result)) {
        block->unanswered = true;
        return 0;
    }
    return (LRESULT)result;
}

// A record asking for the item's fields in the mask, its text (if asked) to go
// to the buffer at text in the shell's process.
static ItemFields Request(UINT mask, int index, ULONGLONG text)
{
    return {mask, index, text, ICON_TEXT_CAPACITY, -1, 0};
}

static int PackRecord(const SharedBlock *block, const ItemFields &fields, BYTE *out)
{
    if (block->shell64) {
        ItemRecord64 record = {};
        record.mask = fields.mask;
        record.item = fields.item;
        record.text = fields.text;
        record.textMax = fields.textMax;
        record.image = fields.image;
        CopyMemory(out, &record, sizeof(record));
        return sizeof(record);
    }
    ItemRecord32 record = {};
    record.mask = fields.mask;
    record.item = fields.item;
    record.text = (DWORD)fields.text;
    record.textMax = fields.textMax;
    record.image = fields.image;
    CopyMemory(out, &record, sizeof(record));
    return sizeof(record);
}

static void UnpackRecord(const SharedBlock *block, const BYTE *in, ItemFields *fields)
{
    if (block->shell64) {
        const ItemRecord64 *record = reinterpret_cast<const ItemRecord64 *>(in);
        fields->text = record->text;
        fields->image = record->image;
        fields->param = record->param;
    } else {
        const ItemRecord32 *record = reinterpret_cast<const ItemRecord32 *>(in);
        fields->text = record->text;
        fields->image = record->image;
        fields->param = record->param;
    }
}

// Sends LVM_GETITEMW for the item with the mask; with LVIF_TEXT the text
// lands in the block's buffer. The whole block is read back in one go.
static bool GetItem(SharedBlock *block, int index, UINT mask, ItemFields *fields, BYTE *local)
{
    BYTE record[sizeof(ItemRecord64)];
    ItemFields asked = Request(mask, index, RemoteAddress(block, BLOCK_TEXT));
    int size = PackRecord(block, asked, record);
    if (!Put(block, BLOCK_RECORD, record, size))
        return false;
    if (!Send(block, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(Remote(block, BLOCK_RECORD))))
        return false;
    if (!Get(block, 0, local, BLOCK_SIZE))
        return false;
    *fields = asked;
    UnpackRecord(block, local + BLOCK_RECORD, fields);
    return true;
}

// The text as the control left it: in the buffer given to it (read back into
// local), or where the record's text pointer now points in the shell's process.
static void TakeText(const SharedBlock *block, const ItemFields &fields, ULONGLONG given, const BYTE *local,
                     WCHAR *text)
{
    text[0] = L'\0';
    if (fields.text == given) {
        CopyMemory(text, local, TEXT_BYTES);
    } else if (fields.text && fields.text <= (ULONGLONG)(UINT_PTR)-1) {
        SIZE_T got = 0;
        ReadProcessMemory(block->process, reinterpret_cast<void *>((UINT_PTR)fields.text), text, TEXT_BYTES,
                          &got);
        if (!got)
            text[0] = L'\0';
    }
    text[ICON_TEXT_CAPACITY - 1] = L'\0';
}

static HWND ListViewIn(HWND parent)
{
    HWND view = parent ? FindWindowExW(parent, nullptr, L"SHELLDLL_DefView", nullptr) : nullptr;
    return view ? FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
}

HWND FindDesktopListView()
{
    HWND listView = ListViewIn(FindWindowW(L"Progman", nullptr));
    for (HWND worker = nullptr; !listView;) {
        worker = FindWindowExW(nullptr, worker, L"WorkerW", nullptr);
        if (!worker)
            break;
        listView = ListViewIn(worker);
    }
    return listView;
}

typedef BOOL(WINAPI *IsWow64ProcessProc)(HANDLE, PBOOL);

static bool IsWow64(HANDLE process)
{
    static IsWow64ProcessProc isWow64 =
        ProcAddress<IsWow64ProcessProc>(GetModuleHandleW(L"KERNEL32"), "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(process, &wow64) && wow64;
}

// A 64-bit shell runs on a 64-bit system outside the 32-bit emulation.
static bool IsShell64(HANDLE shell)
{
    bool system64 = sizeof(void *) == 8 || IsWow64(GetCurrentProcess());
    return system64 && !IsWow64(shell);
}

// The list view for which the shell offered a folder view of another window
// (as Wine does): not asked again.
static HWND FolderViewRefusedFor;

// A folder view may stand for the list view only when it is the very view that
// holds it.
static bool FolderViewMatches(HWND viewWindow, HWND listView)
{
    return viewWindow && listView && viewWindow == GetParent(listView);
}

// The desktop's folder view, which newer shells require for moving icons; none
// where the shell offers no folder view with the list view's window.
static IFolderView *OpenDesktopFolderView(HWND listView)
{
    ScopedComPointer<IShellWindows> windows;
    if (listView == FolderViewRefusedFor ||
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
        else
            FolderViewRefusedFor = listView;
    }
    return folderView.Detach();
}

// Once for the run: the folder view and the pictures need it.
static void StartCom()
{
    static bool comStarted = SUCCEEDED(CoInitialize(nullptr));
    (void)comStarted;
}

static IFolderView *UsableFolderView(SharedBlock *block);

int SharedBlockOpen(SharedBlock *block, HWND listView)
{
    *block = {};
    DWORD processId = 0;
    if (!listView || !GetWindowThreadProcessId(listView, &processId))
        return 0;
    block->process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                    FALSE, processId);
    if (!block->process)
        return 0;
    block->view = VirtualAllocEx(block->process, nullptr, BLOCK_SIZE, MEM_COMMIT, PAGE_READWRITE);
    if (!block->view) {
        CloseHandle(block->process);
        *block = {};
        return 0;
    }
    block->listView = listView;
    block->shell64 = IsShell64(block->process);
    StartCom();
    return 1;
}

void PrepareShellChannel(HWND listView)
{
    ScopedSharedBlock shared(listView);
    if (shared.open)
        UsableFolderView(&shared.block);
}

int SharedBlockClose(SharedBlock *block)
{
    if (block->folderView)
        block->folderView->Release();
    if (block->view)
        VirtualFreeEx(block->process, block->view, 0, MEM_RELEASE);
    if (block->process)
        CloseHandle(block->process);
    *block = {};
    return 1;
}

int GetIconCount(SharedBlock *block)
{
    LRESULT count = block->view ? Send(block, LVM_GETITEMCOUNT, 0, 0) : 0;
    if (count <= ICON_COUNT_LIMIT)
        return count > 0 ? (int)count : 0;
    block->countCapped = true;
    return ICON_COUNT_LIMIT;
}

// The item's ID list in the shell's process, copied here: size-prefixed items
// up to a zero size. Null when it cannot be read whole.
static LPITEMIDLIST CopyIdList(const SharedBlock *block, ULONGLONG address)
{
    if (!address || address > (ULONGLONG)(UINT_PTR)-1)
        return nullptr;
    const BYTE *source = reinterpret_cast<const BYTE *>((UINT_PTR)address);
    BYTE copy[ID_LIST_LIMIT];
    SIZE_T read = 0, used = 0;
    // Read on a page at a time, each page in one call: a read must not run
    // into memory the shell has not mapped.
    auto readTo = [&](SIZE_T needed) {
        while (read < needed) {
            SIZE_T chunk = READ_PAGE - (UINT_PTR)(source + read) % READ_PAGE;
            chunk = chunk < sizeof(copy) - read ? chunk : sizeof(copy) - read;
            if (!chunk || !ReadProcessMemory(block->process, source + read, copy + read, chunk, nullptr))
                return false;
            read += chunk;
        }
        return true;
    };
    for (;;) {
        USHORT size = 0;
        if (used + sizeof(size) > sizeof(copy) || !readTo(used + sizeof(size)))
            return nullptr;
        CopyMemory(&size, copy + used, sizeof(size));
        if (size == 0)
            break;
        if (size < sizeof(size) || used + size + sizeof(size) > sizeof(copy) || !readTo(used + size))
            return nullptr;
        used += size;
    }
    LPITEMIDLIST list = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(used + sizeof(USHORT)));
    if (!list)
        return nullptr;
    CopyMemory(list, copy, used);
    ZeroMemory(reinterpret_cast<BYTE *>(list) + used, sizeof(USHORT));
    return list;
}

// Asked for only when a position is wanted: most operations need none.
static IFolderView *UsableFolderView(SharedBlock *block)
{
    if (!block->folderViewAsked && !block->unanswered) {
        block->folderViewAsked = true;
        block->folderView = OpenDesktopFolderView(block->listView);
    }
    return block->folderView;
}

// The list view item's display name: its label, or while the label is hidden,
// the name its ID list gives.
static void DisplayName(const SharedBlock *block, const WCHAR *label, ULONGLONG param, WCHAR *name)
{
    lstrcpynW(name, label, MAX_PATH);
    LPITEMIDLIST list = label[0] ? nullptr : CopyIdList(block, param);
    if (!list)
        return;
    SHFILEINFOW info = {};
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof(info),
                       SHGFI_PIDL | SHGFI_DISPLAYNAME))
        lstrcpynW(name, info.szDisplayName, MAX_PATH);
    CoTaskMemFree(list);
}

// The folder view's item of the same index, confirmed by its display name,
// since the two lists are not bound to keep one order.
static PITEMID_CHILD FolderViewItem(SharedBlock *block, int index, const WCHAR *label, ULONGLONG param)
{
    PITEMID_CHILD item = nullptr;
    if (!UsableFolderView(block) || FAILED(block->folderView->Item(index, &item)) || !item)
        return nullptr;
    WCHAR name[MAX_PATH];
    DisplayName(block, label, param, name);
    WCHAR shown[MAX_PATH] = L"";
    IShellFolder *folder = nullptr;
    STRRET display = {};
    if (SUCCEEDED(block->folderView->GetFolder(IID_IShellFolder, reinterpret_cast<void **>(&folder)))) {
        if (SUCCEEDED(folder->GetDisplayNameOf(item, SHGDN_NORMAL, &display)))
            StrRetToBufW(&display, item, shown, MAX_PATH);
        folder->Release();
    }
    if (!name[0] || lstrcmpW(shown, name)) {
        CoTaskMemFree(item);
        return nullptr;
    }
    return item;
}

// One item's share of a batch in the shell's process.
enum { SLOT_RECORD = 0, SLOT_POSITION = 64, SLOT_TEXT = 72, SLOT_SIZE = SLOT_TEXT + TEXT_BYTES };
// Items queued before one waited message: few enough that the shell handles
// them well within SHELL_ANSWER_BOUND_MS, and one buffer of this many slots
// in the shell's process serves a read of any length.
static const int BATCH_QUEUE_LIMIT = 100;
// The image index a record keeps when the shell did not answer for its item:
// a missing item's record is left as it was sent.
static const int IMAGE_UNANSWERED = INT_MIN + 1;
// Desktop coordinates the list view can be given back (two 16-bit halves).
static const int POSITION_LIMIT = 32767;

static int Bounded(int value, int limit) { return value < -limit ? -limit : value > limit ? limit : value; }

// What the shell wrote into one slot, taken into the icon; false when it did
// not answer for the item.
static bool TakeSlot(SharedBlock *block, const BYTE *slot, ULONGLONG remoteText, bool positions,
                     DesktopIcon *icon)
{
    ItemFields fields = {};
    UnpackRecord(block, slot + SLOT_RECORD, &fields);
    icon->image = IMAGE_UNANSWERED;
    icon->text[0] = L'\0';
    if (fields.image == IMAGE_UNANSWERED)
        return false;
    icon->image = fields.image;
    icon->itemNumber = (DWORD)fields.param;
    icon->itemValue = fields.param;
    TakeText(block, fields, remoteText, slot + SLOT_TEXT, icon->text);
    if (!positions)
        return true;
    POINT position;
    CopyMemory(&position, slot + SLOT_POSITION, sizeof(position));
    if (PITEMID_CHILD item = FolderViewItem(block, icon->index, icon->text, fields.param)) {
        block->folderView->GetItemPosition(item, &position);
        CoTaskMemFree(item);
    }
    icon->x = Bounded(position.x, POSITION_LIMIT);
    icon->y = Bounded(position.y, POSITION_LIMIT);
    return true;
}

// One chunk of a batch: the records written into the shell's process, the
// requests queued without waiting for each answer, then one message that is
// waited for (the list view's thread handles the messages sent to it in order,
// so once it answers, every request before it is done), and the answers read
// back. False when the shell did not answer: the requests may then still be
// queued there.
static bool ReadChunk(SharedBlock *block, BYTE *remote, BYTE *local, DesktopIcon *icons, int count,
                      bool positions, int *answered)
{
    const UINT mask = LVIF_IMAGE | LVIF_TEXT | LVIF_PARAM;
    for (int i = 0; i < count; i++) {
        ItemFields fields =
            Request(mask, icons[i].index, (ULONGLONG)(UINT_PTR)(remote + i * SLOT_SIZE + SLOT_TEXT));
        fields.image = IMAGE_UNANSWERED;
        PackRecord(block, fields, local + i * SLOT_SIZE + SLOT_RECORD);
    }
    SIZE_T size = (SIZE_T)count * SLOT_SIZE;
    *answered = 0;
    if (!WriteProcessMemory(block->process, remote, local, size, nullptr))
        return true;
    for (int i = 0; i < count; i++) {
        BYTE *slot = remote + i * SLOT_SIZE;
        SendNotifyMessageW(block->listView, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(slot + SLOT_RECORD));
        if (positions)
            SendNotifyMessageW(block->listView, LVM_GETITEMPOSITION, icons[i].index,
                               reinterpret_cast<LPARAM>(slot + SLOT_POSITION));
    }
    ShellMessageCount += (positions ? 2 : 1) * count;
    Send(block, LVM_GETITEMCOUNT, 0, 0);
    if (block->unanswered)
        return false;
    if (ReadProcessMemory(block->process, remote, local, size, nullptr))
        for (int i = 0; i < count; i++)
            *answered +=
                TakeSlot(block, local + i * SLOT_SIZE,
                         (ULONGLONG)(UINT_PTR)(remote + i * SLOT_SIZE + SLOT_TEXT), positions, &icons[i]);
    return true;
}

// As ReadDesktopIcons, the items the shell did not answer for marked with
// IMAGE_UNANSWERED. Read a chunk at a time through one buffer; a chunk of
// which the shell knows no item ends the read, so a shell that claims far
// more items than it holds costs two chunks.
static int ReadSlots(SharedBlock *block, DesktopIcon *icons, int count, bool positions)
{
    for (int i = 0; i < count; i++)
        icons[i].image = IMAGE_UNANSWERED;
    if (!block->view || block->unanswered || count <= 0)
        return 0;
    RemoteMemory batch(block->process, BATCH_QUEUE_LIMIT * SLOT_SIZE);
    ScopedHeapMemory local(BATCH_QUEUE_LIMIT * SLOT_SIZE);
    BYTE *remote = static_cast<BYTE *>(batch.address);
    BYTE *copy = static_cast<BYTE *>(local.address);
    // A shell that is already hung gets no request queued at all.
    if (!remote || !copy || (!Send(block, LVM_GETITEMCOUNT, 0, 0) && block->unanswered))
        return 0;
    int answered = 0;
    for (int first = 0; first < count; first += BATCH_QUEUE_LIMIT) {
        int inChunk = 0;
        if (!ReadChunk(block, remote, copy, icons + first, std::min(BATCH_QUEUE_LIMIT, count - first),
                       positions, &inChunk)) {
            // Requests still queued in the shell would write into the buffer
            // once it wakes up: it is left to the shell, not freed under them.
            batch.address = nullptr;
            return 0;
        }
        answered += inChunk;
        if (!inChunk)
            break;
    }
    return answered;
}

static void ForgetUnanswered(DesktopIcon *icons, int count)
{
    for (int i = 0; i < count; i++)
        if (icons[i].image == IMAGE_UNANSWERED)
            icons[i].image = -1;
}

int ReadDesktopIcons(SharedBlock *block, DesktopIcon *icons, int count)
{
    int answered = ReadSlots(block, icons, count, true);
    ForgetUnanswered(icons, count);
    return answered;
}

int ReadDesktopIconNames(SharedBlock *block, DesktopIcon *icons, int count)
{
    int answered = ReadSlots(block, icons, count, false);
    ForgetUnanswered(icons, count);
    return answered;
}

std::vector<DesktopIcon> ReadEveryDesktopIcon(SharedBlock *block, bool positions)
{
    std::vector<DesktopIcon> icons(GetIconCount(block));
    for (size_t i = 0; i < icons.size(); i++)
        icons[i] = {(int)i, 0, 0, IMAGE_UNANSWERED, L"", 0, 0};
    if (!ReadSlots(block, icons.data(), (int)icons.size(), positions))
        icons.clear();
    // A shell that claimed more items than it holds: the end is left off.
    while (!icons.empty() && icons.back().image == IMAGE_UNANSWERED)
        icons.pop_back();
    ForgetUnanswered(icons.data(), (int)icons.size());
    return icons;
}

int ReadIconText(SharedBlock *block, DesktopIcon *icon)
{
    BYTE local[BLOCK_SIZE];
    ItemFields fields;
    icon->text[0] = L'\0';
    if (!block->view || !GetItem(block, icon->index, LVIF_TEXT | LVIF_PARAM, &fields, local))
        return 0;
    icon->itemNumber = (DWORD)fields.param;
    TakeText(block, fields, RemoteAddress(block, BLOCK_TEXT), local + BLOCK_TEXT, icon->text);
    return 1;
}

int SetIconText(SharedBlock *block, int index, const wchar_t *text)
{
    if (!block->view)
        return 0;
    WCHAR buffer[ICON_TEXT_CAPACITY];
    lstrcpynW(buffer, text, ICON_TEXT_CAPACITY);
    BYTE record[sizeof(ItemRecord64)];
    ItemFields fields = Request(LVIF_TEXT, index, RemoteAddress(block, BLOCK_TEXT));
    int size = PackRecord(block, fields, record);
    if (!Put(block, BLOCK_TEXT, buffer, (lstrlenW(buffer) + 1) * sizeof(WCHAR)) ||
        !Put(block, BLOCK_RECORD, record, size))
        return 0;
    return (int)Send(block, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(Remote(block, BLOCK_RECORD)));
}

int SetIconPosition(SharedBlock *block, int index, int x, int y)
{
    if (!block->view)
        return 0;
    BYTE local[BLOCK_SIZE];
    ItemFields fields;
    if (UsableFolderView(block) && GetItem(block, index, LVIF_TEXT | LVIF_PARAM, &fields, local)) {
        WCHAR label[ICON_TEXT_CAPACITY];
        TakeText(block, fields, RemoteAddress(block, BLOCK_TEXT), local + BLOCK_TEXT, label);
        if (PITEMID_CHILD item = FolderViewItem(block, index, label, fields.param)) {
            POINT place = {x, y};
            PCUITEMID_CHILD items[1] = {item};
            HRESULT result = block->folderView->SelectAndPositionItems(1, items, &place, SVSI_POSITIONITEM);
            CoTaskMemFree(item);
            if (SUCCEEDED(result))
                return 1;
        }
    }
    // Two 16-bit halves: a coordinate outside -32768..32767 wraps.
    return (int)Send(block, LVM_SETITEMPOSITION, index, MAKELPARAM(x, y));
}

int GetIconExtent(SharedBlock *block, int index, RECT *extent)
{
    POINT position = {};
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    if (!block->view || !Put(block, BLOCK_TEXT, &bounds, sizeof(bounds)) ||
        !Send(block, LVM_GETITEMPOSITION, index, reinterpret_cast<LPARAM>(Remote(block, BLOCK_RECORD))) ||
        !Send(block, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(Remote(block, BLOCK_TEXT))) ||
        !Get(block, BLOCK_RECORD, &position, sizeof(position)) ||
        !Get(block, BLOCK_TEXT, &bounds, sizeof(bounds)))
        return 0;
    OffsetRect(&bounds, -position.x, -position.y);
    *extent = bounds;
    return 1;
}

HICON GetIconPicture(SharedBlock *block, int index)
{
    BYTE local[BLOCK_SIZE];
    ItemFields fields;
    if (!block->view || !GetItem(block, index, LVIF_PARAM, &fields, local))
        return nullptr;
    LPITEMIDLIST list = CopyIdList(block, fields.param);
    if (!list)
        return nullptr;
    SHFILEINFOW info = {};
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_ICON | SHGFI_SMALLICON);
    CoTaskMemFree(list);
    return info.hIcon;
}

int SetIconPositions(SharedBlock *block, const int *indices, const POINT *places, int count)
{
    if (!block->view || count <= 0)
        return 0;
    std::vector<char> done(count, 0);
    int moved = 0;
    if (UsableFolderView(block)) {
        std::vector<DesktopIcon> icons(count);
        for (int k = 0; k < count; k++)
            icons[k] = {indices[k], 0, 0, -1, L"", 0, 0};
        ReadDesktopIconNames(block, icons.data(), count);
        std::vector<PCUITEMID_CHILD> items;
        std::vector<POINT> points;
        for (int k = 0; k < count; k++)
            if (PITEMID_CHILD item = FolderViewItem(block, indices[k], icons[k].text, icons[k].itemValue)) {
                items.push_back(item);
                points.push_back(places[k]);
                done[k] = 1;
            }
        if (!items.empty() && SUCCEEDED(block->folderView->SelectAndPositionItems(
                                  (UINT)items.size(), items.data(), points.data(), SVSI_POSITIONITEM)))
            moved = (int)items.size();
        else
            std::fill(done.begin(), done.end(), 0);
        for (PCUITEMID_CHILD item : items)
            CoTaskMemFree(const_cast<ITEMID_CHILD *>(item));
    }
    // Queued without waiting, then one waited message: once it is answered,
    // every move before it is done.
    for (int k = 0; k < count; k++) {
        if (done[k])
            continue;
        if (k % BATCH_QUEUE_LIMIT == BATCH_QUEUE_LIMIT - 1)
            Send(block, LVM_GETITEMCOUNT, 0, 0);
        // Two 16-bit halves: a coordinate outside -32768..32767 wraps.
        SendNotifyMessageW(block->listView, LVM_SETITEMPOSITION, indices[k],
                           MAKELPARAM(places[k].x, places[k].y));
        ShellMessageCount++;
        moved++;
    }
    Send(block, LVM_GETITEMCOUNT, 0, 0);
    return moved;
}

typedef HRESULT(WINAPI *NameFromIdListProc)(LPCITEMIDLIST, int, PWSTR *);
// SIGDN_DESKTOPABSOLUTEPARSING, for shells that know SHGetNameFromIDList.
static const int DESKTOP_ABSOLUTE_PARSING = (int)0x80028000;

// The parsing name of an ID list on its own: slow, as each call walks the
// whole list again.
static void NameOfIdList(LPCITEMIDLIST list, std::wstring *name)
{
    static NameFromIdListProc nameFromIdList =
        ProcAddress<NameFromIdListProc>(GetModuleHandleW(L"SHELL32"), "SHGetNameFromIDList");
    WCHAR path[MAX_PATH] = L"";
    PWSTR parsing = nullptr;
    if (SHGetPathFromIDListW(list, path)) {
        *name = path;
    } else if (nameFromIdList && SUCCEEDED(nameFromIdList(list, DESKTOP_ABSOLUTE_PARSING, &parsing)) &&
               parsing) {
        *name = parsing;
        CoTaskMemFree(parsing);
    }
}

// The items' parent folder, kept while the next items share it: most desktop
// items lie in one folder, and binding to it is the slow part.
struct ParentFolder {
    std::vector<BYTE> list; // the parent's ID list, without its end
    ScopedComPointer<IShellFolder> folder;
};

static bool NameInParent(ParentFolder *parent, LPITEMIDLIST list, std::wstring *name)
{
    LPITEMIDLIST last = ILFindLastID(list);
    const BYTE *start = reinterpret_cast<const BYTE *>(list);
    std::vector<BYTE> parentList(start, reinterpret_cast<const BYTE *>(last));
    if (!parent->folder.pointer || parentList != parent->list) {
        if (parent->folder.pointer)
            parent->folder->Release();
        parent->folder.pointer = nullptr;
        parent->list = parentList;
        if (FAILED(SHBindToParent(list, IID_IShellFolder, parent->folder.Out(), nullptr)))
            return false;
    }
    STRRET display = {};
    WCHAR text[ICON_TEXT_CAPACITY] = L"";
    if (FAILED(parent->folder->GetDisplayNameOf(last, SHGDN_FORPARSING, &display)) ||
        FAILED(StrRetToBufW(&display, last, text, ICON_TEXT_CAPACITY)))
        return false;
    *name = text;
    return true;
}

int IconParsingNames(SharedBlock *block, const DesktopIcon *icons, int count, std::wstring *names)
{
    ParentFolder parent;
    int named = 0;
    for (int i = 0; i < count; i++) {
        names[i].clear();
        LPITEMIDLIST list = block->view ? CopyIdList(block, icons[i].itemValue) : nullptr;
        if (!list)
            continue;
        // An item of the desktop itself has a one-item list.
        if (ILIsEmpty(list) || !NameInParent(&parent, list, &names[i]))
            NameOfIdList(list, &names[i]);
        CoTaskMemFree(list);
        named += !names[i].empty();
    }
    return named;
}

int GetIconIdentity(SharedBlock *block, int index, wchar_t *identity, int capacity)
{
    BYTE local[BLOCK_SIZE];
    ItemFields fields;
    identity[0] = L'\0';
    if (!block->view || !GetItem(block, index, LVIF_TEXT | LVIF_PARAM, &fields, local))
        return 0;
    WCHAR label[ICON_TEXT_CAPACITY];
    TakeText(block, fields, RemoteAddress(block, BLOCK_TEXT), local + BLOCK_TEXT, label);
    lstrcpynW(identity, label, capacity);
    if (LPITEMIDLIST list = CopyIdList(block, fields.param)) {
        WCHAR path[MAX_PATH] = L"";
        if (SHGetPathFromIDListW(list, path) && path[0])
            lstrcpynW(identity, path, capacity);
        CoTaskMemFree(list);
    }
    return 1;
}
