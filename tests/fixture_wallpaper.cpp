// The per-monitor wallpaper object that Wine lacks, as an in-process server of
// CLSID_DesktopWallpaper for the test prefix: it names the monitors, rectangles
// and pictures a test wrote (tests/fixture_wallpaper.h), read at each creation.
#define NTDDI_VERSION 0x06020000
#include <objbase.h>
#include <shobjidl.h>

#include "tests/fixture_wallpaper.h"

static FixtureMonitor Monitors[8];
static UINT MonitorCount;

static const FixtureMonitor *Named(LPCWSTR path)
{
    for (UINT i = 0; i < MonitorCount; i++)
        if (path && !lstrcmpW(path, Monitors[i].path))
            return &Monitors[i];
    return nullptr;
}

static HRESULT Hand(const wchar_t *text, LPWSTR *out)
{
    *out = static_cast<LPWSTR>(CoTaskMemAlloc((lstrlenW(text) + 1) * sizeof(wchar_t)));
    return *out ? (lstrcpyW(*out, text), S_OK) : E_OUTOFMEMORY;
}

// A method the program never calls.
#define NOT_ASKED(name, ...)                                                                                 \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }

// The class factory and the object in one, living as long as the DLL.
struct Wallpaper final : IClassFactory, IDesktopWallpaper {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override
    {
        *out = iid == IID_IDesktopWallpaper ? static_cast<void *>(static_cast<IDesktopWallpaper *>(this))
               : iid == IID_IUnknown || iid == IID_IClassFactory ? static_cast<IClassFactory *>(this)
                                                                 : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **out) override
    {
        DWORD size = sizeof(Monitors);
        if (SHGetValueW(HKEY_CURRENT_USER, FIXTURE_WALLPAPER_KEY, L"Monitors", nullptr, Monitors, &size))
            size = 0;
        MonitorCount = size / sizeof(FixtureMonitor);
        return outer ? CLASS_E_NOAGGREGATION : QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR path, LPWSTR *picture) override
    {
        return Named(path) ? Hand(Named(path)->picture, picture) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT index, LPWSTR *path) override
    {
        return index < MonitorCount ? Hand(Monitors[index].path, path) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT *count) override
    {
        *count = MonitorCount;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR path, RECT *rect) override
    {
        const FixtureMonitor *monitor = Named(path);
        if (!monitor)
            return E_INVALIDARG;
        *rect = monitor->rect;
        return monitor->answer;
    }
    // What the program never asks.
    NOT_ASKED(SetWallpaper, LPCWSTR, LPCWSTR)
    NOT_ASKED(SetBackgroundColor, COLORREF)
    NOT_ASKED(GetBackgroundColor, COLORREF *)
    NOT_ASKED(SetPosition, DESKTOP_WALLPAPER_POSITION)
    NOT_ASKED(GetPosition, DESKTOP_WALLPAPER_POSITION *)
    NOT_ASKED(SetSlideshow, IShellItemArray *)
    NOT_ASKED(GetSlideshow, IShellItemArray **)
    NOT_ASKED(SetSlideshowOptions, DESKTOP_SLIDESHOW_OPTIONS, UINT)
    NOT_ASKED(GetSlideshowOptions, DESKTOP_SLIDESHOW_OPTIONS *, UINT *)
    NOT_ASKED(AdvanceSlideshow, LPCWSTR, DESKTOP_SLIDESHOW_DIRECTION)
    NOT_ASKED(GetStatus, DESKTOP_SLIDESHOW_STATE *)
    NOT_ASKED(Enable, BOOL)
};

static Wallpaper Object;

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID id, REFIID iid, void **out)
{
    *out = nullptr;
    return id == CLSID_DesktopWallpaper ? Object.QueryInterface(iid, out) : CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }
