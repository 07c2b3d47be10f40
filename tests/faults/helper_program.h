// What the fault tests' helper programs (OrvHolder, OrvWriter) share: their command line and the marker
// files by which they tell the test how far they have come.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace orv::faults {

// The arguments after the program's own name.
inline std::vector<std::wstring> Arguments() {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return {};
    }
    std::vector<std::wstring> result(arguments + (count > 0 ? 1 : 0), arguments + count);
    ::LocalFree(arguments);
    return result;
}

// Creates the empty file `path`, replacing one that is there.
inline void MakeMarker(const std::wstring& path) {
    const HANDLE marker = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE) {
        ::CloseHandle(marker);
    }
}

}  // namespace orv::faults
