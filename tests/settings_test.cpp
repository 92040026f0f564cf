#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/registry_guard.h"

namespace {

// Values the ANSI build wrote are read as they were meant (what this build
// stores, and text where a number belongs, the dialog tests read back).
TEST(Settings, ValuesTheAnsiBuildWroteReadAsMeant)
{
    RegistryGuard guard;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Corvale\\Tessivon\\Settings", &key), ERROR_SUCCESS);
    DWORD off = 0;
    RegSetValueExA(key, "ShowWallpaperDesktop", 0, REG_DWORD, (const BYTE *)&off, 4);
    RegSetValueExA(key, "DarkIconInTab", 0, REG_SZ, (const BYTE *)"0", 2);
    RegCloseKey(key);
    DWORD options[OPTION_COUNT];
    LoadDialogOptions(options, OPTION_DEFAULTS);
    EXPECT_EQ(options[OPT_SHOW_WALLPAPER_DESKTOP], 0u) << "stored off over a default of on";
    EXPECT_EQ(ReadOptionNumber(OPT_DARK_ICON_IN_TAB), (DWORD)'0') << "the text's first character, as before";
}

} // namespace
