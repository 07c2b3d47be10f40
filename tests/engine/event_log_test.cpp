// The event log files, byte for byte.
#include "engine/event_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/engine/fakes.h"
#include "tests/support/test_support.h"

namespace orv::engine::test {
namespace {

// "Утилита Orvanter" in Windows-1251.
const std::string kHeader = "\xD3\xF2\xE8\xEB\xE8\xF2\xE0 Orvanter";

class EventLogTest : public ::testing::Test {
  protected:
    // A clock that moves on one second at every reading, from 14:05:30.
    LogEnvironment Environment(std::string longTime = "HH:mm:ss") {
        LogEnvironment environment;
        environment.folder = LogFolder();
        environment.formats = clock::Formats{"dd.MM.yyyy", std::move(longTime)};
        environment.names = clock::DefaultNames();
        environment.now = [this] {
            return clock::LocalTime{.year = 2026, .hour = 14, .minute = 5, .second = 30 + readings++};
        };
        return environment;
    }
    std::string LogFolder() const { return folder.Join("Log") + fs::kSeparator; }
    std::vector<std::string> Files() const { return folder.List("Log"); }
    std::string Read(const std::string& name) const {
        return orv::test::ReadFile(folder.Join("Log/" + name));
    }

    static LogSnapshot Snapshot() {
        LogSnapshot snapshot;
        for (int i = 0; i < kObjectCount; ++i) {
            snapshot[i].EventText = "Object " + std::to_string(i + 1) + " / text";
        }
        return snapshot;
    }

