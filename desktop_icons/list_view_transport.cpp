// The transport's messages and buffers in the shell's process (desktop_icons/list_view_transport.h).
#include "desktop_icons/list_view_transport.h"

#include <objbase.h>
#include <shlobj.h>
#include <stddef.h>

#include <algorithm>

#include "base/platform.h"

#ifdef TESSIVON_BENCH_COUNTERS
long ShellMessageCount;
#define COUNT_SHELL_MESSAGES(count) (ShellMessageCount += (count))
#else
#define COUNT_SHELL_MESSAGES(count) ((void)0)
#endif

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
    return static_cast<BYTE *>(block->view.address) + offset;
}

static ULONGLONG RemoteAddress(const SharedBlock *block, SIZE_T offset)
{
    return (ULONGLONG)(UINT_PTR)Remote(block, offset);
}

static bool Put(const SharedBlock *block, SIZE_T offset, const void *data, SIZE_T size)
{
    return WriteProcessMemory(block->process.handle, Remote(block, offset), data, size, nullptr);
}

static bool Get(const SharedBlock *block, SIZE_T offset, void *data, SIZE_T size)
{
    return ReadProcessMemory(block->process.handle, Remote(block, offset), data, size, nullptr);
}

// Every message waits at most SHELL_ANSWER_BOUND_MS, and none at all once the
// shell is known to be hung. After one goes unanswered the block sends nothing
// more, so an operation against a hung shell ends within one bound.
static LRESULT Send(SharedBlock *block, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (block->unanswered)
        return 0;
    COUNT_SHELL_MESSAGES(1);
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
        ReadProcessMemory(block->process.handle, reinterpret_cast<void *>((UINT_PTR)fields.text), text,
                          TEXT_BYTES, &got);
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

SharedBlock::SharedBlock(HWND listView, ShellChannel *channel) : channel(channel)
{
    DWORD processId = 0;
    if (!listView || !GetWindowThreadProcessId(listView, &processId))
        return;
    process.Reset(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                    FALSE, processId));
    if (!process.handle || !view.Allocate(process.handle, BLOCK_SIZE))
        return;
    this->listView = listView;
    shell64 = IsShell64(process.handle);
}

int GetIconCount(SharedBlock *block)
{
    LRESULT count = block->Open() ? Send(block, LVM_GETITEMCOUNT, 0, 0) : 0;
    if (count <= ICON_COUNT_LIMIT)
        return count > 0 ? (int)count : 0;
    block->countCapped = true;
    return ICON_COUNT_LIMIT;
}

// The item's ID list in the shell's process, copied here: size-prefixed items
// up to a zero size. Null when it cannot be read whole.
LPITEMIDLIST CopyIdList(const SharedBlock *block, ULONGLONG address)
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
            if (!chunk ||
                !ReadProcessMemory(block->process.handle, source + read, copy + read, chunk, nullptr))
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

// One item's share of a batch in the shell's process.
enum { SLOT_RECORD = 0, SLOT_POSITION = 64, SLOT_TEXT = 72, SLOT_SIZE = SLOT_TEXT + TEXT_BYTES };
// Items queued before one waited message: few enough that the shell handles
// them well within SHELL_ANSWER_BOUND_MS, and one buffer of this many slots
// in the shell's process serves a read of any length.
static const int BATCH_QUEUE_LIMIT = 100;
// Desktop coordinates the list view can be given back (two 16-bit halves).
static const int POSITION_LIMIT = 32767;

static int Bounded(int value, int limit) { return value < -limit ? -limit : value > limit ? limit : value; }

// What the shell wrote into one slot, taken into the icon; false when it did
// not answer for the item.
static bool TakeSlot(const SharedBlock *block, const BYTE *slot, ULONGLONG remoteText, bool positions,
                     DesktopIcon *icon)
{
    ItemFields fields = {};
    UnpackRecord(block, slot + SLOT_RECORD, &fields);
    icon->image = ICON_UNANSWERED;
    icon->text[0] = L'\0';
    if (fields.image == ICON_UNANSWERED)
        return false;
    icon->image = fields.image;
    icon->itemNumber = (DWORD)fields.param;
    icon->itemValue = fields.param;
    TakeText(block, fields, remoteText, slot + SLOT_TEXT, icon->text);
    if (!positions)
        return true;
    POINT position;
    CopyMemory(&position, slot + SLOT_POSITION, sizeof(position));
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
        fields.image = ICON_UNANSWERED;
        PackRecord(block, fields, local + i * SLOT_SIZE + SLOT_RECORD);
    }
    SIZE_T size = (SIZE_T)count * SLOT_SIZE;
    *answered = 0;
    if (!WriteProcessMemory(block->process.handle, remote, local, size, nullptr))
        return true;
    for (int i = 0; i < count; i++) {
        BYTE *slot = remote + i * SLOT_SIZE;
        SendNotifyMessageW(block->listView, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(slot + SLOT_RECORD));
        if (positions)
            SendNotifyMessageW(block->listView, LVM_GETITEMPOSITION, icons[i].index,
                               reinterpret_cast<LPARAM>(slot + SLOT_POSITION));
    }
    COUNT_SHELL_MESSAGES((positions ? 2 : 1) * count);
    Send(block, LVM_GETITEMCOUNT, 0, 0);
    if (block->unanswered)
        return false;
    if (ReadProcessMemory(block->process.handle, remote, local, size, nullptr))
        for (int i = 0; i < count; i++)
            *answered +=
                TakeSlot(block, local + i * SLOT_SIZE,
                         (ULONGLONG)(UINT_PTR)(remote + i * SLOT_SIZE + SLOT_TEXT), positions, &icons[i]);
    return true;
}

