// The running processes, from /proc.
#include <dirent.h>
#include <errno.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/processes.h"

namespace orv::proc {
namespace {

// The file name of the process's executable; the kernel's short name when the link may not be read
// (other users' processes).
std::string ImageName(const std::string& pid) {
    char target[4096];
    const std::string link = "/proc/" + pid + "/exe";
    errno = 0;
    const ssize_t length = readlink(link.c_str(), target, sizeof target);
    if (length > 0 && static_cast<size_t>(length) < sizeof target) {
        std::string path(target, static_cast<size_t>(length));
        static constexpr std::string_view kDeleted = " (deleted)";
        if (path.size() > kDeleted.size() &&
            path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0) {
            path.resize(path.size() - kDeleted.size());
        }
        const size_t slash = path.rfind('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }
    if (errno == ENOENT) {
        return {};  // no program file at all: a kernel thread, or a process that has ended
    }
    std::string name;
    if (FILE* comm = std::fopen(("/proc/" + pid + "/comm").c_str(), "re")) {
        char buffer[64];
        if (std::fgets(buffer, sizeof buffer, comm)) {
            name = buffer;
            if (!name.empty() && name.back() == '\n') {
                name.pop_back();
            }
        }
        std::fclose(comm);
    }
    return name;
}

}  // namespace

bool ForEachProcessName(const std::function<bool(std::string_view imageName)>& visit) {
    DIR* dir = opendir("/proc");
    if (!dir) {
        return false;
    }
    while (struct dirent* entry = readdir(dir)) {
        const std::string pid(entry->d_name);
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const std::string name = ImageName(pid);
        if (name.empty()) {
            continue;  // ended meanwhile
        }
        if (!visit(name)) {
            break;
        }
    }
    closedir(dir);
    return true;
}

}  // namespace orv::proc
