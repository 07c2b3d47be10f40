// Watched items whose volume or server does not answer: the real checks with the system's error codes
// injected (and, under Wine, real shares without a server), and measurements the system holds.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine/measurement.h"
#include "platform/volumes.h"
#include "tests/engine/engine_fixture.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orv::engine::test {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t kBadNetPath = 53;
constexpr uint32_t kNetNameDeleted = 64;
constexpr uint32_t kAccessDenied = 5;

// Makes every look at a path under the prefix fail with the code, until destroyed.
using Drop = orv::test::InjectedFault;

class UnreachableTest : public EngineFixture {
  protected:
    // A measurement held at the gate would outlive the test.
    void TearDown() override {
        gate.Open();
        EXPECT_TRUE(orv::test::WaitFor([] { return Measurement::Running() == 0; }));
    }
    void WatchFile(int number, const std::string& path) {
        Watch(number, kFileKind, ControlParam::Availability, path, "data.bin");
    }
    void WatchDirectorySize(int number, const std::string& path) {
        Watch(number, kDirectoryKind, ControlParam::Size, path, "tree");
    }
    // One whole cycle: the objects' checks, the log, the actions, the wrap.
    void RunCycle() {
        for (int pass = 0; pass < 12; ++pass) {
            engine->RunPass();
            if (engine->ScanStep() == 0) {
                return;
            }
        }
        FAIL() << "the cycle did not wrap";
    }
    // The indicator report of the object's latest check.
    IndicatorReport LastReport(int number) {
        IndicatorReport report;
        for (const DisplayUpdate& update : sink.Updates()) {
            if (update.kind == DisplayUpdate::Kind::Indicators && update.object == number) {
                report = update.indicators;
            }
        }
        return report;
    }

    Gate gate;
};

TEST_F(UnreachableTest, AShareThatDropsGivesNoEventAndItsReturnNoneWhenNothingChanged) {
    Make(1h, SystemChecks());
    const std::string share = folder.MakeFolder("share");
    const std::string file = folder.WriteFile("share/data.bin", "12345");
    folder.WriteFile("share/tree/sub/inside.txt", std::string(1000, 'x'));
    EnableOnly({1, 2});
    WatchFile(1, file);
    WatchDirectorySize(2, folder.Join("share/tree"));
    RunCycle();
    ASSERT_EQ(macros.Started(), (std::vector<int>{1, 2})) << "seen for the first time";
    const ObjectArray before = engine->Objects();
    macros.Clear();

    {
        Drop drop(share, kBadNetPath);
        for (int cycle = 0; cycle < 3; ++cycle) {
            RunCycle();
        }
        EXPECT_EQ(LastReport(1).pathHint,
                  "Control of file availability : data.bin\n\rFile cannot be reached right now");
        EXPECT_EQ(LastReport(1).pathColour, kIdleColour);
        EXPECT_EQ(LastReport(2).pathHint,
                  "Control of directory size : tree\n\rDirectory cannot be reached right now");
    }
    EXPECT_TRUE(macros.Started().empty());
    for (int number : {1, 2}) {
        const ControlObject now = *engine->Object(number);
        EXPECT_EQ(now.baseline, before[number - 1].baseline) << number;
        EXPECT_EQ(now.EventText, before[number - 1].EventText) << number;
        EXPECT_FALSE(now.ActionPending) << number;
    }

    RunCycle();
    EXPECT_TRUE(macros.Started().empty()) << "back, and nothing changed while it was away";
    EXPECT_EQ(engine->Object(1)->EventText,
              "Object 1 / Control of file availability : data.bin / File appears as is");
    EXPECT_EQ(engine->Object(2)->EventText,
              "Object 2 / Control of directory size : tree / Directory size hasnt changed");
}

