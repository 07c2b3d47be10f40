// File-system access the checks, the log and the macro list need. Paths are UTF-8; on Windows they may
// be longer than MAX_PATH. Nothing here opens a file without full sharing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orv::fs {

// UTC time in 100-nanosecond ticks since 1 January 1601 (the Windows FILETIME scale on every platform).
struct FileTime {
    int64_t ticks = 0;
    friend bool operator==(FileTime, FileTime) = default;
};

enum class EntryKind { Missing, File, Directory };

struct EntryInfo {
    EntryKind kind = EntryKind::Missing;
    bool hidden = false;
    bool system = false;
    // A junction, symbolic link or mount point (a link to another place), as opposed to a cloud
    // placeholder or other reparse point that holds its own data.
    bool nameSurrogate = false;
    uint64_t size = 0;  // 0 for directories
    FileTime lastWrite;
    FileTime creation;
};

// What a look at the file system came to. "Not there" and "no answer" are kept apart: a file on a
// share that drops for a minute has not disappeared.
enum class Answer {
    Known,        // the system answered: the result says what is there (EntryKind::Missing for nothing)
    Unreachable,  // the volume or its server did not answer: nobody can say what is there right now
    Failed,       // something is there but cannot be examined
};

// The attributes of one entry (GetFileAttributesExW / lstat+stat). An entry that exists but may not be
// queried (access denied, a sharing violation) is read from its directory's listing instead; Failed
// only when that fails too. `out` is untouched unless the answer is Known.
Answer Examine(std::string_view path, EntryInfo& out);

// Examine with both kinds of failure as false.
bool Query(std::string_view path, EntryInfo& out);

// Convenience forms of Query.
bool IsFile(std::string_view path);
bool IsDirectory(std::string_view path);

struct DirEntry {
    std::string_view name;  // bare name; "." and ".." are never reported
    bool directory = false;
    bool nameSurrogate = false;
    bool hidden = false;
    bool system = false;
    uint64_t size = 0;  // from the listing itself; 0 for directories
};

// Lists every entry of `directory` (hidden and system ones too), sizes taken from the listing only.
// `visit` returns false to stop early. Known when the directory was listed to its end; Unreachable when
// its volume or server did not answer; Failed when it cannot be listed (vanished, access denied). A
// listing that breaks off part-way is not complete: it ends Unreachable or Failed by the same rules,
// after `visit` has seen the entries that came before the break.
Answer ListEntries(std::string_view directory, const std::function<bool(const DirEntry&)>& visit);

// The listings of one walk through a tree, depth first, each folder listed after its parent. Answers
// as ListEntries does. On Windows it keeps the folders along the walk's path open, so that each
// sub-folder is opened by its name within its parent, which is quicker than by its whole path; they
// are closed as the walk leaves them, and all of them at the end of the walk.
class TreeLister {
  public:
    TreeLister();
    ~TreeLister();
    TreeLister(const TreeLister&) = delete;
    TreeLister& operator=(const TreeLister&) = delete;

    Answer List(std::string_view directory, const std::function<bool(const DirEntry&)>& visit);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// ListEntries with both kinds of failure as false.
bool ListDirectory(std::string_view directory, const std::function<bool(const DirEntry&)>& visit);

// Lists `directory` entries that match a wildcard pattern such as "*.bat" (Windows matching rules;
// the POSIX build matches case-insensitively on '*' and '?').
bool ListMatching(std::string_view directory, std::string_view pattern,
                  const std::function<bool(const DirEntry&)>& visit);

// A file opened read-only with full sharing (read, write, delete), read in chunks.
class Reader {
  public:
    Reader();
    ~Reader();
    Reader(Reader&&) noexcept;
    Reader& operator=(Reader&&) noexcept;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // False (and `out` untouched) when the file cannot be opened.
    static bool Open(std::string_view path, Reader& out);
    // Size of the open file; false when it cannot be taken.
    bool Size(uint64_t& out) const;
    // Reads up to `capacity` bytes from `offset`: 0 at or past the end of the file, -1 on an error.
    // Two threads may read one file this way at once.
    int64_t ReadAt(uint64_t offset, char* buffer, size_t capacity);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Creates one directory (its parent must exist). True when the directory exists afterwards.
bool MakeDirectory(std::string_view path);
// Creates a file that must not exist yet and writes `bytes` to it. False when the file exists or
// cannot be written (a partial file is removed).
bool WriteNewFile(std::string_view path, std::string_view bytes);
// Renames `from` to `to`; fails when `to` exists (never replaces).
bool RenameNoReplace(std::string_view from, std::string_view to);
bool RemoveFile(std::string_view path);

// The short (8.3) form of an existing entry's path, as the file system keeps it. False when the entry
// does not exist or the system keeps no short names (always on POSIX); `out` is untouched then.
bool ShortPath(std::string_view path, std::string& out);

// For tests: makes the system calls on chosen paths fail with a chosen Windows error code, as if the
// system had returned it, so that codes no test machine can produce on demand (a share that drops, a
// device that is not ready) go through the same handling as real ones. The POSIX build sorts injected
// codes as the Windows build does. `Attributes` is the look at one entry, `Listing` a directory's
// listing or the look-up of one entry in its directory's listing, `ListingNext` the step from one entry
// of a listing to the next (asked after each entry handed on, so a test can break a listing off after
// N entries). An empty injector ends the faults.
enum class SystemCall { Attributes, Listing, ListingNext };
using FaultInjector = std::function<std::optional<uint32_t>(SystemCall call, std::string_view path)>;
void InjectFaults(FaultInjector injector);

// The separator of the platform: '\\' on Windows, '/' elsewhere. Windows takes '/' as a separator too.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
inline constexpr std::string_view kSeparators = "\\/";
#else
inline constexpr char kSeparator = '/';
inline constexpr std::string_view kSeparators = "/";
#endif

}  // namespace orv::fs
