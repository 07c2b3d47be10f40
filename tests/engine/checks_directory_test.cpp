// The directory check and the tree walk on real folders: availability, total size (hidden, system,
// sparse and linked entries) and creation date.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "engine/checks.h"
#include "tests/engine/check_fixture.h"
#include "tests/support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <unistd.h>
#endif

namespace orv::engine {
namespace {

// Hidden and system on Windows; on POSIX a leading dot is what hides a file.
void MarkHiddenAndSystem(const std::string& path) {
#ifdef _WIN32
    const std::wstring wide = PathOf(path).wstring();
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
#else
    (void)path;
#endif
}

class DirectoryCheck : public CheckFixture {
  protected:
    DirectoryCheck()
        : CheckFixture(CheckDirectory, 5, kDirectoryKind, "watched",
                       "Control of directory availability : watched") {}
};

TEST_F(DirectoryCheck, AvailabilityFollowsTheDirectory) {
    ExpectPresence("Directory is missing and doesnt appear", false, false);
    folder.MakeFolder("watched");
    ExpectPresence("Directory appeared", true, true);
    ExpectPresence("Directory appeared as is", false, true);

    // A file where the directory was is no directory.
    std::filesystem::remove(PathOf(object.settings.Path_Dir));
    folder.WriteFile("watched", "a file");
    ExpectPresence("Directory is missing", true, false);

    auto r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(
        r->eventText,
        "Object 5 / Control of directory size : watched / Directory doesnt exist, control is impossible");
    EXPECT_EQ(r->report.pathColour, kIdleColour);
    r = Check(2);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText,
              "Object 5 / Control of directory creation dates : watched / Directory doesnt exist, control is "
              "impossible");
    EXPECT_FALSE(r->fulfilled);
}

TEST_F(DirectoryCheck, SizeCountsEveryFileOfTheTree) {
    folder.WriteFile("watched/one.txt", std::string(100, '1'));
    const std::string hidden = folder.WriteFile("watched/.two", std::string(200, '2'));
    MarkHiddenAndSystem(hidden);
    const std::string system = folder.WriteFile("watched/sub/deeper/three.sys", std::string(300, '3'));
    MarkHiddenAndSystem(system);
    folder.MakeFolder("watched/empty");
    EXPECT_EQ(DirectorySize(object.settings.Path_Dir), 600u);
    // A trailing separator changes nothing.
    EXPECT_EQ(DirectorySize(object.settings.Path_Dir + std::string(1, fs::kSeparator)), 600u);

    auto r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText,
              "Object 5 / Control of directory size : watched / Directory size increased to: 600 b");
    EXPECT_TRUE(r->fulfilled);
    EXPECT_EQ(r->baseline.Size_Dir_Old, "600");

    r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText, "Object 5 / Control of directory size : watched / Directory size hasnt changed");
    EXPECT_FALSE(r->fulfilled);

    std::filesystem::remove(PathOf(folder.Join("watched/one.txt")));
    r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText,
              "Object 5 / Control of directory size : watched / Directory size decreased to: 100 b");
    EXPECT_EQ(r->baseline.Size_Dir_Old, "500");
}

TEST_F(DirectoryCheck, EmptyDirectoryAgainstTheDefaultBaselineIsUnchanged) {
    folder.MakeFolder("watched");
    auto r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText, "Object 5 / Control of directory size : watched / Directory size hasnt changed");
    EXPECT_FALSE(r->fulfilled);
    EXPECT_EQ(r->report.pathColour, kActiveColour);
}

TEST_F(DirectoryCheck, SizeBaselineThatIsNoNumberFailsTheCheck) {
    folder.WriteFile("watched/a", "abc");
    object.baseline.Size_Dir_Old = "lots";
    EXPECT_FALSE(Check(1).has_value());
    EXPECT_EQ(object.baseline.Size_Dir_Old, "lots");
}

TEST_F(DirectoryCheck, SparseFileOfFiveGigabytesCountsWhole) {
    const std::string big = folder.WriteFile("watched/inner/big.bin", "");
    std::filesystem::resize_file(PathOf(big), 5368709120ULL);
    EXPECT_EQ(DirectorySize(object.settings.Path_Dir), 5368709120ULL);
    EXPECT_EQ(EventOf(1),
              "Object 5 / Control of directory size : watched / Directory size increased to: 5368709120 b");
}

TEST_F(DirectoryCheck, LinkBackIntoTheTreeIsNotFollowed) {
    folder.WriteFile("watched/sub/file.txt", std::string(100, 'x'));
    std::error_code error;
    std::filesystem::create_directory_symlink(PathOf(object.settings.Path_Dir),
                                              PathOf(folder.Join("watched/sub/loop")), error);
    if (error) {
        GTEST_SKIP() << "symbolic links to directories cannot be made here: " << error.message();
    }
    EXPECT_EQ(DirectorySize(object.settings.Path_Dir), 100u);
}

