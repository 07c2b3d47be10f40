#include "engine/log_retention.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "tests/support/test_support.h"

namespace orv::engine {
namespace {

using std::chrono::hours;

// Moves a file's (or folder's) last write `age` into the past.
void MakeOld(const std::string& path, hours age) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - age);
}

fs::FileTime Now() {
    return clock::FileTimeOf(std::chrono::system_clock::now());
}

TEST(LogRetention, NamesAreTheLogsOwnInEachTimeFormat) {
    const clock::Names names = clock::DefaultNames();
    EXPECT_TRUE(IsLogFileName("14.05.33.log", "HH:mm:ss", names));
    EXPECT_TRUE(IsLogFileName("14.05.33 (2).log", "HH:mm:ss", names));
    EXPECT_TRUE(IsLogFileName("14.05.33 (17).log", "H:mm:ss", names));
    EXPECT_TRUE(IsLogFileName("2.05.33 PM.log", "h:mm:ss tt", names));
    EXPECT_TRUE(IsLogFileName("2.05.33 P.log", "h:mm:ss t", names));
    EXPECT_TRUE(IsLogFileName("14h05.log", "HH'h'mm", names));
    const char* others[] = {"notes.log",         "14.05.33.txt",     "14.05.33.log.bak", "14.05.33 (1).log",
                            "14.05.33 (02).log", "14.05.33 (x).log", "4.05.33.log",      "14.05.33(2).log",
                            "~14.05.33.1.tmp",   "14.05.33 XM.log",  "14.05.33",         ".log"};
    for (const char* name : others) {
        const bool twelveHours = std::string_view(name).find("XM") != std::string_view::npos;
        EXPECT_FALSE(IsLogFileName(name, twelveHours ? "h:mm:ss tt" : "HH:mm:ss", names)) << name;
    }
}

TEST(LogRetention, DeletesExactlyTheProgramsOldFiles) {
    test::TempDirectory folder("orv retention");
    const std::string log = folder.MakeFolder("Log") + fs::kSeparator;
    const char* oldLogs[] = {"Log/01.00.00.log", "Log/01.00.00 (2).log"};
    const char* kept[] = {"Log/02.00.00.log", "Log/notes.txt", "Log/report.log"};
    for (const char* name : oldLogs) {
        MakeOld(folder.WriteFile(name, "old"), hours(24 * 8));
    }
    folder.WriteFile(kept[0], "new");
    MakeOld(folder.WriteFile(kept[1], "the user's"), hours(24 * 400));
    MakeOld(folder.WriteFile(kept[2], "the user's"), hours(24 * 400));
    // A folder named like a log, with an old file: neither is touched.
    MakeOld(folder.WriteFile("Log/03.00.00.log/04.00.00.log", "not in the log folder"), hours(24 * 400));

    EXPECT_EQ(DeleteOldLogFiles(log, 30, Now(), "HH:mm:ss", clock::DefaultNames()), 0);
    EXPECT_EQ(DeleteOldLogFiles(log, 0, Now(), "HH:mm:ss", clock::DefaultNames()), 0) << "forever";
    EXPECT_EQ(DeleteOldLogFiles(log, 7, Now(), "HH:mm:ss", clock::DefaultNames()), 2);
    EXPECT_EQ(folder.List("Log"),
              (std::vector<std::string>{"02.00.00.log", "03.00.00.log", "notes.txt", "report.log"}));
    EXPECT_EQ(folder.List("Log/03.00.00.log"), std::vector<std::string>{"04.00.00.log"});
}

TEST(LogRetention, CleansUpAtMostOnceAnHourAndNeverWithoutALimit) {
    const LogRetention::Steady::time_point start{};
    LogRetention retention;
    EXPECT_FALSE(retention.Due(0, start));
    EXPECT_TRUE(retention.Due(7, start));
    EXPECT_FALSE(retention.Due(7, start + std::chrono::minutes(59)));
    EXPECT_TRUE(retention.Due(1, start + hours(1)));
}

TEST(LogRetention, TheFieldsArrowsStepThroughTheChoicesAndWrap) {
    EXPECT_EQ(StepLogKeepDays(0, 1), 1);
    EXPECT_EQ(StepLogKeepDays(30, 1), 365);
    EXPECT_EQ(StepLogKeepDays(365, 1), 0);
    EXPECT_EQ(StepLogKeepDays(0, -1), 365);
    EXPECT_EQ(StepLogKeepDays(12, 1), 1) << "a number that is no choice counts as forever";
}

}  // namespace
}  // namespace orv::engine
