// Where the program lives, from GetModuleFileNameW.
#include <windows.h>

#include <vector>

#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace orv::paths {

std::string ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD capacity = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), capacity);
        if (length == 0) {
            return {};
        }
        // A full buffer means the name was cut off: grow and ask again.
        if (length < capacity) {
            return win32::Narrow(std::wstring_view(buffer.data(), length));
        }
        if (buffer.size() >= 32768) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace orv::paths
