#include "platform/write_probe.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace orv::fs {

bool HeldForWriting(std::string_view path) {
    // Write sharing left out: the open fails with a sharing violation exactly when someone has the file
    // open for writing. Read and delete sharing keep the open out of the way of readers and of a
    // program that wants to remove or rename the file meanwhile.
    const std::wstring widePath = win32::FilePath(path);
    const win32::FileHandle file(CreateFileW(widePath.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

void SetHeldForWritingForTest(const std::string&, bool) {}

}  // namespace orv::fs
