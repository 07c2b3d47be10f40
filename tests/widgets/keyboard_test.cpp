#include "widgets/keyboard.h"

#include <gtest/gtest.h>

#include "tests/support/window_support.h"
#include "widgets/picture_button.h"

namespace orv::widgets {
namespace {

TEST(TabOrderTest, PassesOverHiddenAndDisabledControlsAndGoesRoundBothWays) {
    test::Host host;
    PictureButton buttons[4];
    TabOrder order;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(buttons[i].Create({.place = {host.Handle(), 10 + 25 * i, 10, 20, 20}}));
        order.Add(buttons[i].Handle());
    }
    buttons[1].SetVisible(false);
    ::EnableWindow(buttons[2].Handle(), FALSE);
    const HWND a = buttons[0].Handle(), d = buttons[3].Handle();
    EXPECT_EQ(order.Next(a, false), d);
    EXPECT_EQ(order.Next(d, false), a);
    EXPECT_EQ(order.Next(a, true), d);
    EXPECT_EQ(order.Next(d, true), a);
    // From a window outside the order: the first or the last that can take the focus.
    EXPECT_EQ(order.Next(host.Handle(), false), a);
    EXPECT_EQ(order.Next(host.Handle(), true), d);
    buttons[0].SetVisible(false);
    buttons[3].SetVisible(false);
    EXPECT_EQ(order.Next(host.Handle(), false), nullptr);
    EXPECT_FALSE(order.Move(host.Handle(), false));
}

}  // namespace
}  // namespace orv::widgets
