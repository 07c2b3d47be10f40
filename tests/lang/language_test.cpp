#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "lang/language.h"
#include "platform/registry.h"
#include "tests/support/test_support.h"

namespace orv::lang {
namespace {

// The stored "Languare" under `keyPath`, or nothing when it cannot be read as an integer.
std::optional<int32_t> StoredLanguage(const std::string& keyPath) {
    reg::Key key;
    if (!reg::Key::Open(keyPath, false, key)) {
        return std::nullopt;
    }
    int32_t value = 0;
    if (key.ReadInt(kLanguageValueName, value) != reg::Status::Ok) {
        return std::nullopt;
    }
    return value;
}

reg::Key OpenCreated(const std::string& keyPath) {
    reg::Key key;
    EXPECT_TRUE(reg::Key::Open(keyPath, true, key));
    return key;
}

TEST(LanguageStateTest, StartsInEnglish) {
    LanguageState state;
    EXPECT_EQ(state.Language(), kEnglish);
    EXPECT_EQ(state.Table()->Text(TextId::LanguageName), "English");
}

TEST(LanguageStateTest, SetTakesAnyOtherValueAsEnglish) {
    LanguageState state;
    state.Set(kRussian);
    EXPECT_EQ(state.Language(), kRussian);
    EXPECT_EQ(state.Table()->Text(TextId::LanguageName), "Русский");
    for (int32_t damaged : {2, 7, -1}) {
        state.Set(kRussian);
        state.Set(damaged);
        EXPECT_EQ(state.Language(), kEnglish) << damaged;
        EXPECT_EQ(state.Table()->Text(TextId::ObjectWord), "Object") << damaged;
    }
}

TEST(LanguageStateTest, SwitchTogglesAndWritesTheValueAtOnce) {
    test::ScratchKey scratch("lang_switch");
    LanguageState state;
    EXPECT_EQ(state.Switch(scratch.Path()), kRussian);
    EXPECT_EQ(state.Language(), kRussian);
    EXPECT_EQ(state.Table()->Text(TextId::LanguageName), "Русский");
    EXPECT_EQ(StoredLanguage(scratch.Path()), kRussian);

    EXPECT_EQ(state.Switch(scratch.Path()), kEnglish);
    EXPECT_EQ(state.Table()->Text(TextId::LanguageName), "English");
    EXPECT_EQ(StoredLanguage(scratch.Path()), kEnglish);

    reg::Key key = OpenCreated(scratch.Path());
    EXPECT_EQ(key.TypeOf(kLanguageValueName), reg::ValueType::Dword);
}

TEST(LanguageStateTest, SwitchCreatesAMissingKey) {
    test::ScratchKey scratch("lang_create");
    const std::string missing = scratch.Path() + "Not\\Yet\\There\\";
    reg::Key probe;
    ASSERT_FALSE(reg::Key::Open(missing, false, probe));

    LanguageState state;
    state.Switch(missing);
    EXPECT_EQ(StoredLanguage(missing), kRussian);
}

TEST(LanguageStateTest, SaveWritesTheCurrentLanguage) {
    test::ScratchKey scratch("lang_save");
    LanguageState state;
    state.Save(scratch.Path());
    EXPECT_EQ(StoredLanguage(scratch.Path()), kEnglish);
    state.Set(kRussian);
    state.Save(scratch.Path());
    EXPECT_EQ(StoredLanguage(scratch.Path()), kRussian);
}

TEST(LanguageStateTest, LoadReadsTheStoredLanguage) {
    test::ScratchKey scratch("lang_load");
    OpenCreated(scratch.Path()).WriteInt(kLanguageValueName, kRussian);
    LanguageState state;
    state.Load(scratch.Path());
    EXPECT_EQ(state.Language(), kRussian);
    EXPECT_EQ(state.Table()->Text(TextId::ObjectWord), "Объект");

    OpenCreated(scratch.Path()).WriteInt(kLanguageValueName, kEnglish);
    state.Load(scratch.Path());
    EXPECT_EQ(state.Language(), kEnglish);
}

TEST(LanguageStateTest, MissingKeyOrValueGivesEnglish) {
    test::ScratchKey scratch("lang_missing");
    LanguageState state;
    state.Set(kRussian);
    state.Load(scratch.Path() + "Absent\\");
    EXPECT_EQ(state.Language(), kEnglish);

    OpenCreated(scratch.Path()).WriteInt("Other", kRussian);
    state.Set(kRussian);
    state.Load(scratch.Path());
    EXPECT_EQ(state.Language(), kEnglish);
    EXPECT_EQ(state.Table()->Text(TextId::LanguageName), "English");
}

// A stored value other than 0 or 1, or one of the wrong type, must not leave the interface without texts:
// it reads as English, and the next switch selects Russian.
TEST(LanguageStateTest, DamagedValueGivesEnglishAndTheNextSwitchGivesRussian) {
    struct Damage {
        const char* what;
        void (*write)(reg::Key&);
    };
    const Damage damages[] = {
        {"7", [](reg::Key& key) { key.WriteInt(kLanguageValueName, 7); }},
        {"-1", [](reg::Key& key) { key.WriteInt(kLanguageValueName, -1); }},
        {"REG_SZ", [](reg::Key& key) { key.WriteString(kLanguageValueName, "1"); }},
        {"REG_BINARY",
         [](reg::Key& key) { key.WriteBinary(kLanguageValueName, std::string("\x01\0\0\0", 4)); }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        test::ScratchKey scratch("lang_damaged");
        reg::Key key = OpenCreated(scratch.Path());
        damage.write(key);

        LanguageState state;
        state.Set(kRussian);
        state.Load(scratch.Path());
        EXPECT_EQ(state.Language(), kEnglish);
        EXPECT_EQ(state.Table()->Text(TextId::StartHintStopped), "Launch control");

        EXPECT_EQ(state.Switch(scratch.Path()), kRussian);
        EXPECT_EQ(StoredLanguage(scratch.Path()), kRussian);
    }
}

TEST(LanguageStateTest, TableTakenBeforeASwitchKeepsItsLanguage) {
    test::ScratchKey scratch("lang_keep");
    LanguageState state;
    const auto before = state.Table();
    state.Switch(scratch.Path());
    const auto after = state.Table();
    EXPECT_EQ(before->Text(TextId::FileAppears), "File appears");
    EXPECT_EQ(after->Text(TextId::FileAppears), "Файл появился");
    state.Switch(scratch.Path());
    EXPECT_EQ(after->Text(TextId::FileAppears), "Файл появился");
}

// The scan thread reads texts while the user-interface thread switches: every read must see one whole
// table, never a mix or a text being freed.
TEST(LanguageStateTest, ReadsDuringSwitchesSeeOneWholeTable) {
    test::ScratchKey scratch("lang_threads");
    LanguageState state;
    std::atomic<bool> done{false};
    std::atomic<int> mixed{0};
    std::atomic<long> reads{0};
    std::atomic<int> started{0};

    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            long count = 0;
            ++started;
            while (!done.load(std::memory_order_relaxed)) {
                const auto table = state.Table();
                const bool russian = table->Language() == kRussian;
                const std::string name = table->Text(TextId::LanguageName);
                const std::string message = state.Table()->Text(TextId::FileSizeIncreased);
                if (name != (russian ? "Русский" : "English")) {
                    ++mixed;
                }
                if (message != LanguageTable::English(TextId::FileSizeIncreased) &&
                    message != LanguageTable::Russian(TextId::FileSizeIncreased)) {
                    ++mixed;
                }
                ++count;
            }
            reads += count;
        });
    }

    EXPECT_TRUE(test::WaitFor([&] { return started.load() == 3; }));
    constexpr int kSwitches = 10000;
    int russianCount = 0;
    for (int i = 0; i < kSwitches; ++i) {
        if (state.Switch(scratch.Path()) == kRussian) {
            ++russianCount;
        }
    }
    done = true;
    for (auto& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(mixed.load(), 0);
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(russianCount, kSwitches / 2);
    EXPECT_EQ(state.Language(), kEnglish);
    EXPECT_EQ(StoredLanguage(scratch.Path()), kEnglish);
}

}  // namespace
}  // namespace orv::lang
