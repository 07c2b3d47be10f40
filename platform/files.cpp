// The parts of file-system access that are the same on every system.
#include "platform/files.h"

namespace orv::fs {

bool IsFile(std::string_view path) {
    EntryInfo info;
    return Query(path, info) && info.kind == EntryKind::File;
}

bool IsDirectory(std::string_view path) {
    EntryInfo info;
    return Query(path, info) && info.kind == EntryKind::Directory;
}

}  // namespace orv::fs
