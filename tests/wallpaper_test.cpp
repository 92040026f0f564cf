// The wallpaper as the desktop shows it: real JPEG, PNG and BMP files in each
// mode, read back from the screen items' pixels.
#define NTDDI_VERSION 0x06020000 // the per-monitor wallpaper interface
#include <windows.h>

#include <gtest/gtest.h>

#include <shobjidl.h>

#include <fstream>

#include "tests/canvas_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

const COLORREF Red = RGB(220, 30, 30), Green = RGB(30, 200, 60), Blue = RGB(30, 60, 220);

// A picture WIDTH wide: its left quarter red, its right quarter blue, green between.
template <int WIDTH> COLORREF Quarters(int x, int)
{
    return x < WIDTH / 4 ? Red : x >= WIDTH * 3 / 4 ? Blue : Green;
}

struct Wallpaper : ::testing::Test {
    RegistryGuard registry;
    ScopedSimAdapter adapter;
};

// Within what JPEG and scaling blur; the desktop colour exactly.
::testing::AssertionResult Shows(HWND item, int x, int y, COLORREF color)
{
    COLORREF seen = Pixel(item, x, y);
    bool same = color == GetSysColor(COLOR_BACKGROUND) ? seen == color : Near(seen, color, 30);
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << x << ", " << y << ") shows " << seen << " instead of " << color;
}

// The dialog on the one 1024 by 768 monitor at scale 0.25 (the item 256 by 192).
void ExpectOnQuarterScale(const std::function<void(HWND item, ExtPropState &state)> &check)
{
    ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        ZoomToAQuarter(dialog, state);
        ASSERT_EQ(state.canvas.scale, 0.25f);
        check(state.canvas.screenItems[0], state);
    }));
}

// An 800 by 400 picture on a 4:3 monitor in each mode, from JPEG and PNG files
// and a JPEG without an extension.
TEST_F(Wallpaper, EachModeShowsThePictureAsTheDesktopDoes)
{
    const COLORREF desktop = GetSysColor(COLOR_BACKGROUND);
    {
        // Centred at its size: (112, 184) on the monitor, (28, 46) to (228, 146) on the item.
        ScopedWallpaper wallpaper(800, 400, 0, L"0", Quarters<800>, GUID_ContainerFormatJpeg, L"centre.jpg");
        ExpectOnQuarterScale([&](HWND item, ExtPropState &) {
            EXPECT_TRUE(Shows(item, 30, 48, Red));
            EXPECT_TRUE(Shows(item, 128, 96, Green));
            EXPECT_TRUE(Shows(item, 225, 143, Blue));
            for (POINT outside : {POINT{27, 96}, POINT{128, 45}, POINT{228, 96}, POINT{128, 146}})
                EXPECT_TRUE(Shows(item, outside.x, outside.y, desktop));
        });
    }
    {
        // Fitted: 1024 by 512 between bands of the desktop colour (rows 32 to 160).
        ScopedWallpaper wallpaper(800, 400, 0, L"6", Quarters<800>, GUID_ContainerFormatPng, L"fit.png");
        ExpectOnQuarterScale([&](HWND item, ExtPropState &) {
            EXPECT_TRUE(Shows(item, 1, 34, Red));
            EXPECT_TRUE(Shows(item, 254, 157, Blue));
            EXPECT_TRUE(Shows(item, 128, 31, desktop));
            EXPECT_TRUE(Shows(item, 128, 160, desktop));
        });
    }
    {
        // Filled, not tiled: scaled 1.92 times to 1536 by 768 and cropped to
        // the picture's columns 133 to 667, so that red ends at item column 32
        // and blue starts at 224; a tile of 200 by 100 would show red at 210.
        ScopedWallpaper wallpaper(800, 400, 0, L"10", Quarters<800>, GUID_ContainerFormatJpeg, L"fill.jpg");
        ExpectOnQuarterScale([&](HWND item, ExtPropState &state) {
            EXPECT_EQ(state.canvas.wallpaperMode, WALLPAPER_FILL);
            EXPECT_TRUE(Shows(item, 1, 1, Red));
            EXPECT_TRUE(Shows(item, 28, 190, Red));
            EXPECT_TRUE(Shows(item, 36, 96, Green));
            EXPECT_TRUE(Shows(item, 210, 96, Green));
            EXPECT_TRUE(Shows(item, 228, 1, Blue));
            EXPECT_TRUE(Shows(item, 254, 190, Blue));
        });
    }
    {
        // Stretched from a JPEG file without an extension, as the desktop keeps its copy.
        ScopedWallpaper wallpaper(800, 400, 0, L"2", Quarters<800>, GUID_ContainerFormatJpeg,
                                  L"TranscodedWallpaper");
        ExpectOnQuarterScale([&](HWND item, ExtPropState &) {
            EXPECT_TRUE(Shows(item, 1, 1, Red));
            EXPECT_TRUE(Shows(item, 60, 190, Red));
            EXPECT_TRUE(Shows(item, 68, 96, Green));
            EXPECT_TRUE(Shows(item, 254, 190, Blue));
        });
    }
    {
        // Tiled: a 100 by 50 picture in tiles of 25 by 12, the first at the corner.
        ScopedWallpaper wallpaper(100, 50, 0, L"0", Quarters<100>, GUID_ContainerFormatPng, L"tile.png");
        SavedWallpaperValues::SetWallpaperValue(L"TileWallpaper", L"1");
        ExpectOnQuarterScale([&](HWND item, ExtPropState &) {
            EXPECT_TRUE(Shows(item, 2, 2, Red));
            EXPECT_TRUE(Shows(item, 12, 6, Green));
            EXPECT_TRUE(Shows(item, 22, 2, Blue));
            EXPECT_TRUE(Shows(item, 27, 2, Red));
            EXPECT_TRUE(Shows(item, 47, 30, Blue));
            EXPECT_TRUE(Shows(item, 251, 186, Red)); // the eleventh tile across, the sixteenth down
        });
    }
    // Whole values, the tile value first; what the desktop does not know is centred.
    EXPECT_EQ(WallpaperModeFromValues(L"0", L"22"), WALLPAPER_SPAN);
    EXPECT_EQ(WallpaperModeFromValues(L"1", L"10"), WALLPAPER_TILE);
    for (const wchar_t *unknown : {L"1", L"100", L"10x", L"", L"-2", L"99999999999"})
        EXPECT_EQ(WallpaperModeFromValues(L"0", unknown), WALLPAPER_CENTRE) << unknown;
}

