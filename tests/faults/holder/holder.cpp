// Holds a file or folder open the way another program would, for the fault tests:
//   OrvHolder <path> none|read
// "none" shares nothing, "read" lets others read but not write. Once the handle is open it creates
// <path>.held beside the path, then waits until <path>.release appears (or a minute passes).
#include <string>
#include <vector>

#include "tests/faults/helper_program.h"

int main() {
    const std::vector<std::wstring> arguments = orv::faults::Arguments();
    if (arguments.size() != 2) {
        return 2;
    }
    const std::wstring& path = arguments[0];
    const DWORD share = arguments[1] == L"read" ? FILE_SHARE_READ : 0;
    const bool folder = (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const HANDLE held =
        ::CreateFileW(path.c_str(), folder ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE, share, nullptr,
                      OPEN_EXISTING, folder ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        return 3;
    }
    orv::faults::MakeMarker(path + L".held");
    const std::wstring release = path + L".release";
    for (int waited = 0; waited < 3000 && ::GetFileAttributesW(release.c_str()) == INVALID_FILE_ATTRIBUTES;
         ++waited) {
        ::Sleep(20);
    }
    ::CloseHandle(held);
    return 0;
}
