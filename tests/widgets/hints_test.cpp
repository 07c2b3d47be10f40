#include "widgets/hints.h"

#include <gtest/gtest.h>

#include "tests/support/window_support.h"
#include "widgets/picture.h"

namespace orv::widgets {
namespace {

using namespace std::chrono_literals;

TEST(SplitHintLinesTest, EveryKindOfLineBreak) {
    EXPECT_EQ(SplitHintLines(L"one"), (std::vector<std::wstring>{L"one"}));
    // The program's hint texts break their lines with "\n\r".
    EXPECT_EQ(SplitHintLines(L"one\n\rtwo"), (std::vector<std::wstring>{L"one", L"two"}));
    EXPECT_EQ(SplitHintLines(L"one\r\ntwo\nthree\rfour"),
              (std::vector<std::wstring>{L"one", L"two", L"three", L"four"}));
    // Two breaks of the same kind are an empty line.
    EXPECT_EQ(SplitHintLines(L"a\n\nb"), (std::vector<std::wstring>{L"a", L"", L"b"}));
    EXPECT_EQ(SplitHintLines(L""), (std::vector<std::wstring>{L""}));
}

class HintsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(hints.Start());
        control = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, host.Handle(),
                                    nullptr, nullptr, nullptr);
        child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 2, 2, 10, 10, control, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(child, nullptr);
    }
    void TearDown() override {
        hints.Stop();
        ::DestroyWindow(control);
    }

    // The cursor rests on `under` from t0 for longer than the hint's delay.
    void RestOn(HWND under) {
        hints.Update(cursor, under, false, t0);
        hints.Update(cursor, under, false, t0 + 600ms);
    }

    test::Host host;
    Hints hints;
    HWND control = nullptr;
    HWND child = nullptr;
    const Hints::Clock::time_point t0 = Hints::Clock::now();
    const POINT cursor{100, 100};
};

TEST_F(HintsTest, AppearsAfterTheCursorRestsOnTheControl) {
    hints.Set(control, "Path to control object of the thread 1");
    hints.Update(cursor, control, false, t0);
    hints.Update(cursor, control, false, t0 + 200ms);
    EXPECT_FALSE(hints.Popup().Showing());
    hints.Update(cursor, control, false, t0 + 600ms);
    ASSERT_TRUE(hints.Popup().Showing());
    EXPECT_EQ(hints.Popup().Text(), "Path to control object of the thread 1");
    // Leaving the control hides it.
    hints.Update(cursor, host.Handle(), false, t0 + 700ms);
    EXPECT_FALSE(hints.Popup().Showing());
}

TEST_F(HintsTest, ChildWithoutHintShowsItsParentsHint) {
    hints.Set(control, "Settings for thread 3");
    RestOn(child);
    ASSERT_TRUE(hints.Popup().Showing());
    EXPECT_EQ(hints.Popup().Text(), "Settings for thread 3");
}

TEST_F(HintsTest, SwitchedOffForAllWindows) {
    hints.Set(control, "Show hints");
    hints.SetEnabled(false);
    hints.Update(cursor, control, false, t0);
    hints.Update(cursor, control, false, t0 + 2s);
    EXPECT_FALSE(hints.Popup().Showing());
    hints.SetEnabled(true);
    hints.Update(cursor, control, false, t0 + 3s);
    hints.Update(cursor, control, false, t0 + 4s);
    EXPECT_TRUE(hints.Popup().Showing());
    // Switching off hides a shown hint at once.
    hints.SetEnabled(false);
    EXPECT_FALSE(hints.Popup().Showing());
}

TEST_F(HintsTest, APressHidesTheHintUntilTheCursorMovesOn) {
    hints.Set(control, "Launch control");
    RestOn(control);
    ASSERT_TRUE(hints.Popup().Showing());
    hints.Update(cursor, control, true, t0 + 700ms);
    EXPECT_FALSE(hints.Popup().Showing());
    hints.Update(cursor, control, false, t0 + 3s);
    EXPECT_FALSE(hints.Popup().Showing());
}

// The buttons are a call to the system: asked once where the cursor comes to rest, while a press over the
// resting cursor reaches the hints as the message the program's loops take.
TEST_F(HintsTest, ARestingCursorAsksTheButtonsOnceAndAPressComesAsAMessage) {
    hints.Set(control, "Launch control");
    int asks = 0;
    const auto under = [this](POINT) { return control; };
    const auto buttons = [&asks] {
        ++asks;
        return false;
    };
    for (auto t = t0; t <= t0 + 2s; t += 100ms) {
        hints.PollWith(cursor, under, buttons, [t] { return t; });
    }
    ASSERT_TRUE(hints.Popup().Showing());
    EXPECT_EQ(asks, 1);
    MSG press{};
    press.message = WM_LBUTTONDOWN;
    Hints::NoteMessage(press);
    hints.PollWith(cursor, under, buttons, [this] { return t0 + 2100ms; });
    EXPECT_FALSE(hints.Popup().Showing());
    hints.PollWith(cursor, under, buttons, [this] { return t0 + 4s; });
    EXPECT_FALSE(hints.Popup().Showing());
}

TEST_F(HintsTest, ChangedTextOfTheShownHintIsShownInPlace) {
    hints.Set(control, "This file is");
    RestOn(control);
    hints.Set(control, "File size increased to: 2048 b");
    EXPECT_EQ(hints.Popup().Text(), "File size increased to: 2048 b");
    hints.Set(control, "");
    EXPECT_EQ(hints.Find(control), nullptr);
}

TEST_F(HintsTest, NoHintsForAWindowDisabledByAModalOne) {
    hints.Set(control, "Select the control object for the thread 1");
    ::EnableWindow(host.Handle(), FALSE);
    hints.Update(cursor, control, false, t0);
    hints.Update(cursor, control, false, t0 + 2s);
    EXPECT_FALSE(hints.Popup().Showing());
    ::EnableWindow(host.Handle(), TRUE);
}

TEST_F(HintsTest, HintWindowColoursAndLines) {
    const SIZE one = hints.Popup().Measure("one line");
    const SIZE two = hints.Popup().Measure("one line\n\ranother");
    EXPECT_GT(two.cy, one.cy + 8);

    hints.Popup().ShowAt("one line\n\ranother", POINT{50, 50});
    RECT box{};
    ::GetClientRect(hints.Popup().Handle(), &box);
    EXPECT_EQ(box.right, two.cx);
    EXPECT_EQ(box.bottom, two.cy);
    Picture picture(box.right, box.bottom);
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    Selection selected(dc.Get(), picture.Handle());
    ::SendMessageW(hints.Popup().Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    ::GdiFlush();
    auto rgb = [&](int x, int y) { return picture.PixelAt(x, y) & 0xFFFFFF; };
    const uint32_t border = (16u << 16) | (80u << 8) | 141u, background = (255u << 16) | (255u << 8) | 202u;
    EXPECT_EQ(rgb(0, 0), border);
    EXPECT_EQ(rgb(box.right - 1, box.bottom / 2), border);
    EXPECT_EQ(rgb(box.right / 2, box.bottom - 1), border);
    EXPECT_EQ(rgb(1, 1), background);
    EXPECT_EQ(rgb(box.right - 2, box.bottom - 2), background);
}

}  // namespace
}  // namespace orv::widgets
