#include "platform/write_probe.h"

#include <mutex>
#include <set>

namespace orv::fs {
namespace {

std::mutex heldLock;
std::set<std::string, std::less<>> heldPaths;

}  // namespace

bool HeldForWriting(std::string_view path) {
    std::lock_guard<std::mutex> lock(heldLock);
    return heldPaths.find(path) != heldPaths.end();
}

void SetHeldForWritingForTest(const std::string& path, bool held) {
    std::lock_guard<std::mutex> lock(heldLock);
    if (held) {
        heldPaths.insert(path);
    } else {
        heldPaths.erase(path);
    }
}

}  // namespace orv::fs
