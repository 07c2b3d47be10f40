// The parts of the clock that are the same on every system: picture formatting and the DOS reduction.
#include "platform/clock.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace orv::clock {
namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) {
        return 29;
    }
    return kDays[month - 1];
}

// 0 = Sunday, for any date of the proleptic Gregorian calendar (Sakamoto's method).
int DayOfWeek(int year, int month, int day) {
    static constexpr int kOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) {
        year -= 1;
    }
    return (year + year / 4 - year / 100 + year / 400 + kOffsets[month - 1] + day) % 7;
}

// The number with at least `minDigits` digits, zeros in front (after the sign of a negative one).
void AppendNumber(std::string& out, int value, int minDigits) {
    char digits[16];
    const long long magnitude = std::llabs(static_cast<long long>(value));
    const char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    if (value < 0) {
        out += '-';
    }
    out.append(static_cast<size_t>(std::max<long long>(0, minDigits - (end - digits))), '0');
    out.append(digits, static_cast<size_t>(end - digits));
}

// A day or month letter repeated `run` times: the number (one or two digits at least), then the short
// name for three letters and the full name for four or more.
void AppendNumberOrName(std::string& out, size_t run, int number, const std::string& shortName,
                        const std::string& fullName) {
    if (run <= 2) {
        AppendNumber(out, number, static_cast<int>(run));
    } else {
        out += run == 3 ? shortName : fullName;
    }
}

// The first character of a UTF-8 text (one code point), for the one-letter AM/PM designator.
std::string FirstCharacter(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        ++length;
    }
    return text.substr(0, length);
}

// A quoted literal that begins at picture[i]; returns the index after it. '' inside or outside quotes
// is one quote character.
size_t AppendQuoted(std::string& out, std::string_view picture, size_t i) {
    ++i;
    if (i < picture.size() && picture[i] == '\'') {
        out += '\'';
        return i + 1;
    }
    while (i < picture.size()) {
        if (picture[i] != '\'') {
            out += picture[i++];
        } else if (i + 1 < picture.size() && picture[i + 1] == '\'') {
            out += '\'';
            i += 2;
        } else {
            return i + 1;
        }
    }
    return i;
}

// One field of the picture: `run` repetitions of the letter `c`; any other character stands for itself.
void AppendField(std::string& out, char c, size_t run, const LocalTime& t, const Names& names) {
    const int monthIndex = (t.month >= 1 && t.month <= 12) ? t.month - 1 : 0;
    const int dayIndex = (t.dayOfWeek >= 0 && t.dayOfWeek <= 6) ? t.dayOfWeek : 0;
    const int width = run == 1 ? 1 : 2;
    switch (c) {
        case 'd':
            AppendNumberOrName(out, run, t.day, names.daysShort[dayIndex], names.days[dayIndex]);
            break;
        case 'M':
            AppendNumberOrName(out, run, t.month, names.monthsShort[monthIndex], names.months[monthIndex]);
            break;
        case 'y':
            AppendNumber(out, run <= 2 ? t.year % 100 : t.year, run <= 2 ? width : 4);
            break;
        case 'g':
            out += names.era;
            break;
        case 'h':
            AppendNumber(out, t.hour % 12 == 0 ? 12 : t.hour % 12, width);
            break;
        case 'H':
            AppendNumber(out, t.hour, width);
            break;
        case 'm':
            AppendNumber(out, t.minute, width);
            break;
        case 's':
            AppendNumber(out, t.second, width);
            break;
        case 't': {
            const std::string& designator = t.hour < 12 ? names.am : names.pm;
            out += run == 1 ? FirstCharacter(designator) : designator;
            break;
        }
        default:
            out.append(run, c);
            break;
    }
}

}  // namespace

fs::FileTime FileTimeOf(std::chrono::system_clock::time_point moment) {
    // 1601-01-01 to 1970-01-01 in 100 ns ticks.
    constexpr int64_t kUnixEpochTicks = 116444736000000000LL;
    const auto ticks = std::chrono::duration_cast<std::chrono::duration<int64_t, std::ratio<1, 10000000>>>(
        moment.time_since_epoch());
    return fs::FileTime{kUnixEpochTicks + ticks.count()};
}

bool ReduceToDosTime(const LocalTime& local, LocalTime& out) {
    // A DOS date keeps the year in seven bits counted from 1980.
    if (local.year < 1980 || local.year > 2107) {
        return false;
    }
    if (local.month < 1 || local.month > 12 || local.day < 1 ||
        local.day > DaysInMonth(local.year, local.month) || local.hour < 0 || local.hour > 23 ||
        local.minute < 0 || local.minute > 59 || local.second < 0 || local.second > 59) {
        return false;
    }
    LocalTime reduced = local;
    reduced.second = local.second / 2 * 2;
    reduced.millisecond = 0;
    reduced.dayOfWeek = DayOfWeek(local.year, local.month, local.day);
    out = reduced;
    return true;
}

Names DefaultNames() {
    Names names;
    static constexpr const char* kMonths[12] = {"January",   "February", "March",    "April",
                                                "May",       "June",     "July",     "August",
                                                "September", "October",  "November", "December"};
    static constexpr const char* kDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                             "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 12; ++i) {
        names.months[i] = kMonths[i];
        names.monthsShort[i] = std::string(kMonths[i]).substr(0, 3);
    }
    for (int i = 0; i < 7; ++i) {
        names.days[i] = kDays[i];
        names.daysShort[i] = std::string(kDays[i]).substr(0, 3);
    }
    names.am = "AM";
    names.pm = "PM";
    return names;
}

std::string FormatPicture(const LocalTime& t, std::string_view picture, const Names& names) {
    std::string out;
    size_t i = 0;
    while (i < picture.size()) {
        const char c = picture[i];
        if (c == '\'') {
            i = AppendQuoted(out, picture, i);
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) {
            ++run;
        }
        AppendField(out, c, run, t, names);
        i += run;
    }
    return out;
}

}  // namespace orv::clock
