// The object table and CheckObject: dispatch by type, what a check commits, and the rules that keep a
// check from overwriting a newer state.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <thread>
#include <vector>

#include "engine/measurement.h"
#include "tests/engine/engine_fixture.h"

namespace orv::engine::test {
namespace {

using Kind = DisplayUpdate::Kind;

class ObjectsTest : public ReadyEngineFixture {
  protected:
    size_t IndicatorUpdates() {
        size_t count = 0;
        for (const DisplayUpdate& update : sink.Updates()) {
            count += update.kind == Kind::Indicators ? 1 : 0;
        }
        return count;
    }

    // From now on the first check waits at `gate` and reports `slow`; any later one (the search-text
    // editor's own check) reports `quick` at once. `adjust` may change the results further.
    // Returns the number of checks made so far.
    std::shared_ptr<std::atomic<int>> HoldTheFirstCheck(
        Gate& gate, std::string slow, std::string quick,
        std::function<void(CheckResult&, const ControlObject&, bool first)> adjust = {}) {
        auto calls = std::make_shared<std::atomic<int>>(0);
        checks->SetBehaviour([&gate, calls, slow, quick, adjust](int number, const ControlObject& object) {
            const bool first = ++*calls == 1;
            if (first) {
                gate.Pass();
            }
            CheckResult result = FakeChecks::Made(number, object, first);
            if (adjust) {
                adjust(result, object, first);
            }
            result.eventText = first ? slow : quick;
            return std::optional<CheckResult>(result);
        });
        return calls;
    }

    // Object N counts `text` in its file; `count` is the count it saw last.
    void WatchText(int number, const std::string& text, int32_t count = 0) {
        Edit(number, [&](ObjectSettings& s, Baseline& b) {
            s.Param = ControlParam::String;
            s.String = text;
            b.Povtor_File_Old = count;
        });
    }

    // From now on every check of object `held` first waits at `gate`; every check reports `eventText`
    // and `count` occurrences.
    void CountBehindGate(Gate& gate, int held, bool fulfilled, std::string eventText, int32_t count) {
        checks->SetBehaviour(
            [&gate, held, fulfilled, eventText, count](int number, const ControlObject& object) {
                if (number == held) {
                    gate.Pass();
                }
                CheckResult result = FakeChecks::Made(number, object, fulfilled);
                result.eventText = eventText;
                result.lastStringCount = count;
                return std::optional<CheckResult>(result);
            });
    }

