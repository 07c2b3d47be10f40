// The mouse rules every window shares: the strict hover test and which presses drag a window.
#include <gtest/gtest.h>

#include "widgets/mouse.h"

namespace orv::widgets {
namespace {

TEST(HoverTest, StrictlyInsideOnAllFourSides) {
    // A large button at (120, 520) covers x 120..284 and y 520..570.
    const RECT box = BoxAt(120, 520, 164, 50);
    EXPECT_FALSE(IsStrictlyInside(box, POINT{120, 540}));
    EXPECT_TRUE(IsStrictlyInside(box, POINT{121, 540}));
    EXPECT_TRUE(IsStrictlyInside(box, POINT{283, 540}));
    EXPECT_FALSE(IsStrictlyInside(box, POINT{284, 540}));
    EXPECT_FALSE(IsStrictlyInside(box, POINT{200, 520}));
    EXPECT_TRUE(IsStrictlyInside(box, POINT{200, 521}));
    EXPECT_TRUE(IsStrictlyInside(box, POINT{200, 569}));
    EXPECT_FALSE(IsStrictlyInside(box, POINT{200, 570}));
}

TEST(WindowDrag, AnyPressWithTheLeftButtonHeldDrags) {
    // The second press of a quick double press arrives as WM_LBUTTONDBLCLK and must drag as well.
    EXPECT_TRUE(PressStartsDrag(WM_LBUTTONDOWN, MK_LBUTTON));
    EXPECT_TRUE(PressStartsDrag(WM_LBUTTONDBLCLK, MK_LBUTTON));
    // Another button pressed while the left one is held.
    EXPECT_TRUE(PressStartsDrag(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON));
    EXPECT_TRUE(PressStartsDrag(WM_MBUTTONDOWN, MK_LBUTTON | MK_MBUTTON));
    EXPECT_FALSE(PressStartsDrag(WM_RBUTTONDOWN, MK_RBUTTON));
    EXPECT_FALSE(PressStartsDrag(WM_MOUSEMOVE, MK_LBUTTON));
}

}  // namespace
}  // namespace orv::widgets