#ifdef _WIN32
// A junction (mount-point reparse point) from inside the tree to its own root.
bool MakeJunction(const std::string& link, const std::string& target) {
    if (!CreateDirectoryW(PathOf(link).wstring().c_str(), nullptr)) {
        return false;
    }
    const std::wstring substitute = L"\\??\\" + PathOf(target).wstring();
    const std::wstring print = PathOf(target).wstring();
    const size_t pathBytes = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
    std::string buffer(8 + 8 + pathBytes, '\0');
    auto put16 = [&](size_t at, size_t value) {
        buffer[at] = static_cast<char>(value & 0xFF);
        buffer[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, 4);
    put16(4, 8 + pathBytes);                               // data length
    put16(8, 0);                                           // substitute name offset
    put16(10, substitute.size() * sizeof(wchar_t));        // substitute name length
    put16(12, (substitute.size() + 1) * sizeof(wchar_t));  // print name offset
    put16(14, print.size() * sizeof(wchar_t));             // print name length
    std::memcpy(buffer.data() + 16, substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
    std::memcpy(buffer.data() + 16 + (substitute.size() + 1) * sizeof(wchar_t), print.c_str(),
                (print.size() + 1) * sizeof(wchar_t));
    HANDLE handle = CreateFileW(PathOf(link).wstring().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                    static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    CloseHandle(handle);
    return ok != FALSE;
}

TEST_F(DirectoryCheck, JunctionBackIntoTheTreeIsNotFollowed) {
    folder.WriteFile("watched/sub/file.txt", std::string(100, 'x'));
    if (!MakeJunction(folder.Join("watched/sub/junction"), object.settings.Path_Dir)) {
        GTEST_SKIP() << "junctions cannot be made here (error " << GetLastError() << ")";
    }
    EXPECT_EQ(DirectorySize(object.settings.Path_Dir), 100u);
}
#endif

TEST_F(DirectoryCheck, CreationDateChangesOnlyWithANewDirectory) {
    folder.MakeFolder("watched");
    auto r = Check(2);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText,
              "Object 5 / Control of directory creation dates : watched / Directory has changed");
    EXPECT_TRUE(r->fulfilled);
    EXPECT_GE(r->baseline.Dir_Data_Old.size(), 12u);

    folder.WriteFile("watched/new.txt", "new");
    r = Check(2);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText,
              "Object 5 / Control of directory creation dates : watched / This directory hasnt changed");
    EXPECT_FALSE(r->fulfilled);

    // A new directory under the same name is a different one. With a format that keeps the units of
    // the seconds, a directory made again a second later reads as changed.
    formats.longTime = "H:mm:ss'.'";
    ASSERT_TRUE(Check(2).has_value());
    EXPECT_TRUE(test::WaitFor(
        [&] {
            test::RemoveTree(object.settings.Path_Dir);
            folder.MakeFolder("watched");
            auto again = Check(2);
            return again && again->fulfilled &&
                   again->eventText ==
                       "Object 5 / Control of directory creation dates : watched / Directory has changed";
        },
        std::chrono::seconds(5)));
}

TEST_F(DirectoryCheck, LongPathsAndOtherParameters) {
    std::string relative = "watched/";
    for (int i = 0; i < 6; ++i) {
        relative += std::string(50, static_cast<char>('a' + i)) + "/";
    }
    folder.WriteFile(relative + "x.bin", std::string(77, 'x'));
    EXPECT_EQ(DirectorySize(object.settings.Path_Dir), 77u);
    object.settings.Path_Dir = folder.Join(relative);
    object.settings.Path_Dir.pop_back();
    ASSERT_GT(object.settings.Path_Dir.size(), 300u);
    auto r = Check(0);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->baseline.Dir_OK_Old);

    EXPECT_FALSE(Check(3).has_value());
    EXPECT_FALSE(Check(-1).has_value());
}

#ifdef _WIN32
// A folder whose name ends in a dot (made by a tool that uses the "\\?\" form, or from another
// system) cannot be reached by its whole path in the ordinary form, which drops the dot; the walk
// opens each sub-folder by its exact name within its parent.
TEST_F(DirectoryCheck, SubFolderWhoseNameEndsInADotIsCounted) {
    folder.WriteFile("watched/top.bin", std::string(5, 'x'));
    const std::wstring sub = L"\\\\?\\" + PathOf(folder.Join("watched")).wstring() + L"\\dotted.";
    if (!CreateDirectoryW(sub.c_str(), nullptr)) {
        GTEST_SKIP() << "no such folder can be made here (error " << GetLastError() << ")";
    }
    const std::wstring file = sub + L"\\inside.bin";
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(handle, "0123456789", 10, &written, nullptr));
    CloseHandle(handle);
    EXPECT_EQ(DirectorySize(object.settings.Path_Dir), 15u);
    DeleteFileW(file.c_str());
    RemoveDirectoryW(sub.c_str());
}
#endif

#ifndef _WIN32
TEST_F(DirectoryCheck, DirectoryThatCannotBeListedHasNoSize) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "the superuser lists every directory";
    }
    folder.WriteFile("watched/sub/a.txt", "abc");
    folder.WriteFile("watched/b.txt", "abcd");
    // A sub-folder that cannot be listed counts as empty.
    std::filesystem::permissions(PathOf(folder.Join("watched/sub")), std::filesystem::perms::none);
    EXPECT_EQ(DirectorySize(object.settings.Path_Dir), 4u);
    std::filesystem::permissions(PathOf(folder.Join("watched/sub")), std::filesystem::perms::owner_all);
    auto r = Check(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->baseline.Size_Dir_Old, "7");
    // The watched folder itself unreadable: no measurement, so no "decreased".
    std::filesystem::permissions(PathOf(object.settings.Path_Dir), std::filesystem::perms::owner_exec);
    EXPECT_FALSE(Check(1).has_value());
    EXPECT_EQ(object.baseline.Size_Dir_Old, "7");
    std::filesystem::permissions(PathOf(object.settings.Path_Dir), std::filesystem::perms::owner_all);
}
#endif

}  // namespace
}  // namespace orv::engine
