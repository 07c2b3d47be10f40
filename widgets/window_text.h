// Texts of windows: UTF-8 inside the program, UTF-16 for the W functions.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace orv::widgets {

void SetWindowTextUtf8(HWND window, std::string_view text);
std::string GetWindowTextUtf8(HWND window);

}  // namespace orv::widgets
