#include "widgets/edit_field.h"

#include <oleacc.h>

#include "widgets/window_text.h"

namespace orv::widgets {

bool EditField::Create(const EditFieldArgs& args) {
    const DWORD style = WS_VISIBLE | (args.tabStop ? WS_TABSTOP : 0) |
                        (args.autoScroll ? ES_AUTOHSCROLL : 0) | (args.readOnly ? ES_READONLY : 0);
    if (!CreateControl(L"EDIT", args.place, style, args.text, args.font, args.colours)) {
        return false;
    }
    if (args.limit > 0) {
        ::SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(args.limit), 0);
    }
    return true;
}

bool EditField::Describe(AccessibleInfo& info) const {
    const HWND field = Handle();
    info.name = LabelOf(field, Label());
    info.role = ROLE_SYSTEM_TEXT;
    info.state = WindowStates(field, true);
    if ((::GetWindowLongPtrW(field, GWL_STYLE) & ES_READONLY) != 0) {
        info.state |= STATE_SYSTEM_READONLY;
    }
    info.value = WindowTextOf(field);
    return true;
}

std::string EditField::Text() const {
    return GetWindowTextUtf8(Handle());
}

bool EditField::SetText(std::string_view text) {
    if (!Exists() || Text() == text) {
        return false;
    }
    settingText_ = true;
    SetWindowTextUtf8(Handle(), text);
    settingText_ = false;
    return true;
}

void EditField::CaretToEnd() {
    const int length = ::GetWindowTextLengthW(Handle());
    ::SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(length), length);
}

void EditField::OnCommand(int code) {
    if (code == EN_CHANGE && !settingText_ && onTextChanged) {
        onTextChanged();
    }
}

}  // namespace orv::widgets
