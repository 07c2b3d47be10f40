// Local time and the user's date and time formats from the system.
#include <windows.h>

#include "platform/clock.h"
#include "platform/win32/wide.h"

namespace orv::clock {
namespace {

LocalTime FromSystemTime(const SYSTEMTIME& s) {
    LocalTime t;
    t.year = s.wYear;
    t.month = s.wMonth;
    t.day = s.wDay;
    t.dayOfWeek = s.wDayOfWeek;
    t.hour = s.wHour;
    t.minute = s.wMinute;
    t.second = s.wSecond;
    t.millisecond = s.wMilliseconds;
    return t;
}

// One locale string of the user; `fallback` when the system has none.
std::string LocaleText(LCTYPE type, const std::string& fallback) {
    wchar_t buffer[128];
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 128);
    if (length <= 1) {
        return fallback;
    }
    return win32::Narrow(std::wstring_view(buffer, static_cast<size_t>(length - 1)));
}

}  // namespace

std::chrono::milliseconds SinceStart() {
    return std::chrono::milliseconds(static_cast<std::chrono::milliseconds::rep>(::GetTickCount64()));
}

LocalTime Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FromSystemTime(now);
}

bool FileTimeToLocal(fs::FileTime utc, LocalTime& out) {
    if (utc.ticks < 0) {
        return false;
    }
    FILETIME fileTime;
    fileTime.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(utc.ticks) & 0xFFFFFFFFu);
    fileTime.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(utc.ticks) >> 32);
    SYSTEMTIME universal;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(&fileTime, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return false;
    }
    out = FromSystemTime(local);
    return true;
}

Formats SystemFormats() {
    Formats formats;
    formats.shortDate = LocaleText(LOCALE_SSHORTDATE, "M/d/yyyy");
    formats.longTime = LocaleText(LOCALE_STIMEFORMAT, "h:mm:ss tt");
    formats.shortTime = LocaleText(LOCALE_SSHORTTIME, "h:mm tt");
    return formats;
}

Names SystemNames() {
    Names names = DefaultNames();
    for (int i = 0; i < 12; ++i) {
        names.months[i] = LocaleText(LOCALE_SMONTHNAME1 + i, names.months[i]);
        names.monthsShort[i] = LocaleText(LOCALE_SABBREVMONTHNAME1 + i, names.monthsShort[i]);
    }
    // The system counts the days from Monday; the names here start with Sunday.
    for (int i = 0; i < 7; ++i) {
        const int fromMonday = (i + 6) % 7;
        names.days[i] = LocaleText(LOCALE_SDAYNAME1 + fromMonday, names.days[i]);
        names.daysShort[i] = LocaleText(LOCALE_SABBREVDAYNAME1 + fromMonday, names.daysShort[i]);
    }
    names.am = LocaleText(LOCALE_S1159, names.am);
    names.pm = LocaleText(LOCALE_S2359, names.pm);
    return names;
}

}  // namespace orv::clock
