// Text conversions at the Win32 boundary.
#include <vector>

#include "platform/text.h"
#include "platform/win32/wide.h"

namespace orv::win32 {

// The program's own conversion, the same as the POSIX build's; wchar_t is a UTF-16 unit here.
std::wstring Wide(std::string_view utf8) {
    const std::u16string utf16 = text::Utf8ToUtf16(utf8);
    return std::wstring(utf16.begin(), utf16.end());
}

std::string Narrow(std::wstring_view utf16) {
    return text::Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size()));
}

std::wstring FilePath(std::string_view utf8) {
    std::wstring path = Wide(utf8);
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    // CreateDirectoryW stops at 248 characters, the other functions at 260.
    constexpr size_t kClassicLimit = 248;
    if (path.size() < kClassicLimit || path.rfind(L"\\\\?\\", 0) == 0) {
        return path;
    }
    const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    const bool unc = path.rfind(L"\\\\", 0) == 0;
    if (!drive && !unc) {
        return path;
    }
    // The prefix switches off the name parsing, so "." and ".." must be resolved first.
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) {
        return path;
    }
    full.resize(written);
    if (unc) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

}  // namespace orv::win32

namespace orv::text {

std::string Utf8ToAnsi(std::string_view utf8) {
    const std::wstring wide = win32::Wide(utf8);
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

}  // namespace orv::text

namespace orv::text {

bool Utf8ToAnsiExact(std::string_view utf8, std::string& out) {
    if (utf8.empty()) {
        out.clear();
        return true;
    }
    const std::wstring wide = win32::Wide(utf8);
    if (wide.empty() || wide.find(L'\xFFFD') != std::wstring::npos) {
        return false;  // not valid UTF-8: there is no text to convert
    }
    const UINT codePage = GetACP();
    const int size = static_cast<int>(wide.size());
    if (codePage == CP_UTF8) {
        out = std::string(utf8);  // a system set to UTF-8 takes every character
        return true;
    }
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0,
                                           nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return false;
    }
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length, nullptr,
                        &usedDefault);
    if (usedDefault) {
        return false;
    }
    out = std::move(ansi);
    return true;
}

}  // namespace orv::text
