// Small scoped holders for what a function opens and must give back: device
// contexts and GDI objects, registry keys, COM pointers, kernel handles and
// memory in another process, so that no early return can leak one.
#pragma once
#include <windows.h>

// A window's device context (the screen's for no window) until the end of the scope.
struct ScopedWindowDC {
    HWND window;
    HDC dc;
    explicit ScopedWindowDC(HWND window) : window(window), dc(GetDC(window)) {}
    ~ScopedWindowDC()
    {
        if (dc)
            ReleaseDC(window, dc);
    }
    ScopedWindowDC(const ScopedWindowDC &) = delete;
    ScopedWindowDC &operator=(const ScopedWindowDC &) = delete;
};

// A memory device context compatible with another.
struct ScopedMemoryDC {
    HDC dc;
    explicit ScopedMemoryDC(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~ScopedMemoryDC()
    {
        if (dc)
            DeleteDC(dc);
    }
    ScopedMemoryDC(const ScopedMemoryDC &) = delete;
    ScopedMemoryDC &operator=(const ScopedMemoryDC &) = delete;
};

// A GDI object that this scope created and deletes. Declare it before any
// ScopedSelection of it, so that it is deselected before it is deleted.
template <typename Handle> struct ScopedGdiObject {
    Handle handle;
    explicit ScopedGdiObject(Handle handle) : handle(handle) {}
    ~ScopedGdiObject()
    {
        if (handle)
            DeleteObject(handle);
    }
    ScopedGdiObject(const ScopedGdiObject &) = delete;
    ScopedGdiObject &operator=(const ScopedGdiObject &) = delete;
};

// An object selected into a device context until the end of the scope.
struct ScopedSelection {
    HDC dc;
    HGDIOBJ former;
    ScopedSelection(HDC dc, HGDIOBJ object)
        : dc(dc), former(dc && object ? SelectObject(dc, object) : nullptr)
    {
    }
    ~ScopedSelection()
    {
        if (former)
            SelectObject(dc, former);
    }
    ScopedSelection(const ScopedSelection &) = delete;
    ScopedSelection &operator=(const ScopedSelection &) = delete;
};

// Clip region, colours and modes of a device context, restored at the end of the scope.
struct SavedDCState {
    HDC dc;
    int saved;
    explicit SavedDCState(HDC dc) : dc(dc), saved(SaveDC(dc)) {}
    ~SavedDCState()
    {
        if (saved)
            RestoreDC(dc, saved);
    }
    SavedDCState(const SavedDCState &) = delete;
    SavedDCState &operator=(const SavedDCState &) = delete;
};

// An open registry key under HKEY_CURRENT_USER that closes itself.
struct ScopedKey {
    HKEY key = nullptr;
    ScopedKey() = default;
    ScopedKey(const ScopedKey &) = delete;
    ScopedKey &operator=(const ScopedKey &) = delete;
    ~ScopedKey()
    {
        if (key)
            RegCloseKey(key);
    }
    // The key is created when missing.
    bool Create(const wchar_t *path) { return RegCreateKeyW(HKEY_CURRENT_USER, path, &key) == ERROR_SUCCESS; }
    // Never creates the key.
    bool Open(const wchar_t *path) { return RegOpenKeyW(HKEY_CURRENT_USER, path, &key) == ERROR_SUCCESS; }
};

// A COM interface pointer released at the end of the scope.
template <typename Interface> struct ScopedComPointer {
    Interface *pointer = nullptr;
    ScopedComPointer() = default;
    ScopedComPointer(const ScopedComPointer &) = delete;
    ScopedComPointer &operator=(const ScopedComPointer &) = delete;
    ~ScopedComPointer()
    {
        if (pointer)
            pointer->Release();
    }
    Interface *operator->() const { return pointer; }
    // For the calls that hand out a new pointer.
    void **Out() { return reinterpret_cast<void **>(&pointer); }
    // Gives the pointer away; the scope no longer releases it.
    Interface *Detach()
    {
        Interface *detached = pointer;
        pointer = nullptr;
        return detached;
    }
};

// Committed read-write memory in another process, freed at the end of the scope.
struct RemoteMemory {
    HANDLE process;
    void *address;
    RemoteMemory(HANDLE process, SIZE_T size)
        : process(process), address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE))
    {
    }
    ~RemoteMemory()
    {
        if (address)
            VirtualFreeEx(process, address, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory &) = delete;
    RemoteMemory &operator=(const RemoteMemory &) = delete;
};

// Memory of this process that may be refused (null) instead of ending the
// program: for sizes that other programs' answers decide.
struct ScopedHeapMemory {
    void *address;
    explicit ScopedHeapMemory(SIZE_T size) : address(HeapAlloc(GetProcessHeap(), 0, size)) {}
    ~ScopedHeapMemory()
    {
        if (address)
            HeapFree(GetProcessHeap(), 0, address);
    }
    ScopedHeapMemory(const ScopedHeapMemory &) = delete;
    ScopedHeapMemory &operator=(const ScopedHeapMemory &) = delete;
};

// A kernel handle (a thread, a mutex, a file), closed when its holder ends or
// takes another; a record holding one is emptied by assigning it {}.
struct ScopedHandle {
    HANDLE handle = nullptr;
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle) : handle(handle) {}
    ~ScopedHandle() { Reset(nullptr); }
    ScopedHandle(const ScopedHandle &) = delete;
    ScopedHandle &operator=(const ScopedHandle &) = delete;
    ScopedHandle &operator=(ScopedHandle &&other) noexcept
    {
        if (this != &other) {
            Reset(other.handle);
            other.handle = nullptr;
        }
        return *this;
    }
    void Reset(HANDLE replacement)
    {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = replacement;
    }
};
