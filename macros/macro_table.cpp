#include "macros/macro_table.h"

#include <utility>

#include "engine/event_context.h"
#include "lang/constants.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace orv::macros {
namespace {

bool IsMacroNumber(int number) {
    return number >= 1 && number <= kObjectCount;
}

std::string ValueName(int number, std::string_view suffix) {
    std::string name = lang::DefaultMacroName(number);
    name += suffix;
    return name;
}

// Reads a string value into `out` when it exists; a value that exists but cannot be read leaves `out`
// alone and adds its name to `failed`.
void ReadStringValue(const reg::Key& key, const std::string& name, std::string& out,
                     std::vector<std::string>& failed) {
    if (!key.HasValue(name)) {
        return;
    }
    std::string value;
    if (key.ReadString(name, value) == reg::Status::Ok) {
        out = std::move(value);
    } else {
        failed.push_back(name);
    }
}

void ReadIntValue(const reg::Key& key, const std::string& name, int32_t& out,
                  std::vector<std::string>& failed) {
    if (!key.HasValue(name)) {
        return;
    }
    int32_t value = 0;
    if (key.ReadInt(name, value) == reg::Status::Ok) {
        out = value;
    } else {
        failed.push_back(name);
    }
}

}  // namespace

MacroSlot DefaultMacroSlot(int number) {
    return MacroSlot{lang::DefaultMacroName(number), std::string(lang::kNotSelected), kMethodWinExec};
}

std::string NameValueName(int number) {
    return ValueName(number, "_Name");
}
std::string FileValueName(int number) {
    return ValueName(number, "_File_BAT");
}
std::string MethodValueName(int number) {
    return ValueName(number, "_Regime_BAT");
}

MacroIndicator BatFileIndicator(std::string_view batFolder, std::string_view batFile) {
    if (IsBareFileName(batFile)) {
        std::string path(batFolder);
        path += batFile;
        if (fs::IsFile(path)) {
            return {lang::kBatFileOk, kBatFileOkColour};
        }
    }
    if (batFile == lang::kNotSelected) {
        return {lang::kBatFileNotSelected, kBatFileNotSelectedColour};
    }
    return {lang::kBatFileNotFound, kBatFileNotFoundColour};
}

MacroIndicator UnusableBatFileIndicator(const lang::LanguageTable& texts) {
    return {texts.Text(lang::TextId::BatFileUnusableHint), kBatFileNotFoundColour};
}

MacroTable::MacroTable(std::string batFolder, Launcher launcher)
    : batFolder_(std::move(batFolder)), launcher_(std::move(launcher)) {
    for (int number = 1; number <= kObjectCount; ++number) {
        slots_[number - 1] = DefaultMacroSlot(number);
    }
}

std::string MacroTable::DefaultBatFolder() {
    std::string folder = paths::ExecutableFolder();
    folder += "Bat";
    folder += fs::kSeparator;
    return folder;
}

std::vector<std::string> MacroTable::Load(std::string_view keyPath) {
    std::array<MacroSlot, kObjectCount> loaded;
    for (int number = 1; number <= kObjectCount; ++number) {
        loaded[number - 1] = DefaultMacroSlot(number);
    }
    std::vector<std::string> failed;
    reg::Key key;
    if (reg::Key::Open(keyPath, true, key)) {
        for (int number = 1; number <= kObjectCount; ++number) {
            MacroSlot& slot = loaded[number - 1];
            ReadStringValue(key, NameValueName(number), slot.name, failed);
            ReadStringValue(key, FileValueName(number), slot.batFile, failed);
            ReadIntValue(key, MethodValueName(number), slot.callMethod, failed);
        }
    }
    std::lock_guard lock(mutex_);
    slots_ = std::move(loaded);
    working_.currentMacro = 0;
    return failed;
}

std::vector<std::string> MacroTable::Save(std::string_view keyPath, bool* keyOpened) {
    std::array<MacroSlot, kObjectCount> slots;
    {
        std::lock_guard lock(mutex_);
        working_.currentMacro = 0;
        slots = slots_;
    }
    std::vector<std::string> failed;
    reg::Key key;
    const bool open = reg::Key::Open(keyPath, true, key);
    if (keyOpened != nullptr) {
        *keyOpened = open;
    }
    for (int number = 1; number <= kObjectCount; ++number) {
        const MacroSlot& slot = slots[number - 1];
        const std::string nameValue = NameValueName(number);
        const std::string fileValue = FileValueName(number);
        const std::string methodValue = MethodValueName(number);
        if (!open || key.WriteString(nameValue, slot.name) != reg::Status::Ok) {
            failed.push_back(nameValue);
        }
        if (!open || key.WriteString(fileValue, slot.batFile) != reg::Status::Ok) {
            failed.push_back(fileValue);
        }
        if (!open || key.WriteInt(methodValue, slot.callMethod) != reg::Status::Ok) {
            failed.push_back(methodValue);
        }
    }
    return failed;
}

