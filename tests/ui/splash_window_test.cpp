#include "ui/splash_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/support/window_support.h"

namespace orv::ui {
namespace {

using orv::test::Pump;

widgets::SplashPictures& Pictures() {
    return orv::test::SharedPictures().splash;
}

RECT BoxOf(HWND window) {
    RECT box{};
    ::GetWindowRect(window, &box);
    return box;
}

// A child's box in its parent's client coordinates.
RECT ChildBox(HWND child) {
    RECT box = BoxOf(child);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&box), 2);
    return box;
}

bool Visible(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

TEST(SplashTick, BarSequenceDonePictureAndClosing) {
    const std::vector<int> expected{5,  10, 15, 20, 25, 28, 33, 38, 43, 48, 53,
                                    58, 61, 66, 71, 76, 81, 86, 91, 96, 99};
    int progress = 0;
    std::vector<int> seen;
    int doneAt = 0, firstClose = 0;
    for (int tick = 1; tick <= 40; ++tick) {
        const SplashTickEffect effect = SplashTick(tick);
        progress += effect.advance;
        if (tick <= 21) {
            seen.push_back(progress);
        } else {
            EXPECT_EQ(effect.advance, 0) << "tick " << tick;
        }
        if (effect.showDone) {
            EXPECT_EQ(doneAt, 0) << "the done picture is shown once";
            doneAt = tick;
        }
        if (effect.close && firstClose == 0) {
            firstClose = tick;
        }
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(progress, 99);
    EXPECT_EQ(doneAt, 20);
    EXPECT_EQ(firstClose, 31);
    EXPECT_FALSE(SplashTick(0).close);
    EXPECT_EQ(SplashTick(0).advance, 0);
}

TEST(SplashPlace, CentredRoundingTowardZero) {
    EXPECT_EQ(SplashLeft(1280), 440);
    EXPECT_EQ(SplashLeft(1281), 440);
    EXPECT_EQ(SplashLeft(401), 0);
    // A desktop narrower than the splash: (300 - 400) / 2 is -50, not -51.
    EXPECT_EQ(SplashLeft(299), -50);
}

class SplashWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(splash_.Create(::GetModuleHandleW(nullptr), Pictures()));
        splash_.onClosed = [this] { ++closed_; };
    }

    SplashWindow splash_;
    int closed_ = 0;
};

TEST_F(SplashWindowTest, CreatedHiddenWithItsTimerOff) {
    EXPECT_FALSE(splash_.IsVisible());
    EXPECT_FALSE(splash_.TimerRunning());
    EXPECT_EQ(splash_.Tick(), 0);
    EXPECT_EQ(splash_.Progress(), 0);
}

TEST_F(SplashWindowTest, ShowingLaysOutAndTicksAnimateUntilTheThirtyFirst) {
    splash_.Show(nullptr);
    ASSERT_TRUE(splash_.IsVisible());
    EXPECT_TRUE(splash_.TimerRunning());
    const RECT box = BoxOf(splash_.Handle());
    EXPECT_EQ(box.left, (::GetSystemMetrics(SM_CXSCREEN) - 400) / 2);
    EXPECT_EQ(box.top, 200);
    EXPECT_EQ(box.right - box.left, 400);
    EXPECT_EQ(box.bottom - box.top, 300);
    EXPECT_EQ(ChildBox(splash_.Bar()).left, 256);
    EXPECT_EQ(ChildBox(splash_.Bar()).top, 18);
    EXPECT_EQ(ChildBox(splash_.Bar()).right, 256 + 140);
    EXPECT_EQ(ChildBox(splash_.Bar()).bottom, 18 + 15);
    EXPECT_EQ(ChildBox(splash_.LoadPicture()).left, 256);
    EXPECT_EQ(ChildBox(splash_.LoadPicture()).top, 6);
    EXPECT_EQ(ChildBox(splash_.DonePicture()).left, 256);
    EXPECT_TRUE(Visible(splash_.LoadPicture()));
    EXPECT_FALSE(Visible(splash_.DonePicture()));
    EXPECT_TRUE(Visible(splash_.Bar()));

    // The ticks by hand (nothing is pumped here, so the window's own timer does not interfere).
    for (int tick = 1; tick <= 19; ++tick) {
        splash_.Timer_WorkTimer();
    }
    EXPECT_EQ(splash_.Progress(), 91);
    EXPECT_TRUE(Visible(splash_.LoadPicture()));
    splash_.Timer_WorkTimer();
    EXPECT_EQ(splash_.Tick(), 20);
    EXPECT_EQ(splash_.Progress(), 96);
    EXPECT_FALSE(Visible(splash_.LoadPicture()));
    EXPECT_TRUE(Visible(splash_.DonePicture()));
    for (int tick = 21; tick <= 30; ++tick) {
        splash_.Timer_WorkTimer();
    }
    EXPECT_EQ(splash_.Progress(), 99);
    EXPECT_TRUE(splash_.IsVisible());
    EXPECT_EQ(closed_, 0);

    splash_.Timer_WorkTimer();
    EXPECT_EQ(splash_.Tick(), 31);
    EXPECT_FALSE(splash_.IsVisible());
    EXPECT_FALSE(splash_.TimerRunning());
    EXPECT_EQ(splash_.Progress(), 99);
    EXPECT_EQ(closed_, 1);
    // Hidden, not destroyed: it lives until the program ends.
    EXPECT_TRUE(splash_.Exists());
}

