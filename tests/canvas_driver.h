// What the canvas tests share: the second process with windows to arrange,
// pointer messages, pixels read back and the desktop wallpaper.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <cstdlib>
#include <shlwapi.h>

#include <fstream>
#include <string>

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

// A 24-bit picture file as the desktop wallpaper, in one colour or painted by
// paint(x, y), with the style value; no wallpaper at the end of the scope.
struct ScopedWallpaper {
    wchar_t path[MAX_PATH];
    ScopedWallpaper(int width, int height, COLORREF color, const wchar_t *style,
                    COLORREF (*paint)(int x, int y) = nullptr)
    {
        DWORD stride = (width * 3 + 3) & ~3, offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        BITMAPFILEHEADER file = {0x4D42, offset + stride * height, 0, 0, offset};
        BITMAPINFOHEADER info = {sizeof(info), width, height, 1, 24, 0, 0, 0, 0, 0, 0};
        std::string bytes =
            std::string((const char *)&file, sizeof(file)) + std::string((const char *)&info, sizeof(info));
        bytes.resize(offset + stride * height);
        for (int y = 0; y < height; y++) // bottom-up rows of blue, green, red
            for (int x = 0; x < width * 3; x++)
                bytes[offset + y * stride + x] =
                    (char)((paint ? paint(x / 3, y) : color) >> (16 - 8 * (x % 3)));
        GetTempPathW(MAX_PATH, path);
        std::ofstream(lstrcatW(path, L"tessivon_wallpaper.bmp"), std::ios::binary) << bytes;
        SHSetValueW(HKEY_CURRENT_USER, DESKTOP_KEY, L"TileWallpaper", REG_SZ, L"0", 4);
        SHSetValueW(HKEY_CURRENT_USER, DESKTOP_KEY, L"WallpaperStyle", REG_SZ, style,
                    (lstrlenW(style) + 1) * sizeof(wchar_t));
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path, SPIF_UPDATEINIFILE);
    }
    ~ScopedWallpaper()
    {
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, (void *)L"", SPIF_UPDATEINIFILE);
        DeleteFileW(path);
    }
};