TEST_F(UnreachableTest, ASubFolderThatCannotBeReachedFailsTheWalkOneThatMayNotBeReadCountsEmpty) {
    Make(1h, SystemChecks());
    folder.WriteFile("tree/top.txt", std::string(100, 'x'));
    folder.WriteFile("tree/sub/inside.txt", std::string(1000, 'x'));
    EnableOnly({2});
    WatchDirectorySize(2, folder.Join("tree"));
    RunCycle();
    ASSERT_EQ(engine->Object(2)->baseline.Size_Dir_Old, "1100");
    macros.Clear();
    {
        Drop drop(folder.Join("tree/sub"), kNetNameDeleted);
        RunCycle();
    }
    EXPECT_EQ(engine->Object(2)->baseline.Size_Dir_Old, "1100");
    EXPECT_TRUE(macros.Started().empty()) << "no false decrease";
    {
        Drop drop(folder.Join("tree/sub"), kAccessDenied);
        RunCycle();
    }
    EXPECT_EQ(engine->Object(2)->baseline.Size_Dir_Old, "100");
    EXPECT_EQ(macros.Started(), std::vector<int>{2});
}

TEST_F(UnreachableTest, ASubFolderListingThatBreaksOffKeepsTheBaseline) {
    Make(1h, SystemChecks());
    folder.WriteFile("tree/top.txt", std::string(100, 'x'));
    for (int i = 0; i < 4; ++i) {
        folder.WriteFile("tree/sub/inside" + std::to_string(i) + ".txt", std::string(1000, 'x'));
    }
    EnableOnly({2});
    WatchDirectorySize(2, folder.Join("tree"));
    RunCycle();
    ASSERT_EQ(engine->Object(2)->baseline.Size_Dir_Old, "4100");
    macros.Clear();
    const std::string sub = folder.Join("tree/sub");
    for (uint32_t code : {kNetNameDeleted, kAccessDenied}) {
        SCOPED_TRACE(code);
        fs::InjectFaults([sub, code](fs::SystemCall call, std::string_view path) -> std::optional<uint32_t> {
            // The folder's listing breaks off after its first entry.
            if (call == fs::SystemCall::ListingNext && path.substr(0, sub.size()) == sub) {
                return code;
            }
            return std::nullopt;
        });
        RunCycle();
        fs::InjectFaults({});
        EXPECT_EQ(engine->Object(2)->baseline.Size_Dir_Old, "4100");
        EXPECT_TRUE(macros.Started().empty()) << "no false decrease";
    }
}

TEST_F(UnreachableTest, AMeasurementHeldPastTheLimitIsAbandonedAndItsLateResultDropped) {
    measureLimit = 500ms;
    Make();
    EnableOnly({1, 2});
    checks->SetBehaviour([this](int number, const ControlObject& object) -> std::optional<CheckResult> {
        CheckResult result = FakeChecks::Made(number, object, true);
        if (number == 1) {
            gate.Pass();
            result.baseline.Size_File_Old = "999";
        }
        return result;
    });

    engine->RunPass();
    EXPECT_EQ(gate.Waiting(), 1) << "the pass went on while the measurement is held";
    EXPECT_TRUE(engine->MeasurementHeld(1));
    EXPECT_EQ(LastReport(1).pathHint, "Control of file availability : \n\rFile cannot be reached right now");
    engine->RunPass();
    EXPECT_TRUE(engine->Object(2)->ActionPending) << "the next object is checked on time";
    RunCycle();
    EXPECT_EQ(macros.Started(), std::vector<int>{2});

    engine->RunPass();  // object 1 again, still held: reported at once, no second measurement
    EXPECT_EQ(checks->Numbers(), (std::vector<int>{1, 2}));
    EXPECT_EQ(gate.Waiting(), 1);

    gate.Open();
    ASSERT_TRUE(orv::test::WaitFor([] { return Measurement::Running() == 0; }));
    EXPECT_EQ(engine->Object(1)->baseline.Size_File_Old, "0") << "the late result is dropped";
    EXPECT_EQ(engine->Object(1)->EventText, "");
    EXPECT_FALSE(engine->MeasurementHeld(1));
    RunCycle();
    engine->RunPass();
    EXPECT_EQ(engine->Object(1)->baseline.Size_File_Old, "999") << "measured afresh once released";
}

