#include "widgets/work_image.h"

#include <gtest/gtest.h>

#include "widgets/canvas.h"

namespace orv::widgets {
namespace {

TEST(WorkImageTest, ButtonOverTheSkinAtItsPlace) {
    // Skin: left half green, right half blue; the button sits across the border.
    const LazyPicture skin([] {
        Picture picture(40, 20);
        Canvas canvas(picture);
        canvas.FillRect(Box{0, 0, 20, 20}, Fill::Solid(Rgb(0, 255, 0)));
        canvas.FillRect(Box{20, 0, 40, 20}, Fill::Solid(Rgb(0, 0, 255)));
        picture.Seal();
        return picture;
    });
    // Button: a red square with a transparent frame of two pixels.
    PictureSet set;
    {
        Picture button(10, 10);
        Canvas(button).FillRect(Box{2, 2, 8, 8}, Fill::Solid(Rgb(255, 0, 0)));
        button.Seal();
        set.Set(0, std::make_shared<const Picture>(std::move(button)));
    }
    WorkImage work(10, 10);
    work.SetBackdrop(&skin, 15, 5);
    EXPECT_TRUE(work.Image().IsEmpty());  // nothing drawn, nothing held
    ASSERT_TRUE(work.Draw(set, 0));
    const Picture& image = work.Image();
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(image.PixelAt(0, 0), 0xFF00FF00u);  // skin x 15: green
    EXPECT_EQ(image.PixelAt(9, 0), 0xFF0000FFu);  // skin x 24: blue
    EXPECT_EQ(image.PixelAt(5, 5), 0xFFFF0000u);  // the button

    // No picture at the index: the backdrop alone, not the last button.
    EXPECT_FALSE(work.Draw(set, 5));
    EXPECT_EQ(work.Image().PixelAt(3, 5), 0xFF00FF00u);
    EXPECT_EQ(work.Image().PixelAt(6, 5), 0xFF0000FFu);
}

}  // namespace
}  // namespace orv::widgets
