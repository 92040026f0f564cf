// Small scoped holders for device contexts and GDI objects, so that no paint
// path can leak a brush, font, bitmap or DC on an early return.
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
