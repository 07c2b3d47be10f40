// The object panel's decisions without a window: the texts by type and parameter and the display
// invariant. The rules of what an edit does to the object are tested with the engine.
#include <gtest/gtest.h>

#include "ui/panel_logic.h"

namespace orv::ui {
namespace {

using lang::TextId;

TEST(PanelLogic, DisplayInvariant) {
    EXPECT_EQ(VisibleControls(false, ObjectType::File, ControlParam::String), (RowVisibility{false, false}));
    EXPECT_EQ(VisibleControls(true, ObjectType::File, ControlParam::String), (RowVisibility{true, true}));
    EXPECT_EQ(VisibleControls(true, ObjectType::File, ControlParam::Date), (RowVisibility{true, false}));
    EXPECT_EQ(VisibleControls(true, ObjectType::Directory, ControlParam::String),
              (RowVisibility{true, false}));
    EXPECT_EQ(VisibleControls(true, ObjectType::Application, ControlParam::String),
              (RowVisibility{true, false}));
}

TEST(PanelLogic, TextsByTypeAndParameter) {
    EXPECT_EQ(TypeText(ObjectType::Directory), TextId::TypeDirectory);
    EXPECT_EQ(ParamText(ObjectType::File, ControlParam::String), TextId::ParamString);
    EXPECT_EQ(ParamText(ObjectType::Directory, ControlParam::Date), TextId::ParamDate);
    EXPECT_EQ(ParamText(ObjectType::Application, ControlParam::Activity), TextId::ParamActivity);
    EXPECT_EQ(AbsentText(ObjectType::Application), TextId::ApplicationAbsent);
    EXPECT_EQ(PresentText(ObjectType::Directory), TextId::DirectoryPresent);
}

}  // namespace
}  // namespace orv::ui
