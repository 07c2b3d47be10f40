#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/files.h"
#include "tests/support/test_support.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/wide.h"
#endif

namespace orv::clock {
namespace {

LocalTime At(int year, int month, int day, int hour, int minute, int second, int millisecond = 0) {
    LocalTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.millisecond = millisecond;
    LocalTime reduced;
    // The day of the week comes from the reduction, which works it out.
    if (year >= 1980 && year <= 2107 && ReduceToDosTime(t, reduced)) {
        t.dayOfWeek = reduced.dayOfWeek;
    }
    return t;
}

TEST(FormatPicture, DatePictures) {
    const Names names = DefaultNames();
    const LocalTime t = At(2024, 3, 5, 14, 7, 9);  // a Tuesday
    EXPECT_EQ(FormatPicture(t, "dd.MM.yyyy", names), "05.03.2024");
    EXPECT_EQ(FormatPicture(t, "M/d/yyyy", names), "3/5/2024");
    EXPECT_EQ(FormatPicture(t, "d/M/yy", names), "5/3/24");
    EXPECT_EQ(FormatPicture(t, "yyyy-MM-dd", names), "2024-03-05");
    EXPECT_EQ(FormatPicture(t, "dddd, MMMM d, yyyy", names), "Tuesday, March 5, 2024");
    EXPECT_EQ(FormatPicture(t, "ddd dd MMM", names), "Tue 05 Mar");
    EXPECT_EQ(FormatPicture(At(2005, 12, 25, 0, 0, 0), "y", names), "5");
    EXPECT_EQ(FormatPicture(At(2005, 12, 25, 0, 0, 0), "yy", names), "05");
}

TEST(FormatPicture, TimePictures) {
    const Names names = DefaultNames();
    EXPECT_EQ(FormatPicture(At(2024, 3, 5, 14, 7, 9), "H:mm:ss", names), "14:07:09");
    EXPECT_EQ(FormatPicture(At(2024, 3, 5, 9, 5, 3), "HH:mm:ss", names), "09:05:03");
    EXPECT_EQ(FormatPicture(At(2024, 3, 5, 9, 5, 3), "H:m:s", names), "9:5:3");
    EXPECT_EQ(FormatPicture(At(2024, 3, 5, 14, 7, 9), "h:mm:ss tt", names), "2:07:09 PM");
    EXPECT_EQ(FormatPicture(At(2024, 3, 5, 14, 7, 9), "hh:mm t", names), "02:07 P");
    EXPECT_EQ(FormatPicture(At(2024, 3, 5, 0, 30, 0), "h:mm tt", names), "12:30 AM");
    EXPECT_EQ(FormatPicture(At(2024, 3, 5, 12, 0, 0), "h tt", names), "12 PM");

    Names russian = names;
    russian.am = "ДП";
    russian.pm = "ПП";
    EXPECT_EQ(FormatPicture(At(2024, 3, 5, 14, 7, 9), "t tt", russian), "П ПП");
}

TEST(FormatPicture, QuotedLiteralsAndOtherCharacters) {
    const Names names = DefaultNames();
    const LocalTime t = At(2024, 3, 5, 14, 7, 9);
    EXPECT_EQ(FormatPicture(t, "'Date: 'dd", names), "Date: 05");
    EXPECT_EQ(FormatPicture(t, "'It''s' H", names), "It's 14");
    EXPECT_EQ(FormatPicture(t, "H''mm", names), "14'07");
    EXPECT_EQ(FormatPicture(t, "yyyy'г.'", names), "2024г.");
    EXPECT_EQ(FormatPicture(t, "dd 'of' MMMM", names), "05 of March");
    EXPECT_EQ(FormatPicture(t, "'open", names), "open") << "an unclosed quote runs to the end";
    EXPECT_EQ(FormatPicture(t, "H.mm.ss", names), "14.07.09");
    EXPECT_EQ(FormatPicture(t, "", names), "");
}

TEST(DosTime, ReducesToTwoSecondsAndTheDosYears) {
    LocalTime out;
    ASSERT_TRUE(ReduceToDosTime(At(2024, 3, 5, 13, 59, 59, 500), out));
    EXPECT_EQ(out.second, 58);
    EXPECT_EQ(out.millisecond, 0);
    EXPECT_EQ(out.minute, 59);
    EXPECT_EQ(out.dayOfWeek, 2);  // Tuesday

    ASSERT_TRUE(ReduceToDosTime(At(2024, 3, 5, 13, 59, 30), out));
    EXPECT_EQ(out.second, 30);
    ASSERT_TRUE(ReduceToDosTime(At(1980, 1, 1, 0, 0, 1), out));
    EXPECT_EQ(out.second, 0);
    EXPECT_EQ(out.dayOfWeek, 2);  // 1 January 1980 was a Tuesday
    ASSERT_TRUE(ReduceToDosTime(At(2107, 12, 31, 23, 59, 59), out));
    EXPECT_EQ(out.year, 2107);

    const LocalTime before = out;
    EXPECT_FALSE(ReduceToDosTime(At(1979, 12, 31, 23, 59, 59), out));
    EXPECT_FALSE(ReduceToDosTime(At(2108, 1, 1, 0, 0, 0), out));
    EXPECT_FALSE(ReduceToDosTime(At(2023, 2, 29, 0, 0, 0), out)) << "no such day";
    EXPECT_EQ(out, before);
}

TEST(LocalClock, FileTimesConvertToTheSameLocalTimeAsTheClock) {
    test::TempDirectory folder("orv-clock");
    const std::string path = folder.WriteFile("now.txt", "x");
    fs::EntryInfo info;
    ASSERT_TRUE(fs::Query(path, info));
    LocalTime written;
    ASSERT_TRUE(FileTimeToLocal(info.lastWrite, written));
    const LocalTime now = Now();
    // Both are local times of (nearly) the same moment.
    const auto minutes = [](const LocalTime& t) {
        return ((t.year * 400 + t.month * 31 + t.day) * 24 + t.hour) * 60 + t.minute;
    };
    EXPECT_LE(std::abs(minutes(now) - minutes(written)), 2);

    LocalTime untouched = now;
    EXPECT_FALSE(FileTimeToLocal(fs::FileTime{-1}, untouched));
    EXPECT_EQ(untouched, now);
}

TEST(LocalClock, UtcToLocalKeepsSecondsAndMilliseconds) {
    // 2024-03-05 12:34:56.789 UTC. Every time zone differs from UTC by whole quarter hours.
    const fs::FileTime utc{133541156967890000LL};
    LocalTime local;
    ASSERT_TRUE(FileTimeToLocal(utc, local));
    EXPECT_EQ(local.second, 56);
    EXPECT_EQ(local.millisecond, 789);
    EXPECT_EQ(local.minute % 15, 34 % 15);
    EXPECT_EQ(local.year, 2024);
    EXPECT_EQ(local.month, 3);
    EXPECT_GE(local.day, 4);
    EXPECT_LE(local.day, 6);
}

TEST(LocalClock, SystemFormatsFormatATimestamp) {
    const Formats formats = SystemFormats();
    ASSERT_FALSE(formats.shortDate.empty());
    ASSERT_FALSE(formats.longTime.empty());
    EXPECT_NE(formats.shortDate.find('y'), std::string::npos) << formats.shortDate;
    EXPECT_NE(formats.shortDate.find('M'), std::string::npos) << formats.shortDate;
    EXPECT_NE(formats.longTime.find('m'), std::string::npos) << formats.longTime;

    const Names names = SystemNames();
    const LocalTime t = At(2024, 11, 28, 17, 45, 31);
    const std::string date = FormatPicture(t, formats.shortDate, names);
    const std::string time = FormatPicture(t, formats.longTime, names);
    EXPECT_NE(date.find("28"), std::string::npos) << date;
    EXPECT_NE(date.find("11"), std::string::npos) << date;
    EXPECT_NE(date.find("24"), std::string::npos) << date;
    EXPECT_NE(time.find("45"), std::string::npos) << time;
    EXPECT_TRUE(time.find("17") != std::string::npos || time.find('5') == 0) << time;
    EXPECT_FALSE(names.months[10].empty());
}

#ifdef _WIN32
SYSTEMTIME ToSystemTime(const LocalTime& t) {
    SYSTEMTIME s{};
    s.wYear = static_cast<WORD>(t.year);
    s.wMonth = static_cast<WORD>(t.month);
    s.wDay = static_cast<WORD>(t.day);
    s.wDayOfWeek = static_cast<WORD>(t.dayOfWeek);
    s.wHour = static_cast<WORD>(t.hour);
    s.wMinute = static_cast<WORD>(t.minute);
    s.wSecond = static_cast<WORD>(t.second);
    s.wMilliseconds = static_cast<WORD>(t.millisecond);
    return s;
}

// The reduction must be the system's own round trip through a DOS date and time. (2108 is left to
// the test above: Wine 8.0 lets the year wrap around instead of failing as Windows does.)
TEST(DosTime, AgreesWithTheSystem) {
    const LocalTime times[] = {At(1980, 1, 1, 0, 0, 0), At(1999, 12, 31, 23, 59, 59, 999),
                               At(2024, 2, 29, 12, 30, 15, 250), At(2107, 12, 31, 23, 59, 58),
                               At(1979, 12, 31, 23, 59, 59)};
    for (const LocalTime& t : times) {
        SCOPED_TRACE(t.year);
        const SYSTEMTIME system = ToSystemTime(t);
        FILETIME fileTime;
        ASSERT_TRUE(SystemTimeToFileTime(&system, &fileTime));
        WORD dosDate = 0;
        WORD dosTime = 0;
        LocalTime ours;
        const bool systemOk = FileTimeToDosDateTime(&fileTime, &dosDate, &dosTime) != 0;
        ASSERT_EQ(ReduceToDosTime(t, ours), systemOk);
        if (!systemOk) {
            continue;
        }
        FILETIME back;
        SYSTEMTIME reduced;
        ASSERT_TRUE(DosDateTimeToFileTime(dosDate, dosTime, &back));
        ASSERT_TRUE(FileTimeToSystemTime(&back, &reduced));
        EXPECT_EQ(ours.year, reduced.wYear);
        EXPECT_EQ(ours.month, reduced.wMonth);
        EXPECT_EQ(ours.day, reduced.wDay);
        EXPECT_EQ(ours.dayOfWeek, reduced.wDayOfWeek);
        EXPECT_EQ(ours.hour, reduced.wHour);
        EXPECT_EQ(ours.minute, reduced.wMinute);
        EXPECT_EQ(ours.second, reduced.wSecond);
        EXPECT_EQ(ours.millisecond, reduced.wMilliseconds);
    }
}

// Pictures formatted here must read as the system's own date and time functions write them. (A lone
// "y" is left out: Wine 8.0 pads it to two digits, Windows does not.)
TEST(FormatPicture, AgreesWithTheSystem) {
    const Names names = SystemNames();
    const LocalTime times[] = {At(2024, 3, 5, 14, 7, 9), At(2005, 11, 28, 0, 5, 0),
                               At(1999, 1, 31, 12, 59, 59)};
    const char* const datePictures[] = {"dd.MM.yyyy",   "M/d/yy",         "dddd, MMMM d, yyyy",
                                        "ddd d MMM yy", "yyyy'-'MM'-'dd", "'Day' d"};
    const char* const timePictures[] = {"H:mm:ss", "HH:mm:ss", "h:mm:ss tt", "hh:mm t", "H' h 'm' min'"};
    for (const LocalTime& t : times) {
        const SYSTEMTIME system = ToSystemTime(t);
        wchar_t buffer[128];
        for (const char* picture : datePictures) {
            SCOPED_TRACE(picture);
            const std::wstring wide = win32::Wide(picture);
            ASSERT_GT(
                GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &system, wide.c_str(), buffer, 128, nullptr), 0);
            EXPECT_EQ(FormatPicture(t, picture, names), win32::Narrow(buffer));
        }
        for (const char* picture : timePictures) {
            SCOPED_TRACE(picture);
            const std::wstring wide = win32::Wide(picture);
            ASSERT_GT(GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &system, wide.c_str(), buffer, 128), 0);
            EXPECT_EQ(FormatPicture(t, picture, names), win32::Narrow(buffer));
        }
    }
}
#endif

}  // namespace
}  // namespace orv::clock
