#include "platform/files.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/test_support.h"

#ifdef _WIN32
#include <windows.h>

#include <winioctl.h>

#include "platform/win32/wide.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orv::fs {
namespace {

constexpr uint64_t kFiveGiB = 5368709120ULL;
// 2024-03-05 12:34:56.7 UTC in 100 ns ticks since 1601.
constexpr int64_t kKnownTime = 133541156967000000LL;

bool SetLastWrite(const std::string& path, FileTime time) {
#ifdef _WIN32
    HANDLE file = CreateFileW(win32::FilePath(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    FILETIME value;
    value.dwLowDateTime = static_cast<DWORD>(time.ticks & 0xFFFFFFFF);
    value.dwHighDateTime = static_cast<DWORD>(time.ticks >> 32);
    const bool ok = SetFileTime(file, nullptr, nullptr, &value) != 0;
    CloseHandle(file);
    return ok;
#else
    const int64_t unixTicks = time.ticks - 11644473600LL * 10000000LL;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(unixTicks / 10000000);
    times[1].tv_nsec = static_cast<long>(unixTicks % 10000000 * 100);
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
#endif
}

// A file of `size` bytes that takes no space on disk.
bool MakeSparseFile(const std::string& path, uint64_t size) {
#ifdef _WIN32
    HANDLE file = CreateFileW(win32::FilePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
#else
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
        return false;
    }
    const bool ok = ftruncate(fd, static_cast<off_t>(size)) == 0;
    close(fd);
    return ok;
#endif
}

void MarkHiddenAndSystem(const std::string& path) {
#ifdef _WIN32
    SetFileAttributesW(win32::FilePath(path).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
#else
    (void)path;  // on POSIX systems a dot-name is hidden, and nothing is a system file
#endif
}

std::map<std::string, DirEntry> ListAll(const std::string& folder, bool* ok = nullptr) {
    std::map<std::string, DirEntry> entries;
    const bool listed = ListDirectory(folder, [&](const DirEntry& entry) {
        DirEntry copy = entry;
        copy.name = {};
        entries[std::string(entry.name)] = copy;
        return true;
    });
    if (ok) {
        *ok = listed;
    }
    return entries;
}

TEST(FilesQuery, MissingPathsAreMissingNotFailures) {
    test::TempDirectory folder("orv-files");
    EntryInfo info;
    info.kind = EntryKind::File;
    ASSERT_TRUE(Query(folder.Join("nothing.txt"), info));
    EXPECT_EQ(info.kind, EntryKind::Missing);
    info.kind = EntryKind::File;
    ASSERT_TRUE(Query(folder.Join("no/such/folder/file.txt"), info));
    EXPECT_EQ(info.kind, EntryKind::Missing);
    ASSERT_TRUE(Query("", info));
    EXPECT_EQ(info.kind, EntryKind::Missing);
    EXPECT_FALSE(IsFile(folder.Join("nothing.txt")));
    EXPECT_FALSE(IsDirectory(folder.Join("nothing.txt")));
}

TEST(FilesQuery, FileKindSizeAndLastWriteTime) {
    test::TempDirectory folder("orv-files");
    const std::string path = folder.WriteFile("data.bin", std::string(1000, 'x'));
    ASSERT_TRUE(SetLastWrite(path, FileTime{kKnownTime}));
    EntryInfo info;
    ASSERT_TRUE(Query(path, info));
    EXPECT_EQ(info.kind, EntryKind::File);
    EXPECT_EQ(info.size, 1000u);
    EXPECT_EQ(info.lastWrite.ticks, kKnownTime);
    EXPECT_FALSE(info.nameSurrogate);
    EXPECT_TRUE(IsFile(path));
    EXPECT_FALSE(IsDirectory(path));
}

TEST(FilesQuery, DirectoriesHaveNoSizeAndACreationTime) {
    test::TempDirectory folder("orv-files");
    const std::string sub = folder.MakeFolder("sub");
    folder.WriteFile("sub/inside.txt", "123");
    EntryInfo info;
    ASSERT_TRUE(Query(sub, info));
    EXPECT_EQ(info.kind, EntryKind::Directory);
    EXPECT_EQ(info.size, 0u);
    EXPECT_GT(info.creation.ticks, kKnownTime) << "created during this test, after 2024";
    EXPECT_TRUE(IsDirectory(sub));
    EXPECT_FALSE(IsFile(sub));
}

#ifndef _WIN32
// Not in the Windows build: Wine (8.0) reports a directory's status-change time as its creation
// time, so there the creation time moves whenever an entry is added. Windows keeps it.
TEST(FilesQuery, CreationTimeStaysWhenTheDirectoryChanges) {
    test::TempDirectory folder("orv-files");
    const std::string watched = folder.MakeFolder("watched");
    EntryInfo before;
    ASSERT_TRUE(Query(watched, before));
    // Let the clock move on a second, so that a change of the directory shows in its times.
    ASSERT_TRUE(test::WaitFor([&] {
        EntryInfo clock;
        return Query(folder.WriteFile("clock.txt", "x"), clock) &&
               clock.lastWrite.ticks > before.lastWrite.ticks + 10000000;
    }));
    folder.WriteFile("watched/new.txt", "new");
    EntryInfo after;
    ASSERT_TRUE(Query(watched, after));
    EXPECT_EQ(after.creation, before.creation);
    EXPECT_NE(after.lastWrite, before.lastWrite);
}
#endif

TEST(FilesQuery, FilesLargerThanFourGibibytes) {
    test::TempDirectory folder("orv-files");
    const std::string path = folder.Join("huge.bin");
    ASSERT_TRUE(MakeSparseFile(path, kFiveGiB));

    EntryInfo info;
    ASSERT_TRUE(Query(path, info));
    EXPECT_EQ(info.size, kFiveGiB);

    const auto entries = ListAll(folder.Path());
    ASSERT_EQ(entries.count("huge.bin"), 1u);
    EXPECT_EQ(entries.at("huge.bin").size, kFiveGiB) << "the listing's own size, high part included";

    Reader reader;
    ASSERT_TRUE(Reader::Open(path, reader));
    uint64_t size = 0;
    ASSERT_TRUE(reader.Size(size));
    EXPECT_EQ(size, kFiveGiB);
}

TEST(FilesListing, ReportsEveryEntryWithSizesAndAttributes) {
    test::TempDirectory folder("orv-files");
    folder.WriteFile("a.txt", std::string(100, 'a'));
    folder.WriteFile("b.log", std::string(200, 'b'));
    folder.WriteFile("sub/c.txt", std::string(300, 'c'));
#ifdef _WIN32
    const std::string hiddenName = "secret.sys";
#else
    const std::string hiddenName = ".secret";
#endif
    MarkHiddenAndSystem(folder.WriteFile(hiddenName, std::string(7, 's')));

    bool ok = false;
    const auto entries = ListAll(folder.Path(), &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(entries.size(), 4u) << "no '.' or '..', nothing from the sub-folder";
    EXPECT_EQ(entries.at("a.txt").size, 100u);
    EXPECT_FALSE(entries.at("a.txt").directory);
    EXPECT_EQ(entries.at("b.log").size, 200u);
    EXPECT_TRUE(entries.at("sub").directory);
    EXPECT_EQ(entries.at("sub").size, 0u);
    EXPECT_FALSE(entries.at("a.txt").hidden);

    const DirEntry& hidden = entries.at(hiddenName);
    EXPECT_EQ(hidden.size, 7u);
    EXPECT_TRUE(hidden.hidden);
#ifdef _WIN32
    EXPECT_TRUE(hidden.system);
#else
    EXPECT_FALSE(hidden.system);
#endif
}

TEST(FilesListing, TrailingSeparatorStopAndFailure) {
    test::TempDirectory folder("orv-files");
    folder.WriteFile("1.txt", "1");
    folder.WriteFile("2.txt", "2");
    folder.WriteFile("3.txt", "3");

    int seen = 0;
    ASSERT_TRUE(ListDirectory(folder.Path() + kSeparator, [&](const DirEntry&) { return ++seen < 2; }));
    EXPECT_EQ(seen, 2) << "the visitor stops the listing";

    const std::string empty = folder.MakeFolder("empty");
    bool ok = false;
    EXPECT_TRUE(ListAll(empty, &ok).empty());
    EXPECT_TRUE(ok) << "an empty folder is listed, with nothing in it";

    ListAll(folder.Join("missing"), &ok);
    EXPECT_FALSE(ok);
    ListAll(folder.Join("1.txt"), &ok);
    EXPECT_FALSE(ok) << "a file is no folder to list";
}

TEST(FilesListing, WildcardsMatchWithoutRegardToCase) {
    test::TempDirectory folder("orv-files");
    folder.WriteFile("Start.BAT", "x");
    folder.WriteFile("stop.bat", "x");
    folder.WriteFile("notes.txt", "x");
    folder.WriteFile("batch", "x");
    std::map<std::string, bool> found;
    ASSERT_TRUE(ListMatching(folder.Path(), "*.bat", [&](const DirEntry& entry) {
        found[std::string(entry.name)] = true;
        return true;
    }));
    EXPECT_EQ(found.size(), 2u);
    EXPECT_TRUE(found.count("Start.BAT"));
    EXPECT_TRUE(found.count("stop.bat"));

    found.clear();
    ASSERT_TRUE(ListMatching(folder.Path(), "*.*", [&](const DirEntry& entry) {
        found[std::string(entry.name)] = true;
        return true;
    }));
    EXPECT_EQ(found.size(), 4u) << "'*.*' also matches a name without a dot";
}

TEST(FilesReader, ReadsAtAnyOffsetAndSharesEverything) {
    test::TempDirectory folder("orv-files");
    std::string content;
    for (int i = 0; i < 5000; ++i) {
        content += static_cast<char>(i * 7 % 256);
    }
    const std::string path = folder.WriteFile("content.bin", content);

    Reader reader;
    ASSERT_TRUE(Reader::Open(path, reader));
    std::string read;
    char buffer[1024];
    for (;;) {
        const int64_t count = reader.ReadAt(read.size(), buffer, sizeof buffer);
        ASSERT_GE(count, 0);
        if (count == 0) {
            break;
        }
        read.append(buffer, static_cast<size_t>(count));
    }
    EXPECT_EQ(read, content);
    // Back to the middle, and past the end (which is no error).
    ASSERT_EQ(reader.ReadAt(4990, buffer, sizeof buffer), 10);
    EXPECT_EQ(std::string(buffer, 10), content.substr(4990));
    EXPECT_EQ(reader.ReadAt(content.size() + 4096, buffer, sizeof buffer), 0);

    // The watched file stays the other program's: it can be renamed and deleted while we read it.
    const std::string renamed = folder.Join("renamed.bin");
    EXPECT_TRUE(RenameNoReplace(path, renamed));
    EXPECT_TRUE(RemoveFile(renamed));

    Reader moved = std::move(reader);
    uint64_t size = 0;
    EXPECT_TRUE(moved.Size(size));
    EXPECT_EQ(size, content.size());
}

TEST(FilesReader, MissingFilesAndFoldersDoNotOpen) {
    test::TempDirectory folder("orv-files");
    Reader reader;
    EXPECT_FALSE(Reader::Open(folder.Join("missing.txt"), reader));
    EXPECT_FALSE(Reader::Open(folder.Path(), reader));
    uint64_t size = 42;
    EXPECT_FALSE(reader.Size(size));
    EXPECT_EQ(size, 42u);
    char buffer[4];
    EXPECT_EQ(reader.ReadAt(0, buffer, sizeof buffer), -1);
}

TEST(FilesWriting, MakeDirectory) {
    test::TempDirectory folder("orv-files");
    const std::string log = folder.Join("Log");
    EXPECT_TRUE(MakeDirectory(log));
    EXPECT_TRUE(IsDirectory(log));
    EXPECT_TRUE(MakeDirectory(log)) << "an existing folder is fine";
    EXPECT_FALSE(MakeDirectory(folder.Join("a/b"))) << "one level only";
    const std::string file = folder.WriteFile("Bat", "not a folder");
    EXPECT_FALSE(MakeDirectory(file));
}

TEST(FilesWriting, NewFilesNeverReplaceOldOnes) {
    test::TempDirectory folder("orv-files");
    const std::string path = folder.Join("14.05.33.log");
    const std::string bytes = std::string("line\r\n\0end", 10);
    ASSERT_TRUE(WriteNewFile(path, bytes));
    EXPECT_EQ(test::ReadFile(path), bytes);
    EXPECT_FALSE(WriteNewFile(path, "other"));
    EXPECT_EQ(test::ReadFile(path), bytes);
    EXPECT_FALSE(WriteNewFile(folder.Join("missing/x.log"), "x"));

    const std::string other = folder.WriteFile("other.log", "old");
    EXPECT_FALSE(RenameNoReplace(path, other));
    EXPECT_EQ(test::ReadFile(other), "old");
    EXPECT_EQ(test::ReadFile(path), bytes);
    EXPECT_TRUE(RemoveFile(other));
    EXPECT_FALSE(RemoveFile(other));
}

TEST(FilesPaths, PathsLongerThanTheClassicLimit) {
    test::TempDirectory folder("orv-files");
    std::string path = folder.Path();
    while (path.size() < 300) {
        path += kSeparator;
        path += std::string(40, 'd');
        ASSERT_TRUE(MakeDirectory(path)) << path.size();
    }
    const std::string file = path + kSeparator + "long.txt";
    ASSERT_TRUE(WriteNewFile(file, "12345"));
    EntryInfo info;
    ASSERT_TRUE(Query(file, info));
    EXPECT_EQ(info.kind, EntryKind::File);
    EXPECT_EQ(info.size, 5u);
    Reader reader;
    ASSERT_TRUE(Reader::Open(file, reader));
    const auto entries = ListAll(path);
    ASSERT_EQ(entries.count("long.txt"), 1u);
    EXPECT_EQ(entries.at("long.txt").size, 5u);
    reader = Reader();
    EXPECT_TRUE(RemoveFile(file));
}

#ifndef _WIN32
TEST(FilesLinks, SymbolicLinksAreNameSurrogates) {
    test::TempDirectory folder("orv-files");
    const std::string target = folder.MakeFolder("target");
    const std::string link = folder.Join("link");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    EntryInfo info;
    ASSERT_TRUE(Query(link, info));
    EXPECT_EQ(info.kind, EntryKind::Directory);
    EXPECT_TRUE(info.nameSurrogate);
    const auto entries = ListAll(folder.Path());
    EXPECT_TRUE(entries.at("link").directory);
    EXPECT_TRUE(entries.at("link").nameSurrogate);
    EXPECT_FALSE(entries.at("target").nameSurrogate);

    const std::string dangling = folder.Join("dangling");
    ASSERT_EQ(symlink(folder.Join("gone").c_str(), dangling.c_str()), 0);
    ASSERT_TRUE(Query(dangling, info));
    EXPECT_EQ(info.kind, EntryKind::Missing);
}
#endif

}  // namespace
}  // namespace orv::fs
