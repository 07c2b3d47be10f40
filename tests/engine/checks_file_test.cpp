// The file check on real files: every outcome of availability, size, modification date and the
// search-text count, with the texts, hints, colours and baselines the program shows and keeps.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "engine/checks.h"
#include "tests/engine/check_fixture.h"
#include "tests/support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace orv::engine {
namespace {

using namespace std::chrono_literals;

// Sets the last-write time to a UTC calendar time.
void SetModified(const std::string& path, std::chrono::sys_seconds utc) {
    std::filesystem::last_write_time(PathOf(path), std::chrono::file_clock::from_sys(utc));
}

fs::FileTime TicksOf(std::chrono::sys_seconds utc) {
    return fs::FileTime{(utc.time_since_epoch().count() + 11644473600LL) * 10000000LL};
}

// What one answer of the search-text check shows and keeps.
struct CountAnswer {
    std::string outcome;  // the event text after the item's name
    bool fulfilled;
    Colour pathColour;
    Colour stringColour;
    std::optional<int32_t> count;  // none when the file could not be searched
    int32_t baseline;
};

class FileCheck : public CheckFixture {
  protected:
    FileCheck()
        : CheckFixture(CheckFile, 3, kFileKind, "data.bin", "Control of file availability : data.bin") {}

    // Runs the search-text check. Both lamps show the outcome under the check's title: after a slash
    // where the count changed, on a line of its own otherwise.
    void ExpectCount(const CountAnswer& expected) {
        const auto r = Check(3);
        ASSERT_TRUE(r);
        const std::string title = "Control of the string in the file : data.bin";
        EXPECT_EQ(r->eventText, "Object 3 / " + title + " / " + expected.outcome);
        EXPECT_EQ(r->report.pathHint, title + (expected.fulfilled ? " / " : "\n\r") + expected.outcome);
        EXPECT_EQ(r->report.stringHint, r->report.pathHint);
        EXPECT_EQ(r->fulfilled, expected.fulfilled);
        EXPECT_EQ(r->report.pathColour, expected.pathColour);
        EXPECT_EQ(r->report.stringColour, expected.stringColour);
        EXPECT_EQ(r->lastStringCount, expected.count);
        EXPECT_EQ(r->baseline.Povtor_File_Old, expected.baseline);
    }
};

TEST_F(FileCheck, AvailabilityFollowsTheFileAndFulfilsOnChangesOnly) {
    ExpectPresence("File is missing and doesnt appear", false, false);
    folder.WriteFile("data.bin", "x");
    ExpectPresence("File appears", true, true);
    ExpectPresence("File appears as is", false, true);
    std::filesystem::remove(PathOf(object.settings.Path_File));
    ExpectPresence("File is missing", true, false);
    ExpectPresence("File is missing and doesnt appear", false, false);
}

TEST_F(FileCheck, DirectoryOrFileDatedBefore1980CountsAsMissing) {
    object.baseline.File_OK_Old = true;
    folder.MakeFolder("data.bin");
    auto r = Check(0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText, "Object 3 / Control of file availability : data.bin / File is missing");

    std::filesystem::remove(PathOf(object.settings.Path_File));
    folder.WriteFile("data.bin", "old");
    SetModified(object.settings.Path_File, std::chrono::sys_days{std::chrono::year{1975} / 6 / 1});
    object.baseline.File_OK_Old = true;
    EXPECT_EQ(EventOf(0), "Object 3 / Control of file availability : data.bin / File is missing");
    EXPECT_EQ(EventOf(1),
              "Object 3 / Control of file size : data.bin / File doesnt exist, the control isnt possible");
}

TEST_F(FileCheck, EmptyPathIsAMissingFile) {
    object.settings.Path_File.clear();
    EXPECT_EQ(EventOf(0),
              "Object 3 / Control of file availability : data.bin / File is missing and doesnt appear");
}

TEST_F(FileCheck, SizeReportsTheAmountOfTheChange) {
    folder.WriteFile("data.bin", std::string(1000, 'a'));
    auto r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText, "Object 3 / Control of file size : data.bin / File size increased to: 1000 b");
    EXPECT_EQ(r->report.pathHint, "Control of file size : data.bin\n\rFile size increased to: 1000 b");
    EXPECT_TRUE(r->fulfilled);
    EXPECT_EQ(r->baseline.Size_File_Old, "1000");
    EXPECT_EQ(r->report.pathColour, kActiveColour);

    r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText, "Object 3 / Control of file size : data.bin / File size hasnt changed");
    EXPECT_FALSE(r->fulfilled);

    folder.WriteFile("data.bin", std::string(400, 'a'));
    r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText, "Object 3 / Control of file size : data.bin / File size reduced to: 600 b");
    EXPECT_TRUE(r->fulfilled);
    EXPECT_EQ(r->baseline.Size_File_Old, "400");

    std::filesystem::remove(PathOf(object.settings.Path_File));
    r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText,
              "Object 3 / Control of file size : data.bin / File doesnt exist, the control isnt possible");
    EXPECT_FALSE(r->fulfilled);
    EXPECT_EQ(r->baseline.Size_File_Old, "400");
    EXPECT_EQ(r->report.pathColour, kIdleColour);
}

