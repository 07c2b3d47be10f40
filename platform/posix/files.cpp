// File-system access on POSIX systems. Hidden entries are the dot-names; there are no system entries.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file_errors.h"
#include "platform/files.h"

namespace orv::fs {
namespace {

// Seconds between 1 January 1601 and 1 January 1970.
constexpr int64_t kEpochDifference = 11644473600LL;
constexpr int64_t kTicksPerSecond = 10000000LL;

FileTime FromTimestamp(const struct statx_timestamp& t) {
    return FileTime{(static_cast<int64_t>(t.tv_sec) + kEpochDifference) * kTicksPerSecond + t.tv_nsec / 100};
}

using detail::ErrorClass;

// The POSIX counterpart of the Windows table (file_errors.h): a name that is not there, or cannot be,
// is absent; what speaks of the network, a stale handle of a network file system, a missing medium or a
// failing device is no answer; the rest (no permission and the like) is a failure.
ErrorClass ClassifyError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ENAMETOOLONG:
            return ErrorClass::Absent;
        case ETIMEDOUT:
        case EHOSTDOWN:
        case EHOSTUNREACH:
        case ENETDOWN:
        case ENETUNREACH:
        case ENETRESET:
        case ECONNABORTED:
        case ECONNREFUSED:
        case ECONNRESET:
        case ENOTCONN:
        case ESTALE:
        case EREMOTEIO:
        case ENOLINK:
        case ECOMM:
        case ENOMEDIUM:
        case ENODEV:
        case ENXIO:
        case EIO:
            return ErrorClass::Unreachable;
        default:
            return ErrorClass::Failed;
    }
}

Answer AnswerFor(ErrorClass kind) {
    return kind == ErrorClass::Unreachable ? Answer::Unreachable : Answer::Failed;
}

// The class of a fault a test injected for this call, if any.
std::optional<ErrorClass> InjectedClass(SystemCall call, std::string_view path) {
    if (const std::optional<uint32_t> fault = detail::InjectedFault(call, path)) {
        return detail::ClassifyWindowsError(*fault);
    }
    return std::nullopt;
}

bool IsHiddenName(std::string_view name) {
    return !name.empty() && name[0] == '.';
}

std::string_view BaseName(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Windows wildcard matching without regard to case: '*' any run, '?' one character. "*.*" and a
// trailing ".*" also match names without a dot, as they do on Windows.
bool Matches(std::string_view pattern, std::string_view name) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    size_t p = 0;
    size_t n = 0;
    size_t starP = std::string_view::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    if (p == pattern.size()) {
        return true;
    }
    // Windows lets "name.*" match "name".
    return pattern.substr(p) == ".*";
}

// The entries of an open directory, to the end of the listing or until `visit` wants no more. An error
// of readdir (or a test's injected one) between entries breaks the listing off: it is not complete,
// whatever the error said (even "not found" is a failure then).
Answer ReadEntries(DIR* dir, std::string_view directory, std::string_view pattern,
                   const std::function<bool(const DirEntry&)>& visit) {
    const int dirFd = dirfd(dir);
    for (;;) {
        errno = 0;
        const struct dirent* entry = readdir(dir);
        if (entry == nullptr) {
            return errno == 0 ? Answer::Known : AnswerFor(ClassifyError(errno));
        }
        const std::string_view name(entry->d_name);
        if (name == "." || name == ".." || (!pattern.empty() && !Matches(pattern, name))) {
            continue;
        }
        struct stat info;
        if (fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (ClassifyError(errno) == ErrorClass::Unreachable) {
                return Answer::Unreachable;
            }
            continue;  // vanished since readdir
        }
        DirEntry item;
        item.name = name;
        item.hidden = IsHiddenName(name);
        if (S_ISLNK(info.st_mode)) {
            // Like a Windows symbolic link: marked as a directory when it leads to one, no size.
            struct stat target;
            item.nameSurrogate = true;
            item.directory = fstatat(dirFd, entry->d_name, &target, 0) == 0 && S_ISDIR(target.st_mode);
        } else if (S_ISDIR(info.st_mode)) {
            item.directory = true;
        } else {
            item.size = static_cast<uint64_t>(info.st_size);
        }
        if (!visit(item)) {
            return Answer::Known;
        }
        if (const std::optional<ErrorClass> injected = InjectedClass(SystemCall::ListingNext, directory)) {
            return AnswerFor(*injected);
        }
    }
}

Answer List(std::string_view directory, std::string_view pattern,
            const std::function<bool(const DirEntry&)>& visit) {
    if (const std::optional<ErrorClass> injected = InjectedClass(SystemCall::Listing, directory)) {
        return AnswerFor(*injected);
    }
    const std::string path(directory.empty() ? std::string_view(".") : directory);
    DIR* dir = opendir(path.c_str());
    if (!dir) {
        return AnswerFor(ClassifyError(errno));
    }
    const Answer answer = ReadEntries(dir, directory, pattern, visit);
    closedir(dir);
    return answer;
}

}  // namespace

