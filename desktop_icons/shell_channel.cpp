// The channel to the shell's desktop icon list. The list view lives in the
// shell's process, so every record and text buffer a message points at is
// placed in that process; pictures are taken here from the items' identities,
// never through the shell's image list handle, which means nothing in this
// process.
#include "desktop_icons/desktop_icons.h"

#include <exdisp.h>
#include <objbase.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>
#include <stddef.h>
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

static LRESULT Send(const SharedBlock *block, UINT message, WPARAM wParam, LPARAM lParam)
{
    ShellMessageCount++;
    return SendMessageW(block->listView, message, wParam, lParam);
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
static bool GetItem(const SharedBlock *block, int index, UINT mask, ItemFields *fields, BYTE *local)
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
    // Once for the run: the folder view and the pictures need it.
    static bool comStarted = SUCCEEDED(CoInitialize(nullptr));
    (void)comStarted;
    return 1;
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

int GetIconCount(SharedBlock *block) { return block->view ? (int)Send(block, LVM_GETITEMCOUNT, 0, 0) : 0; }

// The item's ID list in the shell's process, copied here: size-prefixed items
// up to a zero size. Null when it cannot be read whole.
static LPITEMIDLIST CopyIdList(const SharedBlock *block, ULONGLONG address)
{
    if (!address || address > (ULONGLONG)(UINT_PTR)-1)
        return nullptr;
    const BYTE *source = reinterpret_cast<const BYTE *>((UINT_PTR)address);
    BYTE copy[ID_LIST_LIMIT];
    SIZE_T used = 0;
    for (;;) {
        USHORT size = 0;
        if (used + sizeof(size) > sizeof(copy) ||
            !ReadProcessMemory(block->process, source + used, &size, sizeof(size), nullptr))
            return nullptr;
        if (size == 0)
            break;
        if (size < sizeof(size) || used + size + sizeof(size) > sizeof(copy) ||
            !ReadProcessMemory(block->process, source + used, copy + used, size, nullptr))
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
    if (!block->folderViewAsked) {
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
static const int BATCH_QUEUE_LIMIT = 1000; // items queued before one waited message

int ReadDesktopIcons(SharedBlock *block, DesktopIcon *icons, int count)
{
    if (!block->view || count <= 0)
        return 0;
    SIZE_T size = (SIZE_T)count * SLOT_SIZE;
    RemoteMemory batch(block->process, size);
    BYTE *remote = static_cast<BYTE *>(batch.address);
    if (!remote)
        return 0;
    std::vector<BYTE> local(size);
    const UINT mask = LVIF_IMAGE | LVIF_TEXT | LVIF_PARAM;
    for (int i = 0; i < count; i++) {
        ItemFields fields =
            Request(mask, icons[i].index, (ULONGLONG)(UINT_PTR)(remote + i * SLOT_SIZE + SLOT_TEXT));
        PackRecord(block, fields, &local[i * SLOT_SIZE + SLOT_RECORD]);
    }
    int read = 0;
    if (WriteProcessMemory(block->process, remote, local.data(), size, nullptr)) {
        // Queued without waiting for each answer, then one message that is
        // waited for: the list view's thread handles the messages sent to it
        // in order, so once it answers, every request before it is done. A
        // waited message now and then keeps the shell's queue short.
        for (int i = 0; i < count; i++) {
            if (i % BATCH_QUEUE_LIMIT == BATCH_QUEUE_LIMIT - 1)
                Send(block, LVM_GETITEMCOUNT, 0, 0);
            BYTE *slot = remote + i * SLOT_SIZE;
            SendNotifyMessageW(block->listView, LVM_GETITEMW, 0,
                               reinterpret_cast<LPARAM>(slot + SLOT_RECORD));
            SendNotifyMessageW(block->listView, LVM_GETITEMPOSITION, icons[i].index,
                               reinterpret_cast<LPARAM>(slot + SLOT_POSITION));
        }
        ShellMessageCount += 2 * count;
        Send(block, LVM_GETITEMCOUNT, 0, 0);
        read = ReadProcessMemory(block->process, remote, local.data(), size, nullptr);
    }
    for (int i = 0; read && i < count; i++) {
        const BYTE *slot = &local[i * SLOT_SIZE];
        ItemFields fields = {};
        UnpackRecord(block, slot + SLOT_RECORD, &fields);
        icons[i].image = fields.image;
        icons[i].itemNumber = (DWORD)fields.param;
        TakeText(block, fields, (ULONGLONG)(UINT_PTR)(remote + i * SLOT_SIZE + SLOT_TEXT), slot + SLOT_TEXT,
                 icons[i].text);
        POINT position;
        CopyMemory(&position, slot + SLOT_POSITION, sizeof(position));
        if (PITEMID_CHILD item = FolderViewItem(block, icons[i].index, icons[i].text, fields.param)) {
            block->folderView->GetItemPosition(item, &position);
            CoTaskMemFree(item);
        }
        icons[i].x = position.x;
        icons[i].y = position.y;
    }
    return read ? 1 : 0;
}

std::vector<DesktopIcon> ReadEveryDesktopIcon(SharedBlock *block)
{
    std::vector<DesktopIcon> icons(GetIconCount(block));
    for (size_t i = 0; i < icons.size(); i++)
        icons[i] = {(int)i, 0, 0, -1, L"", 0};
    ReadDesktopIcons(block, icons.data(), (int)icons.size());
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
