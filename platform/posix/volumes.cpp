// Drive letters on POSIX systems: there are none, so a path that looks like one is a local name.
#include "platform/volumes.h"

namespace orv::fs::detail {

VolumeKind KindOfDrive(const std::string&) {
    return VolumeKind::Fixed;
}

}  // namespace orv::fs::detail