MacroSlot MacroTable::Slot(int number) const {
    if (!IsMacroNumber(number)) {
        return {};
    }
    std::lock_guard lock(mutex_);
    return slots_[number - 1];
}

std::array<MacroSlot, kObjectCount> MacroTable::Slots() const {
    std::lock_guard lock(mutex_);
    return slots_;
}

bool MacroTable::SetSlot(int number, MacroSlot slot) {
    if (!IsMacroNumber(number)) {
        return false;
    }
    std::lock_guard lock(mutex_);
    slots_[number - 1] = std::move(slot);
    return true;
}

MacroIndicator MacroTable::Indicator(int number, int32_t language) const {
    const MacroSlot slot = Slot(number);
    const MacroIndicator indicator = BatFileIndicator(batFolder_, slot.batFile);
    if (indicator.colour == kBatFileOkColour && slot.callMethod == kMethodWinExec && launcher_.winExecPath &&
        !launcher_.winExecPath(batFolder_ + slot.batFile)) {
        // Starting it would do nothing, silently; the indicator is the one place the user can see why.
        return UnusableBatFileIndicator(*lang::LanguageTable::For(language));
    }
    return indicator;
}

void MacroTable::RunMacro(int number, const launch::Environment& environment) noexcept {
    if (!IsMacroNumber(number)) {
        return;
    }
    try {
        MacroSlot slot;
        {
            std::lock_guard lock(mutex_);
            slot = slots_[number - 1];
            if (!editorOpen_) {
                working_.currentMacro = number;
                working_.workingMethod = slot.callMethod;
                working_.workingBatFile = slot.batFile;
            }
        }
        StartBatFile(launcher_, batFolder_, slot.batFile, slot.callMethod, environment);
    } catch (...) {
        // A launch reports nothing, not even a failed copy of its slot.
    }
}

void MacroTable::RunWorking() noexcept {
    try {
        CallMethod method;
        std::string batFile;
        int number = 0;
        {
            std::lock_guard lock(mutex_);
            method = working_.workingMethod;
            batFile = working_.workingBatFile;
            number = working_.currentMacro;
        }
        StartBatFile(launcher_, batFolder_, batFile, method, engine::RunButtonVariables(number));
    } catch (...) {
    }
}

void MacroTable::BeginEditing(int number) {
    std::lock_guard lock(mutex_);
    editorOpen_ = true;
    working_.currentMacro = number;
}

void MacroTable::MarkEditorOpen() {
    std::lock_guard lock(mutex_);
    editorOpen_ = true;
}

void MacroTable::EndEditing() {
    std::lock_guard lock(mutex_);
    editorOpen_ = false;
}

bool MacroTable::EditorOpen() const {
    std::lock_guard lock(mutex_);
    return editorOpen_;
}

WorkingState MacroTable::Working() const {
    std::lock_guard lock(mutex_);
    return working_;
}

int MacroTable::CurrentMacro() const {
    return Working().currentMacro;
}

void MacroTable::SetCurrentMacro(int number) {
    std::lock_guard lock(mutex_);
    working_.currentMacro = number;
}

CallMethod MacroTable::WorkingMethod() const {
    return Working().workingMethod;
}

void MacroTable::SetWorkingMethod(CallMethod method) {
    std::lock_guard lock(mutex_);
    working_.workingMethod = method;
}

std::string MacroTable::WorkingBatFile() const {
    return Working().workingBatFile;
}

void MacroTable::LoadCurrentMacro() {
    std::lock_guard lock(mutex_);
    if (!IsMacroNumber(working_.currentMacro)) {
        return;
    }
    const MacroSlot& slot = slots_[working_.currentMacro - 1];
    working_.workingMethod = slot.callMethod;
    working_.workingBatFile = slot.batFile;
}

}  // namespace orv::macros
