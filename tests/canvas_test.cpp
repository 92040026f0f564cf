#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "desktop_icons/desktop_icons.h"
#include "dialog/ext_prop.h"
#include "tests/dialog_driver.h"
#include "tests/sim_adapter.h"
#include "tests/ui_driver.h"

namespace {

RECT Rect(LONG left, LONG top, LONG right, LONG bottom) { return {left, top, right, bottom}; }

TEST(CanvasLayoutTest, ScaleSizeAndOriginOfTheMiniature)
{
    struct Case {
        RECT frame;
        int margin, width, height;
        float scale;
        int miniWidth, miniHeight;
        LONG x, y;
    };
    const Case cases[] = {
        // The worked example: 1024 x 768 in a 450 x 250 frame, margin 50. The
        // float of 200/768 lies just below it, so the height truncates to 199.
        {Rect(7, 11, 457, 261), 50, 1024, 768, (float)(200.0 / 768), 266, 199, 7 + 25 + 67, 11 + 25},
        // Equal ratios fill the available area.
        {Rect(0, 0, 450, 250), 50, 2048, 1024, 0.1953125f, 400, 200, 25, 25},
        // A wide desktop is centred vertically.
        {Rect(9, 47, 459, 295), 50, 2048, 768, 0.1953125f, 400, 150, 9 + 25, 47 + 25 + 24},
        // The margin is taken once from each direction: 450 - 200 by 248 - 200.
        {Rect(0, 0, 450, 248), 200, 1024, 768, 0.0625f, 64, 48, 100 + 93, 100},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(&c - cases);
        CanvasLayout layout = ComputeCanvasLayout(c.frame, c.margin, c.width, c.height);
        EXPECT_EQ(layout.scale, c.scale);
        EXPECT_EQ(layout.miniWidth, c.miniWidth);
        EXPECT_EQ(layout.miniHeight, c.miniHeight);
        EXPECT_EQ(layout.desktopOrigin.x, c.x);
        EXPECT_EQ(layout.desktopOrigin.y, c.y);
    }
    EXPECT_LT((double)cases[0].scale, 200.0 / 768);

    // A frame smaller than the margin, or an empty desktop, still gives a positive scale.
    CanvasLayout small = ComputeCanvasLayout(Rect(0, 0, 40, 40), 50, 1024, 768);
    EXPECT_GT(small.scale, 0.0f);
    EXPECT_GE(small.miniWidth, 0);
    EXPECT_GE(ScaleToDesktop(1, small.scale), 1);
    EXPECT_GT(ComputeCanvasLayout(Rect(0, 0, 450, 248), 50, 0, 0).scale, 0.0f);
}

TEST(CanvasTransformTest, ProductsTruncateTowardZeroAndTheWayBackUsesTheReciprocal)
{
    EXPECT_EQ(ScaleToCanvas(1023, 0.25f), 255);
    EXPECT_EQ(ScaleToCanvas(-7, 0.5f), -3);
    EXPECT_EQ(ScaleToDesktop(-3, 0.5f), -6);
    // 768 x the float of 200/768 lies just below 200.
    EXPECT_EQ(ScaleToCanvas(768, (float)(200.0 / 768)), 199);
    // 49 / 0.19140625 is exactly 256, but 49 x (1 / 0.19140625) is a hair below.
    EXPECT_EQ(ScaleToDesktop(49, 0.19140625f), 255);
    EXPECT_EQ(ScaleToDesktop(100, 0.25f), 400);
}

TEST(CanvasTransformTest, DesktopRectanglesAndCentring)
{
    // A monitor left of and above the primary gives non-negative offsets.
    float scale = (float)(400.0 / 2304);
    POINT corner = {-1280, -256}, origin = {34, 82};
    EXPECT_RECT(DesktopRectToCanvas(Rect(-1280, -256, 0, 768), corner, origin, scale), 34, 82, 34 + 222,
                82 + 177);
    EXPECT_RECT(DesktopRectToCanvas(Rect(0, 0, 1024, 768), corner, origin, scale), 34 + 222, 82 + 44,
                34 + 222 + 177, 82 + 44 + 133);
    // The size is scaled on its own: trunc(702 s) = 180 wide, not
    // trunc(1404 s) - trunc(702 s) = 181.
    EXPECT_RECT(DesktopRectToCanvas(Rect(702, 0, 1404, 768), {0, 0}, {10, 20}, 0.2578125f), 10 + 180, 20,
                10 + 180 + 180, 20 + 198);

    // Centring keeps the size; a rectangle larger than the area hangs over by
    // half the excess, halved toward zero (77 / 2 = 38, not 39).
    EXPECT_RECT(CenterRectInArea(Rect(3, 4, 103, 54), Rect(1024, 0, 2048, 768)), 1486, 359, 1586, 409);
    EXPECT_RECT(CenterRectInArea(Rect(0, 0, 1101, 800), Rect(0, 0, 1024, 768)), -38, -16, -38 + 1101,
                -16 + 800);
    EXPECT_RECT(CenterRectInArea(Rect(0, 0, 1100, 800), Rect(-1024, 0, 0, 768)), -1024 - 38, -16,
                -1024 - 38 + 1100, 784);

    // On the whole area of the monitor under the point.
    ScopedSimAdapter adapter;
    SimSetMonitors(2);
    Sim.monitors[1].work.top += 40; // a taskbar above: the work area is not the monitor
    adapter.Install();
    RECT rect = Rect(0, 0, 474, 408);
    CenterRectOnMonitor({1500, 10}, &rect);
    EXPECT_RECT(rect, 1024 + 275, 180, 1024 + 275 + 474, 180 + 408);
    rect = Rect(500, 500, 974, 908);
    CenterRectOnMonitor({10, 700}, &rect);
    EXPECT_RECT(rect, 275, 180, 275 + 474, 180 + 408);
    rect = Rect(0, 0, 1101, 800); // larger than the monitor
    CenterRectOnMonitor({1500, 300}, &rect);
    EXPECT_RECT(rect, 1024 - 38, -16, 1024 - 38 + 1101, 784);
}

// On real windows: a borderless popup at (100, 200) whose client area starts
// there, with a child at (10, 20), and another popup at (500, 50).
TEST(CoordinateUtilities, WindowRectanglesAndMoves)
{
    auto make = [](DWORD style, int x, int y, int width, int height, HWND parent) {
        return CreateWindowExA(0, "STATIC", "", style, x, y, width, height, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    HWND parent = make(WS_POPUP, 100, 200, 300, 200, nullptr);
    HWND child = make(WS_CHILD, 10, 20, 30, 40, parent);
    HWND other = make(WS_POPUP, 500, 50, 100, 100, nullptr);

    RECT rect = Rect(1, 2, 30, 40);
    RectClientToScreen(child, &rect);
    EXPECT_RECT(rect, 111, 222, 140, 260);
    EXPECT_TRUE(GetWindowRectIn(child, &rect, parent));
    EXPECT_RECT(rect, 10, 20, 40, 60);
    EXPECT_TRUE(GetWindowRectIn(child, &rect, nullptr));
    EXPECT_RECT(rect, 110, 220, 140, 260);
    EXPECT_TRUE(GetWindowRectIn(child, &rect, other));
    EXPECT_RECT(rect, -390, 170, -360, 210);

    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    // A point of the other window's client area lands where that is on the screen.
    EXPECT_TRUE(MoveWindowToClientPoint(child, nullptr, 5, 6, 7, 8, flags, other));
    GetWindowRectIn(child, &rect, nullptr);
    EXPECT_RECT(rect, 505, 56, 512, 64);
    // Without a reference the point is a screen point.
    EXPECT_TRUE(MoveWindowToClientPoint(child, nullptr, 150, 260, 7, 8, flags, nullptr));
    GetWindowRectIn(child, &rect, parent);
    EXPECT_RECT(rect, 50, 60, 57, 68);
    // A window without a parent takes the screen point as it is.
    EXPECT_TRUE(MoveWindowToClientPoint(other, nullptr, 5, 6, 100, 100, flags, parent));
    GetWindowRectIn(other, &rect, nullptr);
    EXPECT_RECT(rect, 105, 206, 205, 306);

    DestroyWindow(child);
    EXPECT_FALSE(GetWindowRectIn(child, &rect, parent));
    DestroyWindow(parent);
    DestroyWindow(other);
}

// A 24-bit picture file of the size.
std::string WritePictureFile(int width, int height)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "tessivon_wallpaper_test.bmp";
    DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER),
          size = ((width * 3 + 3) & ~3) * height;
    BITMAPFILEHEADER file = {0x4D42, offset + size, 0, 0, offset};
    BITMAPINFOHEADER info = {sizeof(info), width, height, 1, 24, 0, 0, 0, 0, 0, 0};
    std::vector<char> bytes(offset + size, 0x40);
    memcpy(bytes.data(), &file, sizeof(file));
    memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(handle, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(handle);
    return path;
}

// Keeps the desktop values of the test prefix and puts them back.
struct WallpaperSettings : ::testing::Test {
    const char *names[3] = {"Wallpaper", "TileWallpaper", "WallpaperStyle"};
    std::optional<std::string> saved[3];
    ExtPropState state = {};
    BOOL savedPlatform = IsWindows2000OrLater;
    std::string picture = WritePictureFile(40, 30);

    void SetUp() override
    {
        for (int k = 0; k < 3; k++)
            saved[k] = Read(names[k]);
        ActiveExtPropState = &state;
        InstanceHandle = GetModuleHandleA(nullptr);
        // Before Windows 2000 the path comes from the registry, which a test can set.
        IsWindows2000OrLater = FALSE;
    }
    void TearDown() override
    {
        for (int k = 0; k < 3; k++)
            Set(names[k], saved[k] ? saved[k]->c_str() : nullptr);
        if (state.wallpaper)
            DeleteObject(state.wallpaper);
        ActiveExtPropState = nullptr;
        IsWindows2000OrLater = savedPlatform;
        DeleteFileA(picture.c_str());
    }
    // Sets the three values (nullptr deletes one) and loads the wallpaper
    // into a new opening's state.
    void Load(const char *path, const char *tile, const char *style)
    {
        const char *values[3] = {path, tile, style};
        for (int k = 0; k < 3; k++)
            Set(names[k], values[k]);
        if (state.wallpaper)
            DeleteObject(state.wallpaper);
        state = {};
        LoadWallpaper();
    }
    static std::optional<std::string> Read(const char *name)
    {
        HKEY key;
        if (RegOpenKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &key) != ERROR_SUCCESS)
            return std::nullopt;
        char text[MAX_PATH] = "";
        DWORD size = sizeof(text);
        LONG result = RegQueryValueExA(key, name, nullptr, nullptr, (BYTE *)text, &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? std::optional<std::string>(text) : std::nullopt;
    }
    static void Set(const char *name, const char *value)
    {
        HKEY key;
        RegCreateKeyA(HKEY_CURRENT_USER, DESKTOP_KEY, &key);
        if (value)
            RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)value, lstrlenA(value) + 1);
        else
            RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
};

TEST_F(WallpaperSettings, PictureSizeAndLayoutMode)
{
    Load(picture.c_str(), "1", "2");
    ASSERT_NE(state.wallpaper, nullptr);
    EXPECT_EQ(GetObjectType(state.wallpaper), (DWORD)OBJ_BITMAP);
    EXPECT_EQ(state.wallpaperWidth, 40);
    EXPECT_EQ(state.wallpaperHeight, 30);
    EXPECT_EQ(state.wallpaperMode, 1) << "a tiled wallpaper ignores the style";
    Load(picture.c_str(), "0", "2");
    EXPECT_EQ(state.wallpaperMode, 2) << "untiled takes the style";
    EXPECT_NE(state.wallpaper, nullptr);
    // Missing or odd layout values mean centred.
    Load(picture.c_str(), nullptr, nullptr);
    EXPECT_EQ(state.wallpaperMode, 0);
    Load(picture.c_str(), "", "7");
    EXPECT_EQ(state.wallpaperMode, 0);

    // No path or no picture leaves nothing loaded.
    Load("", nullptr, nullptr);
    EXPECT_EQ(state.wallpaper, nullptr);
    Load("C:\\no\\such\\picture.bmp", nullptr, nullptr);
    EXPECT_EQ(state.wallpaper, nullptr);
    EXPECT_EQ(state.wallpaperWidth, 0);
    EXPECT_EQ(state.wallpaperHeight, 0);

    // The size of a bottom-up or top-down picture; none leaves the size alone.
    int width = 7, height = 8;
    GetBitmapSize(nullptr, nullptr, &width, &height);
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 8);
    for (int signedHeight : {30, -30}) {
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 40, signedHeight, 1, 24, 0, 0, 0, 0, 0, 0}, {}};
        void *bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        width = height = 0;
        GetBitmapSize(nullptr, bitmap, &width, &height);
        EXPECT_EQ(width, 40);
        EXPECT_EQ(height, 30);
        DeleteObject(bitmap);
    }
}

