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

// The registry value that keeps `Language` under the program's key (spelt so since the first release).
inline constexpr std::string_view kLanguageValueName = "Languare";

// Every text of one language. Immutable: a switch replaces the whole table, so a reader on the scan
// thread holds either the old or the new one, never a text being replaced.
class LanguageTable {
  public:
    // The table of `language`; any value other than kRussian gives English. There is one table per
    // language for the whole run, so a reference returned by Text() never dangles.
    static std::shared_ptr<const LanguageTable> For(int32_t language);

    int32_t Language() const { return language_; }
    // The text of a role; empty for a value outside TextId.
    const std::string& Text(TextId id) const {
        const int index = static_cast<int>(id);
        return index >= 0 && index < kTextCount ? texts_[index] : EmptyText();
    }

    // The English or Russian text of a role without a table (for tests and the windows).
    static std::string_view English(TextId id);
    static std::string_view Russian(TextId id);

  private:
    explicit LanguageTable(int32_t language);
    static const std::string& EmptyText() {
        static const std::string empty;
        return empty;
    }
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

    // Sets the language; a value other than 0 or 1 is taken as English (0), so that a damaged stored
    // value never leaves the interface without texts.
    void Set(int32_t language);
    // The two language arrows: 0 becomes 1, anything else becomes 0. Writes the value at once and
    // returns the new language.
    int32_t Switch(std::string_view keyPath = reg::kProgramKey);

    // Reads "Languare" under the key. A missing, unreadable or wrongly typed value gives English;
    // errors are not reported.
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
