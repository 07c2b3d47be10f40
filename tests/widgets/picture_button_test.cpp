#include "widgets/picture_button.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/window_support.h"
#include "widgets/canvas.h"

namespace orv::widgets {
namespace {

using test::At;
using test::Host;

// Three one-colour pictures: red, green, blue.
PictureSet ColourSet() {
    PictureSet set;
    for (Colour colour : {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255)}) {
        Picture picture(20, 20);
        Canvas(picture).Clear(colour);
        picture.Seal();
        set.Add(std::make_shared<const Picture>(std::move(picture)));
    }
    return set;
}

class PictureButtonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.Exists());
        ASSERT_TRUE(
            button.Create({.place = {host.Handle(), 10, 10, 20, 20}, .pictures = &pictures, .picture = 0}));
        ::UpdateWindow(button.Handle());
        button.onClick = [this] { events.push_back("click"); };
        button.onMouseDown = [this](MouseButton b) {
            events.push_back(b == MouseButton::Left ? "down L" : "down R");
        };
        button.onMouseUp = [this](MouseButton b) {
            events.push_back(b == MouseButton::Left ? "up L" : "up R");
        };
    }

    COLORREF ScreenColour() {
        ::UpdateWindow(button.Handle());
        return test::ScreenPixel(button.Handle(), 10, 10);
    }

    Host host;
    PictureSet pictures = ColourSet();
    PictureButton button;
    std::vector<std::string> events;
};

TEST_F(PictureButtonTest, RepaintsOnlyWhenThePictureIndexChanges) {
    const int before = button.PaintCount();
    EXPECT_GE(before, 1);

    button.SetPicture(0);  // unchanged
    ::UpdateWindow(button.Handle());
    EXPECT_EQ(button.PaintCount(), before);

    button.SetPicture(1);
    ::UpdateWindow(button.Handle());
    EXPECT_EQ(button.PaintCount(), before + 1);
    EXPECT_EQ(button.Picture(), 1);

    // Many polls with the same index cost nothing.
    for (int i = 0; i < 50; ++i) {
        button.SetPicture(1);
        ::UpdateWindow(button.Handle());
    }
    EXPECT_EQ(button.PaintCount(), before + 1);
}

TEST_F(PictureButtonTest, ShowsThePictureOfItsIndex) {
    EXPECT_EQ(ScreenColour(), RGB(255, 0, 0));
    button.SetPicture(2);
    EXPECT_EQ(ScreenColour(), RGB(0, 0, 255));
    // An index without a picture paints the parent's background, not the old picture.
    button.SetPicture(7);
    EXPECT_NE(ScreenColour(), RGB(0, 0, 255));
}

TEST_F(PictureButtonTest, LeftPressAndReleaseInsideIsAClickAfterTheRelease) {
    ::SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_TRUE(button.LeftHeld());
    ::SendMessageW(button.Handle(), WM_LBUTTONUP, 0, At(6, 6));
    EXPECT_FALSE(button.LeftHeld());
    EXPECT_EQ(events, (std::vector<std::string>{"down L", "up L", "click"}));
}

TEST_F(PictureButtonTest, ReleaseOutsideIsNoClick) {
    ::SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ::SendMessageW(button.Handle(), WM_LBUTTONUP, 0, At(40, 5));
    EXPECT_EQ(events, (std::vector<std::string>{"down L", "up L"}));
    EXPECT_FALSE(button.LeftHeld());
}

TEST_F(PictureButtonTest, RightButtonIsReportedButNeverHeldOrClicked) {
    ::SendMessageW(button.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, At(5, 5));
    EXPECT_FALSE(button.LeftHeld());
    ::SendMessageW(button.Handle(), WM_RBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(events, (std::vector<std::string>{"down R", "up R"}));
}

TEST_F(PictureButtonTest, LosingTheMouseEndsThePressWithoutAClick) {
    ::SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ASSERT_EQ(::GetCapture(), button.Handle());
    ::SetCapture(host.Handle());
    EXPECT_FALSE(button.LeftHeld());
    ::ReleaseCapture();
    EXPECT_EQ(events, (std::vector<std::string>{"down L", "up L"}));
}

TEST_F(PictureButtonTest, HandCursorOnlyWhenAskedFor) {
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    button.SetHandCursor(true);
    ::SendMessageW(button.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(button.Handle()), overClient);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    button.SetHandCursor(false);
    ::SendMessageW(button.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(button.Handle()), overClient);
    EXPECT_NE(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(PictureButtonTest, HidingAndShowing) {
    button.SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(button.Handle()));
    button.SetVisible(true);
    EXPECT_TRUE(::IsWindowVisible(button.Handle()));
}

}  // namespace
}  // namespace orv::widgets