TEST_F(SplashWindowTest, ModalShowRunsByItsOwnTimerAndFreesTheOwner) {
    auto owner = std::make_unique<widgets::SkinnedWindow>();
    ASSERT_TRUE(owner->Create(
        {.className = L"OrvSplashOwner", .title = L"owner", .x = 10, .y = 10, .width = 200, .height = 100}));
    static HWND ownerHandle;
    static bool ownerEnabledMeanwhile;
    ownerHandle = owner->Handle();
    ownerEnabledMeanwhile = true;
    ::SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        ownerEnabledMeanwhile = ::IsWindowEnabled(ownerHandle) != FALSE;
    });

    splash_.ShowModal(owner->Handle());

    EXPECT_EQ(splash_.Tick(), 31);
    EXPECT_EQ(splash_.Progress(), 99);
    EXPECT_EQ(closed_, 1);
    EXPECT_FALSE(splash_.IsVisible());
    EXPECT_FALSE(ownerEnabledMeanwhile);
    EXPECT_TRUE(::IsWindowEnabled(owner->Handle()));
    // No tick after the end.
    Pump();
    ::Sleep(250);
    Pump();
    EXPECT_EQ(splash_.Tick(), 31);
}

TEST_F(SplashWindowTest, ClosingEarlyEndsTheSplashAsTheTimerWould) {
    static SplashWindow* splash;
    splash = &splash_;
    ::SetTimer(nullptr, 0, 400, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        ::PostMessageW(splash->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    splash_.ShowModal(nullptr);
    EXPECT_LT(splash_.Tick(), 31);
    EXPECT_GT(splash_.Tick(), 0);
    EXPECT_EQ(closed_, 1);
    EXPECT_FALSE(splash_.IsVisible());
    EXPECT_FALSE(splash_.TimerRunning());
    EXPECT_TRUE(splash_.Exists());
    // Shown once per run: its pictures are given back with the close, and another showing draws them.
    EXPECT_FALSE(Pictures().logo.Built());
    EXPECT_TRUE(Pictures().load.IsEmpty());
    EXPECT_TRUE(Pictures().barTexture.IsEmpty());
    ::SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        EXPECT_FALSE(Pictures().load.IsEmpty());
        EXPECT_FALSE(Pictures().backgroundTexture.IsEmpty());
        ::PostMessageW(splash->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    splash_.ShowModal(nullptr);
    EXPECT_EQ(closed_, 2);
}

TEST_F(SplashWindowTest, PressesOnThePicturesOrTheBarOrWithoutTheLeftButtonDoNotDrag) {
    splash_.Show(nullptr);
    const RECT before = BoxOf(splash_.Handle());
    // A drag would enter the system's move loop and wait for the button's release; these return at once.
    ::SendMessageW(splash_.LoadPicture(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(splash_.LoadPicture(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ::SendMessageW(splash_.Bar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(splash_.Bar(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ::SendMessageW(splash_.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 150));
    ::SendMessageW(splash_.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(50, 150));
    const RECT after = BoxOf(splash_.Handle());
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    splash_.Close();
    EXPECT_EQ(closed_, 1);
    // A second close does nothing more.
    splash_.Close();
    EXPECT_EQ(closed_, 1);
}

// Real mouse input: a left press on the picture, a move and the release move the window, while the
// animation goes on.
TEST_F(SplashWindowTest, DraggingWithTheLeftButtonMovesTheWindowAndTheAnimationGoesOn) {
    splash_.Show(nullptr);
    Pump();
    const RECT before = BoxOf(splash_.Handle());
    const POINT start{before.left + 60, before.top + 250};
    if (!::SetCursorPos(start.x, start.y)) {
        GTEST_SKIP() << "no cursor to move here";
    }
    auto input = [](DWORD flags, int x, int y) {
        INPUT event{};
        event.type = INPUT_MOUSE;
        event.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
        event.mi.dx = static_cast<LONG>(x * 65535.0 / (::GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
        event.mi.dy = static_cast<LONG>(y * 65535.0 / (::GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
        ::SendInput(1, &event, sizeof(event));
    };
    std::atomic<bool> released{false};
    const int tickBefore = splash_.Tick();
    // The moves and the release come from another thread while this one is in the move loop.
    std::thread hand([&] {
        ::Sleep(300);
        for (int step = 1; step <= 10; ++step) {
            input(MOUSEEVENTF_MOVE, start.x + 4 * step, start.y + 3 * step);
            ::Sleep(30);
        }
        ::Sleep(400);
        input(MOUSEEVENTF_LEFTUP, start.x + 40, start.y + 30);
        released = true;
    });
    input(MOUSEEVENTF_MOVE, start.x, start.y);
    input(MOUSEEVENTF_LEFTDOWN, start.x, start.y);
    orv::test::WaitFor([&] {
        Pump();
        return released.load();
    });
    // The drag took about a second inside the system's move loop: the timer must have ticked there.
    const int tickAfterDrag = splash_.Tick();
    hand.join();
    Pump();
    const RECT after = BoxOf(splash_.Handle());
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
    EXPECT_GE(tickAfterDrag - tickBefore, 5) << "the timer stopped while dragging";
    // And it still closes by itself at the 31st tick.
    EXPECT_TRUE(orv::test::WaitFor([&] {
        Pump();
        return closed_ == 1;
    }));
    EXPECT_EQ(splash_.Tick(), 31);
}

}  // namespace
}  // namespace orv::ui