TEST_F(UnreachableTest, ClosingDoesNotWaitForAHeldMeasurement) {
    measureLimit = 200ms;
    Make();
    checks->SetBehaviour([this](int number, const ControlObject& object) -> std::optional<CheckResult> {
        gate.Pass();
        return FakeChecks::Made(number, object, true);
    });
    engine->StartControl();
    ASSERT_TRUE(orv::test::WaitFor([&] { return gate.Waiting() == 1; }));
    engine->Shutdown();
    EXPECT_EQ(engine->LiveScanThreads(), 0);
    EXPECT_EQ(gate.Waiting(), 1) << "the scan thread ended while the measurement is held";
    gate.Open();
    ASSERT_TRUE(orv::test::WaitFor([] { return Measurement::Running() == 0; }));
    EXPECT_FALSE(engine->Object(1)->ActionPending);
    EXPECT_EQ(engine->Object(1)->EventText, "");
}

// The window's own looks at an item (the first filling, a type arrow, a browse) and the search-text check
// on a share that does not answer: every baseline stays, the typed text is kept, and the lamp says what
// the scan says.
TEST_F(UnreachableTest, TheWindowsLooksAtAnItemThatCannotBeReachedKeepEveryBaseline) {
    Make(1h, SystemChecks());
    const std::string share = folder.Join("share");
    WatchFile(1, folder.WriteFile("share/data.bin", "Error Error"));
    EditObject(*engine, 1, [](ObjectSettings& s, Baseline& b) {
        s.Param = ControlParam::String;
        s.String = "Error";
        b.File_OK_Old = true;
        b.Povtor_File_Old = 2;
    });
    Drop drop(share, kBadNetPath);
    engine->NormaliseType(1, ItemPurpose::Fill);
    engine->SearchTextChanged(1, "Err");
    engine->ChooseItem(1, BrowseChoice{folder.Join("share/other.bin"), "other.bin"});
    ASSERT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));

    const ControlObject object = *engine->Object(1);
    EXPECT_TRUE(object.baseline.File_OK_Old);
    EXPECT_EQ(object.baseline.Povtor_File_Old, 2) << "a count that was not taken is no baseline";
    EXPECT_EQ(object.settings.String, "Err");
    EXPECT_EQ(object.settings.Path_File, folder.Join("share/other.bin"));
    EXPECT_EQ(object.EventText, "");
    std::vector<ItemReport> answers;
    for (const DisplayUpdate& update : sink.Updates()) {
        if (update.kind == DisplayUpdate::Kind::Item) {
            answers.push_back(update.item);
        }
    }
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].purpose, ItemPurpose::Fill);
    EXPECT_EQ(answers[1].purpose, ItemPurpose::Browse);
    for (const ItemReport& answer : answers) {
        EXPECT_EQ(answer.presence, Presence::Unreachable);
        EXPECT_EQ(answer.unreachable.pathHint, LastReport(1).pathHint);
    }
    EXPECT_NE(LastReport(1).pathHint.find("cannot be reached right now"), std::string::npos);
}

// An object moved from a server that holds its measurement to another item is measured at once; back
// on the held item it is reported unreachable again without a second measurement joining the first.
TEST_F(UnreachableTest, AHoldBelongsToTheItemNotToTheObject) {
    measureLimit = 200ms;
    Make();
    checks->SetBehaviour([this](int number, const ControlObject& object) -> std::optional<CheckResult> {
        if (object.settings.Path_File == "hung") {
            gate.Pass();
        }
        return FakeChecks::Made(number, object, false);
    });
    WatchFile(1, "hung");
    engine->CheckObject(1);
    ASSERT_TRUE(engine->MeasurementHeld(1));
    WatchFile(1, "local");
    engine->CheckObject(1);
    EXPECT_EQ(checks->Calls().size(), 2u);
    EXPECT_EQ(LastReport(1).pathHint, "hint 1");
    WatchFile(1, "hung");
    engine->CheckObject(1);
    EXPECT_EQ(checks->Calls().size(), 2u);
    EXPECT_NE(LastReport(1).pathHint.find("cannot be reached right now"), std::string::npos);
}

