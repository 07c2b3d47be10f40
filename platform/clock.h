// Local time, the system's date and time formats, and formatting with them.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace orv::clock {

// A calendar time in local time. dayOfWeek: 0 = Sunday.
struct LocalTime {
    int year = 1601;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int dayOfWeek = 1;
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

LocalTime Now();

// The time since the system started, sleep and hibernation included (GetTickCount64; CLOCK_BOOTTIME):
// it moves on while the machine sleeps, and the user's changes of the time of day do not move it.
std::chrono::milliseconds SinceStart();

// UTC file time to local time (the system's time zone rules). False (and `out` untouched) when the
// time cannot be represented.
bool FileTimeToLocal(fs::FileTime utc, LocalTime& out);

// Reduces a local time to a DOS date and time (2-second resolution, years 1980 to 2107) and back, as
// FileTimeToDosDateTime does. False (and `out` untouched) when the year is outside that range.
bool ReduceToDosTime(const LocalTime& local, LocalTime& out);

// Picture strings in the Windows syntax ("dd.MM.yyyy", "H:mm:ss", "h:mm:ss tt", quoted literals).
struct Formats {
    std::string shortDate;
    std::string longTime;
    std::string shortTime = "HH:mm";
};

// The user's formats: GetLocaleInfoEx(LOCALE_SSHORTDATE, LOCALE_STIMEFORMAT, LOCALE_SSHORTTIME) on
// Windows; the C library's locale (D_FMT, T_FMT translated to pictures, the latter without its
// seconds for the short time) on POSIX.
Formats SystemFormats();

// Names a picture may ask for. Defaults are English; on Windows the system's come from the locale.
struct Names {
    std::string months[12];
    std::string monthsShort[12];
    std::string days[7];  // Sunday first
    std::string daysShort[7];
    std::string am = "AM";
    std::string pm = "PM";
    std::string era = "A.D.";  // "g" / "gg"
};
Names DefaultNames();
Names SystemNames();

// A moment of the system's clock (std::chrono::system_clock) as a file time, 100 ns since 1601 (UTC).
fs::FileTime FileTimeOf(std::chrono::system_clock::time_point moment);

// Formats the date or time parts of `t` with a picture string (the Windows GetDateFormat /
// GetTimeFormat syntax: d dd ddd dddd M MM MMM MMMM y yy yyyy gg h hh H HH m mm s ss t tt, 'quoted'
// literals, '' for a quote; everything else is copied).
std::string FormatPicture(const LocalTime& t, std::string_view picture, const Names& names);

}  // namespace orv::clock
