#include "ui/panel_logic.h"

namespace orv::ui {

using lang::TextId;

TextId TypeText(ObjectType type) {
    switch (type) {
        case ObjectType::Directory:
            return TextId::TypeDirectory;
        case ObjectType::Application:
            return TextId::TypeApplication;
        default:
            return TextId::TypeFile;
    }
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
    switch (type) {
        case ObjectType::Directory:
            return TextId::DirectoryPresent;
        case ObjectType::Application:
            return TextId::ApplicationPresent;
        default:
            return TextId::FilePresent;
    }
}

TextId AbsentText(ObjectType type) {
    switch (type) {
        case ObjectType::Directory:
            return TextId::DirectoryAbsent;
        case ObjectType::Application:
            return TextId::ApplicationAbsent;
        default:
            return TextId::FileAbsent;
    }
}

RowVisibility VisibleControls(bool razr, ObjectType type, ControlParam param) {
    RowVisibility visibility;
    visibility.fields = razr;
    visibility.search = razr && engine::UsesSearchText(type, param);
    return visibility;
}

}  // namespace orv::ui
