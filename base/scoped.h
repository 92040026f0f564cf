// Scoped holders for everything the program opens and must give back.
// Device contexts and GDI objects, registry keys, kernel handles, COM (its
// apartment, pointers and memory) and memory in another process: no early
// return can leak one, and a long-lived one is released with its owner.
#pragma once
#include <windows.h>

#include <objbase.h>

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
    // A key under another open key, never created.
    bool OpenUnder(HKEY parent, const wchar_t *path, REGSAM access)
    {
        return RegOpenKeyExW(parent, path, 0, access, &key) == ERROR_SUCCESS;
    }
};

// A kernel handle (file, mutex, thread, process) closed when its holder ends;
// null and INVALID_HANDLE_VALUE both stand for none.
struct ScopedHandle {
    HANDLE handle = nullptr;
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle) : handle(handle) {}
    ScopedHandle(ScopedHandle &&other) : handle(other.Detach()) {}
    ScopedHandle &operator=(ScopedHandle &&other)
    {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }
    ScopedHandle(const ScopedHandle &) = delete;
    ScopedHandle &operator=(const ScopedHandle &) = delete;
    ~ScopedHandle() { Reset(nullptr); }
    bool Valid() const { return handle && handle != INVALID_HANDLE_VALUE; }
    // Closes the handle held and holds another.
    void Reset(HANDLE other)
    {
        if (Valid())
            CloseHandle(handle);
        handle = other;
    }
    HANDLE Detach()
    {
        HANDLE detached = handle;
        handle = nullptr;
        return detached;
    }
};

// A registration with the platform (device notifications, a WinEvent hook)
// given back when its holder ends or takes another. Movable, so that the
// owner's state can be made afresh.
template <typename Handle, BOOL(WINAPI *Release)(Handle)> struct ScopedRegistration {
    Handle handle = nullptr;
    ScopedRegistration() = default;
    ScopedRegistration(ScopedRegistration &&other) : handle(other.handle) { other.handle = nullptr; }
    ScopedRegistration &operator=(ScopedRegistration &&other)
    {
        if (this != &other)
            Reset(other.handle), other.handle = nullptr;
        return *this;
    }
    ScopedRegistration(const ScopedRegistration &) = delete;
    ScopedRegistration &operator=(const ScopedRegistration &) = delete;
    ~ScopedRegistration() { Reset(nullptr); }
    void Reset(Handle other)
    {
        if (handle)
            Release(handle);
        handle = other;
    }
};
using ScopedDeviceNotification = ScopedRegistration<HDEVNOTIFY, UnregisterDeviceNotification>;
using ScopedWinEventHook = ScopedRegistration<HWINEVENTHOOK, UnhookWinEvent>;

// COM on this thread while the scope lasts: started at its opening and, when
// that succeeded, balanced at its end.
struct ScopedComApartment {
    bool started;
    explicit ScopedComApartment(DWORD model = COINIT_APARTMENTTHREADED)
        : started(SUCCEEDED(CoInitializeEx(nullptr, model)))
    {
    }
    ~ScopedComApartment()
    {
        if (started)
            CoUninitialize();
    }
    ScopedComApartment(const ScopedComApartment &) = delete;
    ScopedComApartment &operator=(const ScopedComApartment &) = delete;
};

// Memory that COM handed out (CoTaskMemAlloc), freed when its holder ends.
// Movable, so that a table of them can be kept.
template <typename T> struct ScopedCoTaskMemory {
    T *pointer = nullptr;
    ScopedCoTaskMemory() = default;
    explicit ScopedCoTaskMemory(T *pointer) : pointer(pointer) {}
    ScopedCoTaskMemory(ScopedCoTaskMemory &&other) : pointer(other.pointer) { other.pointer = nullptr; }
    ScopedCoTaskMemory(const ScopedCoTaskMemory &) = delete;
    ScopedCoTaskMemory &operator=(const ScopedCoTaskMemory &) = delete;
    ScopedCoTaskMemory &operator=(ScopedCoTaskMemory &&) = delete;
    ~ScopedCoTaskMemory() { CoTaskMemFree(pointer); }
    // For the calls that hand out new memory.
    T **Out() { return &pointer; }
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
    // Releases the pointer held; the holder is empty again.
    void Reset()
    {
        if (pointer)
            pointer->Release();
        pointer = nullptr;
    }
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

// Committed read-write memory in another process, freed when its holder ends
// (before the process handle it was allocated with is closed).
struct RemoteMemory {
    HANDLE process = nullptr;
    void *address = nullptr;
    RemoteMemory() = default;
    RemoteMemory(HANDLE process, SIZE_T size) { Allocate(process, size); }
    // On an empty holder; false when the process gave no memory.
    bool Allocate(HANDLE in, SIZE_T size)
    {
        process = in;
        address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        return address != nullptr;
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
