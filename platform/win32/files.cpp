// File-system access through the W functions. Every open shares reading, writing and deleting, so
// that watching a file never gets in the way of the program that writes it.
#include "platform/files.h"

#include <algorithm>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace orv::fs {
namespace {

FileTime FromFileTime(const FILETIME& t) {
    return FileTime{static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime)};
}

uint64_t SizeOf(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

// Errors that mean "there is nothing at this path" rather than "something is there but hidden from us".
bool IsMissingError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_NOT_READY:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_DIRECTORY:
        case ERROR_FILENAME_EXCED_RANGE:
            return true;
        default:
            return false;
    }
}

// A reparse point that links to another place (symbolic link, junction, mount point), as opposed to
// one that holds its own data (cloud placeholders, deduplicated files).
bool IsNameSurrogate(DWORD attributes, DWORD reparseTag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(reparseTag);
}

std::string JoinPattern(std::string_view directory, std::string_view pattern) {
    std::string full(directory);
    if (!full.empty() && full.back() != '\\' && full.back() != '/') {
        full += '\\';
    }
    full += pattern;
    return full;
}

bool List(std::string_view directory, std::string_view pattern,
          const std::function<bool(const DirEntry&)>& visit) {
    const std::wstring search = win32::FilePath(JoinPattern(directory, pattern));
    WIN32_FIND_DATAW data;
    win32::FindHandle find(FindFirstFileExW(search.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                            nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        // Nothing matched (a drive's root has no "." entry): an empty listing, not a failure.
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        const std::wstring_view wideName(data.cFileName);
        if (wideName == L"." || wideName == L"..") {
            continue;
        }
        const std::string name = win32::Narrow(wideName);
        DirEntry entry;
        entry.name = name;
        entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.nameSurrogate = IsNameSurrogate(data.dwFileAttributes, data.dwReserved0);
        entry.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        entry.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        entry.size = entry.directory ? 0 : SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
        if (!visit(entry)) {
            break;
        }
    } while (FindNextFileW(find.Get(), &data));
    return true;
}

}  // namespace

bool Query(std::string_view path, EntryInfo& out) {
    if (path.empty()) {
        out = EntryInfo{};
        return true;
    }
    const std::wstring name = win32::FilePath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) {
        if (IsMissingError(GetLastError())) {
            out = EntryInfo{};
            return true;
        }
        return false;
    }
    EntryInfo info;
    info.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Directory : EntryKind::File;
    info.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    info.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    info.size = info.kind == EntryKind::File ? SizeOf(data.nFileSizeHigh, data.nFileSizeLow) : 0;
    info.lastWrite = FromFileTime(data.ftLastWriteTime);
    info.creation = FromFileTime(data.ftCreationTime);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // Only a listing reports the reparse tag.
        WIN32_FIND_DATAW find;
        win32::FindHandle handle(
            FindFirstFileExW(name.c_str(), FindExInfoBasic, &find, FindExSearchNameMatch, nullptr, 0));
        info.nameSurrogate = handle && IsNameSurrogate(find.dwFileAttributes, find.dwReserved0);
    }
    out = info;
    return true;
}

bool ListDirectory(std::string_view directory, const std::function<bool(const DirEntry&)>& visit) {
    return List(directory, "*.*", visit);
}

bool ListMatching(std::string_view directory, std::string_view pattern,
                  const std::function<bool(const DirEntry&)>& visit) {
    return List(directory, pattern.empty() ? std::string_view("*") : pattern, visit);
}

struct Reader::Impl {
    win32::FileHandle file;
};

Reader::Reader() = default;
Reader::~Reader() = default;
Reader::Reader(Reader&&) noexcept = default;
Reader& Reader::operator=(Reader&&) noexcept = default;

bool Reader::Open(std::string_view path, Reader& out) {
    const std::wstring name = win32::FilePath(path);
    win32::FileHandle file(CreateFileW(name.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    auto impl = std::make_unique<Impl>();
    impl->file = std::move(file);
    out.impl_ = std::move(impl);
    return true;
}

bool Reader::Size(uint64_t& out) const {
    LARGE_INTEGER size;
    if (!impl_ || !GetFileSizeEx(impl_->file.Get(), &size)) {
        return false;
    }
    out = static_cast<uint64_t>(size.QuadPart);
    return true;
}

int64_t Reader::Read(char* buffer, size_t capacity) {
    if (!impl_) {
        return -1;
    }
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(capacity, 1u << 30));
    DWORD read = 0;
    if (!ReadFile(impl_->file.Get(), buffer, chunk, &read, nullptr)) {
        return -1;
    }
    return read;
}

bool MakeDirectory(std::string_view path) {
    const std::wstring name = win32::FilePath(path);
    if (CreateDirectoryW(name.c_str(), nullptr)) {
        return true;
    }
    return GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(path);
}

bool WriteNewFile(std::string_view path, std::string_view bytes) {
    const std::wstring name = win32::FilePath(path);
    win32::FileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    size_t written = 0;
    bool ok = true;
    while (written < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
        DWORD count = 0;
        if (!WriteFile(file.Get(), bytes.data() + written, chunk, &count, nullptr) || count == 0) {
            ok = false;
            break;
        }
        written += count;
    }
    file.Reset();
    if (!ok) {
        DeleteFileW(name.c_str());
    }
    return ok;
}

bool RenameNoReplace(std::string_view from, std::string_view to) {
    const std::wstring source = win32::FilePath(from);
    const std::wstring target = win32::FilePath(to);
    return MoveFileExW(source.c_str(), target.c_str(), 0) != 0;
}

bool RemoveFile(std::string_view path) {
    const std::wstring name = win32::FilePath(path);
    return DeleteFileW(name.c_str()) != 0;
}

bool ShortPath(std::string_view path, std::string& out) {
    const std::wstring name = win32::FilePath(path);
    const DWORD needed = GetShortPathNameW(name.c_str(), nullptr, 0);
    if (needed == 0) {
        return false;
    }
    std::wstring shortName(needed, L'\0');
    const DWORD written = GetShortPathNameW(name.c_str(), shortName.data(), needed);
    if (written == 0 || written >= needed) {
        return false;
    }
    shortName.resize(written);
    // The long-path prefix FilePath may have added means nothing to the callers of a short path.
    if (shortName.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        shortName = L"\\\\" + shortName.substr(8);
    } else if (shortName.rfind(L"\\\\?\\", 0) == 0) {
        shortName = shortName.substr(4);
    }
    out = win32::Narrow(shortName);
    return true;
}

}  // namespace orv::fs
