#include "widgets/tray.h"

#include <gtest/gtest.h>

#include "tests/support/window_support.h"

namespace orv::widgets {
namespace {

class TrayMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 5; ++i) {
            menu.Add("Item " + std::to_string(i + 1), nullptr, [this, i] { chosen = i; });
        }
    }

    bool GreyedInMenu(int index) const {
        return (::GetMenuState(menu.Handle(), TrayMenu::CommandOf(index), MF_BYCOMMAND) & MF_GRAYED) != 0;
    }

    TrayMenu menu;
    int chosen = -1;
};

TEST_F(TrayMenuTest, ItemsEnableAndDisable) {
    EXPECT_EQ(menu.Count(), 5);
    EXPECT_TRUE(menu.IsEnabled(0));
    EXPECT_FALSE(GreyedInMenu(0));

    // Control running: start off, stop on.
    menu.SetEnabled(0, false);
    menu.SetEnabled(1, true);
    EXPECT_FALSE(menu.IsEnabled(0));
    EXPECT_TRUE(GreyedInMenu(0));
    EXPECT_TRUE(menu.IsEnabled(1));
    EXPECT_FALSE(GreyedInMenu(1));

    menu.SetEnabled(0, true);
    EXPECT_TRUE(menu.IsEnabled(0));
    EXPECT_FALSE(GreyedInMenu(0));
    EXPECT_FALSE(menu.IsEnabled(7));
}

TEST_F(TrayMenuTest, NewTextKeepsTheItemsStateAndIsMeasuredAgain) {
    menu.SetEnabled(1, false);
    MEASUREITEMSTRUCT before{};
    before.CtlType = ODT_MENU;
    before.itemID = TrayMenu::CommandOf(1);
    ASSERT_TRUE(menu.Measure(before));
    menu.SetText(1,
                 "\xD0\x9A\xD0\xBE\xD0\xBD\xD1\x82\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C: "
                 "\xD0\xA1\xD1\x82\xD0\xBE\xD0\xBF \xD0\xB8 \xD0\xB5\xD1\x89\xD1\x91");
    EXPECT_FALSE(menu.IsEnabled(1));
    EXPECT_TRUE(GreyedInMenu(1));
    MEASUREITEMSTRUCT after = before;
    ASSERT_TRUE(menu.Measure(after));
    EXPECT_GT(after.itemWidth, before.itemWidth);
    EXPECT_EQ(::GetMenuItemCount(menu.Handle()), 6);  // the caption and five items
}

TEST_F(TrayMenuTest, ChoosingRunsTheItemsActionUnlessItIsDisabled) {
    EXPECT_TRUE(menu.Run(TrayMenu::CommandOf(2)));
    EXPECT_EQ(chosen, 2);
    chosen = -1;
    menu.SetEnabled(3, false);
    EXPECT_FALSE(menu.Run(TrayMenu::CommandOf(3)));
    EXPECT_EQ(chosen, -1);
    // Nothing chosen (0) or a foreign id.
    EXPECT_FALSE(menu.Run(0));
    EXPECT_FALSE(menu.Run(TrayMenu::CommandOf(5)));
    EXPECT_EQ(chosen, -1);
}

TEST_F(TrayMenuTest, ItemsAreDrawnWithTheirGradient) {
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = TrayMenu::CommandOf(0);
    ASSERT_TRUE(menu.Measure(measure));
    EXPECT_GT(measure.itemWidth, 60u);
    EXPECT_GE(measure.itemHeight, 16u);

    const int width = static_cast<int>(measure.itemWidth), height = static_cast<int>(measure.itemHeight);
    Picture target(width, height);
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    Selection selected(dc.Get(), target.Handle());
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = TrayMenu::CommandOf(0);
    draw.hwndItem = reinterpret_cast<HWND>(menu.Handle());
    draw.hDC = dc.Get();
    draw.rcItem = RECT{0, 0, width, height};
    ASSERT_TRUE(menu.Draw(draw));
    ::GdiFlush();
    // Left end dark blue, right end light blue (no text there).
    const uint32_t left = target.PixelAt(0, height - 2), right = target.PixelAt(width - 1, height - 2);
    EXPECT_NEAR(static_cast<int>((left >> 16) & 0xFF), 2, 6);
    EXPECT_NEAR(static_cast<int>((left >> 8) & 0xFF), 61, 6);
    EXPECT_NEAR(static_cast<int>(left & 0xFF), 125, 6);
    EXPECT_NEAR(static_cast<int>((right >> 16) & 0xFF), 55, 6);
    EXPECT_NEAR(static_cast<int>((right >> 8) & 0xFF), 190, 6);
    EXPECT_NEAR(static_cast<int>(right & 0xFF), 255, 6);

    // Not one of this menu's items: left to the caller.
    draw.hwndItem = nullptr;
    EXPECT_FALSE(menu.Draw(draw));
}

class TrayIconTest : public ::testing::Test {
  protected:
    void SetUp() override {
        icon.reset(::CreateIcon(nullptr, 16, 16, 1, 1, andMask, xorMask));
        ASSERT_TRUE(tray.Create(icon.get(), "Orvanter"));
    }

    struct DestroyIconHandle {
        void operator()(HICON i) const { ::DestroyIcon(i); }
    };
    BYTE andMask[32]{};
    BYTE xorMask[32]{};
    std::unique_ptr<std::remove_pointer_t<HICON>, DestroyIconHandle> icon;
    TrayIcon tray;
};

// One sequence: every removal of an icon costs Wine about two seconds without a notification area.
TEST_F(TrayIconTest, AddedRemovedAndAddedAgainWhenTheTaskbarComesBack) {
    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    EXPECT_FALSE(tray.Active());
    // Explorer restarting with the icon out of the tray does not bring it in.
    ::SendMessageW(tray.Handle(), taskbarCreated, 0, 0);
    EXPECT_FALSE(tray.Active());
    if (!tray.Add()) {
        GTEST_SKIP() << "the shell has no notification area here";
    }
    EXPECT_TRUE(tray.Active());
    EXPECT_TRUE(tray.InTray());
    EXPECT_TRUE(tray.Add());  // adding twice is harmless
    // Explorer restarted and forgot the icon: the broadcast puts it back.
    ::SendMessageW(tray.Handle(), taskbarCreated, 0, 0);
    EXPECT_TRUE(tray.Active());
    EXPECT_TRUE(tray.InTray());
    EXPECT_TRUE(tray.Remove());
    EXPECT_FALSE(tray.Active());
    EXPECT_FALSE(tray.InTray());
}

TEST_F(TrayIconTest, ReportsDoubleClickAndRightButton) {
    int doubleClicks = 0, rightButtons = 0;
    tray.onDoubleClick = [&] { ++doubleClicks; };
    tray.onRightButton = [&](POINT) { ++rightButtons; };
    ::SendMessageW(tray.Handle(), TrayIcon::kCallbackMessage, 1, WM_LBUTTONDBLCLK);
    ::SendMessageW(tray.Handle(), TrayIcon::kCallbackMessage, 1, WM_LBUTTONUP);
    ::SendMessageW(tray.Handle(), TrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(rightButtons, 1);
}

}  // namespace
}  // namespace orv::widgets
