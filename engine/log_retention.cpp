#include "engine/log_retention.h"

#include <algorithm>
#include <vector>

namespace orv::engine {
namespace {

constexpr int64_t kTicksPerDay = 24LL * 60 * 60 * 10'000'000;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One or two digits for a run of one letter ("H"), exactly two for a longer run ("HH").
bool TakeNumber(std::string_view& rest, size_t run) {
    size_t digits = 0;
    while (digits < rest.size() && digits < 2 && IsDigit(rest[digits])) {
        ++digits;
    }
    if (digits == 0 || (run >= 2 && digits != 2)) {
        return false;
    }
    rest.remove_prefix(digits);
    return true;
}

bool TakeText(std::string_view& rest, std::string_view text) {
    if (rest.substr(0, text.size()) != text) {
        return false;
    }
    rest.remove_prefix(text.size());
    return true;
}

// The first character of a UTF-8 text, as the time format's "t" writes it.
std::string_view FirstCharacter(std::string_view text) {
    size_t length = text.empty() ? 0 : 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        ++length;
    }
    return text.substr(0, length);
}

bool TakeDesignator(std::string_view& rest, size_t run, const clock::Names& names) {
    for (const std::string& designator : {names.am, names.pm}) {
        std::string_view written = run == 1 ? FirstCharacter(designator) : std::string_view(designator);
        std::string_view trial = rest;
        if (TakeText(trial, written)) {
            rest = trial;
            return true;
        }
    }
    return false;
}

// A literal character of the format, as the file name holds it.
bool TakeLiteral(std::string_view& rest, char c) {
    return TakeText(rest, std::string_view(c == ':' ? "." : std::string_view(&c, 1)));
}

// A quoted literal of the format, starting at the quote at `i`; '' inside or outside quotes is one
// quote. `i` ends after the literal.
bool TakeQuoted(std::string_view& rest, std::string_view format, size_t& i) {
    ++i;
    if (i < format.size() && format[i] == '\'') {
        ++i;
        return TakeLiteral(rest, '\'');
    }
    while (i < format.size()) {
        if (format[i] == '\'') {
            if (i + 1 < format.size() && format[i + 1] == '\'') {
                if (!TakeLiteral(rest, '\'')) {
                    return false;
                }
                i += 2;
                continue;
            }
            ++i;
            return true;
        }
        if (!TakeLiteral(rest, format[i++])) {
            return false;
        }
    }
    return true;
}

// Matches the start of `rest` against the time text the format writes; the rest is left in `rest`.
bool TakeTimeText(std::string_view& rest, std::string_view format, const clock::Names& names) {
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c == '\'') {
            if (!TakeQuoted(rest, format, i)) {
                return false;
            }
            continue;
        }
        size_t run = 1;
        while (i + run < format.size() && format[i + run] == c) {
            ++run;
        }
        bool matched = true;
        switch (c) {
            case 'h':
            case 'H':
            case 'm':
            case 's':
                matched = TakeNumber(rest, run);
                break;
            case 't':
                matched = TakeDesignator(rest, run, names);
                break;
            case 'd':
            case 'M':
            case 'y':
            case 'g':
                return false;  // a date in a time format: not a name the program could tell apart
            default:
                for (size_t k = 0; k < run && matched; ++k) {
                    matched = TakeLiteral(rest, c);
                }
        }
        if (!matched) {
            return false;
        }
        i += run;
    }
    return true;
}

}  // namespace

int32_t ValidLogKeepDays(int32_t days) {
    return std::find(std::begin(kLogKeepChoices), std::end(kLogKeepChoices), days) !=
                   std::end(kLogKeepChoices)
               ? days
               : 0;
}

int32_t StepLogKeepDays(int32_t days, int step) {
    constexpr int kChoices = static_cast<int>(std::size(kLogKeepChoices));
    const auto at = std::find(std::begin(kLogKeepChoices), std::end(kLogKeepChoices), ValidLogKeepDays(days));
    const int index = static_cast<int>(at - std::begin(kLogKeepChoices));
    return kLogKeepChoices[((index + step) % kChoices + kChoices) % kChoices];
}

bool IsLogFileName(std::string_view name, std::string_view longTime, const clock::Names& names) {
    std::string_view rest = name;
    if (!TakeTimeText(rest, longTime, names) || rest.size() < 4 || rest.substr(rest.size() - 4) != ".log") {
        return false;
    }
    rest.remove_suffix(4);
    if (rest.empty()) {
        return true;
    }
    // " (N)", N from 2, as the log step numbers a name that is taken.
    if (rest.size() < 4 || rest.substr(0, 2) != " (" || rest.back() != ')') {
        return false;
    }
    const std::string_view number = rest.substr(2, rest.size() - 3);
    return !number.empty() && number[0] != '0' && std::all_of(number.begin(), number.end(), IsDigit) &&
           number != "1";
}

int DeleteOldLogFiles(const std::string& folder, int32_t days, fs::FileTime now, std::string_view longTime,
                      const clock::Names& names) {
    if (days <= 0 || folder.empty()) {
        return 0;
    }
    std::vector<std::string> candidates;
    const std::string listed = folder.substr(0, folder.size() - 1);  // without the separator
    fs::ListDirectory(listed, [&](const fs::DirEntry& entry) {
        if (!entry.directory && !entry.nameSurrogate && IsLogFileName(entry.name, longTime, names)) {
            candidates.emplace_back(entry.name);
        }
        return true;
    });
    const int64_t limit = now.ticks - days * kTicksPerDay;
    int deleted = 0;
    for (const std::string& name : candidates) {
        const std::string path = folder + name;
        fs::EntryInfo info;
        if (fs::Examine(path, info) == fs::Answer::Known && info.kind == fs::EntryKind::File &&
            !info.nameSurrogate && info.lastWrite.ticks < limit && fs::RemoveFile(path)) {
            ++deleted;
        }
    }
    return deleted;
}

bool LogRetention::Due(int32_t days, Steady::time_point now) {
    if (days <= 0 || (lastRun_ && now - *lastRun_ < std::chrono::hours(1))) {
        return false;
    }
    lastRun_ = now;
    return true;
}

}  // namespace orv::engine
