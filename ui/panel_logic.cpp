#include "ui/panel_logic.h"

namespace orv::ui {

using lang::TextId;

namespace {

// The text of a folded type.
TextId ByType(ObjectType type, TextId file, TextId directory, TextId application) {
    switch (type) {
        case ObjectType::Directory:
            return directory;
        case ObjectType::Application:
            return application;
        default:
            return file;
    }
}

}  // namespace

TextId TypeText(ObjectType type) {
    return ByType(type, TextId::TypeFile, TextId::TypeDirectory, TextId::TypeApplication);
}

TextId ParamText(ObjectType type, ControlParam param) {
    if (type == ObjectType::Application) {
        return TextId::ParamActivity;
    }
    switch (param) {
        case ControlParam::Size:
            return TextId::ParamSize;
        case ControlParam::Date:
            return TextId::ParamDate;
        case ControlParam::String:
            return type == ObjectType::File ? TextId::ParamString : TextId::ParamAvailability;
        default:
            return TextId::ParamAvailability;
    }
}

TextId PresentText(ObjectType type) {
    return ByType(type, TextId::FilePresent, TextId::DirectoryPresent, TextId::ApplicationPresent);
}

TextId AbsentText(ObjectType type) {
    return ByType(type, TextId::FileAbsent, TextId::DirectoryAbsent, TextId::ApplicationAbsent);
}

RowVisibility VisibleControls(bool razr, ObjectType type, ControlParam param) {
    RowVisibility visibility;
    visibility.fields = razr;
    visibility.search = razr && engine::UsesSearchText(type, param);
    return visibility;
}

}  // namespace orv::ui
