// File-system access through the W functions. Every open shares reading, writing and deleting, so
// that watching a file never gets in the way of the program that writes it.
#include "platform/files.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "platform/file_errors.h"

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace orv::fs {
namespace {

using detail::ErrorClass;

// The neutral table of codes against the system's own.
static_assert(detail::winerror::kFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(detail::winerror::kPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(detail::winerror::kAccessDenied == ERROR_ACCESS_DENIED);
static_assert(detail::winerror::kInvalidDrive == ERROR_INVALID_DRIVE);
static_assert(detail::winerror::kNotReady == ERROR_NOT_READY);
static_assert(detail::winerror::kSharingViolation == ERROR_SHARING_VIOLATION);
static_assert(detail::winerror::kBadNetPath == ERROR_BAD_NETPATH);
static_assert(detail::winerror::kNetworkBusy == ERROR_NETWORK_BUSY);
static_assert(detail::winerror::kDevNotExist == ERROR_DEV_NOT_EXIST);
static_assert(detail::winerror::kBadNetResp == ERROR_BAD_NET_RESP);
static_assert(detail::winerror::kUnexpNetErr == ERROR_UNEXP_NET_ERR);
static_assert(detail::winerror::kNetNameDeleted == ERROR_NETNAME_DELETED);
static_assert(detail::winerror::kBadDevType == ERROR_BAD_DEV_TYPE);
static_assert(detail::winerror::kBadNetName == ERROR_BAD_NET_NAME);
static_assert(detail::winerror::kSharingPaused == ERROR_SHARING_PAUSED);
static_assert(detail::winerror::kReqNotAccep == ERROR_REQ_NOT_ACCEP);
static_assert(detail::winerror::kRedirPaused == ERROR_REDIR_PAUSED);
static_assert(detail::winerror::kSemTimeout == ERROR_SEM_TIMEOUT);
static_assert(detail::winerror::kInvalidName == ERROR_INVALID_NAME);
static_assert(detail::winerror::kBadPathname == ERROR_BAD_PATHNAME);
static_assert(detail::winerror::kFilenameExcedRange == ERROR_FILENAME_EXCED_RANGE);
static_assert(detail::winerror::kVcDisconnected == ERROR_VC_DISCONNECTED);
static_assert(detail::winerror::kDirectory == ERROR_DIRECTORY);
static_assert(detail::winerror::kNoMediaInDrive == ERROR_NO_MEDIA_IN_DRIVE);
static_assert(detail::winerror::kDeviceNotConnected == ERROR_DEVICE_NOT_CONNECTED);
static_assert(detail::winerror::kConnectionUnavail == ERROR_CONNECTION_UNAVAIL);
static_assert(detail::winerror::kNoNetOrBadPath == ERROR_NO_NET_OR_BAD_PATH);
static_assert(detail::winerror::kNoNetwork == ERROR_NO_NETWORK);
static_assert(detail::winerror::kConnectionRefused == ERROR_CONNECTION_REFUSED);
static_assert(detail::winerror::kNetworkUnreachable == ERROR_NETWORK_UNREACHABLE);
static_assert(detail::winerror::kHostUnreachable == ERROR_HOST_UNREACHABLE);
static_assert(detail::winerror::kProtocolUnreachable == ERROR_PROTOCOL_UNREACHABLE);
static_assert(detail::winerror::kPortUnreachable == ERROR_PORT_UNREACHABLE);
static_assert(detail::winerror::kConnectionAborted == ERROR_CONNECTION_ABORTED);
static_assert(detail::winerror::kHostDown == ERROR_HOST_DOWN);
static_assert(detail::winerror::kTimeout == ERROR_TIMEOUT);
static_assert(detail::winerror::kDeviceRemoved == ERROR_DEVICE_REMOVED);
static_assert(detail::winerror::kNotConnected == ERROR_NOT_CONNECTED);
static_assert(detail::winerror::kNetworkNotAvailable == ERROR_NETWORK_NOT_AVAILABLE);

// GetFileAttributesExW, or the fault a test injected; `error` is set on false.
bool AttributesOf(std::string_view path, const std::wstring& name, WIN32_FILE_ATTRIBUTE_DATA& data,
                  DWORD& error) {
    if (const std::optional<uint32_t> fault = detail::InjectedFault(SystemCall::Attributes, path)) {
        error = *fault;
        return false;
    }
    if (GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) {
        return true;
    }
    error = GetLastError();
    return false;
}

// FindFirstFileExW, or the fault a test injected; `error` is set when no handle comes back.
win32::FindHandle FindFirst(std::string_view path, const std::wstring& search, WIN32_FIND_DATAW& data,
                            DWORD flags, DWORD& error) {
    if (const std::optional<uint32_t> fault = detail::InjectedFault(SystemCall::Listing, path)) {
        error = *fault;
        return win32::FindHandle();
    }
    win32::FindHandle find(
        FindFirstFileExW(search.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, flags));
    if (!find) {
        error = GetLastError();
    }
    return find;
}

// The root of the network volume a path lies on ("\\server\share\" or a mapped drive's "Z:\"); empty
// when the path is on a local volume.
std::string NetworkRoot(std::string_view path) {
    std::string root = detail::ShareRoot(path);
    if (root.empty() && path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        const wchar_t drive[] = {static_cast<wchar_t>(path[0]), L':', L'\\', L'\0'};
        if (GetDriveTypeW(drive) == DRIVE_REMOTE) {
            root = std::string(path.substr(0, 2)) + '\\';
        }
    }
    return root;
}

// Whether a "not found" about `path` can be believed. On a local volume it can: the system looked. A
// share whose server has gone may say "path not found" too (Wine does so for any share it lists), so
// for a network path the share's root must answer first; a root that refuses access has answered.
bool VolumeAnswers(std::string_view path) {
    const std::string root = NetworkRoot(path);
    if (root.empty()) {
        return true;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    DWORD error = 0;
    return AttributesOf(root, win32::FilePath(root), data, error) ||
           detail::ClassifyWindowsError(error) == ErrorClass::Failed;
}

// How a failed look-up at `path` counts once the share's root has been asked where that matters.
ErrorClass Classify(std::string_view path, DWORD error) {
    const ErrorClass kind = detail::ClassifyWindowsError(error);
    if (kind == ErrorClass::Absent && !VolumeAnswers(path)) {
        return ErrorClass::Unreachable;
    }
    return kind;
}

Answer AnswerFor(ErrorClass kind) {
    return kind == ErrorClass::Unreachable ? Answer::Unreachable : Answer::Failed;
}

FileTime FromFileTime(const FILETIME& t) {
    return FileTime{static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime)};
}

uint64_t SizeOf(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

// The attributes, size and times that GetFileAttributesExW and a listing both report, under the same names.
template <typename Data>
EntryInfo InfoFrom(const Data& data) {
    EntryInfo info;
    info.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Directory : EntryKind::File;
    info.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    info.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    info.size = info.kind == EntryKind::File ? SizeOf(data.nFileSizeHigh, data.nFileSizeLow) : 0;
    info.lastWrite = FromFileTime(data.ftLastWriteTime);
    info.creation = FromFileTime(data.ftCreationTime);
    return info;
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

// The UTF-8 form of a listed name in `out`. Most names are ASCII: they are copied as they are, without
// the conversion's work per character, which a walk of a large tree would notice.
void NameOf(std::wstring_view wideName, std::string& out) {
    out.resize(wideName.size());
    for (size_t i = 0; i < wideName.size(); ++i) {
        if (wideName[i] >= 0x80) {
            out = win32::Narrow(wideName);
            return;
        }
        out[i] = static_cast<char>(wideName[i]);
    }
}

// One listing under way: where the entries go, and what it reuses from entry to entry.
struct Listing {
    Listing(std::string_view folder, const std::function<bool(const DirEntry&)>& to)
        : directory(folder), visit(to) {}

    std::string_view directory;
    const std::function<bool(const DirEntry&)>& visit;
    std::string name;  // the entry's name in UTF-8, its room kept for the next one
    // Faults are asked about once per listing: a test injects them before it lists.
    bool faults = detail::FaultsInjected();
};

// Hands one listed entry on; false when `visit` wants no more.
bool Hand(Listing& listing, std::wstring_view wideName, DWORD attributes, DWORD reparseTag, uint64_t size) {
    std::string& name = listing.name;
    NameOf(wideName, name);
    DirEntry entry;
    entry.name = name;
    entry.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.nameSurrogate = IsNameSurrogate(attributes, reparseTag);
    entry.hidden = (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.system = (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    entry.size = entry.directory ? 0 : size;
    return listing.visit(entry);
}

bool IsDotName(std::wstring_view name) {
    return !name.empty() && name.size() <= 2 && name[0] == L'.' && name.back() == L'.';
}

// The step to the next entry failed for a test: `error` is set.
bool InjectedBreak(const Listing& listing, DWORD& error) {
    if (!listing.faults) {
        return false;
    }
    if (const std::optional<uint32_t> fault =
            detail::InjectedFault(SystemCall::ListingNext, listing.directory)) {
        error = *fault;
        return true;
    }
    return false;
}

// A listing that broke off with `error` after it had begun: whatever the error, the listing is not
// complete, so "not found" (the folder removed meanwhile, or a share that says so as it goes) counts
// as a failure here.
Answer BrokenOff(std::string_view directory, DWORD error) {
    return AnswerFor(Classify(directory, error));
}

// FindFirstFileExW and FindNextFileW: matches a pattern, and lists where the system's own directory
// query is not to be had.
Answer ListBySearch(std::string_view directory, std::string_view pattern,
                    const std::function<bool(const DirEntry&)>& visit) {
    const std::wstring search = win32::FilePath(JoinPattern(directory, pattern));
    WIN32_FIND_DATAW data;
    DWORD error = 0;
    win32::FindHandle find = FindFirst(directory, search, data, FIND_FIRST_EX_LARGE_FETCH, error);
    if (!find) {
        const ErrorClass kind = Classify(directory, error);
        // Nothing matched (a drive's root has no "." entry): an empty listing, not a failure.
        if (kind == ErrorClass::Absent && error == ERROR_FILE_NOT_FOUND) {
            return Answer::Known;
        }
        return AnswerFor(kind);
    }
    Listing listing(directory, visit);
    do {
        const std::wstring_view name(data.cFileName);
        if (IsDotName(name)) {
            continue;
        }
        if (!Hand(listing, name, data.dwFileAttributes, data.dwReserved0,
                  SizeOf(data.nFileSizeHigh, data.nFileSizeLow))) {
            return Answer::Known;
        }
        if (InjectedBreak(listing, error)) {
            return BrokenOff(directory, error);
        }
    } while (FindNextFileW(find.Get(), &data));
    error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? Answer::Known : BrokenOff(directory, error);
}

// The system's own directory query (ntdll, loaded in every process): one handle on the folder and a
// large buffer of entries per call, where a search fetches a few at a time. The layout of
// FILE_FULL_DIR_INFORMATION, whose EaSize holds a reparse point's tag.
struct FullDirectoryEntry {
    ULONG NextEntryOffset;
    ULONG FileIndex;
    LARGE_INTEGER CreationTime;
    LARGE_INTEGER LastAccessTime;
    LARGE_INTEGER LastWriteTime;
    LARGE_INTEGER ChangeTime;
    LARGE_INTEGER EndOfFile;
    LARGE_INTEGER AllocationSize;
    ULONG FileAttributes;
    ULONG FileNameLength;  // in bytes
    ULONG EaSize;
    WCHAR FileName[1];
};

using QueryDirectoryFunction = LONG(NTAPI*)(HANDLE file, HANDLE event, PVOID apcRoutine, PVOID apcContext,
                                            IO_STATUS_BLOCK* ioStatus, PVOID buffer, ULONG length,
                                            int informationClass, BOOLEAN singleEntry, PVOID fileName,
                                            BOOLEAN restartScan);
using OpenFileFunction = LONG(NTAPI*)(HANDLE* file, ACCESS_MASK access, OBJECT_ATTRIBUTES* attributes,
                                      IO_STATUS_BLOCK* ioStatus, ULONG share, ULONG options);
using StatusToErrorFunction = ULONG(NTAPI*)(LONG status);

constexpr int kFileFullDirectoryInformation = 2;
constexpr LONG kStatusNoMoreFiles = static_cast<LONG>(0x80000006);
constexpr LONG kStatusNoSuchFile = static_cast<LONG>(0xC000000F);
// At least 64 KiB: a few hundred entries per call.
constexpr size_t kQueryBufferSize = 64 * 1024;

// NtOpenFile's options: a folder, for synchronous use, with the backup intent that CreateFileW's
// FILE_FLAG_BACKUP_SEMANTICS gives the top folder's open.
constexpr ULONG kOpenFolderOptions = 0x00000001 | 0x00000020 | 0x00004000;

struct DirectoryQuery {
    QueryDirectoryFunction query = nullptr;
    StatusToErrorFunction toError = nullptr;
    OpenFileFunction open = nullptr;  // optional: opens a sub-folder relative to its parent
};

std::atomic<bool> searchOnly{false};

// An export of a loaded module as the function type it has (through void(*)(), the type that stands
// for any function).
template <class Type>
Type Function(HMODULE module, const char* name) {
    return reinterpret_cast<Type>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const DirectoryQuery& TheDirectoryQuery() {
    static const DirectoryQuery functions = [] {
        DirectoryQuery found;
        if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
            found.query = Function<QueryDirectoryFunction>(ntdll, "NtQueryDirectoryFile");
            found.toError = Function<StatusToErrorFunction>(ntdll, "RtlNtStatusToDosError");
            found.open = Function<OpenFileFunction>(ntdll, "NtOpenFile");
        }
        if (!found.query || !found.toError) {
            found = DirectoryQuery{};
        }
        return found;
    }();
    return functions;
}

// Hands on the entries of one filled buffer; false when `visit` wants no more or a test broke the
// listing off (then `error` is set).
bool HandBatch(Listing& listing, const char* buffer, bool& wanted, DWORD& error) {
    for (size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const FullDirectoryEntry*>(buffer + offset);
        const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(WCHAR));
        if (!IsDotName(name)) {
            const DWORD tag = (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? entry->EaSize : 0;
            if (!Hand(listing, name, entry->FileAttributes, tag,
                      static_cast<uint64_t>(entry->EndOfFile.QuadPart))) {
                wanted = false;
                return false;
            }
            if (InjectedBreak(listing, error)) {
                return false;
            }
        }
        if (entry->NextEntryOffset == 0) {
            return true;
        }
        offset += entry->NextEntryOffset;
    }
}

// Room for one call's entries: 8-byte entries on an 8-byte boundary.
struct QueryBuffer {
    std::unique_ptr<uint64_t[]> memory{new uint64_t[kQueryBufferSize / sizeof(uint64_t)]};
    char* Get() const { return reinterpret_cast<char*>(memory.get()); }
};

// Lists the folder open in `folder` (the path `directory`, for the faults and the error classes).
Answer QueryFolder(const DirectoryQuery& system, std::string_view directory, HANDLE folder, char* buffer,
                   const std::function<bool(const DirEntry&)>& visit) {
    DWORD error = 0;
    Listing listing(directory, visit);
    for (bool first = true;; first = false) {
        IO_STATUS_BLOCK status{};
        const LONG result = system.query(folder, nullptr, nullptr, nullptr, &status, buffer,
                                         static_cast<ULONG>(kQueryBufferSize), kFileFullDirectoryInformation,
                                         FALSE, nullptr, first);
        if (result == kStatusNoMoreFiles || (first && result == kStatusNoSuchFile)) {
            return Answer::Known;
        }
        if (result < 0) {
            // Any other failure, also on the first call (a file is no folder to list), ends it unfinished.
            return BrokenOff(directory, system.toError(result));
        }
        if (status.Information == 0) {
            return Answer::Known;
        }
        bool wanted = true;
        if (!HandBatch(listing, buffer, wanted, error)) {
            return wanted ? BrokenOff(directory, error) : Answer::Known;
        }
    }
}

// Opens a folder to list by its path; `error` is set when no handle comes back.
win32::FileHandle OpenFolder(std::string_view directory, DWORD& error) {
    const std::wstring name = win32::FilePath(directory);
    win32::FileHandle folder(CreateFileW(name.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder) {
        error = GetLastError();
    }
    return folder;
}

// Opens the sub-folder `name` of the open folder `parent`: the system looks up one name instead of a
// whole path, and a path too long for the classic limits needs no special form.
win32::FileHandle OpenSubFolder(const DirectoryQuery& system, HANDLE parent, std::wstring_view name,
                                DWORD& error) {
    const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    UNICODE_STRING unicodeName{bytes, bytes, const_cast<wchar_t*>(name.data())};
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof(attributes);
    attributes.RootDirectory = parent;
    attributes.ObjectName = &unicodeName;
    attributes.Attributes = OBJ_CASE_INSENSITIVE;
    IO_STATUS_BLOCK status{};
    HANDLE folder = nullptr;
    const LONG result =
        system.open(&folder, FILE_LIST_DIRECTORY | SYNCHRONIZE, &attributes, &status,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, kOpenFolderOptions);
    if (result < 0) {
        error = system.toError(result);
        return win32::FileHandle();
    }
    return win32::FileHandle(folder);
}

Answer ListByQuery(const DirectoryQuery& system, std::string_view directory,
                   const std::function<bool(const DirEntry&)>& visit) {
    if (const std::optional<uint32_t> fault = detail::InjectedFault(SystemCall::Listing, directory)) {
        return AnswerFor(Classify(directory, *fault));
    }
    DWORD error = 0;
    const win32::FileHandle folder = OpenFolder(directory, error);
    if (!folder) {
        // "File not found" here is the folder itself: unlike a search, no empty listing.
        return AnswerFor(Classify(directory, error));
    }
    const QueryBuffer buffer;
    return QueryFolder(system, directory, folder.Get(), buffer.Get(), visit);
}

Answer List(std::string_view directory, std::string_view pattern,
            const std::function<bool(const DirEntry&)>& visit) {
    const DirectoryQuery& system = TheDirectoryQuery();
    if (pattern == "*.*" && system.query && !searchOnly.load(std::memory_order_relaxed)) {
        return ListByQuery(system, directory, visit);
    }
    return ListBySearch(directory, pattern, visit);
}

// The entry as its directory's listing shows it: FindFirstFileW on the exact path, without the
// separators a folder's path may end in. A name with wildcards would list other entries, and a drive
// or a root has no entry to find.
Answer FromListing(std::string_view path, std::wstring name, EntryInfo& out) {
    while (!name.empty() && name.back() == L'\\') {
        name.pop_back();
    }
    const size_t separator = name.find_last_of(L'\\');
    const std::wstring_view entry =
        std::wstring_view(name).substr(separator == std::wstring::npos ? 0 : separator + 1);
    if (entry.empty() || entry.back() == L':' || entry.find_first_of(L"*?") != std::wstring_view::npos) {
        return Answer::Failed;
    }
    WIN32_FIND_DATAW data;
    DWORD error = 0;
    win32::FindHandle find = FindFirst(path, name, data, 0, error);
    if (!find) {
        return detail::ClassifyWindowsError(error) == ErrorClass::Unreachable ? Answer::Unreachable
                                                                              : Answer::Failed;
    }
    EntryInfo info = InfoFrom(data);
    info.nameSurrogate = IsNameSurrogate(data.dwFileAttributes, data.dwReserved0);
    out = info;
    return Answer::Known;
}

}  // namespace

namespace detail {
void ListBySearchOnly(bool searchOnlyFromNowOn) {
    searchOnly.store(searchOnlyFromNowOn, std::memory_order_relaxed);
}
}  // namespace detail

Answer Examine(std::string_view path, EntryInfo& out) {
    if (path.empty()) {
        out = EntryInfo{};
        return Answer::Known;
    }
    const std::wstring name = win32::FilePath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    DWORD error = 0;
    if (!AttributesOf(path, name, data, error)) {
        switch (Classify(path, error)) {
            case ErrorClass::Absent:
                out = EntryInfo{};
                return Answer::Known;
            case ErrorClass::Unreachable:
                return Answer::Unreachable;
            case ErrorClass::Failed:
                break;
        }
        // Some entries exist but refuse their attributes (pagefile.sys, a file in a folder that may be
        // listed but not entered); their directory's listing still shows them.
        return FromListing(path, name, out);
    }
    EntryInfo info = InfoFrom(data);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // Only a listing reports the reparse tag.
        WIN32_FIND_DATAW find;
        DWORD findError = 0;
        win32::FindHandle handle = FindFirst(path, name, find, 0, findError);
        info.nameSurrogate = handle && IsNameSurrogate(find.dwFileAttributes, find.dwReserved0);
    }
    out = info;
    return Answer::Known;
}

Answer ListEntries(std::string_view directory, const std::function<bool(const DirEntry&)>& visit) {
    return List(directory, "*.*", visit);
}

// The folders along the walk's path, the deepest last, each with its path without a final separator.
// The first `depth` of `open` are held; those past it are closed, their room for a path kept for the
// next folders, as the buffers are: a walk allocates little after its first folders.
struct TreeLister::Impl {
    struct Held {
        std::string path;
        win32::FileHandle folder;
    };
    std::vector<Held> open;
    size_t depth = 0;
    std::wstring name;   // the sub-folder's name as the system takes it
    QueryBuffer buffer;  // one for the whole walk
};

TreeLister::TreeLister() : impl_(std::make_unique<Impl>()) {}
TreeLister::~TreeLister() = default;

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string_view WithoutFinalSeparators(std::string_view path) {
    while (path.size() > 1 && IsSeparator(path.back())) {
        path.remove_suffix(1);
    }
    return path;
}

bool IsInside(std::string_view path, std::string_view parent) {
    return path.size() > parent.size() + 1 && path.substr(0, parent.size()) == parent &&
           IsSeparator(path[parent.size()]);
}

// The name of `path` within `parent` when `path` lies directly in it; empty otherwise.
std::string_view NameWithin(std::string_view path, std::string_view parent) {
    if (!IsInside(path, parent)) {
        return {};
    }
    const std::string_view name = path.substr(parent.size() + 1);
    return std::any_of(name.begin(), name.end(), IsSeparator) ? std::string_view() : name;
}

// The UTF-16 form of a name in `out`; ASCII is copied as it is, as listed names are (see NameOf).
void WideNameOf(std::string_view name, std::wstring& out) {
    out.resize(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        if (static_cast<unsigned char>(name[i]) >= 0x80) {
            out = win32::Wide(name);
            return;
        }
        out[i] = static_cast<wchar_t>(name[i]);
    }
}

}  // namespace

Answer TreeLister::List(std::string_view directory, const std::function<bool(const DirEntry&)>& visit) {
    const DirectoryQuery& system = TheDirectoryQuery();
    if (!system.query || !system.open || searchOnly.load(std::memory_order_relaxed)) {
        return ListEntries(directory, visit);
    }
    if (const std::optional<uint32_t> fault = detail::InjectedFault(SystemCall::Listing, directory)) {
        return AnswerFor(Classify(directory, *fault));
    }
    const std::string_view path = WithoutFinalSeparators(directory);
    // Depth first: a held folder that is not above this one has been walked.
    Impl& walk = *impl_;
    while (walk.depth > 0 && !IsInside(path, walk.open[walk.depth - 1].path)) {
        walk.open[--walk.depth].folder.Reset();
    }
    Impl::Held* parent = walk.depth > 0 ? &walk.open[walk.depth - 1] : nullptr;
    const std::string_view name = parent ? NameWithin(path, parent->path) : std::string_view();
    DWORD error = 0;
    win32::FileHandle folder;
    if (name.empty()) {
        folder = OpenFolder(directory, error);
    } else {
        WideNameOf(name, walk.name);
        folder = OpenSubFolder(system, parent->folder.Get(), walk.name, error);
    }
    if (!folder) {
        return AnswerFor(Classify(directory, error));
    }
    const Answer answer = QueryFolder(system, directory, folder.Get(), walk.buffer.Get(), visit);
    if (answer == Answer::Known) {
        if (walk.depth == walk.open.size()) {
            walk.open.emplace_back();
        }
        Impl::Held& held = walk.open[walk.depth++];
        held.path.assign(path);
        held.folder = std::move(folder);
    }
    return answer;
}

bool ListMatching(std::string_view directory, std::string_view pattern,
                  const std::function<bool(const DirEntry&)>& visit) {
    return List(directory, pattern.empty() ? std::string_view("*") : pattern, visit) == Answer::Known;
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
    // Read from start to end once: the system reads ahead further and keeps fewer of the pages read.
    win32::FileHandle file(CreateFileW(name.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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

int64_t Reader::ReadAt(uint64_t offset, char* buffer, size_t capacity) {
    if (!impl_) {
        return -1;
    }
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(capacity, 1u << 30));
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    // On a handle opened for ordinary reads the call returns when the bytes are there.
    if (!ReadFile(impl_->file.Get(), buffer, chunk, &read, &at)) {
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;  // at or past the end
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