TEST_F(FileCheck, SizesBeyondFourGigabytesAreComparedWhole) {
    // A sparse file: no disk space is used for its 3 GB.
    folder.WriteFile("data.bin", "");
    std::filesystem::resize_file(PathOf(object.settings.Path_File), 3000000100ULL);
    object.baseline.Size_File_Old = "3000000000";
    auto r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText, "Object 3 / Control of file size : data.bin / File size increased to: 100 b");
    EXPECT_EQ(r->baseline.Size_File_Old, "3000000100");

    object.baseline.Size_File_Old = "7000000000";
    EXPECT_EQ(EventOf(1), "Object 3 / Control of file size : data.bin / File size reduced to: 3999999900 b");
}

TEST_F(FileCheck, SizeBaselineThatIsNoNumberFailsTheCheckAndStays) {
    folder.WriteFile("data.bin", "12345");
    for (const char* bad : {"12abc", "", " 5", "99999999999999999999", "0x10"}) {
        object.baseline.Size_File_Old = bad;
        EXPECT_FALSE(Check(1).has_value()) << bad;
        EXPECT_EQ(object.baseline.Size_File_Old, bad);
    }
    object.baseline.Size_File_Old = "-5";
    EXPECT_EQ(EventOf(1), "Object 3 / Control of file size : data.bin / File size increased to: 10 b");
}

TEST_F(FileCheck, DateIgnoresChangesWithinTheSameTenSeconds) {
    using namespace std::chrono;
    folder.WriteFile("data.bin", "x");
    const sys_seconds base = sys_days{year{2024} / 3 / 5} + 10h + 20min;
    SetModified(object.settings.Path_File, base + 30s);
    auto r = Check(2);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText, "Object 3 / Control of file modification dates : data.bin / File changed");
    EXPECT_TRUE(r->fulfilled);

    // The expected digits from the local time of that moment: day, month, year, hour, minute and the
    // tens of the seconds.
    clock::LocalTime local;
    ASSERT_TRUE(clock::FileTimeToLocal(TicksOf(base + 30s), local));
    char expected[32];
    std::snprintf(expected, sizeof expected, "%02d%02d%04d%d%02d%d", local.day, local.month, local.year,
                  local.hour, local.minute, local.second / 10);
    EXPECT_EQ(r->baseline.File_Data_Old, expected);

    SetModified(object.settings.Path_File, base + 36s);
    r = Check(2);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText, "Object 3 / Control of file modification dates : data.bin / File hasnt changed");
    EXPECT_FALSE(r->fulfilled);

    SetModified(object.settings.Path_File, base + 41s);
    EXPECT_EQ(EventOf(2), "Object 3 / Control of file modification dates : data.bin / File changed");

    // The DOS time has two-second steps: 19 s reads as 18 s (a format that ends in a literal keeps
    // the units of the seconds among the digits).
    formats.longTime = "H:mm:ss'.'";
    SetModified(object.settings.Path_File, base + 19s);
    r = Check(2);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->baseline.File_Data_Old.substr(r->baseline.File_Data_Old.size() - 2), "18");

    std::filesystem::remove(PathOf(object.settings.Path_File));
    const std::string before = object.baseline.File_Data_Old;
    r = Check(2);
    ASSERT_TRUE(r);
    EXPECT_EQ(
        r->eventText,
        "Object 3 / Control of file modification dates : data.bin / File doesnt exist, the control isnt "
        "possible");
    EXPECT_EQ(r->baseline.File_Data_Old, before);
}

TEST_F(FileCheck, StringCountReportsChangesWithSlashHints) {
    object.settings.String = "aa";
    folder.WriteFile("data.bin", "aaaa");
    ExpectCount({"The number of repetitions increased to: 2", true, kActiveColour, kActiveColour, 2, 2});
    ExpectCount({"The number of repetitions hasnt changed", false, kActiveColour, kActiveColour, 2, 2});

    folder.WriteFile("data.bin", "aaa");
    ExpectCount({"The number of repetitions decreased to: 1", true, kActiveColour, kActiveColour, 1, 1});

    // Case matters.
    object.settings.String = "AA";
    ExpectCount({"The number of repetitions decreased to: 1", true, kActiveColour, kIdleColour, 0, 0});

    // A file with a UTF-16 byte-order mark is counted in UTF-16.
    folder.WriteFile("data.bin", std::string("\xFF\xFE"
                                             "A\0A\0A\0A\0A\0",
                                             12));
    ExpectCount({"The number of repetitions increased to: 2", true, kActiveColour, kActiveColour, 2, 2});
}