// A long walk or count keeps making progress, so the measurement limit never ends it; the exit does.
TEST_F(UnreachableTest, ExitDoesNotWaitForAMeasurementThatKeepsMakingProgress) {
    measureLimit = 200ms;
    Make();
    EnableOnly({1});
    std::atomic<bool> walking{false};
    std::atomic<bool> finish{false};
    checks->SetBehaviour([&](int number, const ControlObject& object) -> std::optional<CheckResult> {
        walking = true;
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (!finish && std::chrono::steady_clock::now() < end) {
            Measurement::NoteProgress();
            std::this_thread::sleep_for(20ms);
        }
        return FakeChecks::Made(number, object, true);
    });
    engine->StartControl();
    ASSERT_TRUE(orv::test::WaitFor([&] { return walking.load(); }));
    std::this_thread::sleep_for(400ms);  // past the limit, still making progress
    const auto started = std::chrono::steady_clock::now();
    engine->Shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_EQ(engine->LiveScanThreads(), 0);
    EXPECT_FALSE(engine->Object(1)->ActionPending);
    finish = true;
}

// Paths under `share` lie on a network share and those under `stick` on a removable drive, until
// destroyed.
class Volumes {
  public:
    Volumes(std::string share, std::string stick) {
        fs::InjectVolumeKinds([share, stick](std::string_view path) -> std::optional<fs::VolumeKind> {
            if (path.starts_with(share)) {
                return fs::VolumeKind::Network;
            }
            if (path.starts_with(stick)) {
                return fs::VolumeKind::Removable;
            }
            return std::nullopt;
        });
    }
    ~Volumes() { fs::InjectVolumeKinds({}); }
};

class ResumeTest : public UnreachableTest {
  protected:
    void Advance(std::chrono::milliseconds time) { sinceStart += time.count(); }
    // Object N, which saw its (missing) file before, looks again: true when the answer counted as "cannot
    // be reached right now", false when it reported the file missing.
    bool NotBackYet(int number) {
        Edit(number, [](ObjectSettings&, Baseline& b) { b.File_OK_Old = true; });
        engine->CheckObject(number);
        const ControlObject object = *engine->Object(number);
        const bool unreachable = LastReport(number).pathHint.ends_with("File cannot be reached right now");
        EXPECT_EQ(object.baseline.File_OK_Old, unreachable) << number;
        EXPECT_EQ(object.ActionPending, !unreachable) << number;
        if (!unreachable) {
            EXPECT_TRUE(object.EventText.ends_with("File is missing")) << object.EventText;
        }
        return unreachable;
    }
};

