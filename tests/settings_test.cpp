#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/registry_guard.h"

namespace {

// Values the ANSI build wrote are read as they were meant, and what this
// build writes reads back the same through the ANSI functions.
TEST(Settings, ValuesReadTheSameThroughEitherCharacterSet)
{
    RegistryGuard guard;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Corvale\\Tessivon\\Settings", &key), ERROR_SUCCESS);
    DWORD on = 1, off = 0;
    RegSetValueExA(key, "ShowWindowClassName", 0, REG_DWORD, (const BYTE *)&on, 4);
    RegSetValueExA(key, "ShowWallpaperDesktop", 0, REG_DWORD, (const BYTE *)&off, 4);
    RegSetValueExA(key, "DarkIconInTab", 0, REG_SZ, (const BYTE *)"0", 2);
    RegCloseKey(key);
    DWORD options[OPTION_COUNT];
    LoadDialogOptions(options, OPTION_DEFAULTS);
    EXPECT_EQ(options[OPT_SHOW_WINDOW_CLASS_NAME], 1u);
    EXPECT_EQ(options[OPT_SHOW_WALLPAPER_DESKTOP], 0u) << "stored off over a default of on";
    EXPECT_EQ(options[OPT_DARK_ICON_IN_TAB], 1u) << "text is no number: the default";
    EXPECT_EQ(ReadOptionNumber(OPT_SHOW_WINDOW_CLASS_NAME), 1u);
    EXPECT_EQ(ReadOptionNumber(OPT_DARK_ICON_IN_TAB), (DWORD)'0') << "the text's first character, as before";

    ASSERT_TRUE(StoreDialogOptions(options, L"C:\\Program Files\\Tessivon\\tessivon.exe"));
    char run[MAX_PATH] = "";
    DWORD size = sizeof(run), stored = 7, storedSize = sizeof(stored);
    SHGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "#AA Tessivon",
                nullptr, run, &size);
    EXPECT_STREQ(run, "\"C:\\Program Files\\Tessivon\\tessivon.exe\"");
    SHGetValueA(HKEY_CURRENT_USER, "Software\\Corvale\\Tessivon\\Settings", "ShowWallpaperDesktop", nullptr,
                &stored, &storedSize);
    EXPECT_EQ(stored, 0u);
}

} // namespace
