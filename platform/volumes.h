// The kind of volume a path lies on, as far as waking from sleep is concerned: network shares and
// removable drives come back some time after the machine wakes, a fixed disk is there at once.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orv::fs {

enum class VolumeKind {
    Fixed,      // a local fixed disk or RAM disk, or a path of a form that names no drive
    Network,    // a UNC path (\\server\share\...) or a drive letter mapped to a share
    Removable,  // a removable or optical drive, or a drive letter that no volume holds right now
};

// The kind of the volume a full path lies on: UNC paths are Network; a drive letter's kind is
// GetDriveTypeW's answer for its root on Windows, and Fixed on POSIX.
VolumeKind KindOfVolume(std::string_view path);

// For tests: the kind of chosen paths, as if the system had answered it (nullopt: the system's own
// answer). An empty injector ends it.
using VolumeKindInjector = std::function<std::optional<VolumeKind>(std::string_view path)>;
void InjectVolumeKinds(VolumeKindInjector injector);

namespace detail {

// The root of a drive-letter path as GetDriveTypeW takes it ("C:\" for "C:\data\x.log", "c:/x" or
// "\\?\C:\x"); empty for any other path.
std::string DriveRoot(std::string_view path);

// The kind of a drive letter's volume, from the system (`root` as DriveRoot gives it).
VolumeKind KindOfDrive(const std::string& root);

}  // namespace detail
}  // namespace orv::fs
