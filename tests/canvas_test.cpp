#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "desktop_icons/desktop_icons.h"
#include "dialog/ext_prop.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"
#include "tests/ui_driver.h"

namespace {

TEST(CanvasGeometry, LayoutAndTransformsTruncateTowardZero)
{
    struct Case {
        RECT frame;
        int margin, width, height;
        float scale;
        int miniWidth, miniHeight;
        LONG x, y;
    } const cases[] = {
        // The float of 200/768 lies just below it, so the height truncates to 199.
        {{7, 11, 457, 261}, 50, 1024, 768, (float)(200.0 / 768), 266, 199, 7 + 25 + 67, 11 + 25},
        {{0, 0, 450, 250}, 50, 2048, 1024, 0.1953125f, 400, 200, 25, 25},
        {{9, 47, 459, 295}, 50, 2048, 768, 0.1953125f, 400, 150, 9 + 25, 47 + 25 + 24},
        // The margin is taken once from each direction: 450 - 200 by 248 - 200.
        {{0, 0, 450, 248}, 200, 1024, 768, 0.0625f, 64, 48, 100 + 93, 100}};
    for (const Case &c : cases) {
        CanvasLayout layout = ComputeCanvasLayout(c.frame, c.margin, c.width, c.height);
        EXPECT_EQ(std::vector<double>({layout.scale, (double)layout.miniWidth, (double)layout.miniHeight,
                                       (double)layout.desktopOrigin.x, (double)layout.desktopOrigin.y}),
                  std::vector<double>(
                      {c.scale, (double)c.miniWidth, (double)c.miniHeight, (double)c.x, (double)c.y}))
            << &c - cases;
    }
    // A frame smaller than the margin, or an empty desktop, still gives a positive scale.
    EXPECT_GT(ComputeCanvasLayout({0, 0, 40, 40}, 50, 1024, 768).scale, 0.0f);
    EXPECT_GT(ComputeCanvasLayout({0, 0, 450, 248}, 50, 0, 0).scale, 0.0f);

    EXPECT_EQ(ScaleToCanvas(-7, 0.5f), -3);
    EXPECT_EQ(ScaleToDesktop(-3, 0.5f), -6);
    // 49 / 0.19140625 is exactly 256, but 49 x (1 / 0.19140625) is a hair below.
    EXPECT_EQ(ScaleToDesktop(49, 0.19140625f), 255);
    // A monitor left of and above the primary; the size scaled on its own:
    // trunc(702 s) = 180 wide, not trunc(1404 s) - trunc(702 s) = 181.
    EXPECT_RECT(DesktopRectToCanvas({-1280, -256, 0, 768}, {-1280, -256}, {34, 82}, (float)(400.0 / 2304)),
                34, 82, 34 + 222, 82 + 177);
    EXPECT_RECT(DesktopRectToCanvas({702, 0, 1404, 768}, {0, 0}, {10, 20}, 0.2578125f), 190, 20, 370, 218);
    // A rectangle larger than the area hangs over by half the excess, halved toward zero.
    EXPECT_RECT(CenterRectInArea({3, 4, 103, 54}, {1024, 0, 2048, 768}), 1486, 359, 1586, 409);
    EXPECT_RECT(CenterRectInArea({0, 0, 1101, 800}, {-1024, 0, 0, 768}), -1024 - 38, -16, -1024 - 38 + 1101,
                784);

    // On the whole area of the monitor under the point, not its work area.
    ScopedSimAdapter adapter;
    SimSetMonitors(2);
    Sim.monitors[1].work.top += 40;
    adapter.Install();
    RECT rect = {0, 0, 474, 408};
    CenterRectOnMonitor({1500, 10}, &rect);
    EXPECT_RECT(rect, 1024 + 275, 180, 1024 + 275 + 474, 180 + 408);
}

// A borderless popup at (100, 200) with a child at (10, 20), another popup at (500, 50).
TEST(CanvasGeometry, WindowRectanglesAndMovesOnRealWindows)
{
    auto make = [](DWORD style, int x, int y, HWND parent) {
        return CreateWindowExA(0, "STATIC", "", style, x, y, 30, 40, parent, nullptr, nullptr, nullptr);
    };
    HWND parent = make(WS_POPUP, 100, 200, nullptr), child = make(WS_CHILD, 10, 20, parent),
         other = make(WS_POPUP, 500, 50, nullptr);
    RECT rect = {1, 2, 30, 40};
    RectClientToScreen(child, &rect);
    EXPECT_RECT(rect, 111, 222, 140, 260);
    EXPECT_TRUE(GetWindowRectIn(child, &rect, other));
    EXPECT_RECT(rect, -390, 170, -360, 210);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    EXPECT_TRUE(MoveWindowToClientPoint(child, nullptr, 5, 6, 7, 8, flags, other));
    GetWindowRectIn(child, &rect, nullptr);
    EXPECT_RECT(rect, 505, 56, 512, 64);
    EXPECT_TRUE(MoveWindowToClientPoint(child, nullptr, 150, 260, 7, 8, flags, nullptr));
    GetWindowRectIn(child, &rect, parent);
    EXPECT_RECT(rect, 50, 60, 57, 68);
    EXPECT_TRUE(
        MoveWindowToClientPoint(other, nullptr, 5, 6, 10, 10, flags, parent)); // no parent: screen point
    GetWindowRectIn(other, &rect, nullptr);
    EXPECT_RECT(rect, 105, 206, 115, 216);
    DestroyWindow(parent);
    EXPECT_FALSE(GetWindowRectIn(child, &rect, nullptr));
    DestroyWindow(other);
}

void SetDesktopValue(const char *name, const char *value)
{
    HKEY key;
    RegCreateKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &key);
    if (value)
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)value, lstrlenA(value) + 1);
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// The wallpaper that the desktop values name (read from the registry before
// Windows 2000, which a test can set): its size and how it is laid out.
TEST(Wallpaper, PictureSizeAndLayoutMode)
{
    char picture[MAX_PATH];
    GetTempPathA(MAX_PATH, picture);
    lstrcatA(picture, "tessivon_wallpaper_test.bmp");
    std::vector<char> bytes(54 + 120 * 30, 0x40); // 40 x 30 pixels of 24 bits
    BITMAPFILEHEADER file = {0x4D42, (DWORD)bytes.size(), 0, 0, 54};
    BITMAPINFOHEADER header = {sizeof(header), 40, 30, 1, 24, 0, 0, 0, 0, 0, 0};
    memcpy(bytes.data(), &file, 14);
    memcpy(bytes.data() + 14, &header, 40);
    HANDLE handle = CreateFileA(picture, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(handle, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(handle);
    ExtPropState state = {};
    ActiveExtPropState = &state;
    IsWindows2000OrLater = FALSE;
    // Tiled ignores the style, untiled takes it, missing or odd values mean
    // centred (0); without a picture nothing is loaded (-1).
    const char *names[3] = {"Wallpaper", "TileWallpaper", "WallpaperStyle"};
    const std::tuple<const char *, const char *, const char *, int> cases[] = {
        {picture, "1", "2", 1},         {picture, "0", "2", 2},
        {picture, nullptr, nullptr, 0}, {picture, "", "7", 0},
        {"", nullptr, nullptr, -1},     {"C:\\no\\such\\picture.bmp", nullptr, nullptr, -1}};
    for (auto [path, tile, style, mode] : cases) {
        const char *values[3] = {path, tile, style};
        for (int k = 0; k < 3; k++)
            SetDesktopValue(names[k], values[k]);
        DeleteObject(state.wallpaper);
        state = {};
        LoadWallpaper();
        EXPECT_EQ(GetObjectType(state.wallpaper), mode < 0 ? 0 : (DWORD)OBJ_BITMAP) << path;
        EXPECT_EQ(state.wallpaperWidth * 100 + state.wallpaperHeight, mode < 0 ? 0 : 4030);
        EXPECT_EQ(state.wallpaperMode, mode < 0 ? 0 : mode);
    }
    for (const char *name : names)
        SetDesktopValue(name, nullptr);
    ActiveExtPropState = nullptr;
    IsWindows2000OrLater = TRUE;
    DeleteFileA(picture);

    // Bottom-up and top-down pictures, each read into a cleared size; none leaves the size alone.
    int width = 7, height = 8;
    GetBitmapSize(nullptr, nullptr, &width, &height);
    EXPECT_EQ(width * 100 + height, 708);
    for (int signedHeight : {30, -30}) {
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 40, signedHeight, 1, 24, 0, 0, 0, 0, 0, 0}, {}};
        void *bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        width = height = 0;
        GetBitmapSize(nullptr, bitmap, &width, &height);
        EXPECT_EQ(width * 100 + height, 4030) << signedHeight;
        DeleteObject(bitmap);
    }
}

