#include <gtest/gtest.h>

#include "dialog/ext_prop.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

struct ExtPropDialog : ::testing::Test {
    ScopedSimAdapter adapter;
    RegistryGuard registry;
    void Monitors(int count)
    {
        SimSetMonitors(count);
        adapter.Install();
    }
};

TEST_F(ExtPropDialog, Smoke)
{
    Monitors(2);
    bool ran = false;
    EXPECT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
        ran = true;
        EXPECT_EQ(dialog, state.dialogWindow);
    }));
    EXPECT_TRUE(ran);
}

} // namespace