std::vector<std::string> MenuLines(HMENU menu)
{
    std::vector<std::string> lines;
    for (const MenuItemText &item : ReadMenu(menu))
        lines.push_back(item.text + " " + std::to_string(item.id));
    return lines;
}

TEST(IconViewWindow, OneHiddenChildWithTwoMenusAtATime)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    auto create = [&](IconView *view, HWND under) {
        return IconViewCreate(view, under, GetModuleHandleA(nullptr), "IconView");
    };
    IconView view = {};
    // A child window needs a parent: the failed window leaves the slot for Destroy to free.
    EXPECT_EQ(create(&view, nullptr), nullptr);
    EXPECT_FALSE(view.created);
    EXPECT_EQ(view.itemMenu, nullptr);
    IconViewDestroy(&view);
    EXPECT_EQ(IconViewInstance, nullptr);

    HWND window = create(&view, parent);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(view.window, window);
    EXPECT_TRUE(view.created);
    EXPECT_EQ(IconViewInstance, &view);
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    EXPECT_STREQ(name, "IconViewClass");
    EXPECT_EQ(WindowText(window), "IconView");
    EXPECT_EQ(GetParent(window), parent);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY);
    EXPECT_EQ(MenuLines(view.itemMenu), std::vector<std::string>({"&Show Icon Text 40014"}));
    EXPECT_EQ(MenuLines(view.desktopMenu),
              std::vector<std::string>({"&Save Icons Position 40018", "&Hide all Icons Texts 40017",
                                        "&Restore all Icons Texts 40016"}));

    IconView second = {};
    EXPECT_EQ(create(&second, parent), nullptr) << "only one view at a time";
    EXPECT_FALSE(second.created);
    IconViewDestroy(&second);
    EXPECT_EQ(IconViewInstance, &view) << "destroying the refused one leaves the active one";

    HMENU itemMenu = view.itemMenu, desktopMenu = view.desktopMenu;
    view.items = new IconViewItem[20]();
    view.capacity = 20;
    IconViewDestroy(&view);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsMenu(itemMenu));
    EXPECT_FALSE(IsMenu(desktopMenu));
    EXPECT_EQ(view.items, nullptr);
    EXPECT_FALSE(view.created);
    EXPECT_EQ(IconViewInstance, nullptr);
    EXPECT_NE(create(&second, parent), nullptr) << "a new view after the destroy";
    IconViewDestroy(&second);
    DestroyWindow(parent);
}

} // namespace
