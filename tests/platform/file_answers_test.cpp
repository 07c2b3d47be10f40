// Not there, no answer, or cannot be examined: the three ways a look at a path can end, with the
// system's error codes injected (the same Windows codes on both builds) and, under Wine, with real
// shares that do not exist and a drive letter that is not mapped.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_errors.h"
#include "platform/files.h"
#include "tests/support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orv::fs {
namespace {

using test::InjectedFault;

constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kSharingViolation = 32;

TEST(FileAnswers, EachSystemErrorLandsInItsClass) {
    test::TempDirectory folder("orv-answers");
    const std::string file = folder.WriteFile("data.bin", "12345");
    struct Case {
        uint32_t code;
        const char* name;
        Answer answer;  // Known means "missing"
    };
    const Case cases[] = {
        {2, "file not found", Answer::Known},
        {3, "path not found on a local volume", Answer::Known},
        {15, "drive letter that does not exist", Answer::Known},
        {123, "invalid name", Answer::Known},
        {267, "a file used as a folder", Answer::Known},
        {21, "device not ready", Answer::Unreachable},
        {53, "server unreachable", Answer::Unreachable},
        {59, "unexpected network error", Answer::Unreachable},
        {64, "network name deleted", Answer::Unreachable},
        {66, "Wine's answer for any share", Answer::Unreachable},
        {67, "share gone", Answer::Unreachable},
        {121, "semaphore time-out", Answer::Unreachable},
        {1231, "network unreachable", Answer::Unreachable},
        {1460, "time-out", Answer::Unreachable},
        {5, "access denied, and the listing too", Answer::Failed},
        {1392, "corrupt file", Answer::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InjectedFault fault(file, c.code);
        EntryInfo info;
        info.kind = EntryKind::File;
        ASSERT_EQ(Examine(file, info), c.answer);
        if (c.answer == Answer::Known) {
            EXPECT_EQ(info.kind, EntryKind::Missing);
        } else {
            EXPECT_EQ(info.kind, EntryKind::File) << "untouched";
        }
        EXPECT_EQ(Query(file, info), c.answer == Answer::Known) << "the plain form: no answer is a failure";
    }
    EntryInfo info;
    EXPECT_EQ(Examine(file, info), Answer::Known);
    EXPECT_EQ(info.kind, EntryKind::File) << "the faults end with the injector";
}

TEST(FileAnswers, ListingTellsAShareThatDroppedFromAFolderThatMayNotBeRead) {
    test::TempDirectory folder("orv-answers");
    folder.WriteFile("a.txt", "a");
    const auto list = [&] { return ListEntries(folder.Path(), [](const DirEntry&) { return true; }); };
    EXPECT_EQ(list(), Answer::Known);
    {
        InjectedFault fault(folder.Path(), 64);
        EXPECT_EQ(list(), Answer::Unreachable);
        EXPECT_FALSE(ListDirectory(folder.Path(), [](const DirEntry&) { return true; }));
    }
    {
        InjectedFault fault(folder.Path(), kAccessDenied);
        EXPECT_EQ(list(), Answer::Failed);
    }
}

// A share that drops, or a folder that fails, in the middle of a listing: the entries before the break
// are seen, and the answer says the listing is not complete. `broken` runs the same case on each way of
// listing the build has.
void ExpectBrokenListingsIncomplete() {
    test::TempDirectory folder("orv-answers");
    for (int i = 0; i < 5; ++i) {
        folder.WriteFile("file" + std::to_string(i) + ".txt", "x");
    }
    const std::string path = folder.Path();
    const struct {
        uint32_t code;
        Answer answer;
    } cases[] = {{64, Answer::Unreachable},
                 {21, Answer::Unreachable},
                 {kAccessDenied, Answer::Failed},
                 {2, Answer::Failed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        auto steps = std::make_shared<std::atomic<int>>(0);
        InjectFaults(
            [path, code = c.code, steps](SystemCall call, std::string_view at) -> std::optional<uint32_t> {
                if (call == SystemCall::ListingNext && at == path && ++*steps >= 2) {
                    return code;
                }
                return std::nullopt;
            });
        int seen = 0;
        EXPECT_EQ(ListEntries(path, [&seen](const DirEntry&) { return ++seen, true; }), c.answer);
        EXPECT_EQ(seen, 2) << "the entries before the break were handed on";
        EXPECT_FALSE(ListDirectory(path, [](const DirEntry&) { return true; }));
        InjectFaults({});
    }
    int seen = 0;
    EXPECT_EQ(ListEntries(path, [&seen](const DirEntry&) { return ++seen, true; }), Answer::Known);
    EXPECT_EQ(seen, 5);
}

TEST(FileAnswers, AListingBrokenOffPartWayIsNotComplete) {
    ExpectBrokenListingsIncomplete();
#ifdef _WIN32
    detail::ListBySearchOnly(true);
    ExpectBrokenListingsIncomplete();
    detail::ListBySearchOnly(false);
#endif
}

// pagefile.sys, or a file in a folder that may be listed but not entered: the attributes are refused
// but the folder's listing shows the entry.
TEST(FileAnswers, AnEntryThatRefusesItsAttributesIsReadFromItsListing) {
    test::TempDirectory folder("orv-answers");
    const std::string file = folder.WriteFile("locked.bin", std::string(1234, 'x'));
    const std::string sub = folder.MakeFolder("sub");
    EntryInfo plainFile;
    EntryInfo plainFolder;
    ASSERT_EQ(Examine(file, plainFile), Answer::Known);
    ASSERT_EQ(Examine(sub, plainFolder), Answer::Known);

    for (uint32_t code : {kAccessDenied, kSharingViolation}) {
        SCOPED_TRACE(code);
        InjectedFault fault(folder.Path(), code, {SystemCall::Attributes});
        EntryInfo info;
#ifdef _WIN32
        ASSERT_EQ(Examine(file, info), Answer::Known);
        EXPECT_EQ(info.kind, EntryKind::File);
        EXPECT_EQ(info.size, 1234u);
        EXPECT_EQ(info.lastWrite, plainFile.lastWrite);
        ASSERT_EQ(Examine(sub, info), Answer::Known);
        EXPECT_EQ(info.kind, EntryKind::Directory);
        EXPECT_EQ(info.creation, plainFolder.creation);
        ASSERT_EQ(Examine(sub + kSeparator, info), Answer::Known) << "a folder's path may end in a separator";
        EXPECT_EQ(info.kind, EntryKind::Directory);
        EXPECT_EQ(Examine(folder.Join("gone.bin"), info), Answer::Failed)
            << "refused and not in the listing: nothing is known";
#else
        // A folder that may not be entered lists names only: no sizes or times to fall back on.
        EXPECT_EQ(Examine(file, info), Answer::Failed);
#endif
    }
    InjectedFault both(folder.Path(), kAccessDenied);
    EntryInfo info;
    EXPECT_EQ(Examine(file, info), Answer::Failed) << "only when the listing fails too";
}

#ifdef _WIN32
// A drive letter that nothing is mapped to, or empty when every letter is taken.
std::string UnmappedDrive() {
    for (char letter = 'Z'; letter >= 'D'; --letter) {
        const std::string root = std::string(1, letter) + ":\\";
        if (GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR) {
            return root;
        }
    }
    return {};
}

TEST(FileAnswers, SharesWithoutAServerAreUnreachableAndAnUnmappedDriveIsEmpty) {
    EntryInfo info;
    EXPECT_EQ(Examine("\\\\nohost\\share\\x.txt", info), Answer::Unreachable);
    EXPECT_EQ(Examine("//nohost/share/dir", info), Answer::Unreachable);
    // Listing a share says "path not found" under Wine: the share's root is asked before that counts.
    const auto list = [](const char* directory) {
        return ListEntries(directory, [](const DirEntry&) { return true; });
    };
    EXPECT_EQ(list("\\\\nohost\\share\\dir"), Answer::Unreachable);
    EXPECT_EQ(list("\\\\?\\UNC\\nohost\\share\\dir\\"), Answer::Unreachable);

    const std::string drive = UnmappedDrive();
    ASSERT_FALSE(drive.empty());
    info.kind = EntryKind::File;
    ASSERT_EQ(Examine(drive + "x.txt", info), Answer::Known) << drive;
    EXPECT_EQ(info.kind, EntryKind::Missing) << "a removed stick takes its files with it";
    EXPECT_EQ(Examine(drive + "folder\\x.txt", info), Answer::Known);
}
#endif

}  // namespace
}  // namespace orv::fs