    // Types each text into object N's search field, then waits until the first check is held at `gate`.
    void TypeWhileHeld(Gate& gate, int number, std::initializer_list<const char*> texts) {
        for (const char* text : texts) {
            EXPECT_TRUE(engine->SearchTextChanged(number, text));
        }
        EXPECT_TRUE(orv::test::WaitFor([&] { return gate.Waiting() == 1; }));
    }
};

TEST_F(ObjectsTest, ChecksAreChosenByTypeAndGetTheCurrentTextsAndFormats) {
    language = lang::kRussian;
    checks->Fulfil(1);
    checks->Fulfil(2);
    checks->Fulfil(3);
    SetType(1, 0);
    SetType(2, 1);
    SetType(3, 2);
    for (int number = 1; number <= 3; ++number) {
        engine->CheckObject(number);
    }
    const std::vector<CheckCall> calls = checks->Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, 'F');
    EXPECT_EQ(calls[1].kind, 'D');
    EXPECT_EQ(calls[2].kind, 'A');
    EXPECT_EQ(calls[2].number, 3);
    EXPECT_EQ(calls[0].longTime, "HH:mm:ss");
    EXPECT_EQ(calls[0].language, lang::kRussian);
}

TEST_F(ObjectsTest, AnUnknownTypeChecksNothingButClearsTheFlag) {
    checks->Fulfil(4);
    for (int32_t type : {3, -1}) {
        SCOPED_TRACE(type);
        SetType(4, 0);
        engine->CheckObject(4);
        ASSERT_TRUE(engine->Object(4)->ActionPending);
        checks->ClearCalls();
        SetType(4, type);
        engine->CheckObject(4);
        EXPECT_TRUE(checks->Calls().empty());
        EXPECT_FALSE(engine->Object(4)->ActionPending);
        EXPECT_EQ(engine->Object(4)->EventText, "event 4");
    }
}

TEST_F(ObjectsTest, ACheckCommitsItsBaselineEventTextFlagAndCount) {
    int32_t count = 7;
    checks->SetBehaviour([&count](int number, const ControlObject& object) {
        CheckResult result = FakeChecks::Made(number, object, true);
        result.baseline.Size_File_Old = "1000";
        if (count >= 0) {
            result.lastStringCount = count;
        }
        return std::optional<CheckResult>(result);
    });
    engine->CheckObject(5);
    ControlObject object = *engine->Object(5);
    EXPECT_EQ(object.baseline.Size_File_Old, "1000");
    EXPECT_EQ(object.EventText, "event 5");
    EXPECT_TRUE(object.ActionPending);
    EXPECT_EQ(object.LastStringCount, 7);
    ASSERT_EQ(sink.Updates().size(), 1u);
    EXPECT_EQ(sink.Updates()[0].object, 5);
    EXPECT_EQ(sink.Updates()[0].indicators.pathHint, "hint 5");

    // A check that did not count keeps the last count.
    count = -1;
    engine->CheckObject(5);
    EXPECT_EQ(engine->Object(5)->LastStringCount, 7);
}

TEST_F(ObjectsTest, AFailedCheckOnlyClearsTheFlag) {
    checks->Fulfil(3);
    engine->CheckObject(3);
    const ControlObject before = *engine->Object(3);
    ASSERT_TRUE(before.ActionPending);
    sink.Clear();

    checks->SetBehaviour([](int, const ControlObject&) { return std::optional<CheckResult>(); });
    engine->CheckObject(3);
    const ControlObject after = *engine->Object(3);
    EXPECT_FALSE(after.ActionPending);
    EXPECT_EQ(after.EventText, before.EventText);
    EXPECT_EQ(after.baseline, before.baseline);
    EXPECT_TRUE(sink.Updates().empty());
}

// A check held in its measurement on another thread while the user-interface thread changes the object:
// the check's result belongs to the old state and must not be committed.
TEST_F(ObjectsTest, AChangeDuringASlowCheckIsNeverOverwritten) {
    struct Change {
        const char* name;
        std::function<void(Engine&)> apply;
        std::function<void(const ControlObject&)> verify;
    };
    const std::vector<Change> changes = {
        {"edit",
         [](Engine& e) { EditObject(e, 2, [](ObjectSettings&, Baseline& b) { b.Size_File_Old = "5"; }); },
         [](const ControlObject& o) { EXPECT_EQ(o.baseline.Size_File_Old, "5"); }},
        {"reset", [](Engine& e) { e.ResetObjects(); },
         [](const ControlObject& o) { EXPECT_EQ(o.baseline.Size_File_Old, "0"); }},
        {"load",
         [](Engine& e) {
             ObjectArray loaded;
             loaded[1].baseline.Size_File_Old = "42";
             e.LoadObjects(loaded);
         },
         [](const ControlObject& o) { EXPECT_EQ(o.baseline.Size_File_Old, "42"); }},
        {"nothing", [](Engine&) {},
         [](const ControlObject& o) {
             // The control case: without a change the result is committed.
             EXPECT_EQ(o.baseline.Size_File_Old, "999");
             EXPECT_EQ(o.EventText, "stale");
         }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        Make();
        Gate gate;
        HoldTheFirstCheck(gate, "stale", "fresh",
                          [](CheckResult& result, const ControlObject& object, bool first) {
                              result.baseline.Size_File_Old = first ? "999" : object.baseline.Size_File_Old;
                          });
        sink.Clear();
        std::thread scan([this] { engine->CheckObject(2); });
        ASSERT_TRUE(orv::test::WaitFor([&] { return gate.Waiting() == 1; }));
        change.apply(*engine);
        const size_t updatesBefore = IndicatorUpdates();
        gate.Open();
        scan.join();
        const ControlObject object = *engine->Object(2);
        change.verify(object);
        if (std::string(change.name) != "nothing") {
            EXPECT_NE(object.EventText, "stale");
            EXPECT_FALSE(object.ActionPending);
            EXPECT_EQ(IndicatorUpdates(), updatesBefore);
        }
    }
}

TEST_F(ObjectsTest, ASecondCheckOfOneObjectWaitsForTheFirst) {
    Gate gate;
    const auto calls = HoldTheFirstCheck(gate, "slow", "quick");
    std::thread scan([this] { engine->CheckObject(6); });
    ASSERT_TRUE(orv::test::WaitFor([&] { return gate.Waiting() == 1; }));
    std::thread second([this] { engine->CheckObject(6); });
    EXPECT_FALSE(orv::test::WaitFor([&] { return calls->load() == 2; }, std::chrono::milliseconds(200)));
    gate.Open();
    scan.join();
    second.join();
    EXPECT_EQ(calls->load(), 2);
    EXPECT_EQ(checks->MostAtOnce(), 1);
    // The second check measured after the first had committed, so its result is the newer one.
    EXPECT_EQ(engine->Object(6)->EventText, "quick");
    EXPECT_FALSE(engine->Object(6)->ActionPending);
}

TEST_F(ObjectsTest, DisablingAnObjectClearsItsPendingAction) {
    checks->Fulfil(4);
    checks->Fulfil(5);
    engine->CheckObject(4);
    engine->CheckObject(5);
    ASSERT_TRUE(engine->Object(4)->ActionPending);

    engine->SetRazr(4, false);
    EXPECT_FALSE(engine->Object(4)->ActionPending);
    Edit(5, [](ObjectSettings& s, Baseline&) { s.Razr = false; });
    EXPECT_FALSE(engine->Object(5)->ActionPending);

    engine->RunActions();
    EXPECT_TRUE(macros.Started().empty());
    engine->WriteEventLog();  // the log only on changes: nothing left to write
    EXPECT_TRUE(LogFiles().empty());

    // Enabling keeps a pending flag.
    checks->Fulfil(6);
    engine->CheckObject(6);
    engine->SetRazr(6, true);
    EXPECT_TRUE(engine->Object(6)->ActionPending);
}

TEST_F(ObjectsTest, EditsResetAndLoadChangeOnlyTheNamedObjectsAndBumpTheGeneration) {
    const uint64_t generation = engine->Object(3)->generation;
    EXPECT_TRUE(engine->StepParam(3, Step::Next));
    ControlObject edited = *engine->Object(3);
    EXPECT_EQ(edited.settings.Param, ControlParam::Size);
    EXPECT_GT(edited.generation, generation);
    EXPECT_EQ(engine->Object(2)->settings.Param, ControlParam::Availability);

    EXPECT_FALSE(engine->StepType(0, Step::Next));
    EXPECT_FALSE(engine->StepParam(9, Step::Next));
    EXPECT_FALSE(engine->NormaliseType(9).has_value());
    EXPECT_FALSE(engine->ChooseItem(0, BrowseChoice{}));
    EXPECT_FALSE(engine->Object(9).has_value());
    EXPECT_FALSE(engine->SetRazr(-1, false));

    checks->Fulfil(3);
    engine->CheckObject(3);
    engine->ResetObjects();
    const ControlObject reset = *engine->Object(3);
    EXPECT_EQ(reset.settings, ObjectSettings{});
    EXPECT_EQ(reset.baseline, Baseline{});
    EXPECT_EQ(reset.EventText, "event 3");  // the run-time fields are not settings

    ObjectArray loaded;
    loaded[7].settings.Razr = false;
    loaded[7].settings.Name_Prog = "editor.exe";
    loaded[7].baseline.Prog_Active_Old = true;
    engine->LoadObjects(loaded);
    EXPECT_EQ(engine->Object(8)->settings.Name_Prog, "editor.exe");
    EXPECT_TRUE(engine->Object(8)->baseline.Prog_Active_Old);
    EXPECT_EQ(engine->Objects()[7].settings, loaded[7].settings);
}

TEST_F(ObjectsTest, SearchTextEditRunsTheFileCheckWithTheOldTextThenTakesTheCount) {
    WatchText(1, "ab", 9);
    checks->SetBehaviour([](int number, const ControlObject& object) {
        CheckResult result = FakeChecks::Made(number, object, false);
        result.lastStringCount = 4;
        return std::optional<CheckResult>(result);
    });
    EXPECT_TRUE(engine->SearchTextChanged(1, "abc"));
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
    const std::vector<CheckCall> calls = checks->Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, 'F');
    EXPECT_EQ(calls[0].object.settings.String, "ab");
    const ControlObject object = *engine->Object(1);
    EXPECT_EQ(object.settings.String, "abc");
    EXPECT_EQ(object.baseline.Povtor_File_Old, 4);
    EXPECT_FALSE(engine->SearchTextChanged(0, "x"));
}

TEST_F(ObjectsTest, SearchTextEditOfADirectoryObjectOnlyKeepsTheText) {
    SetType(2, 1);
    Edit(2, [](ObjectSettings&, Baseline& b) { b.Povtor_File_Old = 3; });
    EXPECT_TRUE(engine->SearchTextChanged(2, "Error"));
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
    EXPECT_TRUE(checks->Calls().empty());
    const ControlObject object = *engine->Object(2);
    EXPECT_EQ(object.settings.String, "Error");
    // The count baseline belongs to the file the object watched before.
    EXPECT_EQ(object.baseline.Povtor_File_Old, 3);
    EXPECT_EQ(object.EventText, "");
}

// A program that waits holds no thread: the measurement and request threads end after their linger, and
// the next check and text change start new ones and are carried out as before.
TEST_F(ObjectsTest, IdleThreadsEndAndTheNextCheckAndTextChangeStillRun) {
    threadLinger = std::chrono::milliseconds(20);
    Make();
    WatchText(1, "a");
    engine->CheckObject(1);
    EXPECT_TRUE(engine->SearchTextChanged(1, "ab"));
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->WaitingThreads() == 0; }));
    // The ended worker is still among the idle ones: the check is handed to a new thread.
    engine->CheckObject(1);
    EXPECT_TRUE(engine->SearchTextChanged(1, "abc"));
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
    const std::vector<CheckCall> calls = checks->Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[3].object.settings.String, "ab");
    EXPECT_EQ(engine->Object(1)->settings.String, "abc");
}