    int readings = 0;
    orv::test::TempDirectory folder{"orv-log"};
};

TEST_F(EventLogTest, OnlyFulfilledObjectsWhenLoggingChangesOnly) {
    LogSnapshot snapshot = Snapshot();
    snapshot[1].ActionPending = true;
    snapshot[4].ActionPending = true;
    const std::optional<std::string> written = WriteEventLogFile(snapshot, true, Environment());
    ASSERT_TRUE(written.has_value());
    // Header and lines each take the time anew; the name is the time after the lines.
    ASSERT_EQ(Files(), std::vector<std::string>{"14.05.33.log"});
    EXPECT_EQ(*written, LogFolder() + "14.05.33.log");
    EXPECT_EQ(Read("14.05.33.log"), "14:05:30 " + kHeader + "\r\n" +
                                        "14:05:31 Object 2 / text\r\n"
                                        "14:05:32 Object 5 / text\r\n");
}

TEST_F(EventLogTest, AllEightObjectsWhenLoggingEveryCycle) {
    LogSnapshot snapshot = Snapshot();
    for (LogObject& object : snapshot) {
        object.Razr = false;
    }
    snapshot[3].Razr = true;
    snapshot[6].EventText.clear();  // never checked in this run
    ASSERT_TRUE(WriteEventLogFile(snapshot, false, Environment()).has_value());
    const std::string content = Read("14.05.39.log");
    std::string expected = "14:05:30 " + kHeader + "\r\n";
    for (int i = 0; i < kObjectCount; ++i) {
        expected += "14:05:3" + std::to_string(i + 1) + " ";
        expected += i == 6 ? "" : "Object " + std::to_string(i + 1) + " / text";
        expected += "\r\n";
    }
    EXPECT_EQ(content, expected);
}

TEST_F(EventLogTest, NothingSelectedWritesNothingAndMakesNoFolder) {
    LogSnapshot snapshot = Snapshot();
    EXPECT_FALSE(WriteEventLogFile(snapshot, true, Environment()).has_value());
    for (LogObject& object : snapshot) {
        object.Razr = false;
        object.ActionPending = false;
    }
    EXPECT_FALSE(WriteEventLogFile(snapshot, false, Environment()).has_value());
    EXPECT_FALSE(fs::IsDirectory(folder.Join("Log")));
    EXPECT_FALSE(fs::IsFile(folder.Join("Log")));
}

TEST_F(EventLogTest, SelectionRules) {
    LogSnapshot snapshot = Snapshot();
    // Changes only: a disabled object's pending flag still counts (the log reads the flags as they are).
    snapshot[7].Razr = false;
    snapshot[7].ActionPending = true;
    EXPECT_EQ(SelectLogTexts(snapshot, true), std::vector<std::string>{"Object 8 / text"});
    // Every cycle: one enabled object is enough for all eight.
    for (LogObject& object : snapshot) {
        object.Razr = false;
    }
    EXPECT_FALSE(SelectLogTexts(snapshot, false).has_value());
    snapshot[0].Razr = true;
    ASSERT_TRUE(SelectLogTexts(snapshot, false).has_value());
    EXPECT_EQ(SelectLogTexts(snapshot, false)->size(), 8u);
}

TEST_F(EventLogTest, RussianTextsAreWindows1251) {
    LogSnapshot snapshot = Snapshot();
    snapshot[2].ActionPending = true;
    snapshot[2].EventText = "Объект 3 / Файл появился";
    ASSERT_TRUE(WriteEventLogFile(snapshot, true, Environment()).has_value());
    EXPECT_EQ(Read("14.05.32.log"), "14:05:30 " + kHeader + "\r\n" +
                                        "14:05:31 \xCE\xE1\xFA\xE5\xEA\xF2 3 / \xD4\xE0\xE9\xEB "
                                        "\xEF\xEE\xFF\xE2\xE8\xEB\xF1\xFF\r\n");
}

TEST_F(EventLogTest, ALogFileNeverReplacesAnOlderOne) {
    LogSnapshot snapshot = Snapshot();
    snapshot[0].ActionPending = true;
    LogEnvironment environment = Environment();
    environment.now = [] {
        clock::LocalTime time;
        time.hour = 9;
        time.minute = 1;
        time.second = 2;
        return time;
    };
    fs::MakeDirectory(folder.Join("Log"));
    folder.WriteFile("Log/09.01.02.log", "yesterday");
    ASSERT_EQ(WriteEventLogFile(snapshot, true, environment), LogFolder() + "09.01.02 (2).log");
    snapshot[0].EventText = "third";
    ASSERT_EQ(WriteEventLogFile(snapshot, true, environment), LogFolder() + "09.01.02 (3).log");
    EXPECT_EQ(Files(), (std::vector<std::string>{"09.01.02 (2).log", "09.01.02 (3).log", "09.01.02.log"}));
    EXPECT_EQ(Read("09.01.02.log"), "yesterday");
    EXPECT_EQ(Read("09.01.02 (3).log"), "09:01:02 " + kHeader + "\r\n09:01:02 third\r\n");
}

TEST_F(EventLogTest, TheNextWriteClearsTemporaryFilesOfAKilledWriteAndNothingElse) {
    fs::MakeDirectory(folder.Join("Log"));
    // Left by a write killed before its rename (another time, another attempt number).
    folder.WriteFile("Log/~13.59.58.1.tmp", "half a lo");
    folder.WriteFile("Log/~2.05.33 PM.17.tmp", "half");
    // The user's files, some of them close to the pattern.
    const std::vector<std::string> kept = {"~draft.1.tmp",   "~13-59-58.tmp",       "~13.59.58.01.tmp",
                                           "13.59.58.1.tmp", "~13.59.58.1.tmp.bak", "notes.txt"};
    for (const std::string& name : kept) {
        folder.WriteFile("Log/" + name, "mine");
    }
    LogSnapshot snapshot = Snapshot();
    snapshot[0].ActionPending = true;
    ASSERT_TRUE(WriteEventLogFile(snapshot, true, Environment()).has_value());

    std::vector<std::string> expected = kept;
    expected.push_back("14.05.32.log");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Files(), expected);
}

TEST_F(EventLogTest, ALogPathThatIsAFileWritesNothing) {
    folder.WriteFile("Log", "not a folder");
    LogSnapshot snapshot = Snapshot();
    snapshot[0].ActionPending = true;
    EXPECT_FALSE(WriteEventLogFile(snapshot, true, Environment()).has_value());
    EXPECT_EQ(orv::test::ReadFile(folder.Join("Log")), "not a folder");
}

TEST_F(EventLogTest, TheFolderIsCreatedOneLevelDeepOnly) {
    LogSnapshot snapshot = Snapshot();
    snapshot[0].ActionPending = true;
    LogEnvironment environment = Environment();
    environment.folder = folder.Join("missing/Log") + fs::kSeparator;
    EXPECT_FALSE(WriteEventLogFile(snapshot, true, environment).has_value());
    EXPECT_FALSE(fs::IsDirectory(folder.Join("missing")));

    ASSERT_TRUE(WriteEventLogFile(snapshot, true, Environment()).has_value());
    EXPECT_TRUE(fs::IsDirectory(folder.Join("Log")));
    EXPECT_EQ(Files().size(), 1u);  // no temporary file left beside it
}

TEST_F(EventLogTest, FileNamesKeepOtherSeparatorsAndTheDayPeriod) {
    clock::LocalTime afternoon;
    afternoon.hour = 14;
    afternoon.minute = 5;
    afternoon.second = 33;
    EXPECT_EQ(LogFileName(afternoon, Environment("HH:mm:ss")), "14.05.33.log");
    EXPECT_EQ(LogFileName(afternoon, Environment("HH-mm-ss")), "14-05-33.log");
    EXPECT_EQ(LogFileName(afternoon, Environment("h:mm:ss tt")), "2.05.33 PM.log");

    LogSnapshot snapshot = Snapshot();
    snapshot[0].ActionPending = true;
    ASSERT_TRUE(WriteEventLogFile(snapshot, true, Environment("HH-mm-ss")).has_value());
    EXPECT_EQ(Files(), std::vector<std::string>{"14-05-32.log"});
    EXPECT_EQ(Read("14-05-32.log"), "14-05-30 " + kHeader + "\r\n14-05-31 Object 1 / text\r\n");
}

}  // namespace
}  // namespace orv::engine::test