TEST_F(FileCheck, EmptySearchTextCountsNothing) {
    folder.WriteFile("data.bin", "some text");
    object.settings.String.clear();
    object.baseline.Povtor_File_Old = 3;
    ExpectCount({"The number of repetitions decreased to: 3", true, kActiveColour, kIdleColour, 0, 0});
}

TEST_F(FileCheck, EmptyOrMissingFileKeepsTheCountBaseline) {
    object.settings.String = "x";
    object.baseline.Povtor_File_Old = 4;
    folder.WriteFile("data.bin", "");
    ExpectCount(
        {"File is empty, string search isnt possible ", false, kActiveColour, kIdleColour, std::nullopt, 4});

    // Text written later is compared with the old baseline.
    folder.WriteFile("data.bin", "xxxxxx");
    ExpectCount({"The number of repetitions increased to: 2", true, kActiveColour, kActiveColour, 6, 6});

    std::filesystem::remove(PathOf(object.settings.Path_File));
    ExpectCount(
        {"File doesnt exist, string search isnt possible", false, kIdleColour, kIdleColour, std::nullopt, 6});
}

TEST_F(FileCheck, OtherParametersReportNothing) {
    folder.WriteFile("data.bin", "x");
    EXPECT_FALSE(Check(4).has_value());
    EXPECT_FALSE(Check(-1).has_value());
}

TEST_F(FileCheck, RussianTextsWhenTheTableIsRussian) {
    UseRussian();
    number = 2;
    folder.WriteFile("data.bin", std::string(1000, 'a'));
    auto r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText,
              "Объект 2 / Контроль размера файла : data.bin / Размер файла увеличился на: 1000 b");

    folder.WriteFile("data.bin", "");
    object.settings.String = "a";
    r = Check(3);
    ASSERT_TRUE(r);
    // The Russian empty-file text has no trailing blank.
    EXPECT_EQ(r->eventText,
              "Объект 2 / Контроль строки в файле : data.bin / Файл пуст, поиск строки невозможен");
}

TEST_F(FileCheck, PathsLongerThan260CharactersWork) {
    std::string relative;
    for (int i = 0; i < 6; ++i) {
        relative += std::string(50, static_cast<char>('a' + i)) + "/";
    }
    relative += "long.txt";
    const std::string path = folder.WriteFile(relative, "one two two");
    ASSERT_GT(path.size(), 300u);
    object.settings.Path_File = path;
    object.settings.String = "two";
    auto r = Check(3);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->lastStringCount, 2);
    EXPECT_EQ(EventOf(1), "Object 3 / Control of file size : data.bin / File size increased to: 11 b");
}

#ifdef _WIN32
// Another program's handle on the watched file, with the sharing it chose.
class OtherProgramsHandle {
  public:
    OtherProgramsHandle(const std::string& path, DWORD share) {
        handle_ = CreateFileW(PathOf(path).wstring().c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~OtherProgramsHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    bool Open() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Append(const std::string& bytes) {
        DWORD written = 0;
        SetFilePointer(handle_, 0, nullptr, FILE_END);
        WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

TEST_F(FileCheck, FileThatAnotherProgramIsWritingIsMeasuredAndLeftWritable) {
    folder.WriteFile("data.bin", "ERROR one\n");
    OtherProgramsHandle writer(object.settings.Path_File, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(writer.Open());
    writer.Append("ERROR two\n");
    object.settings.String = "ERROR";
    auto r = Check(3);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->lastStringCount, 2);
    EXPECT_EQ(EventOf(1), "Object 3 / Control of file size : data.bin / File size increased to: 20 b");
    // The writer goes on writing after the checks.
    writer.Append("ERROR three\n");
    r = Check(3);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->lastStringCount, 3);
}

#endif

// Locked by another program (on Windows) or without the right to read it (elsewhere): the count fails
// and keeps its baseline, while size and date come from the file's attributes, which neither hides.
TEST_F(FileCheck, FileThatCannotBeReadFailsOnlyTheCount) {
    folder.WriteFile("data.bin", "locked text");
#ifdef _WIN32
    OtherProgramsHandle locker(object.settings.Path_File, 0);
    ASSERT_TRUE(locker.Open());
#else
    if (geteuid() == 0) {
        GTEST_SKIP() << "the superuser reads every file";
    }
    std::filesystem::permissions(PathOf(object.settings.Path_File), std::filesystem::perms::none);
#endif
    object.settings.String = "text";
    object.baseline.Povtor_File_Old = 5;
    EXPECT_FALSE(Check(3).has_value());
    EXPECT_EQ(object.baseline.Povtor_File_Old, 5);
    EXPECT_EQ(EventOf(1), "Object 3 / Control of file size : data.bin / File size increased to: 11 b");
    ASSERT_TRUE(Check(2).has_value());
}

}  // namespace
}  // namespace orv::engine
