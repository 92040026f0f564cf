// The tab strip and its pages, on the real dialog driven from inside its
// modal loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "dialog/ext_prop.h"
#include "dialog/tab_pages.h"
#include "tests/canvas_driver.h"
#include "tests/dialog_driver.h"
#include "tests/registry_guard.h"
#include "tests/sim_adapter.h"

namespace {

// The strip, the record and the real windows all show the page.
void ExpectPage(const ExtPropState &s, int page)
{
    SCOPED_TRACE("page " + std::to_string(page));
    EXPECT_EQ(SendMessageA(s.tabControl, TCM_GETCURSEL, 0, 0), page);
    EXPECT_EQ(s.currentTab, page);
    const HWND shownOn[TAB_COUNT] = {s.canvas.primaryCheckBox, s.canvas.windowMiniature, s.icons.viewWindow,
                                     s.optionCheckBoxes[OPTION_COUNT - 1], s.webLink};
    for (int tab = 0; tab < TAB_COUNT; tab++)
        EXPECT_EQ(IsWindowVisible(shownOn[tab]) != 0, tab == page && tab != TAB_WINDOWS) << tab;
    EXPECT_EQ(IsWindowVisible(s.canvas.canvasFrame) != 0, page <= TAB_ICONS);
    EXPECT_EQ(IsWindowVisible(s.canvas.windowCombo) != 0, page == TAB_WINDOWS || page == TAB_ICONS);
    for (int k = 0; k < MAX_SCREEN_ITEMS; k++)
        EXPECT_EQ(IsWindowVisible(s.canvas.screenItems[k]) != 0,
                  page <= TAB_ICONS && k < s.canvas.screenCount)
            << k;
}

void PressTabKey(const ExtPropState &state, WORD key)
{
    SetFocus(state.tabControl);
    keybd_event((BYTE)key, 0, KEYEVENTF_EXTENDEDKEY, 0);
    keybd_event((BYTE)key, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    PumpMessages(150);
}

POINT TabCentre(const ExtPropState &state, int tab)
{
    RECT item;
    SendMessageA(state.tabControl, TCM_GETITEMRECT, tab, (LPARAM)&item);
    MapWindowPoints(state.tabControl, nullptr, (POINT *)&item, 2);
    return Centre(item);
}

// A real click: the strip reads where the cursor is.
void ClickTab(const ExtPropState &state, int tab)
{
    PointerMessage(state.tabControl, WM_LBUTTONDOWN, TabCentre(state, tab));
    PointerMessage(state.tabControl, WM_LBUTTONUP, TabCentre(state, tab), 0);
}

// One display opens on the Windows page and refuses the Screen tab, more open
// on the Screen page; each shown display (three at most) has its item. Real
// clicks and keys change pages, also a click after a key moved away from a
// clicked tab; a redraw of the strip in the middle of a switch keeps the new
// page (entering Icons must not find the Windows page in the record).
TEST(DialogTabs, EachCountOfDisplaysOpensOnItsPageAndClicksAndKeysChangePages)
{
    RegistryGuard registry;
    ScopedSimAdapter sim;
    for (int count = 1; count <= 4; count++) {
        SimSetMonitors(count);
        ASSERT_TRUE(RunExtPropDialog([&](HWND dialog, ExtPropState &state) {
            SCOPED_TRACE(std::to_string(count) + " displays");
            ExpectPage(state, count == 1 ? TAB_WINDOWS : TAB_SCREEN);
            ASSERT_EQ(state.canvas.screenCount, std::min(count, MAX_SCREEN_ITEMS));
            for (int k = 0; k < state.canvas.screenCount; k++)
                EXPECT_EQ(WindowText(state.canvas.screenItems[k]), std::to_string(k + 1));
            if (count == 1) {
                SwitchToTab(state, TAB_SCREEN);
                PressTabKey(state, VK_LEFT);
                PressTabKey(state, VK_HOME);
                ExpectPage(state, TAB_WINDOWS);
            }
            if (count != 3)
                return;
            ClickTab(state, TAB_WINDOWS);
            ExpectPage(state, TAB_WINDOWS);
            PressTabKey(state, VK_RIGHT);
            ExpectPage(state, TAB_ICONS);
            for (int tab : {TAB_SETTINGS, TAB_ICONS, TAB_ABOUT}) {
                ClickTab(state, tab);
                ExpectPage(state, tab);
            }
            SetCursorPos(TabCentre(state, TAB_ICONS).x, TabCentre(state, TAB_ICONS).y);
            PumpMessages(100);
            NMHDR header = {state.tabControl, IDC_TAB_CONTROL, (UINT)TCN_SELCHANGING};
            SendMessageA(dialog, WM_NOTIFY, IDC_TAB_CONTROL, (LPARAM)&header);
            RedrawWindow(state.tabControl, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            EXPECT_EQ(state.currentTab, TAB_ICONS);
        }));
    }
}

} // namespace