// Keystrokes typed while the first one's check is still measuring: the caller never waits, and the
// changes are carried out one after another in their order, each check with the text before it.
TEST_F(ObjectsTest, KeystrokeChecksRunInOrderWithTheTextBeforeEachAndTheirCountsAsBaselines) {
    WatchText(1, "", 9);
    Gate gate;
    checks->SetBehaviour([&](int number, const ControlObject& object) {
        if (object.settings.String.empty()) {
            gate.Pass();
        }
        CheckResult result = FakeChecks::Made(number, object, false);
        result.lastStringCount = static_cast<int>(object.settings.String.size()) + 1;
        result.eventText = "counted '" + object.settings.String + "'";
        return std::optional<CheckResult>(result);
    });
    TypeWhileHeld(gate, 1, {"a", "ab", "abc"});
    EXPECT_EQ(engine->PendingRequests(), 3);
    EXPECT_EQ(engine->Object(1)->settings.String, "");
    gate.Open();
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));

    const std::vector<CheckCall> calls = checks->Calls();
    ASSERT_EQ(calls.size(), 3u);
    const char* measured[] = {"", "a", "ab"};
    const int baselines[] = {9, 1, 2};  // the count of the check before becomes the next one's baseline
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].object.settings.String, measured[i]) << i;
        EXPECT_EQ(calls[i].object.baseline.Povtor_File_Old, baselines[i]) << i;
    }
    const ControlObject object = *engine->Object(1);
    EXPECT_EQ(object.settings.String, "abc");
    EXPECT_EQ(object.baseline.Povtor_File_Old, 3);
    EXPECT_EQ(object.EventText, "counted 'ab'");
    EXPECT_EQ(checks->MostAtOnce(), 1);
}