Answer Examine(std::string_view path, EntryInfo& out) {
    if (path.empty()) {
        out = EntryInfo{};
        return Answer::Known;
    }
    // No listing to fall back on here: without the right to enter the folder, its listing has names
    // but no sizes or times.
    const auto failed = [&out](ErrorClass kind) {
        if (kind == ErrorClass::Absent) {
            out = EntryInfo{};
            return Answer::Known;
        }
        return AnswerFor(kind);
    };
    if (const std::optional<ErrorClass> injected = InjectedClass(SystemCall::Attributes, path)) {
        return failed(*injected);
    }
    const std::string name(path);
    struct statx link;
    if (statx(AT_FDCWD, name.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &link) != 0) {
        return failed(ClassifyError(errno));
    }
    struct statx target = link;
    const bool isLink = S_ISLNK(link.stx_mode);
    // A dangling link names nothing.
    if (isLink && statx(AT_FDCWD, name.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &target) != 0) {
        return failed(ClassifyError(errno));
    }
    EntryInfo info;
    info.kind = S_ISDIR(target.stx_mode) ? EntryKind::Directory : EntryKind::File;
    info.nameSurrogate = isLink;
    info.hidden = IsHiddenName(BaseName(path));
    info.size = info.kind == EntryKind::File ? target.stx_size : 0;
    info.lastWrite = FromTimestamp(target.stx_mtime);
    // Not every file system records a birth time; the status-change time is the nearest stand-in.
    info.creation = FromTimestamp((target.stx_mask & STATX_BTIME) ? target.stx_btime : target.stx_ctime);
    out = info;
    return Answer::Known;
}

Answer ListEntries(std::string_view directory, const std::function<bool(const DirEntry&)>& visit) {
    return List(directory, {}, visit);
}

// Nothing to keep between the listings here.
struct TreeLister::Impl {};

TreeLister::TreeLister() = default;
TreeLister::~TreeLister() = default;

Answer TreeLister::List(std::string_view directory, const std::function<bool(const DirEntry&)>& visit) {
    return ListEntries(directory, visit);
}

bool ListMatching(std::string_view directory, std::string_view pattern,
                  const std::function<bool(const DirEntry&)>& visit) {
    return List(directory, pattern.empty() ? std::string_view("*") : pattern, visit) == Answer::Known;
}

struct Reader::Impl {
    int fd = -1;
    ~Impl() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

Reader::Reader() = default;
Reader::~Reader() = default;
Reader::Reader(Reader&&) noexcept = default;
Reader& Reader::operator=(Reader&&) noexcept = default;

bool Reader::Open(std::string_view path, Reader& out) {
    auto impl = std::make_unique<Impl>();
    impl->fd = open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (impl->fd < 0) {
        return false;
    }
    struct stat info;
    // A directory opens on POSIX but is no file to read, as on Windows.
    if (fstat(impl->fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        return false;
    }
    // Read from start to end once: the system may read further ahead.
    posix_fadvise(impl->fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    out.impl_ = std::move(impl);
    return true;
}

bool Reader::Size(uint64_t& out) const {
    struct stat info;
    if (!impl_ || fstat(impl_->fd, &info) != 0) {
        return false;
    }
    out = static_cast<uint64_t>(info.st_size);
    return true;
}

int64_t Reader::ReadAt(uint64_t offset, char* buffer, size_t capacity) {
    if (!impl_) {
        return -1;
    }
    for (;;) {
        const ssize_t count = pread(impl_->fd, buffer, capacity, static_cast<off_t>(offset));
        if (count >= 0) {
            return count;
        }
        if (errno != EINTR) {
            return -1;
        }
    }
}

bool MakeDirectory(std::string_view path) {
    const std::string name(path);
    if (mkdir(name.c_str(), 0777) == 0) {
        return true;
    }
    return errno == EEXIST && IsDirectory(path);
}

bool WriteNewFile(std::string_view path, std::string_view bytes) {
    const std::string name(path);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    size_t written = 0;
    bool ok = true;
    while (written < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            ok = false;
            break;
        }
        written += static_cast<size_t>(count);
    }
    if (close(fd) != 0) {
        ok = false;
    }
    if (!ok) {
        unlink(name.c_str());
    }
    return ok;
}

bool RenameNoReplace(std::string_view from, std::string_view to) {
    const std::string source(from);
    const std::string target(to);
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // File systems without RENAME_NOREPLACE: a hard link fails when the target exists.
    if (link(source.c_str(), target.c_str()) != 0) {
        return false;
    }
    unlink(source.c_str());
    return true;
}

bool RemoveFile(std::string_view path) {
    return unlink(std::string(path).c_str()) == 0;
}

bool ShortPath(std::string_view, std::string&) {
    return false;
}

}  // namespace orv::fs
