// The kind of volume a path lies on: what decides whether a file not found just after a wake is gone
// or not back yet.
#include <gtest/gtest.h>

#include "platform/volumes.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orv::fs {
namespace {

TEST(VolumeKind, SharesAreNetworkPathsInEveryFormAndDriveLettersAreAskedAtTheirRoot) {
    EXPECT_EQ(KindOfVolume("\\\\server\\share\\data.bin"), VolumeKind::Network);
    EXPECT_EQ(KindOfVolume("//server/share/data.bin"), VolumeKind::Network);
    EXPECT_EQ(KindOfVolume("\\\\?\\UNC\\server\\share\\data.bin"), VolumeKind::Network);
    EXPECT_EQ(detail::DriveRoot("E:\\logs\\app.log"), "E:\\");
    EXPECT_EQ(detail::DriveRoot("e:/logs"), "e:\\");
    EXPECT_EQ(detail::DriveRoot("\\\\?\\E:\\logs\\app.log"), "E:\\");
    EXPECT_EQ(detail::DriveRoot("/home/user/app.log"), "");
    EXPECT_EQ(detail::DriveRoot("\\\\server\\share\\app.log"), "");
}

#ifdef _WIN32
TEST(VolumeKind, AFixedDiskAndALetterThatNoVolumeHolds) {
    EXPECT_EQ(KindOfVolume("C:\\windows\\win.ini"), VolumeKind::Fixed);
    char unmapped = 0;
    for (char letter = 'Y'; letter >= 'D' && !unmapped; --letter) {
        const char root[] = {letter, ':', '\\', '\0'};
        unmapped = GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR ? letter : 0;
    }
    ASSERT_NE(unmapped, 0);
    EXPECT_EQ(KindOfVolume(std::string(1, unmapped) + ":\\data.bin"), VolumeKind::Removable)
        << "a stick not mounted again yet";
}
#endif

}  // namespace
}  // namespace orv::fs