// The user changes the object (which stops control) while its search-text check measures: the check's
// result belongs to the old object and is dropped, yet the typed text is kept.
TEST_F(ObjectsTest, AChangeAndStopDuringATextCheckLeavesNoStaleResult) {
    WatchText(1, "old");
    Gate gate;
    CountBehindGate(gate, 1, true, "stale", 7);
    // Control runs, its scan thread pausing after a check of object 2.
    EnableOnly({2});
    engine->Sb_StartClick();
    ASSERT_TRUE(orv::test::WaitFor([&] { return checks->Calls().size() == 1; }));
    engine->SetRazr(1, true);
    EXPECT_TRUE(engine->SearchTextChanged(1, "new"));
    ASSERT_TRUE(orv::test::WaitFor([&] { return gate.Waiting() >= 1; }));
    sink.Clear();
    EXPECT_TRUE(engine->StepParam(1, Step::Next));
    EXPECT_FALSE(engine->Sb_StartClick());
    gate.Open();
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
    engine->Shutdown();
    const ControlObject object = *engine->Object(1);
    EXPECT_NE(object.EventText, "stale");
    EXPECT_FALSE(object.ActionPending);
    EXPECT_EQ(object.settings.String, "new");
    EXPECT_EQ(IndicatorUpdates(), 0u);
}

