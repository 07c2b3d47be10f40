// What the suites of the single checks share: a check run as the engine runs it, with the texts and
// formats of its context and its baseline committed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "engine/checks.h"
#include "engine/path_check.h"
#include "tests/support/test_support.h"

namespace orv::engine {

inline std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

class CheckFixture : public ::testing::Test {
  protected:
    using CheckFunction = std::optional<CheckResult> (*)(int number, const ControlObject& object,
                                                         const CheckContext& context);
    // `check` runs for object `objectNumber`, which watches `item` in a folder of the test's own through
    // the path and name fields given.
    CheckFixture(CheckFunction check, int objectNumber, std::string ObjectSettings::*path,
                 std::string ObjectSettings::*name, const std::string& item)
        : number(objectNumber), check_(check) {
        object.settings.*path = folder.Join(item);
        object.settings.*name = item;
    }
    // The check of a file or a directory, whose availability check has the title given.
    CheckFixture(CheckFunction check, int objectNumber, const PathKind& kind, const std::string& item,
                 std::string availabilityTitle)
        : CheckFixture(check, objectNumber, kind.path, kind.name, item) {
        presenceTitle = std::move(availabilityTitle);
        presenceSeen = kind.seen;
    }

    std::optional<CheckResult> Check() {
        const CheckContext context{*table, formats, names};
        auto result = check_(number, object, context);
        if (result) {
            object.baseline = result->baseline;  // as the engine commits it
        }
        return result;
    }
    // By the stored number, so that values out of range can be tried as well.
    std::optional<CheckResult> Check(int32_t param) {
        object.settings.Param = static_cast<ControlParam>(param);
        return Check();
    }

    // The event text of the check, "<no answer>" when it fails.
    std::string EventOf() {
        const auto result = Check();
        return result ? result->eventText : "<no answer>";
    }
    std::string EventOf(int32_t param) {
        object.settings.Param = static_cast<ControlParam>(param);
        return EventOf();
    }

    // Runs the availability check of a watched path. The outcome stands after the check's title, in the
    // hint on a line of its own; whether the item is there is kept and lights the path lamp.
    void ExpectPresence(const std::string& outcome, bool fulfilled, bool present) {
        const auto r = Check(0);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->eventText, "Object " + std::to_string(number) + " / " + presenceTitle + " / " + outcome);
        EXPECT_EQ(r->report.pathHint, presenceTitle + "\n\r" + outcome);
        EXPECT_EQ(r->fulfilled, fulfilled);
        EXPECT_EQ(r->baseline.*presenceSeen, present);
        EXPECT_EQ(r->report.pathColour, present ? kActiveColour : kIdleColour);
        EXPECT_FALSE(r->report.stringColour.has_value());
    }

    void UseRussian() { table = lang::LanguageTable::For(lang::kRussian); }

    test::TempDirectory folder{"item check"};

    std::shared_ptr<const lang::LanguageTable> table = lang::LanguageTable::For(lang::kEnglish);
    clock::Formats formats{"dd.MM.yyyy", "H:mm:ss"};
    clock::Names names = clock::DefaultNames();
    int number;
    ControlObject object;
    // A path's availability check: its title and the baseline that keeps whether the item was there.
    std::string presenceTitle;
    bool Baseline::*presenceSeen = nullptr;

  private:
    CheckFunction check_;
};

}  // namespace orv::engine