TEST(IconViewWindow, OneHiddenChildWithTwoMenusAtATime)
{
    HWND parent =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    IconView view = {}, second = {};
    // A child window needs a parent: the failed view leaves the slot for Destroy to free.
    EXPECT_EQ(IconViewCreate(&view, nullptr, instance, "IconView"), nullptr);
    IconViewDestroy(&view);
    EXPECT_EQ(IconViewInstance, nullptr);

    HWND window = IconViewCreate(&view, parent, instance, "IconView");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(IconViewInstance, &view);
    EXPECT_EQ(GetParent(window), parent);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(GetMenuItemCount(view.itemMenu) * 10 + GetMenuItemCount(view.desktopMenu), 13);
    EXPECT_EQ(IconViewCreate(&second, parent, instance, "IconView"), nullptr) << "only one view at a time";
    IconViewDestroy(&second);
    EXPECT_EQ(IconViewInstance, &view) << "destroying the refused one leaves the active one";

    HMENU itemMenu = view.itemMenu, desktopMenu = view.desktopMenu;
    view.items = new IconViewItem[20]();
    view.capacity = 20;
    IconViewDestroy(&view);
    EXPECT_FALSE(IsWindow(window) || IsMenu(itemMenu) || IsMenu(desktopMenu));
    EXPECT_EQ(view.items, nullptr);
    EXPECT_EQ(IconViewInstance, nullptr);
    EXPECT_NE(IconViewCreate(&second, parent, instance, "IconView"), nullptr)
        << "a new view after the destroy";
    IconViewDestroy(&second);
    DestroyWindow(parent);
}

} // namespace