// Reset while a search-text check measures and another change waits: neither the typed texts nor a
// count survive it.
TEST_F(ObjectsTest, AResetDiscardsTheSearchTextChangesWaitingAndTheOneUnderWay) {
    WatchText(3, "a", 2);
    Gate gate;
    CountBehindGate(gate, 3, false, "counted", 48899);
    TypeWhileHeld(gate, 3, {"ab", "abc"});
    engine->ResetObjects();
    EXPECT_EQ(engine->SearchText(3), "");
    gate.Open();
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
    const ControlObject object = *engine->Object(3);
    EXPECT_EQ(object.settings, ObjectSettings{});
    EXPECT_EQ(object.baseline, Baseline{});
    EXPECT_EQ(checks->Calls().size(), 1u);
}

// The first filling checks every object whose search text it sets, enabled or not: a disabled object's
// check must not leave an action for the action step, not even once the object is enabled again.
TEST_F(ObjectsTest, ADisabledObjectsSearchTextCheckLeavesNoActionPending) {
    Edit(4, [](ObjectSettings& s, Baseline&) {
        s.Razr = false;
        s.Param = ControlParam::String;
    });
    checks->Fulfil(4);
    engine->SearchTextChanged(4, "x");
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
    EXPECT_FALSE(engine->Object(4)->ActionPending);
    engine->SetRazr(4, true);
    engine->RunActions();
    EXPECT_TRUE(macros.Started().empty());
}

// Exit while a text check is held and more keystrokes wait behind it: the exit does not wait for the
// check, and the text kept is the last one whose check finished, with its count, never a typed text
// beside the count of an older one.
TEST_F(ObjectsTest, ExitKeepsTheLastTextWhoseCheckFinishedWithItsCount) {
    WatchText(2, "V", 9);
    Gate gate;
    CountBehindGate(gate, 2, true, "late", 4);
    TypeWhileHeld(gate, 2, {"W", "Wa", "War"});
    const auto started = std::chrono::steady_clock::now();
    engine->Shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    gate.Open();
    ASSERT_TRUE(orv::test::WaitFor([] { return Measurement::Running() == 0; }));
    const ControlObject object = *engine->Object(2);
    EXPECT_EQ(object.settings.String, "V");
    EXPECT_EQ(object.baseline.Povtor_File_Old, 9);
    EXPECT_NE(object.EventText, "late");
    EXPECT_TRUE(engine->TextDropped(2));
    EXPECT_FALSE(engine->TextDropped(1));
}

}  // namespace
}  // namespace orv::engine::test
