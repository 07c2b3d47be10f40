// The kind of a drive letter's volume, as the system knows it.
#include <windows.h>

#include "platform/volumes.h"
#include "platform/win32/wide.h"

namespace orv::fs::detail {

VolumeKind KindOfDrive(const std::string& root) {
    switch (::GetDriveTypeW(win32::Wide(root).c_str())) {
        case DRIVE_REMOTE:  // mapped to a share, also while the share is away
            return VolumeKind::Network;
        case DRIVE_REMOVABLE:
        case DRIVE_CDROM:
        // No volume holds the letter now: a stick or a card not mounted again yet after a wake (a
        // fixed disk never loses its letter).
        case DRIVE_NO_ROOT_DIR:
        case DRIVE_UNKNOWN:
            return VolumeKind::Removable;
        default:
            return VolumeKind::Fixed;
    }
}

}  // namespace orv::fs::detail
