#include "widgets/canvas.h"

#include <gtest/gtest.h>

namespace orv::widgets {
namespace {

uint32_t Alpha(uint32_t pixel) {
    return pixel >> 24;
}

TEST(CanvasTest, OpaqueFillGivesTheExactColour) {
    Picture picture(10, 10);
    Canvas canvas(picture);
    canvas.FillRect(Box{0, 0, 10, 10}, Fill::Solid(Rgb(54, 106, 179)));
    EXPECT_EQ(picture.PixelAt(0, 0), 0xFF366AB3u);
    EXPECT_EQ(picture.PixelAt(9, 9), 0xFF366AB3u);
    picture.Seal();
    EXPECT_FALSE(picture.HasAlpha());
}

TEST(CanvasTest, HalfTransparentColourIsStoredPremultiplied) {
    Picture picture(2, 2);
    Canvas canvas(picture);
    canvas.FillRect(Box{0, 0, 2, 2}, Fill::Solid(Rgb(200, 100, 0, 128)));
    const uint32_t pixel = picture.PixelAt(0, 0);
    EXPECT_EQ(Alpha(pixel), 128u);
    EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), 100, 1);
    EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), 50, 1);
    picture.Seal();
    EXPECT_TRUE(picture.HasAlpha());
}

TEST(CanvasTest, RoundedCornersAreCutAndEdgesSoft) {
    Picture picture(20, 20);
    Canvas canvas(picture);
    canvas.FillRoundRect(Box{0, 0, 20, 20}, 6, Fill::Solid(Rgb(255, 255, 255)));
    EXPECT_EQ(Alpha(picture.PixelAt(0, 0)), 0u);
    EXPECT_EQ(Alpha(picture.PixelAt(10, 10)), 255u);
    EXPECT_EQ(Alpha(picture.PixelAt(10, 0)), 255u);
    // Somewhere on the corner's curve a pixel is partly covered.
    bool soft = false;
    for (int i = 0; i < 6; ++i) {
        const uint32_t a = Alpha(picture.PixelAt(i, i));
        soft = soft || (a > 0 && a < 255);
    }
    EXPECT_TRUE(soft);
}

TEST(CanvasTest, GradientRunsFromOneColourToTheOther) {
    Picture picture(1, 101);
    Canvas canvas(picture);
    canvas.FillRect(Box{0, 0, 1, 101}, Fill::Vertical(Rgb(0, 0, 0), Rgb(200, 0, 0), 0.5f, 100.5f));
    EXPECT_EQ((picture.PixelAt(0, 0) >> 16) & 0xFF, 0u);
    EXPECT_NEAR(static_cast<int>((picture.PixelAt(0, 50) >> 16) & 0xFF), 100, 2);
    EXPECT_EQ((picture.PixelAt(0, 100) >> 16) & 0xFF, 200u);
}

TEST(CanvasTest, TextLeavesAntialiasedInk) {
    Picture picture(80, 24);
    Canvas canvas(picture);
    const int width =
        canvas.Text(L"Start", FontStyle{19, true}, Box{0, 0, 80, 24}, Align::Left, Rgb(255, 255, 255));
    EXPECT_GT(width, 20);
    int ink = 0, partial = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 80; ++x) {
            const uint32_t a = Alpha(picture.PixelAt(x, y));
            ink += a > 0;
            partial += a > 0 && a < 255;
        }
    }
    EXPECT_GT(ink, 40);
    EXPECT_GT(partial, 5);
    // Nothing right of the measured text.
    for (int y = 0; y < 24; ++y) {
        EXPECT_EQ(Alpha(picture.PixelAt(79, y)), 0u);
    }
}

TEST(CanvasTest, PasteBlendsByAlpha) {
    Picture source(2, 1);
    Canvas(source).FillRect(Box{0, 0, 1, 1}, Fill::Solid(Rgb(255, 0, 0)));  // right pixel stays transparent
    Picture target(2, 1);
    Canvas canvas(target);
    canvas.Clear(Rgb(0, 0, 255));
    canvas.Paste(source, 0, 0);
    EXPECT_EQ(target.PixelAt(0, 0), 0xFFFF0000u);
    EXPECT_EQ(target.PixelAt(1, 0), 0xFF0000FFu);
}

TEST(CanvasTest, ColourHelpers) {
    EXPECT_EQ(Mix(Rgb(0, 0, 0), Rgb(200, 100, 50), 0.5f), Rgb(100, 50, 25));
    EXPECT_EQ(Mix(Rgb(0, 0, 0), Rgb(200, 100, 50), 2.0f), Rgb(200, 100, 50));
    EXPECT_EQ(Lighten(Rgb(100, 100, 100), 1.0f), Rgb(255, 255, 255));
    EXPECT_EQ(Lighten(Rgb(100, 100, 100), -1.0f), Rgb(0, 0, 0));
}

}  // namespace
}  // namespace orv::widgets
