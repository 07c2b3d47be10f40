// The program's directory walk against the fastest walk the system allows: a bare NtQueryDirectoryFile
// loop with a large buffer that opens each sub-folder relative to its parent's handle. Runs the two in
// turn and prints, for each, the total of the file sizes and the best time in milliseconds, then the
// median of the ratios of the walks taken side by side (program / bare): on a shared machine a pair
// meets the same load, where the best times of each may come from different moments.
//
//   orv_walk.exe DIR RUNS
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/checks.h"

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PVOID apcRoutine, PVOID apcContext,
                                               PIO_STATUS_BLOCK ioStatus, PVOID buffer, ULONG length,
                                               FILE_INFORMATION_CLASS informationClass, BOOLEAN singleEntry,
                                               PUNICODE_STRING fileName, BOOLEAN restartScan);

namespace {

constexpr ULONG kBufferSize = 256 * 1024;

HANDLE OpenRelative(HANDLE parent, const wchar_t* name, USHORT nameBytes) {
    UNICODE_STRING unicodeName{nameBytes, nameBytes, const_cast<wchar_t*>(name)};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &unicodeName, OBJ_CASE_INSENSITIVE, parent, nullptr);
    IO_STATUS_BLOCK status;
    HANDLE handle = nullptr;
    const NTSTATUS result =
        NtOpenFile(&handle, FILE_LIST_DIRECTORY | SYNCHRONIZE, &attributes, &status,
                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                   FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT);
    return result >= 0 ? handle : nullptr;
}

// Sums the file sizes below `directory` (an open handle, closed here); false when a folder cannot be
// listed.
bool BareWalk(HANDLE directory, std::vector<char>& buffer, uint64_t& total) {
    bool ok = true;
    bool restart = TRUE;
    for (;;) {
        IO_STATUS_BLOCK status;
        const NTSTATUS result =
            NtQueryDirectoryFile(directory, nullptr, nullptr, nullptr, &status, buffer.data(), kBufferSize,
                                 FileDirectoryInformation, FALSE, nullptr, restart);
        restart = FALSE;
        if (result < 0) {
            ok = result == static_cast<NTSTATUS>(0x80000006L);  // STATUS_NO_MORE_FILES
            break;
        }
        // The sub-folders are opened after this batch, so the buffer can be reused below.
        std::vector<std::wstring> folders;
        for (size_t offset = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_DIRECTORY_INFORMATION*>(buffer.data() + offset);
            const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if ((entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                if (name != L"." && name != L".." &&
                    (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
                    folders.emplace_back(name);
                }
            } else {
                total += static_cast<uint64_t>(entry->EndOfFile.QuadPart);
            }
            if (entry->NextEntryOffset == 0) {
                break;
            }
            offset += entry->NextEntryOffset;
        }
        for (const std::wstring& folder : folders) {
            HANDLE child =
                OpenRelative(directory, folder.data(), static_cast<USHORT>(folder.size() * sizeof(wchar_t)));
            if (child == nullptr || !BareWalk(child, buffer, total)) {
                ok = false;
            }
        }
    }
    NtClose(directory);
    return ok;
}

// The bare walk from the top folder's NT path; `total` is set afresh.
bool BareWalkFrom(const std::wstring& ntRoot, std::vector<char>& buffer, uint64_t& total) {
    total = 0;
    HANDLE top = OpenRelative(nullptr, ntRoot.data(), static_cast<USHORT>(ntRoot.size() * sizeof(wchar_t)));
    return top != nullptr && BareWalk(top, buffer, total);
}

std::wstring WideOf(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                             wide.data(), static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(std::max(length, 0)));
    return wide;
}

double Now() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orv_walk.exe DIR RUNS\n");
        return 2;
    }
    const std::string root = argv[1];
    const int runs = std::max(1, std::atoi(argv[2]));
    const std::wstring ntRoot = L"\\??\\" + WideOf(root);
    std::vector<char> buffer(kBufferSize);
    double bestProgram = 1e300, bestBare = 1e300;
    std::vector<double> ratios;
    uint64_t programTotal = 0, bareTotal = 0;
    // Each kind goes first in every other pair: the walk that follows another may find the system warmer.
    for (int run = 0; run < runs; ++run) {
        double program = 0, bare = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const double start = Now();
            if ((turn + run) % 2 == 0) {
                programTotal = orv::engine::DirectorySize(root);
                program = Now() - start;
            } else if (!BareWalkFrom(ntRoot, buffer, bareTotal)) {
                std::fprintf(stderr, "the bare walk failed\n");
                return 1;
            } else {
                bare = Now() - start;
            }
        }
        bestProgram = std::min(bestProgram, program);
        bestBare = std::min(bestBare, bare);
        ratios.push_back(program / bare);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("%llu %.1f %llu %.1f %.3f\n", static_cast<unsigned long long>(programTotal), bestProgram,
                static_cast<unsigned long long>(bareTotal), bestBare, ratios[ratios.size() / 2]);
    return 0;
}
