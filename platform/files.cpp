// The parts of file-system access that are the same on every system.
#include "platform/files.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/file_errors.h"

namespace orv::fs {

bool Query(std::string_view path, EntryInfo& out) {
    return Examine(path, out) == Answer::Known;
}

bool ListDirectory(std::string_view directory, const std::function<bool(const DirEntry&)>& visit) {
    return ListEntries(directory, visit) == Answer::Known;
}

bool IsFile(std::string_view path) {
    EntryInfo info;
    return Query(path, info) && info.kind == EntryKind::File;
}

bool IsDirectory(std::string_view path) {
    EntryInfo info;
    return Query(path, info) && info.kind == EntryKind::Directory;
}

namespace {

struct Faults {
    std::atomic<bool> active{false};  // spares the program the lock on every call
    std::mutex mutex;
    std::shared_ptr<const FaultInjector> injector;
};

// Never destroyed: a measurement thread still running at exit may look at it.
Faults& TheFaults() {
    static Faults* faults = new Faults;
    return *faults;
}

}  // namespace

void InjectFaults(FaultInjector injector) {
    Faults& faults = TheFaults();
    std::lock_guard<std::mutex> lock(faults.mutex);
    faults.injector = injector ? std::make_shared<const FaultInjector>(std::move(injector)) : nullptr;
    faults.active.store(faults.injector != nullptr);
}

namespace detail {

bool FaultsInjected() {
    return TheFaults().active.load();
}

std::optional<uint32_t> InjectedFault(SystemCall call, std::string_view path) {
    Faults& faults = TheFaults();
    if (!faults.active.load()) {
        return std::nullopt;
    }
    std::shared_ptr<const FaultInjector> injector;
    {
        std::lock_guard<std::mutex> lock(faults.mutex);
        injector = faults.injector;
    }
    return injector ? (*injector)(call, path) : std::nullopt;
}

// Which errors say "nothing is there" and which say "no answer". The difference decides whether a
// watched file is reported gone (an event, a macro) or the check waits for a better moment, so a code
// goes to Absent only when the system has plainly looked: a name that cannot exist, or a lookup that
// ran on a volume that answered. Everything that speaks of the network, a server, a share, a device
// or a time-out is Unreachable: a share that drops for a minute must not make its files "disappear"
// and "appear" again. Anything else (access denied, a sharing violation, a locked file) is Failed:
// something may well be there.
ErrorClass ClassifyWindowsError(uint32_t code) {
    using namespace winerror;
    switch (code) {
        // Looked and not found. "Path not found" is also what a share whose server is gone may say
        // (and what Wine says when listing any share); the callers ask the share's root before they
        // believe it (see VolumeAnswers in the Windows implementation).
        case kFileNotFound:
        case kPathNotFound:
        // A drive letter that does not exist (a removed USB stick): the system knows its drives, so
        // this is an answer, and the file is gone with the stick.
        case kInvalidDrive:
        // Names that cannot exist: bad syntax, too long, a file used as a folder in the path.
        case kInvalidName:
        case kBadPathname:
        case kFilenameExcedRange:
        case kDirectory:
            return ErrorClass::Absent;

        // A drive without its medium, or one not ready yet (a card reader, a waking disk).
        case kNotReady:
        case kNoMediaInDrive:
        case kDeviceNotConnected:
        case kDeviceRemoved:
        // The server or the share did not answer, or the connection broke.
        case kBadNetPath:
        case kNetworkBusy:
        case kDevNotExist:
        case kBadNetResp:
        case kUnexpNetErr:
        case kNetNameDeleted:
        case kBadNetName:
        case kSharingPaused:
        case kReqNotAccep:
        case kRedirPaused:
        case kVcDisconnected:
        case kConnectionUnavail:
        case kNoNetOrBadPath:
        case kNoNetwork:
        case kConnectionRefused:
        case kNetworkUnreachable:
        case kHostUnreachable:
        case kProtocolUnreachable:
        case kPortUnreachable:
        case kConnectionAborted:
        case kHostDown:
        case kNotConnected:
        case kNetworkNotAvailable:
        // Time-outs.
        case kSemTimeout:
        case kTimeout:
        // Wine has no network client: it answers every UNC path with "wrong network resource type".
        // On Windows the code means a share of another kind (a printer); either way nothing was
        // learnt about the file.
        case kBadDevType:
            return ErrorClass::Unreachable;

        default:
            return ErrorClass::Failed;
    }
}

std::string ShareRoot(std::string_view path) {
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    size_t start = 0;
    std::string root;
    if (path.size() >= 8 && isSeparator(path[0]) && isSeparator(path[1]) && path[2] == '?' &&
        isSeparator(path[3]) && (path.substr(4, 3) == "UNC" || path.substr(4, 3) == "unc") &&
        isSeparator(path[7])) {
        start = 8;
        root = "\\\\?\\UNC\\";
    } else if (path.size() >= 3 && isSeparator(path[0]) && isSeparator(path[1]) && path[2] != '?' &&
               path[2] != '.' && !isSeparator(path[2])) {
        start = 2;
        root = "\\\\";
    } else {
        return {};
    }
    // Server, then share; both must be there.
    size_t end = start;
    for (int part = 0; part < 2; ++part) {
        const size_t begin = end;
        while (end < path.size() && !isSeparator(path[end])) {
            ++end;
        }
        if (end == begin) {
            return {};
        }
        root.append(path.substr(begin, end - begin));
        root += '\\';
        if (part == 0) {
            if (end == path.size()) {
                return {};
            }
            ++end;
        }
    }
    return root;
}

}  // namespace detail
}  // namespace orv::fs
