// The program-wide interface language and its registry value.
#include "lang/language.h"

namespace orv::lang {
namespace {

// Errors are ignored: the language works for this run either way.
void WriteLanguage(std::string_view keyPath, int32_t language) {
    reg::Key key;
    if (reg::Key::Open(keyPath, true, key)) {
        key.WriteInt(kLanguageValueName, language);
    }
}

}  // namespace

LanguageState::LanguageState() : table_(LanguageTable::For(kEnglish)) {}

int32_t LanguageState::Language() const {
    std::lock_guard lock(mutex_);
    return table_->Language();
}

std::shared_ptr<const LanguageTable> LanguageState::Table() const {
    std::lock_guard lock(mutex_);
    return table_;
}

void LanguageState::Set(int32_t language) {
    auto table = LanguageTable::For(language);
    std::lock_guard lock(mutex_);
    table_ = std::move(table);
}

int32_t LanguageState::Switch(std::string_view keyPath) {
    int32_t switched;
    {
        std::lock_guard lock(mutex_);
        switched = table_->Language() == kEnglish ? kRussian : kEnglish;
        table_ = LanguageTable::For(switched);
    }
    WriteLanguage(keyPath, switched);
    return switched;
}

void LanguageState::Load(std::string_view keyPath) {
    int32_t stored = kEnglish;
    reg::Key key;
    if (reg::Key::Open(keyPath, false, key)) {
        int32_t value = 0;
        if (key.ReadInt(kLanguageValueName, value) == reg::Status::Ok) {
            stored = value;
        }
    }
    Set(stored);
}

void LanguageState::Save(std::string_view keyPath) const {
    WriteLanguage(keyPath, Language());
}

}  // namespace orv::lang
