#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/registry_guard.h"

namespace {

TEST(Settings, StoreWritesAllOptionsAndTheQuotedRunValue)
{
    RegistryGuard guard;
    const wchar_t *path = L"C:\\Program Files\\Tessivon\\tessivon.exe";
    DWORD options[OPTION_COUNT] = {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 1, 0};
    ASSERT_TRUE(StoreDialogOptions(options, path));
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_EQ(ReadStoredOption(i), (long long)options[i]) << Narrow(OptionNames[i + 1]);
    EXPECT_EQ(ReadRunValue(), "\"C:\\Program Files\\Tessivon\\tessivon.exe\"");
    options[OPT_LAUNCH_AT_WINDOWS_STARTUP] = 0;
    StoreDialogOptions(options, path);
    EXPECT_EQ(ReadRunValue(), "<missing>");

    wchar_t quoted[8]; // a path that does not fit is not written at all
    QuoteModulePath(L"C:\\a.exe", quoted, 8);
    EXPECT_STREQ(quoted, L"");
    QuoteModulePath(L"C:\\a", quoted, 8);
    EXPECT_STREQ(quoted, L"\"C:\\a\"");
}

} // namespace
