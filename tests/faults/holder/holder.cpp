// Holds a file or folder open the way another program would, for the fault tests:
//   OrvHolder <path> none|read
// "none" shares nothing, "read" lets others read but not write. Once the handle is open it creates
// <path>.held beside the path, then waits until <path>.release appears (or a minute passes).
#include <windows.h>

#include <shellapi.h>

#include <string>

int main() {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr || count != 3) {
        return 2;
    }
    const std::wstring path = arguments[1];
    const DWORD share = std::wstring(arguments[2]) == L"read" ? FILE_SHARE_READ : 0;
    const bool folder = (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const HANDLE held =
        ::CreateFileW(path.c_str(), folder ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE, share, nullptr,
                      OPEN_EXISTING, folder ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        return 3;
    }
    const HANDLE marker =
        ::CreateFileW((path + L".held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(marker);
    const std::wstring release = path + L".release";
    for (int waited = 0; waited < 3000 && ::GetFileAttributesW(release.c_str()) == INVALID_FILE_ATTRIBUTES;
         ++waited) {
        ::Sleep(20);
    }
    ::CloseHandle(held);
    return 0;
}
