// The running processes, from a Tool Help snapshot.
#include <windows.h>

#include <tlhelp32.h>

#include "platform/processes.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace orv::proc {

bool ForEachProcessName(const std::function<bool(std::string_view imageName)>& visit) {
    win32::SnapshotHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return false;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    if (!Process32FirstW(snapshot.Get(), &entry)) {
        return GetLastError() == ERROR_NO_MORE_FILES;
    }
    do {
        // szExeFile is a fixed array; do not trust it to hold a terminating zero.
        size_t length = 0;
        while (length < MAX_PATH && entry.szExeFile[length] != L'\0') {
            ++length;
        }
        const std::string name = win32::Narrow(std::wstring_view(entry.szExeFile, length));
        if (!visit(name)) {
            break;
        }
        entry.dwSize = sizeof entry;
    } while (Process32NextW(snapshot.Get(), &entry));
    return true;
}

}  // namespace orv::proc