// Span lays one picture over both monitors, each item showing its half; where
// the platform keeps no wallpaper per monitor, every monitor shows the one.
TEST_F(Wallpaper, SpanAcrossTwoMonitorsAndTheOneWallpaperOnEach)
{
    SimSetMonitors(2);
    adapter.Install();
    // Scaled 2.56 times to 2048 by 1024: red on the first monitor's left half,
    // blue on the second's right half, green between.
    for (const wchar_t *style : {L"22", L"2"}) {
        ScopedWallpaper wallpaper(800, 400, 0, style, Quarters<800>, GUID_ContainerFormatJpeg, L"span.jpg");
        ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
            WaitForWallpapers(dialog, state);
            EXPECT_EQ(state.canvas.wallpaperCount, 1) << "this platform keeps no wallpaper per monitor";
            HWND first = state.canvas.screenItems[0], second = state.canvas.screenItems[1];
            RECT item;
            GetClientRect(first, &item);
            int w = item.right, h = item.bottom;
            if (style[1]) { // span
                EXPECT_TRUE(Shows(first, w / 4, h / 2, Red));
                EXPECT_TRUE(Shows(first, w * 3 / 4, h / 2, Green));
                EXPECT_TRUE(Shows(second, w / 4, h / 2, Green));
                EXPECT_TRUE(Shows(second, w * 3 / 4, h / 2, Blue));
            } else { // each monitor stretches the whole picture
                for (HWND shown : {first, second}) {
                    EXPECT_TRUE(Shows(shown, 2, h / 2, Red));
                    EXPECT_TRUE(Shows(shown, w - 3, h / 2, Blue));
                }
            }
        }));
    }
}

