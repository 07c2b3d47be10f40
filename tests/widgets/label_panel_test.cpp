#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/support/window_support.h"
#include "widgets/edit_field.h"
#include "widgets/label.h"
#include "widgets/panel.h"
#include "widgets/window_text.h"

namespace orv::widgets {
namespace {

using test::At;

// The label's pixels as shown on the screen.
std::vector<COLORREF> ScreenPixels(HWND window, int width, int height) {
    ::InvalidateRect(window, nullptr, FALSE);
    ::UpdateWindow(window);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(test::ScreenPixel(window, x, y));
        }
    }
    return pixels;
}

bool Contains(const std::vector<COLORREF>& pixels, COLORREF colour) {
    return std::find(pixels.begin(), pixels.end(), colour) != pixels.end();
}

class LabelTest : public ::testing::Test {
  protected:
    test::Host host;
    Label label;
};

TEST_F(LabelTest, ShadowCopyOfTheTextOnePixelOff) {
    LabelStyle style;
    style.font = FontStyle{27, true};
    style.text = Rgb(240, 185, 38);
    style.shadow = Rgb(197, 96, 14);
    style.fill = Fill::Solid(Rgb(54, 106, 179));
    ASSERT_TRUE(label.Create({.place = {host.Handle(), 8, 2, 116, 34}, .text = "Orvanter", .style = style}));
    auto pixels = ScreenPixels(label.Handle(), 116, 34);
    EXPECT_TRUE(Contains(pixels, RGB(240, 185, 38)));
    EXPECT_TRUE(Contains(pixels, RGB(197, 96, 14)));

    style.shadow.reset();
    label.SetStyle(style);
    pixels = ScreenPixels(label.Handle(), 116, 34);
    EXPECT_TRUE(Contains(pixels, RGB(240, 185, 38)));
    EXPECT_FALSE(Contains(pixels, RGB(197, 96, 14)));
}

TEST_F(LabelTest, GradientFillBehindTheText) {
    LabelStyle style;
    style.fill = Fill::Vertical(Rgb(0, 0, 0), Rgb(0, 0, 250), 0, 25);
    ASSERT_TRUE(label.Create({.place = {host.Handle(), 10, 40, 113, 25}, .text = "Control", .style = style}));
    const auto pixels = ScreenPixels(label.Handle(), 113, 25);
    const COLORREF top = pixels[112], bottom = pixels[24 * 113 + 112];
    EXPECT_LT(GetBValue(top), 20);
    EXPECT_GT(GetBValue(bottom), 220);
}

TEST_F(LabelTest, ClickOnReleaseInsidePressReportedAtOnce) {
    ASSERT_TRUE(label.Create(
        {.place = {host.Handle(), 10, 70, 100, 16}, .text = "Show hints", .style = LabelStyle{}}));
    int clicks = 0;
    std::vector<MouseButton> presses;
    label.onClick = [&] { ++clicks; };
    label.onMouseDown = [&](MouseButton b) { presses.push_back(b); };
    ::SendMessageW(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    EXPECT_EQ(clicks, 0);
    ::SendMessageW(label.Handle(), WM_LBUTTONUP, 0, At(3, 3));
    EXPECT_EQ(clicks, 1);
    ::SendMessageW(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    ::SendMessageW(label.Handle(), WM_LBUTTONUP, 0, At(300, 3));
    EXPECT_EQ(clicks, 1);
    ::SendMessageW(label.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, At(3, 3));
    EXPECT_EQ(presses, (std::vector<MouseButton>{MouseButton::Left, MouseButton::Left, MouseButton::Right}));
}

// A hidden parent that keeps the notifications it gets.
class Recorder : public SkinnedWindow {
  public:
    std::vector<UINT> messages;

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND || message == WM_CTLCOLOREDIT) {
            messages.push_back(message);
        }
        return SkinnedWindow::OnMessage(message, wParam, lParam);
    }
};

TEST(PanelTest, FieldsOnThePanelReportTheirChanges) {
    Recorder parent;
    ASSERT_TRUE(parent.Create({.className = L"OrvRecorder", .width = 300, .height = 100}));
    Panel panel;
    ASSERT_TRUE(panel.Create({parent.Handle(), 36, 140, 200, 22}));
    EditField field;
    ASSERT_TRUE(field.Create({.place = {panel.Handle(), 10, 2, 80, 18}}));
    int changes = 0;
    field.onTextChanged = [&changes] { ++changes; };
    SetWindowTextUtf8(field.Handle(), "abc");  // as the user's typing does
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(field.Text(), "abc");
}

TEST(PanelTest, FilledWithItsPicture) {
    Recorder parent;
    ASSERT_TRUE(parent.Create({.className = L"OrvRecorder", .width = 300, .height = 100}));
    Panel panel;
    ASSERT_TRUE(panel.Create({parent.Handle(), 10, 10, 22, 9}));
    Picture fill(2, 2);
    Canvas(fill).Clear(Rgb(10, 20, 30));
    fill.Seal();
    panel.SetPicture(&fill, Panel::PictureMode::Stretch);

    Picture target(22, 9);
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    Selection selected(dc.Get(), target.Handle());
    ::SendMessageW(panel.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    ::GdiFlush();
    EXPECT_EQ(target.PixelAt(0, 0) & 0xFFFFFF, 0x0A141Eu);
    EXPECT_EQ(target.PixelAt(21, 8) & 0xFFFFFF, 0x0A141Eu);

    // Without a picture, a colour.
    panel.SetPicture(nullptr);
    panel.SetColour(Rgb(255, 0, 0));
    ::SendMessageW(panel.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    ::GdiFlush();
    EXPECT_EQ(target.PixelAt(5, 5) & 0xFFFFFF, 0xFF0000u);
}

}  // namespace
}  // namespace orv::widgets
