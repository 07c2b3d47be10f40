// The interface language: the program-wide `Language` value and its `LanguageTable`.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "lang/texts.h"
#include "platform/registry.h"

namespace orv::lang {

inline constexpr int32_t kEnglish = 0;
inline constexpr int32_t kRussian = 1;

// Every text of one language. Immutable: a switch replaces the whole table, so a reader on the scan
// thread holds either the old or the new one, never a text being replaced.
class LanguageTable {
public:
    // The table of `language`; any value other than kRussian gives English.
    static std::shared_ptr<const LanguageTable> For(int32_t language);

    int32_t Language() const { return language_; }
    const std::string& Text(TextId id) const { return texts_[static_cast<int>(id)]; }

    // The English or Russian text of a role without a table (for tests and the windows).
    static std::string_view English(TextId id);
    static std::string_view Russian(TextId id);

private:
    explicit LanguageTable(int32_t language);
    int32_t language_;
    std::string texts_[kTextCount];
};

// The program-wide `Language`, read when the splash window is created, written at every switch and
// at exit. Thread-safe: the scan thread reads Table() while the user-interface thread switches.
class LanguageState {
public:
    LanguageState();

    int32_t Language() const;
    std::shared_ptr<const LanguageTable> Table() const;

    // Sets the language; a value other than 0 or 1 is taken as English (0).
    void Set(int32_t language);
    // The two language arrows: 0 becomes 1, anything else becomes 0. Writes the value at once.
    void Switch(std::string_view keyPath = reg::kProgramKey);

    // "Languare" under the key; a missing or unreadable value leaves English. Errors are ignored.
    void Load(std::string_view keyPath = reg::kProgramKey);
    // Writes "Languare" (creating the key when missing); errors are ignored.
    void Save(std::string_view keyPath = reg::kProgramKey) const;

private:
    // A mutex rather than std::atomic<std::shared_ptr>: libstdc++ 12's atomic shared_ptr is not
    // understood by ThreadSanitizer and would hide real races behind false reports.
    mutable std::mutex mutex_;
    std::shared_ptr<const LanguageTable> table_;
};

}  // namespace orv::lang
