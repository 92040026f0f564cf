// What the canvas tests share: the second process with windows to arrange,
// pointer messages, pixels read back and the desktop wallpaper.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <cstdlib>
#include <shlwapi.h>
#include <wincodec.h>

#include <fstream>
#include <string>

#include "settings/settings.h"
#include "tests/dialog_driver.h"
#include "tests/fixture_shell.h"

// The fixture program's windows part with count numbered windows, ended with the scope.
struct WindowFixture : FixtureProcess {
    explicit WindowFixture(int count) : FixtureProcess(L"windows " + std::to_wstring(count)) {}
};

inline RECT WindowRect(HWND window) { return RectIn(window, nullptr); }

inline POINT Centre(const RECT &rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

// A pointer message at a screen point, as the dialog receives it. A press
// reads where the pointer is, so it is put there first. The desktop's process
// may still bring in a position of the X pointer from before the move: the
// position must hold a while.
inline void PointerMessage(HWND dialog, UINT message, POINT screen, WPARAM keys = MK_LBUTTON)
{
    auto holds = [&](int milliseconds) {
        PumpMessages(milliseconds);
        POINT now;
        return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
    };
    for (int k = 0; message == WM_LBUTTONDOWN && k < 20 && !(holds(0) && holds(60)); k++)
        SetCursorPos(screen.x, screen.y);
    ScreenToClient(dialog, &screen);
    SendMessageA(dialog, message, keys, MAKELPARAM(screen.x, screen.y));
}

// The user's choice of an entry in one of the dialog's combo boxes.
inline void ChooseEntry(HWND dialog, HWND combo, int entry)
{
    SendMessageA(combo, CB_SETCURSEL, entry, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), (LPARAM)combo);
}

// Opens the window list, which fills it, and chooses the window there.
inline POINT ChooseWindow(HWND dialog, ExtPropState &state, HWND window)
{
    SendMessageA(state.canvas.windowCombo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(state.canvas.windowCombo, CB_SHOWDROPDOWN, FALSE, 0);
    for (int i = 0; i < SendMessageA(state.canvas.windowCombo, CB_GETCOUNT, 0, 0); i++)
        if ((HWND)SendMessageA(state.canvas.windowCombo, CB_GETITEMDATA, i, 0) == window)
            ChooseEntry(dialog, state.canvas.windowCombo, i);
    return Centre(WindowRect(state.canvas.windowMiniature));
}

// Chooses the window on the Windows tab and presses the button on its miniature.
inline POINT PressWindow(HWND dialog, ExtPropState &state, HWND window)
{
    SwitchToTab(state, TAB_WINDOWS);
    POINT press = ChooseWindow(dialog, state, window);
    PointerMessage(dialog, WM_LBUTTONDOWN, press);
    return press;
}

// The pixel after every invalid part of the dialog was painted.
inline COLORREF Pixel(HWND window, int x, int y)
{
    RedrawWindow(GetAncestor(window, GA_ROOT), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

inline bool Near(COLORREF a, COLORREF b, int tolerance = 3)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Paints the dialog until no wallpaper decoding runs: the screens then show
// their pictures.
inline void WaitForWallpapers(HWND dialog, ExtPropState &state)
{
    for (int k = 0; k < 500; k++) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (!state.canvas.wallpaperDecoding.jobs)
            return;
        PumpMessages(20);
    }
}

// A margin of 56 leaves 192 pixels of the laid-out frame's height: with one
// 1024 by 768 monitor, scale 0.25 and the screen item 256 by 192.
inline void ZoomToAQuarter(HWND dialog, ExtPropState &state)
{
    UseLaidOutFrame(state);
    SendMessageW(state.canvas.zoomSlider, TBM_SETPOS, TRUE, 56);
    SendMessageW(dialog, WM_HSCROLL, TB_ENDTRACK, (LPARAM)state.canvas.zoomSlider);
    WaitForWallpapers(dialog, state);
}

// A picture file written through the imaging component's encoder (BMP, PNG or
// JPEG, whatever the name), in one colour or painted by paint(x, y).
inline bool WritePicture(const std::wstring &path, int width, int height, COLORREF color,
                         COLORREF (*paint)(int x, int y), const GUID &format)
{
    bool started = SUCCEEDED(CoInitialize(nullptr)), written = false;
    IWICImagingFactory *factory = nullptr;
    IWICStream *stream = nullptr;
    IWICBitmapEncoder *encoder = nullptr;
    IWICBitmapFrameEncode *frame = nullptr;
    IPropertyBag2 *options = nullptr;
    WICPixelFormatGUID pixels = GUID_WICPixelFormat24bppBGR;
    std::string rows((size_t)width * height * 3, '\0');
    for (int y = 0; y < height; y++) // rows of blue, green, red
        for (int x = 0; x < width * 3; x++)
            rows[((size_t)y * width * 3) + x] =
                (char)((paint ? paint(x / 3, y) : color) >> (16 - 8 * (x % 3)));
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, (void **)&factory)) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(format, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) && SUCCEEDED(frame->Initialize(options)) &&
        SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&pixels)) &&
        IsEqualGUID(pixels, GUID_WICPixelFormat24bppBGR) &&
        SUCCEEDED(frame->WritePixels(height, width * 3, (UINT)rows.size(), (BYTE *)rows.data())) &&
        SUCCEEDED(frame->Commit()))
        written = SUCCEEDED(encoder->Commit());
    for (IUnknown *object : {(IUnknown *)options, (IUnknown *)frame, (IUnknown *)encoder, (IUnknown *)stream,
                             (IUnknown *)factory})
        if (object)
            object->Release();
    if (started)
        CoUninitialize();
    return written;
}

