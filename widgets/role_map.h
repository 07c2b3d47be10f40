// The controls of a window (or of one part of it) by their roles: each window maps its controls once,
// when it has made them, and reaches them through the map from then on: to set a caption or a hint in
// the current language, to answer a test or a screen reader. `Role` is an enum ending in `Count`.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "widgets/edit_field.h"
#include "widgets/hints.h"
#include "widgets/label.h"

namespace orv::widgets {

template <class Role>
class RoleMap {
  public:
    static constexpr size_t kRoles = static_cast<size_t>(Role::Count);

    // A label or a text field shows its role's caption as well as its hint.
    void Map(Role role, Label& label) { entries_[Index(role)] = {label.Handle(), &label, nullptr}; }
    void Map(Role role, EditField& field) { entries_[Index(role)] = {field.Handle(), nullptr, &field}; }
    // Any other control shows a hint only.
    template <class Control>
    void Map(Role role, const Control& control) {
        entries_[Index(role)] = {control.Handle(), nullptr, nullptr};
    }

    bool Has(Role role) const { return Handle(role) != nullptr; }
    HWND Handle(Role role) const { return entries_[Index(role)].handle; }

    // Sets the caption of the label or text field in `role`; false when the role has neither here.
    bool SetCaption(Role role, std::string_view text) const {
        const Entry& entry = entries_[Index(role)];
        if (entry.label != nullptr) {
            entry.label->SetText(text);
        } else if (entry.field != nullptr) {
            entry.field->SetText(text);
        }
        return entry.label != nullptr || entry.field != nullptr;
    }
    // The caption shown in `role` ("" when the role has no label or text field here).
    std::string Caption(Role role) const {
        const Entry& entry = entries_[Index(role)];
        if (entry.label != nullptr) {
            return entry.label->Text();
        }
        return entry.field != nullptr ? entry.field->Text() : std::string();
    }

    // Sets the hint of the control in `role`; false when the role has no control here.
    bool SetHint(Role role, std::string_view text, Hints& hints) const {
        const HWND handle = Handle(role);
        if (handle != nullptr) {
            hints.Set(handle, text);
        }
        return handle != nullptr;
    }
    // Writes language texts into the mapped controls: each text names its role, its slot (`Caption` or
    // `Hint`) and the text. Texts of roles this map does not hold belong to another part of the window.
    template <class Texts>
    void Show(const Texts& texts, Hints& hints) const {
        for (const auto& text : texts) {
            if (text.slot == decltype(text.slot)::Caption) {
                SetCaption(text.control, text.text);
            } else {
                SetHint(text.control, text.text, hints);
            }
        }
    }
    // The hint the control in `role` shows ("" when it has none).
    std::string Hint(Role role, const Hints& hints) const {
        const HWND handle = Handle(role);
        const std::string* text = handle != nullptr ? hints.Find(handle) : nullptr;
        return text != nullptr ? *text : std::string();
    }

  private:
    struct Entry {
        HWND handle = nullptr;
        Label* label = nullptr;
        EditField* field = nullptr;
    };
    static size_t Index(Role role) { return static_cast<size_t>(role); }

    std::array<Entry, kRoles> entries_{};
};

}  // namespace orv::widgets
