// The system's edit field and list box as the program's widgets: callbacks instead of control ids,
// and their own colours.
#include <gtest/gtest.h>

#include "tests/support/window_support.h"
#include "widgets/canvas.h"
#include "widgets/edit_field.h"
#include "widgets/list_box.h"
#include "widgets/window_text.h"

namespace orv::widgets {
namespace {

TEST(EditFieldTest, OnlyTheUsersChangesAreReported) {
    test::Host host;
    EditField field;
    ASSERT_TRUE(field.Create({.place = {host.Handle(), 5, 5, 100, 20}, .text = "start"}));
    int changes = 0;
    field.onTextChanged = [&changes] { ++changes; };
    SetWindowTextUtf8(field.Handle(), "typed");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(field.SetText("set"));
    EXPECT_FALSE(field.SetText("set"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(field.Text(), "set");
}

TEST(EditFieldTest, AnswersTheColourMessagesOfItsOwnControlOnly) {
    test::Host host;
    EditField coloured, plain;
    ASSERT_TRUE(coloured.Create({.place = {host.Handle(), 5, 30, 100, 20},
                                 .readOnly = true,
                                 .colours = TextColours{Rgb(215, 237, 255), Rgb(0, 128, 192)}}));
    ASSERT_TRUE(plain.Create({.place = {host.Handle(), 5, 55, 100, 20}}));
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    const auto wParam = reinterpret_cast<WPARAM>(dc.Get());

    const auto result =
        StandardControl::Reflect(WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(coloured.Handle()));
    ASSERT_TRUE(result.has_value());
    LOGBRUSH brush{};
    ASSERT_NE(::GetObjectW(reinterpret_cast<HBRUSH>(*result), sizeof(brush), &brush), 0);
    EXPECT_EQ(brush.lbColor, RGB(0, 128, 192));
    EXPECT_EQ(::GetTextColor(dc.Get()), RGB(215, 237, 255));
    EXPECT_EQ(::GetBkColor(dc.Get()), RGB(0, 128, 192));

    EXPECT_FALSE(StandardControl::Reflect(WM_CTLCOLOREDIT, wParam, reinterpret_cast<LPARAM>(plain.Handle()))
                     .has_value());
    EXPECT_FALSE(StandardControl::Reflect(WM_CTLCOLOREDIT, wParam, reinterpret_cast<LPARAM>(host.Handle()))
                     .has_value());
}

TEST(ListBoxTest, SelectedEntryInItsOwnColours) {
    test::Host host;
    Font font(CreateUiFont(FontStyle{11}));
    ListBox list;
    ASSERT_TRUE(list.Create({.place = {host.Handle(), 0, 0, 100, 50},
                             .font = font.Get(),
                             .colours = TextColours{Rgb(192, 192, 192), Rgb(18, 91, 161)},
                             .selectedColours = TextColours{Rgb(18, 91, 161), Rgb(250, 197, 47)}}));
    list.SetItems({"Run.bat"});
    EXPECT_EQ(list.ItemText(0), "Run.bat");

    Picture target(100, 16);
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    Selection selected(dc.Get(), target.Handle());
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_LISTBOX;
    draw.itemID = 0;
    draw.hwndItem = list.Handle();
    draw.hDC = dc.Get();
    draw.rcItem = RECT{0, 0, 100, 16};
    draw.itemState = ODS_SELECTED;
    ASSERT_TRUE(StandardControl::Reflect(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)).has_value());
    ::GdiFlush();
    EXPECT_EQ(target.PixelAt(98, 1) & 0xFFFFFF, 0xFAC52Fu);
    draw.itemState = 0;
    ASSERT_TRUE(StandardControl::Reflect(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)).has_value());
    ::GdiFlush();
    EXPECT_EQ(target.PixelAt(98, 1) & 0xFFFFFF, 0x125BA1u);
    // Some text was written in the entry's text colour.
    bool ink = false;
    for (int x = 0; x < 60; ++x) {
        for (int y = 0; y < 16; ++y) {
            ink = ink || (target.PixelAt(x, y) & 0xFFFFFF) != 0x125BA1u;
        }
    }
    EXPECT_TRUE(ink);
}

}  // namespace
}  // namespace orv::widgets
