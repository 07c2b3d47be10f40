// Writes a file in steps the way a copy or a report generator does, for the fault tests:
//   OrvWriter <path> <steps> <bytes per step> <pause in ms>
// Opens the existing file for writing, letting others read but not write, appends the steps with the
// pause between them, keeps the file open for one more pause, closes it and then creates <path>.closed.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

int main() {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr || count != 5) {
        return 2;
    }
    const std::wstring path = arguments[1];
    const int steps = _wtoi(arguments[2]);
    const std::vector<char> chunk(static_cast<size_t>(_wtoi(arguments[3])), 'x');
    const DWORD pause = static_cast<DWORD>(_wtoi(arguments[4]));
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 3;
    }
    for (int step = 0; step < steps; ++step) {
        DWORD written = 0;
        if (!::WriteFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) ||
            written != chunk.size()) {
            return 4;
        }
        ::Sleep(pause);
    }
    ::CloseHandle(file);
    const HANDLE marker =
        ::CreateFileW((path + L".closed").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    return 0;
}
