#include "macros/macro_editor_model.h"

#include "lang/constants.h"
#include "platform/files.h"

namespace orv::macros {
namespace {

// The next code point of UTF-8 text, folded to lower case for the Latin and Cyrillic capitals. A byte
// that does not start a well-formed sequence stands for itself.
char32_t NextFolded(std::string_view text, size_t& position) {
    const auto lead = static_cast<unsigned char>(text[position]);
    char32_t code = lead;
    size_t length = 1;
    if (lead >= 0xC0 && lead < 0xE0) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF8) {
        length = 4;
        code = lead & 0x07;
    }
    if (length > 1) {
        bool wellFormed = position + length <= text.size();
        for (size_t i = 1; wellFormed && i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[position + i]);
            wellFormed = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!wellFormed) {
            length = 1;
            code = 0xDC00 + lead;  // a value no well-formed sequence can produce
        }
    }
    position += length;
    if (code >= U'A' && code <= U'Z') {
        return code + 0x20;
    }
    if (code >= 0x0410 && code <= 0x042F) {  // А..Я
        return code + 0x20;
    }
    if (code >= 0x0400 && code <= 0x040F) {  // Ѐ..Џ, Ё among them
        return code + 0x50;
    }
    return code;
}

}  // namespace

bool SameFileName(std::string_view left, std::string_view right) {
    size_t leftPosition = 0;
    size_t rightPosition = 0;
    while (leftPosition < left.size() && rightPosition < right.size()) {
        if (NextFolded(left, leftPosition) != NextFolded(right, rightPosition)) {
            return false;
        }
    }
    return leftPosition == left.size() && rightPosition == right.size();
}

MacroEditorModel::MacroEditorModel(MacroTable& table) : table_(table) {}

void MacroEditorModel::OpenOn(int number) {
    table_.BeginEditing(number);
}

void MacroEditorModel::FormShow() {
    table_.MarkEditorOpen();
    view_.nameField.clear();
    const int current = table_.CurrentMacro();
    if (current >= 1 && current <= kObjectCount) {
        view_.nameField = table_.Slot(current).name;
    }
    LoadCurrentMacro();
    view_.batList.clear();
    view_.selectedEntry = -1;
    FillBatList(table_.BatFolder());
    SelectCurrentBatFile();
    ShowCallMethod();
    view_.batFileField = table_.WorkingBatFile();
}

void MacroEditorModel::FormClose() {
    table_.EndEditing();
}

void MacroEditorModel::LoadCurrentMacro() {
    table_.LoadCurrentMacro();
}

void MacroEditorModel::FillBatList(std::string_view folder) {
    fs::ListMatching(folder, "*.bat", [this](const fs::DirEntry& entry) {
        if (entry.name != "." && entry.name != "..") {
            view_.batList.emplace_back(entry.name);
        }
        return true;
    });
}

void MacroEditorModel::SelectCurrentBatFile() {
    const std::string working = table_.WorkingBatFile();
    for (size_t i = 0; i < view_.batList.size(); ++i) {
        if (SameFileName(view_.batList[i], working)) {
            view_.selectedEntry = static_cast<int>(i);
            return;
        }
    }
    if (!view_.batList.empty()) {
        view_.selectedEntry = 0;
        ShowSelectedBatFile();
        return;
    }
    view_.batFileField = std::string(lang::kFileNotFound);
    view_.batList.assign(1, std::string(lang::kFileNotFound));
    view_.selectedEntry = 0;
    table_.SetWorkingMethod(kMethodWinExec);
}

void MacroEditorModel::ShowSelectedBatFile() {
    if (view_.batList.empty()) {
        view_.selectedEntry = -1;
        return;
    }
    if (view_.selectedEntry < 0 || view_.selectedEntry >= static_cast<int>(view_.batList.size())) {
        view_.selectedEntry = 0;
    }
    view_.batFileField = view_.batList[view_.selectedEntry];
}

void MacroEditorModel::ShowCallMethod() {
    const CallMethod method = table_.WorkingMethod();
    if (method < kMethodWinExec || method > kMethodCreateProcess) {
        return;
    }
    for (int box = 0; box < 3; ++box) {
        view_.methodTicked[box] = (box == method);
    }
}

void MacroEditorModel::SelectEntry(int index) {
    // Like the list control: an index outside the list leaves no entry selected.
    view_.selectedEntry = (index >= 0 && index < static_cast<int>(view_.batList.size())) ? index : -1;
}

void MacroEditorModel::BatFileUp() {
    SelectEntry(view_.selectedEntry - 1);
    ShowSelectedBatFile();
}

void MacroEditorModel::BatFileDown() {
    // Past the last entry the selection stays on the last one.
    const int last = static_cast<int>(view_.batList.size()) - 1;
    SelectEntry(view_.selectedEntry < last ? view_.selectedEntry + 1 : last);
    ShowSelectedBatFile();
}

void MacroEditorModel::ClickListEntry(int index) {
    if (index < 0 || index >= static_cast<int>(view_.batList.size())) {
        return;
    }
    view_.selectedEntry = index;
    view_.batFileField = view_.batList[index];
}

void MacroEditorModel::ChooseMethod(CallMethod method) {
    table_.SetWorkingMethod(method);
    ShowCallMethod();
}

bool MacroEditorModel::Apply() {
    const int current = table_.CurrentMacro();
    if (!table_.SetSlot(current, MacroSlot{view_.nameField, view_.batFileField, table_.WorkingMethod()})) {
        return false;
    }
    LoadCurrentMacro();
    return true;
}

void MacroEditorModel::Reset() {
    view_.batFileField = std::string(lang::kNotSelected);
    table_.SetWorkingMethod(kMethodWinExec);
    const int current = table_.CurrentMacro();
    if (current >= 1 && current <= kObjectCount) {
        view_.nameField = lang::DefaultMacroName(current);
    }
    view_.selectedEntry = -1;
    ShowCallMethod();
}

void MacroEditorModel::Run() {
    table_.RunWorking();
}

}  // namespace orv::macros
