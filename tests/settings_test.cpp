#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/registry_guard.h"

namespace {

// Text where a number belongs reads as its first character, as the ANSI build
// read it (the dialog's options take the default instead, and stored values
// read back under the names earlier versions used: the dialog's tests).
TEST(Settings, TextWhereANumberBelongsReadsAsItsFirstCharacter)
{
    RegistryGuard guard;
    SHSetValueW(HKEY_CURRENT_USER, SETTINGS_KEY, L"DarkIconInTab", REG_SZ, L"0", 2 * sizeof(wchar_t));
    EXPECT_EQ(ReadOptionNumber(OPT_DARK_ICON_IN_TAB), (DWORD)'0');
}

} // namespace