TEST_F(ResumeTest, AfterAWakeAFileNotFoundOnAShareOrARemovableDriveIsNotBackYetForAMinute) {
    Make(1h, SystemChecks());
    Volumes volumes(folder.Join("share"), folder.Join("stick"));
    WatchFile(1, folder.Join("share/data.bin"));
    WatchFile(2, folder.Join("stick/data.bin"));
    WatchFile(3, folder.Join("local/data.bin"));
    EXPECT_FALSE(NotBackYet(1)) << "no wake yet";

    engine->SystemResumed();
    EXPECT_TRUE(NotBackYet(1));
    EXPECT_TRUE(NotBackYet(2));
    EXPECT_FALSE(NotBackYet(3)) << "a fixed disk is there at once";
    Advance(59'999ms);
    EXPECT_TRUE(NotBackYet(1));
    Advance(1ms);
    EXPECT_FALSE(NotBackYet(1));
    EXPECT_FALSE(NotBackYet(2));

    // No report from the system: the work timer finds the clock moved on between two of its ticks.
    engine->WorkTimerTick();
    Advance(2min);
    engine->WorkTimerTick();
    EXPECT_FALSE(NotBackYet(1)) << "a gap of two minutes is no sleep yet";
    Advance(2min + 1ms);
    engine->WorkTimerTick();
    EXPECT_TRUE(NotBackYet(1));
    Advance(100ms);
    engine->WorkTimerTick();
    EXPECT_TRUE(NotBackYet(2)) << "ticks after the gap keep the minute";
    Advance(60s);
    EXPECT_FALSE(NotBackYet(1));
}

// The window's look at the item (a type arrow, the first filling) forgets a file it finds missing; not
// while the share may still be coming back.
TEST_F(ResumeTest, TheWindowsLookAtAnItemAfterAWakeKeepsTheBaseline) {
    Make(1h, SystemChecks());
    Volumes volumes(folder.Join("share"), folder.Join("stick"));
    WatchFile(1, folder.Join("share/data.bin"));
    auto look = [&] {
        Edit(1, [](ObjectSettings&, Baseline& b) { b.File_OK_Old = true; });
        engine->NormaliseType(1, ItemPurpose::Fill);
        EXPECT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
        return engine->Object(1)->baseline.File_OK_Old;
    };
    engine->SystemResumed();
    EXPECT_TRUE(look());
    EXPECT_EQ(sink.Updates().back().item.presence, Presence::Unreachable);
    Advance(60s);
    EXPECT_FALSE(look());
    EXPECT_EQ(sink.Updates().back().item.presence, Presence::Absent);
}

TEST(UnreachableReport, TheSearchTextLampGetsTheHintButKeepsItsColourInBothLanguages) {
    ControlObject object;
    object.settings.Param = ControlParam::String;
    object.settings.Name_File = "app.log";
    const clock::Formats formats = PinnedFormats();
    const clock::Names names = clock::DefaultNames();
    const auto russian = lang::LanguageTable::For(lang::kRussian);
    const std::optional<CheckResult> result =
        UnreachableResult(4, object, CheckContext{*russian, formats, names});
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->measured);
    EXPECT_FALSE(result->fulfilled);
    EXPECT_EQ(result->report.pathHint, "Контроль строки в файле : app.log\n\rФайл сейчас недоступен");
    EXPECT_EQ(result->report.stringHint, result->report.pathHint);
    EXPECT_FALSE(result->report.stringColour.has_value());
    object.settings.Param = static_cast<ControlParam>(4);
    EXPECT_FALSE(UnreachableResult(4, object, CheckContext{*russian, formats, names}));
}

#ifdef _WIN32
TEST_F(UnreachableTest, RealSharesWithoutAServerAndADriveThatIsNotMapped) {
    Make(1h, SystemChecks());
    char unmapped = 0;
    for (char letter = 'Z'; letter >= 'D' && !unmapped; --letter) {
        const char root[] = {letter, ':', '\\', '\0'};
        unmapped = GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR ? letter : 0;
    }
    ASSERT_NE(unmapped, 0);
    EnableOnly({1, 2, 3});
    WatchFile(1, "\\\\nohost\\share\\data.bin");
    WatchDirectorySize(2, "\\\\nohost\\share\\tree");
    WatchFile(3, std::string(1, unmapped) + ":\\data.bin");
    // Every one was there before.
    for (int number : {1, 2, 3}) {
        EditObject(*engine, number, [](ObjectSettings&, Baseline& b) {
            b.File_OK_Old = true;
            b.Size_Dir_Old = "1000";
        });
    }
    for (int cycle = 0; cycle < 3; ++cycle) {
        RunCycle();
    }
    EXPECT_EQ(macros.Started(), std::vector<int>{3}) << "only the file on the unmapped drive went missing";
    EXPECT_EQ(engine->Object(3)->EventText,
              "Object 3 / Control of file availability : data.bin / File is missing and doesnt appear");
    EXPECT_FALSE(engine->Object(3)->baseline.File_OK_Old);
    EXPECT_TRUE(engine->Object(1)->baseline.File_OK_Old);
    EXPECT_EQ(engine->Object(2)->baseline.Size_Dir_Old, "1000");
    EXPECT_EQ(engine->Object(1)->EventText, "");
    EXPECT_EQ(engine->Object(2)->EventText, "");
    EXPECT_EQ(LastReport(1).pathHint,
              "Control of file availability : data.bin\n\rFile cannot be reached right now");
    EXPECT_EQ(LastReport(2).pathHint,
              "Control of directory size : tree\n\rDirectory cannot be reached right now");
}
#endif

}  // namespace
}  // namespace orv::engine::test
