// The parts of the volume kinds that are the same on every system.
#include "platform/volumes.h"

#include <memory>
#include <mutex>

#include "platform/file_errors.h"

namespace orv::fs {
namespace {

struct Injected {
    std::mutex mutex;
    std::shared_ptr<const VolumeKindInjector> injector;
};

// Never destroyed: a measurement thread still running at exit may ask.
Injected& TheInjected() {
    static Injected* injected = new Injected;
    return *injected;
}

std::optional<VolumeKind> InjectedKind(std::string_view path) {
    std::shared_ptr<const VolumeKindInjector> injector;
    {
        Injected& injected = TheInjected();
        std::lock_guard<std::mutex> lock(injected.mutex);
        injector = injected.injector;
    }
    return injector ? (*injector)(path) : std::nullopt;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

void InjectVolumeKinds(VolumeKindInjector injector) {
    Injected& injected = TheInjected();
    std::lock_guard<std::mutex> lock(injected.mutex);
    injected.injector = injector ? std::make_shared<const VolumeKindInjector>(std::move(injector)) : nullptr;
}

VolumeKind KindOfVolume(std::string_view path) {
    if (const std::optional<VolumeKind> injected = InjectedKind(path)) {
        return *injected;
    }
    if (!detail::ShareRoot(path).empty()) {
        return VolumeKind::Network;
    }
    const std::string root = detail::DriveRoot(path);
    return root.empty() ? VolumeKind::Fixed : detail::KindOfDrive(root);
}

namespace detail {

std::string DriveRoot(std::string_view path) {
    // The long-path prefix "\\?\" before a drive letter.
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] == '?' &&
        IsSeparator(path[3])) {
        path.remove_prefix(4);
    }
    const bool letter =
        path.size() >= 2 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (!letter || path[1] != ':') {
        return {};
    }
    return std::string{path[0], ':', '\\'};
}

}  // namespace detail
}  // namespace orv::fs
