#include "widgets/progress_bar.h"

#include <gtest/gtest.h>

#include "tests/support/window_support.h"
#include "widgets/canvas.h"

namespace orv::widgets {
namespace {

Picture Texture(Colour colour) {
    Picture picture(8, 15);
    Canvas(picture).Clear(colour);
    picture.Seal();
    return picture;
}

class ProgressBarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bar.Create(
            {.place = {host.Handle(), 10, 10, 140, 15}, .barTexture = &navy, .backgroundTexture = &grey}));
    }

    COLORREF PixelAt(int x) {
        ::UpdateWindow(bar.Handle());
        return test::ScreenPixel(bar.Handle(), x, 7);
    }

    test::Host host;
    Picture navy = Texture(Rgb(0, 0, 128));
    Picture grey = Texture(Rgb(192, 192, 192));
    ProgressBar bar;
};

TEST_F(ProgressBarTest, PositionStaysWithinZeroToHundred) {
    EXPECT_EQ(bar.Position(), 0);
    bar.SetPosition(150);
    EXPECT_EQ(bar.Position(), 100);
    bar.SetPosition(-5);
    EXPECT_EQ(bar.Position(), 0);
    // The splash's steps: 5s and 3s up to 99.
    for (int i = 0; i < 21; ++i) {
        bar.StepBy(i == 5 || i == 12 || i == 20 ? 3 : 5);
    }
    EXPECT_EQ(bar.Position(), 99);
    bar.StepBy(5);
    EXPECT_EQ(bar.Position(), 100);
}

TEST_F(ProgressBarTest, BarTextureOverTheDonePartBackgroundOverTheRest) {
    bar.SetPosition(50);
    EXPECT_EQ(bar.FilledWidth(), 70);
    EXPECT_EQ(PixelAt(0), RGB(0, 0, 128));
    EXPECT_EQ(PixelAt(69), RGB(0, 0, 128));
    EXPECT_EQ(PixelAt(70), RGB(192, 192, 192));
    bar.SetPosition(0);
    EXPECT_EQ(PixelAt(0), RGB(192, 192, 192));
    bar.SetPosition(100);
    EXPECT_EQ(PixelAt(139), RGB(0, 0, 128));
}

}  // namespace
}  // namespace orv::widgets
