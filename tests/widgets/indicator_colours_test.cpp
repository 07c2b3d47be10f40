#include <gtest/gtest.h>

#include "host.h"
#include "widgets/control_colours.h"
#include "widgets/indicator.h"

namespace orv::widgets {
namespace {

COLORREF ScreenPixel(HWND window, int x, int y) {
    ::UpdateWindow(window);
    HDC dc = ::GetDC(window);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(window, dc);
    return colour;
}

TEST(IndicatorTest, ShowsItsColourInsideItsOutline) {
    test::Host host;
    Indicator indicator;
    ASSERT_TRUE(indicator.Create(host.Handle(), 10, 10, 22, 9, Rgb(0, 128, 192), Rgb(0, 86, 128)));
    EXPECT_EQ(ScreenPixel(indicator.Handle(), 0, 0), RGB(0, 86, 128));
    EXPECT_EQ(ScreenPixel(indicator.Handle(), 5, 4), RGB(0, 128, 192));
    indicator.SetColour(Rgb(255, 0, 0));
    EXPECT_EQ(ScreenPixel(indicator.Handle(), 5, 4), RGB(255, 0, 0));
    EXPECT_EQ(indicator.GetColour(), Rgb(255, 0, 0));
}

TEST(ControlColoursTest, KnownControlsGetTheirColoursOthersAreLeftAlone) {
    ControlColours colours;
    HWND field = reinterpret_cast<HWND>(0x1234);
    colours.Set(field, Rgb(215, 237, 255), Rgb(0, 128, 192));
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    const auto wParam = reinterpret_cast<WPARAM>(dc.Get());

    const auto result = colours.OnControlColour(WM_CTLCOLOREDIT, wParam, reinterpret_cast<LPARAM>(field));
    ASSERT_TRUE(result.has_value());
    LOGBRUSH brush{};
    ASSERT_NE(::GetObjectW(reinterpret_cast<HBRUSH>(*result), sizeof(brush), &brush), 0);
    EXPECT_EQ(brush.lbColor, RGB(0, 128, 192));
    EXPECT_EQ(::GetTextColor(dc.Get()), RGB(215, 237, 255));
    EXPECT_EQ(::GetBkColor(dc.Get()), RGB(0, 128, 192));
    // One brush per colour, kept.
    EXPECT_EQ(*colours.OnControlColour(WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(field)), *result);

    EXPECT_FALSE(colours.OnControlColour(WM_CTLCOLOREDIT, wParam, 0x999).has_value());
    EXPECT_FALSE(colours.OnControlColour(WM_COMMAND, wParam, reinterpret_cast<LPARAM>(field)).has_value());
    colours.Remove(field);
    EXPECT_FALSE(
        colours.OnControlColour(WM_CTLCOLOREDIT, wParam, reinterpret_cast<LPARAM>(field)).has_value());
}

TEST(ListEntryTest, SelectedEntryInItsOwnColours) {
    test::Host host;
    HWND list = CreateChildControl(host.Handle(), L"LISTBOX", "", LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 0,
                                   0, 100, 50, 7);
    ASSERT_NE(list, nullptr);
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Run.bat"));
    Picture target(100, 16);
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    Selection selected(dc.Get(), target.Handle());
    Font font(CreateUiFont(FontStyle{11}));
    const ListColours colours{Rgb(192, 192, 192), Rgb(18, 91, 161), Rgb(18, 91, 161), Rgb(250, 197, 47)};
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_LISTBOX;
    draw.itemID = 0;
    draw.hwndItem = list;
    draw.hDC = dc.Get();
    draw.rcItem = RECT{0, 0, 100, 16};
    draw.itemState = ODS_SELECTED;
    ASSERT_TRUE(DrawListEntry(draw, font.Get(), colours));
    ::GdiFlush();
    EXPECT_EQ(target.PixelAt(98, 1) & 0xFFFFFF, 0xFAC52Fu);
    draw.itemState = 0;
    ASSERT_TRUE(DrawListEntry(draw, font.Get(), colours));
    ::GdiFlush();
    EXPECT_EQ(target.PixelAt(98, 1) & 0xFFFFFF, 0x125BA1u);
    // Some text was written in the entry's text colour area.
    bool ink = false;
    for (int x = 0; x < 60; ++x) {
        for (int y = 0; y < 16; ++y) {
            ink = ink || (target.PixelAt(x, y) & 0xFFFFFF) != 0x125BA1u;
        }
    }
    EXPECT_TRUE(ink);
    draw.CtlType = ODT_MENU;
    EXPECT_FALSE(DrawListEntry(draw, font.Get(), colours));
    ::DestroyWindow(list);
}

}  // namespace
}  // namespace orv::widgets
