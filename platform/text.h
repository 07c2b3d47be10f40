// Text conversions. Strings are UTF-8 inside the program.
#pragma once

#include <string>
#include <string_view>

namespace orv::text {

// UTF-16 for the W functions of Win32. Invalid UTF-8 becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Windows-1251 (the code page of the log files). Characters that code page lacks become '?'.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view bytes);

// The system's ANSI code page (for WinExec, the one ANSI-only call). On POSIX: UTF-8 unchanged.
std::string Utf8ToAnsi(std::string_view utf8);
// The same, only when every character has its own byte sequence in that code page: no '?' and no
// look-alike (an 'e' for an 'é') in its place. False, `out` untouched, otherwise. On POSIX: always.
bool Utf8ToAnsiExact(std::string_view utf8, std::string& out);

}  // namespace orv::text
