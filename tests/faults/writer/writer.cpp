// Writes a file in steps the way a copy or a report generator does, for the fault tests:
//   OrvWriter <path> <steps> <bytes per step> <pause in ms>
// Opens the existing file for writing, letting others read but not write, appends the steps with the
// pause between them, keeps the file open for one more pause, closes it and then creates <path>.closed.
#include <string>
#include <vector>

#include "tests/faults/helper_program.h"

int main() {
    const std::vector<std::wstring> arguments = orv::faults::Arguments();
    if (arguments.size() != 4) {
        return 2;
    }
    const std::wstring& path = arguments[0];
    const int steps = _wtoi(arguments[1].c_str());
    const std::vector<char> chunk(static_cast<size_t>(_wtoi(arguments[2].c_str())), 'x');
    const DWORD pause = static_cast<DWORD>(_wtoi(arguments[3].c_str()));
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
    orv::faults::MakeMarker(path + L".closed");
    return 0;
}