// Read a chunk at a time through one buffer; a chunk of which the shell knows
// no item ends the read, so a shell that claims far more items than it holds
// costs two chunks.
int ReadListViewIcons(SharedBlock *block, DesktopIcon *icons, int count, bool positions)
{
    for (int i = 0; i < count; i++)
        icons[i].image = ICON_UNANSWERED;
    if (!block->Open() || block->unanswered || count <= 0)
        return 0;
    RemoteMemory batch(block->process.handle, BATCH_QUEUE_LIMIT * SLOT_SIZE);
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

void ForgetUnanswered(DesktopIcon *icons, int count)
{
    for (int i = 0; i < count; i++)
        if (icons[i].image == ICON_UNANSWERED)
            icons[i].image = -1;
}

int ReadDesktopIconNames(SharedBlock *block, DesktopIcon *icons, int count)
{
    int answered = ReadListViewIcons(block, icons, count, false);
    ForgetUnanswered(icons, count);
    return answered;
}

int ReadIconText(SharedBlock *block, DesktopIcon *icon)
{
    BYTE local[BLOCK_SIZE];
    ItemFields fields;
    icon->text[0] = L'\0';
    if (!block->Open() || !GetItem(block, icon->index, LVIF_TEXT | LVIF_PARAM, &fields, local))
        return 0;
    icon->itemNumber = (DWORD)fields.param;
    TakeText(block, fields, RemoteAddress(block, BLOCK_TEXT), local + BLOCK_TEXT, icon->text);
    return 1;
}

int SetIconText(SharedBlock *block, int index, const wchar_t *text)
{
    if (!block->Open())
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

bool ReadItemValue(SharedBlock *block, int index, WCHAR *label, ULONGLONG *value)
{
    BYTE local[BLOCK_SIZE];
    ItemFields fields;
    if (!block->Open() || !GetItem(block, index, label ? LVIF_TEXT | LVIF_PARAM : LVIF_PARAM, &fields, local))
        return false;
    if (label)
        TakeText(block, fields, RemoteAddress(block, BLOCK_TEXT), local + BLOCK_TEXT, label);
    *value = fields.param;
    return true;
}

int MoveListViewIcon(SharedBlock *block, int index, int x, int y)
{
    // Two 16-bit halves: a coordinate outside -32768..32767 wraps.
    return block->Open() ? (int)Send(block, LVM_SETITEMPOSITION, index, MAKELPARAM(x, y)) : 0;
}

int MoveListViewIcons(SharedBlock *block, const int *indices, const POINT *places, int count,
                      const std::vector<char> &done)
{
    if (!block->Open() || block->unanswered)
        return 0;
    // Queued without waiting, then one waited message: once it is answered,
    // every move before it is done.
    int moved = 0;
    for (int k = 0; k < count; k++) {
        if (done[k])
            continue;
        if (k % BATCH_QUEUE_LIMIT == BATCH_QUEUE_LIMIT - 1)
            Send(block, LVM_GETITEMCOUNT, 0, 0);
        // Two 16-bit halves: a coordinate outside -32768..32767 wraps.
        SendNotifyMessageW(block->listView, LVM_SETITEMPOSITION, indices[k],
                           MAKELPARAM(places[k].x, places[k].y));
        COUNT_SHELL_MESSAGES(1);
        moved++;
    }
    Send(block, LVM_GETITEMCOUNT, 0, 0);
    return moved;
}

int GetIconExtent(SharedBlock *block, int index, RECT *extent)
{
    POINT position = {};
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    if (!block->Open() || !Put(block, BLOCK_TEXT, &bounds, sizeof(bounds)) ||
        !Send(block, LVM_GETITEMPOSITION, index, reinterpret_cast<LPARAM>(Remote(block, BLOCK_RECORD))) ||
        !Send(block, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(Remote(block, BLOCK_TEXT))) ||
        !Get(block, BLOCK_RECORD, &position, sizeof(position)) ||
        !Get(block, BLOCK_TEXT, &bounds, sizeof(bounds)))
        return 0;
    OffsetRect(&bounds, -position.x, -position.y);
    *extent = bounds;
    return 1;
}