inline std::wstring TempPath(const wchar_t *name)
{
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// The desktop's wallpaper values, put back at the end of the scope.
struct SavedWallpaperValues {
    wchar_t path[MAX_PATH] = L"", tile[16] = L"", style[16] = L"";
    SavedWallpaperValues()
    {
        SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
        DWORD size = sizeof(tile);
        SHGetValueW(HKEY_CURRENT_USER, DESKTOP_KEY, L"TileWallpaper", nullptr, tile, &size);
        size = sizeof(style);
        SHGetValueW(HKEY_CURRENT_USER, DESKTOP_KEY, L"WallpaperStyle", nullptr, style, &size);
    }
    ~SavedWallpaperValues()
    {
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path, SPIF_UPDATEINIFILE);
        SetWallpaperValue(L"TileWallpaper", tile);
        SetWallpaperValue(L"WallpaperStyle", style);
    }
    static void SetWallpaperValue(const wchar_t *name, const wchar_t *text)
    {
        SHSetValueW(HKEY_CURRENT_USER, DESKTOP_KEY, name, REG_SZ, text,
                    (lstrlenW(text) + 1) * sizeof(wchar_t));
    }
};

// A picture file (24-bit BMP unless another format is named) as the desktop
// wallpaper, in one colour or painted by paint(x, y), with the style value;
// the former wallpaper at the end of the scope.
struct ScopedWallpaper : SavedWallpaperValues {
    std::wstring file;
    ScopedWallpaper(int width, int height, COLORREF color, const wchar_t *style,
                    COLORREF (*paint)(int x, int y) = nullptr, const GUID &format = GUID_ContainerFormatBmp,
                    const wchar_t *name = L"tessivon_wallpaper.bmp")
        : file(TempPath(name))
    {
        WritePicture(file, width, height, color, paint, format);
        Use(style);
    }
    // Any file already written, such as one that holds no picture.
    ScopedWallpaper(const std::wstring &file, const wchar_t *style) : file(file) { Use(style); }
    void Use(const wchar_t *style)
    {
        SetWallpaperValue(L"TileWallpaper", L"0");
        SetWallpaperValue(L"WallpaperStyle", style);
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, (void *)file.c_str(), SPIF_UPDATEINIFILE);
    }
    ~ScopedWallpaper() { DeleteFileW(file.c_str()); }
};
