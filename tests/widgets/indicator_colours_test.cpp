#include <gtest/gtest.h>

#include "tests/support/window_support.h"
#include "widgets/indicator.h"

namespace orv::widgets {
namespace {

COLORREF ScreenPixel(HWND window, int x, int y) {
    ::UpdateWindow(window);
    return test::ScreenPixel(window, x, y);
}

TEST(IndicatorTest, ShowsItsColourInsideItsOutline) {
    test::Host host;
    Indicator indicator;
    ASSERT_TRUE(indicator.Create(
        {.place = {host.Handle(), 10, 10, 22, 9}, .colour = Rgb(0, 128, 192), .outline = Rgb(0, 86, 128)}));
    EXPECT_EQ(ScreenPixel(indicator.Handle(), 0, 0), RGB(0, 86, 128));
    EXPECT_EQ(ScreenPixel(indicator.Handle(), 5, 4), RGB(0, 128, 192));
    indicator.SetColour(Rgb(255, 0, 0));
    EXPECT_EQ(ScreenPixel(indicator.Handle(), 5, 4), RGB(255, 0, 0));
    EXPECT_EQ(indicator.GetColour(), Rgb(255, 0, 0));
}

}  // namespace
}  // namespace orv::widgets
