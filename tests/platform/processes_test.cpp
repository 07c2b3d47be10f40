#include "platform/processes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/files.h"
#include "platform/launch.h"
#include "platform/paths.h"
#include "tests/support/test_support.h"

#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
#endif

namespace orv::proc {
namespace {

bool IsListed(const std::string& name) {
    bool found = false;
    ForEachProcessName([&](std::string_view imageName) {
        found = imageName == name;
        return !found;
    });
    return found;
}

#ifdef _WIN32
const char* const kProbe = "OrvProbe.exe";
#else
const char* const kProbe = "OrvProbe";
#endif

TEST(Processes, ListIncludesThisProcess) {
    const std::string self = paths::ExecutablePath();
    const std::string name = self.substr(self.find_last_of("\\/") + 1);
    int count = 0;
    ASSERT_TRUE(ForEachProcessName([&](std::string_view) { return ++count > 0; }));
    EXPECT_GT(count, 1);
    EXPECT_TRUE(IsListed(name)) << name;
}

TEST(Processes, AStartedProgramAppearsByItsExactImageNameAndGoesAgain) {
    test::TempDirectory folder("orv-proc");
    std::random_device random;
    const std::string stem = "OrvProbe-" + std::to_string(random() % 100000);
#ifdef _WIN32
    const std::string name = stem + ".exe";
#else
    const std::string name = stem;
#endif
    const std::string copy = folder.Join(name);
    std::error_code error;
    std::filesystem::copy_file(std::filesystem::u8path(paths::ExecutableFolder() + kProbe),
                               std::filesystem::u8path(copy), error);
    ASSERT_FALSE(error) << error.message();

#ifdef _WIN32
    ASSERT_TRUE(test::StartedDespiteWine([&] { return launch::CreateProcessFile(copy); }));
#else
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>(copy.c_str()), nullptr};
    ASSERT_EQ(posix_spawn(&pid, copy.c_str(), nullptr, nullptr, argv, environ), 0);
#endif
    EXPECT_TRUE(test::WaitFor([&] { return IsListed(name); })) << name;

    // Only the exact name counts: another case or a missing extension is another program.
    std::string lower = name;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_FALSE(IsListed(lower));
    EXPECT_FALSE(IsListed(name.substr(0, name.size() - 1)));

    ASSERT_TRUE(fs::WriteNewFile(copy + ".stop", ""));
#ifndef _WIN32
    int status = 0;
    waitpid(pid, &status, 0);
#endif
    EXPECT_TRUE(test::WaitFor([&] { return !IsListed(name); }));
}

}  // namespace
}  // namespace orv::proc
