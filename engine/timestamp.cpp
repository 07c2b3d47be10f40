#include "engine/checks.h"

namespace orv::engine {

std::string DigitString(std::string_view text) {
    std::string digits;
    if (text.empty()) {
        return digits;
    }
    // The last character is never looked at: with a time ending in seconds the units digit of the
    // seconds drops out, so changes within the same ten seconds read as no change.
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            digits += text[i];
        }
    }
    return digits;
}

std::string FormatTimestamp(const clock::LocalTime& t, const clock::Formats& formats,
                            const clock::Names& names) {
    std::string text = clock::FormatPicture(t, formats.shortDate, names);
    // Midnight exactly shows the date alone.
    if (t.hour == 0 && t.minute == 0 && t.second == 0 && t.millisecond == 0) {
        return text;
    }
    text += ' ';
    text += clock::FormatPicture(t, formats.longTime, names);
    return text;
}

}  // namespace orv::engine
