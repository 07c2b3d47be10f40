// The scan cycle driven pass by pass, without a thread: which step does what, in which order.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "engine/display_queue.h"
#include "tests/engine/engine_fixture.h"

namespace orv::engine::test {
namespace {

using Kind = DisplayUpdate::Kind;

using CycleTest = ReadyEngineFixture;

TEST_F(CycleTest, TwoEnabledObjectsMakeASixPassCycle) {
    EnableOnly({1, 2});
    checks->Fulfil(2);
    engine->SetLogOK(false);  // a log file every cycle, so the log step shows on disk

    struct Expected {
        int step;
        std::vector<int> checked;
        size_t logFiles;
        std::vector<int> macros;
    };
    const std::vector<Expected> passes = {
        {1, {1}, 0, {}},         // check 1
        {2, {1, 2}, 0, {}},      // check 2
        {9, {1, 2}, 1, {}},      // log
        {10, {1, 2}, 1, {2}},    // actions
        {11, {1, 2}, 1, {2}},    // nothing
        {0, {1, 2}, 1, {2}},     // wrap
        {1, {1, 2, 1}, 1, {2}},  // object 1 again
    };
    for (size_t i = 0; i < passes.size(); ++i) {
        SCOPED_TRACE("pass " + std::to_string(i + 1));
        engine->RunPass();
        EXPECT_EQ(engine->ScanStep(), passes[i].step);
        EXPECT_EQ(checks->Numbers(), passes[i].checked);
        EXPECT_EQ(LogFiles().size(), passes[i].logFiles);
        EXPECT_EQ(macros.Started(), passes[i].macros);
    }
}

TEST_F(CycleTest, DisabledObjectsPassTheirStepOnWithinThePass) {
    EnableOnly({2});
    engine->RunPass();
    EXPECT_EQ(checks->Numbers(), std::vector<int>{2});
    EXPECT_EQ(engine->ScanStep(), 2);

    // Objects 3 to 8 are disabled: the next pass falls through to the log step.
    engine->RunPass();
    EXPECT_EQ(checks->Numbers(), std::vector<int>{2});
    EXPECT_EQ(engine->ScanStep(), 9);
}

TEST_F(CycleTest, WithEveryObjectDisabledACycleTakesFourPasses) {
    EnableOnly({});
    engine->RunPass();
    EXPECT_EQ(engine->ScanStep(), 9);  // the log step in the very first pass
    engine->RunPass();
    EXPECT_EQ(engine->ScanStep(), 10);
    engine->RunPass();
    EXPECT_EQ(engine->ScanStep(), 11);
    engine->RunPass();
    EXPECT_EQ(engine->ScanStep(), 0);
    EXPECT_TRUE(checks->Calls().empty());
    EXPECT_TRUE(macros.Started().empty());
    // Nothing fulfilled and the log only on changes: no file, not even the folder.
    EXPECT_FALSE(fs::IsDirectory(folder.Join("Log")));
}

TEST_F(CycleTest, FulfilledObjectsStartTheirMacrosInAscendingOrderAtStepTen) {
    checks->Fulfil(7);
    checks->Fulfil(3);
    for (int pass = 1; pass <= 9; ++pass) {
        engine->RunPass();
    }
    EXPECT_EQ(engine->ScanStep(), 9);
    EXPECT_TRUE(macros.Started().empty());
    engine->RunPass();
    EXPECT_EQ(macros.Started(), (std::vector<int>{3, 7}));
    // Each macro is told its own object's event and the log file the cycle wrote; the window is handed
    // the cycle's event texts once.
    const std::vector<launch::Environment> environments = macros.Environments();
    ASSERT_EQ(environments.size(), 2u);
    EXPECT_EQ(environments[1][0], (launch::Variable{"ORVANTER_OBJECT", "7"}));
    EXPECT_EQ(environments[1][5], (launch::Variable{"ORVANTER_EVENT", "event 7"}));
    EXPECT_EQ(environments[0][5], (launch::Variable{"ORVANTER_EVENT", "event 3"}));
    EXPECT_EQ(environments[0][7], (launch::Variable{"ORVANTER_TIME", "2026-01-01T10:20:30"}));
    EXPECT_EQ(environments[0][8], (launch::Variable{"ORVANTER_LOG", LogFolder() + "10.20.30.log"}));
    std::vector<DisplayUpdate> events;
    for (const DisplayUpdate& update : sink.Updates()) {
        if (update.kind == Kind::Events) {
            events.push_back(update);
        }
    }
    EXPECT_EQ(events, (std::vector<DisplayUpdate>{DisplayUpdate::Events({"event 3", "event 7"})}));
    // The action step leaves the flags; only the next check of the object clears them.
    EXPECT_TRUE(engine->Object(3)->ActionPending);
    engine->RunPass();
    EXPECT_EQ(macros.Started(), (std::vector<int>{3, 7}));
}

// Whatever fails in a step ends that step alone: a check that throws reports nothing, a macro that
// cannot be started keeps none of the others from starting, and the cycle goes on.
TEST_F(CycleTest, AFailingCheckOrMacroEndsOnlyItsOwnStep) {
    EnableOnly({1, 3, 7});
    checks->SetBehaviour([](int number, const ControlObject& object) -> std::optional<CheckResult> {
        if (number == 1) {
            throw std::runtime_error("the disk is gone");
        }
        return FakeChecks::Made(number, object, true);
    });
    macros.failing = 3;
    for (int pass = 1; pass <= 7; ++pass) {
        engine->RunPass();
    }
    EXPECT_EQ(checks->Numbers(), (std::vector<int>{1, 3, 7}));
    EXPECT_EQ(engine->Object(1)->EventText, "");
    EXPECT_EQ(macros.Started(), (std::vector<int>{3, 7}));
    EXPECT_EQ(engine->ScanStep(), 0);
}

TEST_F(CycleTest, LogStepWritesTheFulfilledObjectsOfTheCycle) {
    EnableOnly({1, 2});
    checks->Fulfil(2);
    engine->RunPass();
    engine->RunPass();
    engine->RunPass();
    ASSERT_EQ(LogFiles(), std::vector<std::string>{"10.20.30.log"});
    EXPECT_EQ(orv::test::ReadFile(folder.Join("Log/10.20.30.log")),
              "10:20:30 \xD3\xF2\xE8\xEB\xE8\xF2\xE0 Orvanter\r\n10:20:30 event 2\r\n");
}

TEST_F(CycleTest, StepDisplayFollowsEveryPassAfterItsCheck) {
    EnableOnly({1, 2});
    for (int pass = 1; pass <= 6; ++pass) {
        engine->RunPass();
    }
    const std::vector<DisplayUpdate> updates = sink.Updates();
    ASSERT_EQ(updates.size(), 8u);
    EXPECT_EQ(updates[0], DisplayUpdate::Indicators(1, FakeChecks::Made(1, {}, false).report));
    EXPECT_EQ(updates[1], DisplayUpdate::Step(1));
    EXPECT_EQ(updates[2].kind, Kind::Indicators);
    EXPECT_EQ(updates[2].object, 2);
    EXPECT_EQ(updates[3], DisplayUpdate::Step(2));
    // Steps 9 to 12 are shown as they are; 12 is shown before the wrap.
    EXPECT_EQ(sink.Steps(), (std::vector<int>{1, 2, 9, 10, 11, 12}));
}

// A pass wakes nothing: its check and step display wait for the window's tick. A check outside the
// cycle (the search-text editor's) wakes the window at once.
TEST_F(EngineFixture, APassLeavesItsUpdatesForTheWindowsTickAndACheckOutsideItWakesTheWindow) {
    int notifications = 0;
    DisplayQueue queue([&notifications] { ++notifications; });
    display = &queue;
    Make();
    EnableOnly({1});
    queue.Drain();
    notifications = 0;
    engine->RunPass();
    EXPECT_EQ(notifications, 0);
    const std::vector<DisplayUpdate> updates = queue.Drain();
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[0].kind, Kind::Indicators);
    EXPECT_EQ(updates[1], DisplayUpdate::Step(1));
    engine->CheckObject(1);
    EXPECT_EQ(notifications, 1);
    engine.reset();  // before the queue it publishes into
}

TEST(StepBoxColoursTest, OnlyTheBoxOfTheCurrentObjectIsActive) {
    const auto step4 = StepBoxColours(4);
    for (int number = 1; number <= kObjectCount; ++number) {
        EXPECT_EQ(step4[number - 1], number == 4 ? kActiveColour : kIdleColour) << "box " << number;
    }
    for (int step : {0, 9, 10, 11, 12}) {
        for (Colour colour : StepBoxColours(step)) {
            EXPECT_EQ(colour, kIdleColour) << "step " << step;
        }
    }
    EXPECT_EQ(StepBoxColours(8)[7], kActiveColour);
    EXPECT_EQ(StepBoxColours(1)[0], kActiveColour);
}

TEST_F(CycleTest, ALogWriteWithALimitDeletesTheOldLogFilesAndKeepsTheRest) {
    EnableOnly({1});
    engine->SetLogOK(false);
    const std::string old = folder.WriteFile("Log/09.00.00.log", "old");
    std::filesystem::last_write_time(old,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(48));
    folder.WriteFile("Log/keep.txt", "the user's");
    engine->WriteEventLog();
    EXPECT_EQ(LogFiles(), (std::vector<std::string>{"09.00.00.log", "10.20.30.log", "keep.txt"}))
        << "forever by default";
    engine->SetLogKeepDays(1);
    engine->WriteEventLog();
    EXPECT_EQ(LogFiles(), (std::vector<std::string>{"10.20.30 (2).log", "10.20.30.log", "keep.txt"}));
}

}  // namespace
}  // namespace orv::engine::test
