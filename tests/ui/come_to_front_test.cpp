// A second start of the program asks the running main window to come forward: back from the tray or
// from the taskbar, in front; never a second splash.
#include <gtest/gtest.h>

#include "tests/ui/main_window_fixture.h"

namespace orv::ui::test {
namespace {

void AskToComeForward(HWND window) {
    ASSERT_NE(ComeToFrontMessage(), 0u);
    ASSERT_TRUE(::PostMessageW(window, ComeToFrontMessage(), 0, 0));
    Pump();
}

TEST_F(MainWindowTest, ComesBackFromTheTray) {
    StartShown();
    window->Sb_MinClick();
    ASSERT_TRUE(window->InTray());
    AskToComeForward(window->Handle());
    EXPECT_TRUE(window->IsVisible());
    EXPECT_FALSE(window->InTray());
    // Being in front is checked by the installer test, from another process as a second start asks: on
    // a virtual screen without a window manager the activation inside one test program is not reliable.
}

TEST_F(MainWindowTest, AskedBeforeTheSplashHasRunItShowsNothingYet) {
    int splashes = 0;
    Make();
    window->children.showSplash = [&splashes](HWND) { ++splashes; };
    AskToComeForward(window->Handle());
    // The show step with its splash belongs to the start-up sequence, which has not come to it yet.
    EXPECT_EQ(splashes, 0);
    EXPECT_FALSE(window->IsVisible());
    window->ShowMain();
    Pump();
    EXPECT_EQ(splashes, 1);
}

}  // namespace
}  // namespace orv::ui::test
