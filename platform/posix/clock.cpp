// Local time and the C library's date and time formats on POSIX systems.
#include <langinfo.h>
#include <time.h>

#include <string_view>

#include "platform/clock.h"

namespace orv::clock {
namespace {

constexpr int64_t kEpochDifference = 11644473600LL;  // seconds from 1601 to 1970
constexpr int64_t kTicksPerSecond = 10000000LL;

LocalTime FromTm(const struct tm& tm, int millisecond) {
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.dayOfWeek = tm.tm_wday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;  // a leap second stays in its minute
    t.millisecond = millisecond;
    return t;
}

void AppendLiteral(std::string& picture, char c) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (c == '\'') {
        picture += "''";
    } else if (letter) {
        picture += '\'';
        picture += c;
        picture += '\'';
    } else {
        picture += c;
    }
}

// The strftime conversions that a short date or a long time may hold, and the Windows picture of each.
struct Conversion {
    char letter;
    std::string_view picture;
};
constexpr Conversion kConversions[] = {
    {'d', "dd"},  {'e', "d"},    {'m', "MM"},       {'y', "yy"},    {'Y', "yyyy"},        {'b', "MMM"},
    {'h', "MMM"}, {'B', "MMMM"}, {'a', "ddd"},      {'A', "dddd"},  {'D', "MM/dd/yy"},    {'F', "yyyy-MM-dd"},
    {'H', "HH"},  {'k', "H"},    {'I', "hh"},       {'l', "h"},     {'M', "mm"},          {'S', "ss"},
    {'p', "tt"},  {'P', "tt"},   {'T', "HH:mm:ss"}, {'R', "HH:mm"}, {'r', "hh:mm:ss tt"}, {'n', " "},
    {'t', " "},   {'%', "%"},
};

// Time zones, week numbers and the like are no part of a short date or long time: nothing.
std::string_view PictureOf(char letter) {
    for (const Conversion& conversion : kConversions) {
        if (conversion.letter == letter) {
            return conversion.picture;
        }
    }
    return {};
}

// Translates a strftime format into a Windows picture string.
std::string ToPicture(const char* format) {
    constexpr std::string_view kFlags = "EO-_0^#";
    std::string picture;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            AppendLiteral(picture, *p);
            continue;
        }
        ++p;
        while (*p != '\0' && kFlags.find(*p) != std::string_view::npos) {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
        picture += PictureOf(*p);
    }
    return picture;
}

}  // namespace

std::chrono::milliseconds SinceStart() {
#ifdef CLOCK_BOOTTIME
    constexpr clockid_t kClock = CLOCK_BOOTTIME;  // counts the time suspended, as Windows' tick count does
#else
    constexpr clockid_t kClock = CLOCK_MONOTONIC;
#endif
    struct timespec now {};
    clock_gettime(kClock, &now);
    return std::chrono::milliseconds(static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
}

LocalTime Now() {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm tm;
    localtime_r(&now.tv_sec, &tm);
    return FromTm(tm, static_cast<int>(now.tv_nsec / 1000000));
}

bool FileTimeToLocal(fs::FileTime utc, LocalTime& out) {
    if (utc.ticks < 0) {
        return false;
    }
    const time_t seconds = static_cast<time_t>(utc.ticks / kTicksPerSecond - kEpochDifference);
    struct tm tm;
    if (!localtime_r(&seconds, &tm)) {
        return false;
    }
    out = FromTm(tm, static_cast<int>(utc.ticks % kTicksPerSecond / 10000));
    return true;
}

Formats SystemFormats() {
    Formats formats;
    formats.shortDate = ToPicture(nl_langinfo(D_FMT));
    formats.longTime = ToPicture(nl_langinfo(T_FMT));
    std::string shortTime = formats.longTime;
    for (const char* seconds : {":ss", ".ss", ":s"}) {
        const size_t at = shortTime.find(seconds);
        if (at != std::string::npos) {
            shortTime.erase(at, std::char_traits<char>::length(seconds));
            break;
        }
    }
    formats.shortTime = shortTime;
    return formats;
}

Names SystemNames() {
    return DefaultNames();
}

}  // namespace orv::clock
