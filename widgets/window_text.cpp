#include "widgets/window_text.h"

#include <vector>

#include "platform/win32/wide.h"

namespace orv::widgets {

void SetWindowTextUtf8(HWND window, std::string_view text) {
    ::SetWindowTextW(window, win32::Wide(text).c_str());
}

std::string GetWindowTextUtf8(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
    return win32::Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(copied)));
}

}  // namespace orv::widgets
