// Waiting for changes to finish: a change is committed once its value holds for two checks in a row
// and no other program writes the file, or a minute after it was first seen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/write_probe.h"
#include "tests/engine/engine_fixture.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/wide.h"
#endif

namespace orv::engine::test {
namespace {

using namespace std::chrono_literals;

// Another program's open of the file for writing, sharing reading only, until destroyed.
class Writer {
  public:
    explicit Writer(std::string path) : path_(std::move(path)) {
#ifdef _WIN32
        handle_ = CreateFileW(win32::FilePath(path_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(handle_, INVALID_HANDLE_VALUE);
#else
        fs::SetHeldForWritingForTest(path_, true);
#endif
    }
    ~Writer() {
#ifdef _WIN32
        CloseHandle(handle_);
#else
        fs::SetHeldForWritingForTest(path_, false);
#endif
    }

  private:
    std::string path_;
#ifdef _WIN32
    HANDLE handle_ = INVALID_HANDLE_VALUE;
#endif
};

class SettleTest : public EngineFixture {
  protected:
    void SetUp() override {
        Make(1h, SystemChecks());
        EnableOnly({1});
        path = folder.Join("copy.bin");
    }
    void WatchFile(ControlParam param) { Watch(1, kFileKind, param, path, "copy.bin"); }
    // A check of object 1 and the action step after it; the event text when it fulfilled.
    std::string Check() {
        engine->CheckObject(1);
        const bool fulfilled = engine->Object(1)->ActionPending;
        engine->RunActions();
        return fulfilled ? engine->Object(1)->EventText : "";
    }
    std::string LastHint() {
        std::string hint;
        for (const DisplayUpdate& update : sink.Updates()) {
            if (update.kind == DisplayUpdate::Kind::Indicators && update.object == 1) {
                hint = update.indicators.pathHint;
            }
        }
        return hint;
    }

    std::string path;
};

constexpr const char* kGrown = "Object 1 / Control of file size : copy.bin / File size increased to: ";

TEST_F(SettleTest, AGrowingFileGivesOneEventWithTheWholeChangeOnceTwoChecksAgree) {
    folder.WriteFile("copy.bin", std::string(100, 'x'));
    WatchFile(ControlParam::Size);
    ASSERT_EQ(Check(), kGrown + std::string("100 b")) << "from the baseline 0";
    engine->SetWaitFinished(true);
    ASSERT_EQ(Check(), "");
    macros.Clear();

    for (size_t size : {200, 300, 400}) {
        folder.WriteFile("copy.bin", std::string(size, 'x'));
        EXPECT_EQ(Check(), "") << size;
        EXPECT_EQ(LastHint(), "Waiting for the change to finish");
        EXPECT_EQ(engine->Object(1)->baseline.Size_File_Old, "100");
    }
    EXPECT_TRUE(macros.Started().empty());
    EXPECT_EQ(Check(), kGrown + std::string("300 b"));
    EXPECT_EQ(engine->Object(1)->baseline.Size_File_Old, "400");
    EXPECT_EQ(Check(), "");
    EXPECT_EQ(macros.Started(), std::vector<int>{1});
}

TEST_F(SettleTest, WithTheOptionOffEveryGrowthIsAnEventAtOnce) {
    folder.WriteFile("copy.bin", std::string(100, 'x'));
    WatchFile(ControlParam::Size);
    Check();
    macros.Clear();
    for (size_t size : {200, 300}) {
        folder.WriteFile("copy.bin", std::string(size, 'x'));
        EXPECT_EQ(Check(), kGrown + std::string("100 b"));
    }
    EXPECT_EQ(macros.Started(), (std::vector<int>{1, 1}));
}

TEST_F(SettleTest, AFileOpenForWritingAppearsOnlyOnceItIsClosed) {
    WatchFile(ControlParam::Availability);
    engine->SetWaitFinished(true);
    Check();
    folder.WriteFile("copy.bin", "report");
    {
        Writer writer(path);
        for (int check = 0; check < 4; ++check) {
            EXPECT_EQ(Check(), "") << check;
        }
        EXPECT_EQ(LastHint(), "Waiting for the change to finish");
        EXPECT_FALSE(engine->Object(1)->baseline.File_OK_Old);
    }
    EXPECT_EQ(Check(), "Object 1 / Control of file availability : copy.bin / File appears");
    EXPECT_EQ(macros.Started(), std::vector<int>{1});
}

TEST_F(SettleTest, AValueThatNeverSettlesIsCommittedAMinuteAfterItWasFirstSeen) {
    folder.WriteFile("copy.bin", "");
    WatchFile(ControlParam::Size);
    engine->SetWaitFinished(true);
    Check();
    std::string events;
    const int64_t start = sinceStart.load();
    for (int second = 0; second <= 60; second += 20) {
        sinceStart = start + second * 1000;
        folder.WriteFile("copy.bin", std::string(10 + second, 'x'));
        events += Check() + "|";
    }
    EXPECT_EQ(events, "|||" + (kGrown + std::string("70 b|")));
    EXPECT_EQ(engine->Object(1)->baseline.Size_File_Old, "70");
}

TEST_F(SettleTest, AnApplicationRunningForOneCheckOnlyGivesNoEvent) {
    Make(1h);  // fake checks: the application's state is the test's
    EnableOnly({1});
    Edit(1, [](ObjectSettings& s, Baseline&) { s.Type = ObjectType::Application; });
    engine->SetWaitFinished(true);
    bool running = false;
    checks->SetBehaviour([&running](int number, const ControlObject& object) {
        CheckResult result = FakeChecks::Made(number, object, running != object.baseline.Prog_Active_Old);
        result.baseline.Prog_Active_Old = running;
        return std::optional<CheckResult>(result);
    });
    std::string events;
    for (bool state : {false, true, false, false, true, true, true}) {
        running = state;
        events += Check() + "|";
    }
    EXPECT_EQ(events, "|||||event 1||");
    EXPECT_EQ(macros.Started(), std::vector<int>{1});
}

}  // namespace
}  // namespace orv::engine::test
