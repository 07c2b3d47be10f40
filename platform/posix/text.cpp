// The ANSI code page of the POSIX build is UTF-8 itself.
#include "platform/text.h"

namespace orv::text {

std::string Utf8ToAnsi(std::string_view utf8) {
    return std::string(utf8);
}

bool Utf8ToAnsiExact(std::string_view utf8, std::string& out) {
    out = std::string(utf8);
    return true;
}

}  // namespace orv::text
