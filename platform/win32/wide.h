// UTF-8 <-> UTF-16 at the Win32 boundary, and the long form of long paths.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace orv::win32 {

std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// A path as the W file functions should get it: forward slashes turned into backslashes and, for an
// absolute drive or UNC path too long for the classic limits, the full path with the "\\?\" prefix.
std::wstring FilePath(std::string_view utf8);

}  // namespace orv::win32