// Files that hold no picture to show draw the desktop colour, and the dialog goes on.
TEST_F(Wallpaper, FilesWithoutAPictureShowTheDesktopColour)
{
    const COLORREF desktop = GetSysColor(COLOR_BACKGROUND);
    std::wstring text = TempPath(L"not_a_picture.jpg"), huge = TempPath(L"huge.bmp"),
                 cut = TempPath(L"cut.jpg");
    std::ofstream(text.c_str(), std::ios::binary) << "this is no picture\r\n";
    // A header that claims 100,000 by 100,000 pixels.
    BITMAPINFOHEADER info = {sizeof(info), 100000, 100000, 1, 24, 0, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file = {0x4D42, sizeof(file) + sizeof(info) + 16, 0, 0, sizeof(file) + sizeof(info)};
    std::ofstream(huge.c_str(), std::ios::binary)
        << std::string((const char *)&file, sizeof(file)) << std::string((const char *)&info, sizeof(info))
        << std::string(16, '\x7F');
    for (const std::wstring &path : {text, huge}) {
        ScopedWallpaper wallpaper(path, L"2");
        ExpectOnQuarterScale([&](HWND item, ExtPropState &state) {
            for (POINT point : {POINT{1, 1}, POINT{128, 96}, POINT{254, 190}})
                EXPECT_TRUE(Shows(item, point.x, point.y, desktop));
            EXPECT_TRUE(state.canvas.wallpapers[0].unreadable);
        });
    }
    // A JPEG cut short draws what it holds, or the desktop colour.
    ASSERT_TRUE(WritePicture(cut, 800, 400, 0, Quarters<800>, GUID_ContainerFormatJpeg));
    HANDLE opened = CreateFileW(cut.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFilePointer(opened, 600, nullptr, FILE_BEGIN);
    SetEndOfFile(opened);
    CloseHandle(opened);
    ScopedWallpaper wallpaper(cut, L"2");
    ExpectOnQuarterScale([&](HWND item, ExtPropState &) { EXPECT_NE(Pixel(item, 128, 96), CLR_INVALID); });
}

// A large picture is held no larger than the largest screen item can show it.
TEST_F(Wallpaper, ALargePictureIsDecodedAtTheSizeShown)
{
    ScopedWallpaper wallpaper(3840, 2160, 0, L"2", Quarters<3840>, GUID_ContainerFormatJpeg, L"large.jpg");
    ExpectOnQuarterScale([&](HWND item, ExtPropState &state) {
        EXPECT_TRUE(Shows(item, 1, 1, Red));
        EXPECT_TRUE(Shows(item, 128, 96, Green));
        EXPECT_TRUE(Shows(item, 254, 190, Blue));
        const WallpaperPicture &picture = state.canvas.wallpapers[0];
        EXPECT_EQ(picture.width * 10000 + picture.height, 3840 * 10000 + 2160);
        RECT frame;
        GetClientRect(state.canvas.canvasFrame, &frame);
        EXPECT_LE(picture.bitmapWidth, frame.right);
        EXPECT_LE(picture.bitmapHeight, frame.bottom);
        EXPECT_GE(picture.bitmapWidth, 256) << "no smaller than the item shows it";
    });
}

// The per-monitor wallpaper interface of newer platforms, registered in this
// process for the dialog to find: the second monitor has a picture of its own,
// the third a path too long to be a file.
struct MonitorWallpapers : IDesktopWallpaper, IClassFactory {
    std::wstring paths[3];
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **out) override
    {
        *out = IsEqualIID(id, IID_IClassFactory) ? (void *)static_cast<IClassFactory *>(this)
               : IsEqualIID(id, IID_IDesktopWallpaper) || IsEqualIID(id, IID_IUnknown)
                   ? (void *)static_cast<IDesktopWallpaper *>(this)
                   : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *, REFIID id, void **out) override
    {
        return QueryInterface(id, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    static LPWSTR Copy(const std::wstring &text)
    {
        LPWSTR copy = (LPWSTR)CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t));
        lstrcpyW(copy, text.c_str());
        return copy;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT *count) override { return *count = 3, S_OK; }
    HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT index, LPWSTR *id) override
    {
        return index < 3 ? (*id = Copy(std::to_wstring(index)), S_OK) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR id, RECT *rect) override
    {
        return *rect = Sim.monitors[_wtoi(id)].rect, S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR id, LPWSTR *path) override
    {
        return *path = Copy(paths[_wtoi(id)]), S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetWallpaper(LPCWSTR, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBackgroundColor(COLORREF *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPosition(DESKTOP_WALLPAPER_POSITION) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPosition(DESKTOP_WALLPAPER_POSITION *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSlideshow(IShellItemArray *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSlideshow(IShellItemArray **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS, UINT) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS *, UINT *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AdvanceSlideshow(LPCWSTR, DESKTOP_SLIDESHOW_DIRECTION) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetStatus(DESKTOP_SLIDESHOW_STATE *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Enable(BOOL) override { return E_NOTIMPL; }
};

TEST_F(Wallpaper, EachMonitorShowsItsOwnPictureWhereThePlatformKeepsOne)
{
    SimSetMonitors(3);
    adapter.Install();
    ScopedWallpaper common(64, 48, Red, L"2", nullptr, GUID_ContainerFormatJpeg, L"common.jpg");
    std::wstring own = TempPath(L"own.png");
    ASSERT_TRUE(WritePicture(own, 64, 48, Blue, nullptr, GUID_ContainerFormatPng));
    MonitorWallpapers platform;
    platform.paths[0] = common.file;
    platform.paths[1] = own;
    platform.paths[2] = L"C:\\" + std::wstring(400, L'x') + L".jpg";
    CoInitialize(nullptr);
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_DesktopWallpaper, static_cast<IClassFactory *>(&platform),
                                    CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        WaitForWallpapers(dialog, state);
        EXPECT_EQ(state.canvas.wallpaperCount, 3) << "the first monitor shows the one wallpaper";
        RECT item;
        GetClientRect(state.canvas.screenItems[0], &item);
        EXPECT_TRUE(Shows(state.canvas.screenItems[0], item.right / 2, item.bottom / 2, Red));
        EXPECT_TRUE(Shows(state.canvas.screenItems[1], item.right / 2, item.bottom / 2, Blue));
        EXPECT_TRUE(Shows(state.canvas.screenItems[2], item.right / 2, item.bottom / 2,
                          GetSysColor(COLOR_BACKGROUND)));
    }));
    CoRevokeClassObject(cookie);
    CoUninitialize();
    DeleteFileW(own.c_str());
}

} // namespace
