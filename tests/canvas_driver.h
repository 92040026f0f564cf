// What the canvas tests share: the second process with windows to arrange,
// pointer messages, pixels read back and the desktop wallpaper.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <cstdlib>
#include <shlwapi.h>
#include <wincodec.h>

#include <fstream>

#include "base/scoped.h"
#include "settings/settings.h"
#include "tests/dialog_driver.h"
#include "tests/fixture_shell.h"

// The fixture program's windows part with count numbered windows, ended with the scope.
struct WindowFixture : FixtureProcess {
    explicit WindowFixture(int count, const wchar_t *more = L"")
        : FixtureProcess(L"windows " + std::to_wstring(count) + L" " + more)
    {
    }
};

inline RECT WindowRect(HWND window) { return RectIn(window, nullptr); }

inline POINT Centre(const RECT &rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

// Puts the real cursor there and waits until it stays: the desktop's process
// may still bring in a position of the X pointer from before the move.
inline void MoveCursorTo(POINT screen)
{
    auto holds = [&](int milliseconds) {
        PumpMessages(milliseconds);
        POINT now;
        return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
    };
    for (int k = 0; k < 20 && !(holds(0) && holds(60)); k++)
        SetCursorPos(screen.x, screen.y);
}

// A pointer message at a screen point, as the dialog receives it. A press
// reads where the pointer is, so it is put there first.
inline void PointerMessage(HWND dialog, UINT message, POINT screen, WPARAM keys = MK_LBUTTON)
{
    if (message == WM_LBUTTONDOWN)
        MoveCursorTo(screen);
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
    return GetPixel(ScopedWindowDC(window).dc, x, y);
}

inline bool Near(COLORREF a, COLORREF b, int tolerance = 3)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Paints the dialog until no wallpaper decoding runs: the screens then show
// their pictures. False when decoding still runs after 30 s.
inline bool WaitForWallpapers(HWND dialog, ExtPropState &state)
{
    return PumpUntil(
        [&] {
            RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            return !state.canvas.wallpaperDecoding.jobs && !state.canvas.wallpaperDecoding.scheduled;
        },
        30000);
}

// A picture file written through the imaging component's encoder (BMP, PNG or
// JPEG, whatever the name), in one colour or painted by paint(x, y).
inline bool WritePicture(const std::wstring &path, int width, int height, COLORREF color,
                         COLORREF (*paint)(int x, int y), const GUID &format)
{
    std::string rows((size_t)width * height * 3, '\0');
    for (size_t i = 0; i < rows.size(); i++) // blue, green, red
        rows[i] =
            (char)((paint ? paint((int)(i / 3 % width), (int)(i / 3 / width)) : color) >> (16 - 8 * (i % 3)));
    ScopedComApartment com; // before the pointers, which go before COM does
    ScopedComPointer<IWICImagingFactory> factory;
    ScopedComPointer<IWICStream> stream;
    ScopedComPointer<IWICBitmapEncoder> encoder;
    ScopedComPointer<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID pixels = GUID_WICPixelFormat24bppBGR;
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, factory.Out())) &&
           SUCCEEDED(factory->CreateStream(&stream.pointer)) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(format, nullptr, &encoder.pointer)) &&
           SUCCEEDED(encoder->Initialize(stream.pointer, WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame.pointer, nullptr)) &&
           SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) &&
           SUCCEEDED(frame->SetPixelFormat(&pixels)) &&
           SUCCEEDED(frame->WritePixels(height, width * 3, (UINT)rows.size(), (BYTE *)rows.data())) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

inline std::wstring TempPath(const wchar_t *name)
{
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// A file as the desktop wallpaper with the style and tile values; at the end
// of the scope the file is deleted and the test prefix has no wallpaper again.
struct ScopedWallpaper {
    std::wstring file;
    ScopedWallpaper(const std::wstring &file, const wchar_t *style, const wchar_t *tile = L"0") : file(file)
    {
        Set(tile, style, file.c_str());
    }
    // A picture written as a 24-bit BMP or in another format, in one colour or painted by paint(x, y).
    ScopedWallpaper(int width, int height, COLORREF color, const wchar_t *style,
                    COLORREF (*paint)(int x, int y) = nullptr, const GUID &format = GUID_ContainerFormatBmp,
                    const wchar_t *name = L"tessivon_wallpaper.bmp")
        : ScopedWallpaper((WritePicture(TempPath(name), width, height, color, paint, format), TempPath(name)),
                          style)
    {
    }
    static void Set(const wchar_t *tile, const wchar_t *style, const wchar_t *path)
    {
        for (auto [name, value] : {std::pair{L"TileWallpaper", tile}, {L"WallpaperStyle", style}})
            SHSetValueW(HKEY_CURRENT_USER, DESKTOP_KEY, name, REG_SZ, value, (lstrlenW(value) + 1) * 2);
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, (void *)path, SPIF_UPDATEINIFILE);
    }
    ~ScopedWallpaper()
    {
        Set(L"0", L"0", L"");
        DeleteFileW(file.c_str());
    }
};
