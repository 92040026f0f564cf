#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/registry_guard.h"

namespace {

TEST(Settings, StoreWritesAllOptionsAndTheQuotedRunValue)
{
    RegistryGuard guard;
    const char *path = "C:\\Program Files\\Tessivon\\tessivon.exe";
    DWORD options[OPTION_COUNT] = {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 1, 0};
    ASSERT_TRUE(StoreDialogOptions(options, path));
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_EQ(ReadStoredOption(i), (long long)options[i]) << OptionNames[i + 1];
    EXPECT_EQ(ReadRunValue(), "\"C:\\Program Files\\Tessivon\\tessivon.exe\"");
    options[OPT_LAUNCH_AT_WINDOWS_STARTUP] = 0;
    StoreDialogOptions(options, path);
    EXPECT_EQ(ReadRunValue(), "<missing>");

    char quoted[8]; // a path that does not fit is not written at all
    QuoteModulePath("C:\\a.exe", quoted, sizeof(quoted));
    EXPECT_STREQ(quoted, "");
    QuoteModulePath("C:\\a", quoted, sizeof(quoted));
    EXPECT_STREQ(quoted, "\"C:\\a\"");
}

} // namespace
