#include "widgets/skinned_window.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace orv::widgets
