#include "widgets/skinned_window.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/window_support.h"
#include "widgets/canvas.h"
#include "widgets/pictures.h"

namespace orv::widgets {
namespace {

class OutlineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window.Create({.className = L"OrvOutlineTest",
                                   .title = L"outline",
                                   .width = kSkinWidth,
                                   .height = kSkinHeight}));
        ASSERT_TRUE(window.SetOutline(kMainOutline));
        ASSERT_TRUE(region);
        ASSERT_NE(::GetWindowRgn(window.Handle(), region.Get()), ERROR);
    }

    bool Inside(int x, int y) const { return ::PtInRegion(region.Get(), x, y) != FALSE; }

    SkinnedWindow window;
    Region region{::CreateRectRgn(0, 0, 0, 0)};
};

TEST_F(OutlineTest, IsExactlyTheNineRectangles) {
    // The region's own rectangles, as the system keeps them: the nine bands, top to bottom.
    const DWORD size = ::GetRegionData(region.Get(), 0, nullptr);
    ASSERT_GT(size, sizeof(RGNDATAHEADER));
    std::vector<unsigned char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    ASSERT_EQ(::GetRegionData(region.Get(), size, data), size);
    ASSERT_EQ(data->rdh.nCount, kMainOutline.size());
    const RECT* rectangles = reinterpret_cast<const RECT*>(data->Buffer);
    for (size_t i = 0; i < kMainOutline.size(); ++i) {
        EXPECT_TRUE(::EqualRect(&rectangles[i], &kMainOutline[i])) << "rectangle " << i;
    }
}

TEST_F(OutlineTest, StepsAtTheCornersAndEdges) {
    // Top edge: row 1 from 6 to 795.
    EXPECT_FALSE(Inside(400, 0));
    EXPECT_TRUE(Inside(6, 1));
    EXPECT_FALSE(Inside(5, 1));
    EXPECT_TRUE(Inside(795, 1));
    EXPECT_FALSE(Inside(796, 1));
    // Left and right edges of the long middle band.
    EXPECT_TRUE(Inside(1, 6));
    EXPECT_FALSE(Inside(0, 300));
    EXPECT_TRUE(Inside(800, 595));
    EXPECT_FALSE(Inside(801, 300));
    EXPECT_FALSE(Inside(1, 5));
    EXPECT_TRUE(Inside(2, 5));
    // Bottom corner steps.
    EXPECT_TRUE(Inside(4, 599));
    EXPECT_FALSE(Inside(3, 599));
    EXPECT_TRUE(Inside(6, 600));
    EXPECT_FALSE(Inside(400, 601));
}

TEST(RegionFromRectanglesTest, EmptyListGivesEmptyRegion) {
    Region region = RegionFromRectangles({});
    ASSERT_TRUE(region);
    RECT box{};
    EXPECT_EQ(::GetRgnBox(region.Get(), &box), NULLREGION);
}

TEST(RegionFromRectanglesTest, OverlappingRectanglesJoin) {
    const RECT parts[] = {{0, 0, 10, 10}, {5, 5, 20, 20}};
    Region region = RegionFromRectangles(parts);
    EXPECT_TRUE(::PtInRegion(region.Get(), 2, 2));
    EXPECT_TRUE(::PtInRegion(region.Get(), 19, 19));
    EXPECT_FALSE(::PtInRegion(region.Get(), 15, 2));
    EXPECT_FALSE(::PtInRegion(region.Get(), 20, 20));
}

// A window painted anew in part composes just that part off-screen, in the window's coordinates: every
// pixel of the part shows the skin's pixel of the same place, and the rest of the screen is left alone.
TEST(SkinnedWindowPaintTest, APartPaintedAnewShowsTheSkinAtItsPlace) {
    static const PaintedPicture skin(300, 200, [](Canvas& c) {
        c.FillRect(Box{0, 0, 300, 200}, Fill::Horizontal(Rgb(0, 0, 0), Rgb(255, 255, 255), 0, 300));
        c.FillCircle(Point{150, 100}, 60, Fill::Vertical(Rgb(255, 0, 0), Rgb(0, 0, 255), 40, 160));
    });
    // Kept for the whole test program: hiding a window waits for the X server under Wine.
    static SkinnedWindow* window = [] {
        auto* created = new SkinnedWindow;
        created->Create({.className = L"OrvSkinPaintTest", .x = 40, .y = 40, .width = 300, .height = 200});
        created->SetSkin(&skin);
        ::ShowWindow(created->Handle(), SW_SHOWNOACTIVATE);
        ::UpdateWindow(created->Handle());
        return created;
    }();
    test::Pump();
    {
        WindowDc dc(window->Handle());
        const RECT all{0, 0, 300, 200};
        ::FillRect(dc.Get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    const RECT part{100, 60, 160, 110};
    ::InvalidateRect(window->Handle(), &part, FALSE);
    ::UpdateWindow(window->Handle());

    const Picture expected = skin.Render();
    int wrong = 0;
    for (int y = part.top; y < part.bottom; y += 5) {
        for (int x = part.left; x < part.right; x += 5) {
            const uint32_t pixel = expected.PixelAt(x, y);
            wrong += test::ScreenPixel(window->Handle(), x, y) !=
                     RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(test::ScreenPixel(window->Handle(), 50, 30), RGB(0, 0, 0));
}

}  // namespace
}  // namespace orv::widgets
