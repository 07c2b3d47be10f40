#include "widgets/check_box.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/window_support.h"

namespace orv::widgets {
namespace {

using test::At;

class CheckBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(box.Create({.place = {host.Handle(), 10, 10, 32, 18}, .caption = "3"}));
        box.onClick = [this] { ++clicks; };
    }

    COLORREF PixelAt(int x, int y) {
        ::InvalidateRect(box.Handle(), nullptr, FALSE);
        ::UpdateWindow(box.Handle());
        return test::ScreenPixel(box.Handle(), x, y);
    }

    std::vector<COLORREF> Screen(const CheckBox& which) {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 18; ++y) {
            for (int x = 0; x < 32; ++x) {
                pixels.push_back(test::ScreenPixel(which.Handle(), x, y));
            }
        }
        return pixels;
    }

    test::Host host;
    CheckBox box;
    int clicks = 0;
};

TEST_F(CheckBoxTest, SettingTheMarkFromTheProgramIsNoClick) {
    box.SetChecked(true);
    EXPECT_TRUE(box.Checked());
    box.SetChecked(false);
    box.SetChecked(false);
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(clicks, 0);
}

TEST_F(CheckBoxTest, AUserClickTogglesFirstAndThenReports) {
    bool checkedAtClick = false;
    box.onClick = [&] {
        ++clicks;
        checkedAtClick = box.Checked();
    };
    ::SendMessageW(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ::SendMessageW(box.Handle(), WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(checkedAtClick);

    ::SendMessageW(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ::SendMessageW(box.Handle(), WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(box.Checked());
}

TEST_F(CheckBoxTest, ReleasingOutsideChangesNothing) {
    ::SendMessageW(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ::SendMessageW(box.Handle(), WM_LBUTTONUP, 0, At(60, 5));
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(box.Checked());
}

TEST_F(CheckBoxTest, SpaceBarTogglesLikeAClick) {
    ::SendMessageW(box.Handle(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(box.Checked());
}

TEST_F(CheckBoxTest, BackgroundColourShowsAroundTheBox) {
    box.SetBackground(Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(30, 1), RGB(255, 0, 0));
    box.SetBackground(Rgb(54, 106, 179));
    EXPECT_EQ(PixelAt(30, 1), RGB(54, 106, 179));
}

// The step display changes two boxes every second: a new background is on the screen at once, without a
// paint message, and looks as a paint draws it.
TEST_F(CheckBoxTest, ANewBackgroundIsDrawnAtOnceAsAPaintDrawsIt) {
    PixelAt(0, 0);
    box.SetBackground(Rgb(0, 160, 0));
    const std::vector<COLORREF> atOnce = Screen(box);
    EXPECT_EQ(atOnce[32 + 30], RGB(0, 160, 0));
    PixelAt(0, 0);
    EXPECT_EQ(atOnce, Screen(box));
}

// A look shown before is shown again as it was drawn, but only while the mark and the caption are the
// same: a box taken back and forth, marked and renamed meanwhile, looks as one drawn afresh.
TEST_F(CheckBoxTest, ALookShownAgainFollowsTheMarkAndTheCaption) {
    const Colour idle = Rgb(54, 106, 179), active = Rgb(0, 160, 0);
    const auto marked = [&](std::string_view caption) {
        CheckBox fresh;
        fresh.Create({.place = {host.Handle(), 10, 40, 32, 18}, .caption = caption});
        fresh.SetChecked(true);
        fresh.SetBackground(active);
        ::InvalidateRect(fresh.Handle(), nullptr, FALSE);
        ::UpdateWindow(fresh.Handle());
        return Screen(fresh);
    };

    box.SetBackground(active);
    box.SetBackground(idle);
    box.SetChecked(true);
    box.SetBackground(active);
    EXPECT_EQ(Screen(box), marked("3"));

    box.SetBackground(idle);
    box.SetCaption("4");
    box.SetBackground(active);
    EXPECT_EQ(Screen(box), marked("4"));
    EXPECT_NE(marked("3"), marked("4"));
}

}  // namespace
}  // namespace orv::widgets
