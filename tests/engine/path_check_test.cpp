// The look at a watched path that the file and directory checks share: what it learns, and that a
// look that comes to no answer leaves what the caller held as it was.
#include <gtest/gtest.h>

#include <string>

#include "engine/path_check.h"
#include "tests/support/test_support.h"

namespace orv::engine {
namespace {

constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kBadNetPath = 53;

void ExpectSame(const PathState& state, const PathState& before) {
    EXPECT_EQ(state.found, before.found);
    EXPECT_EQ(state.exists, before.exists);
    EXPECT_EQ(state.size, before.size);
    EXPECT_EQ(state.time, before.time);
}

TEST(LookAtItem, EachKindKnowsItsOwnEntry) {
    test::TempDirectory folder("look");
    const std::string file = folder.WriteFile("data.bin", "12345");
    const std::string directory = folder.MakeFolder("tree");
    PathState state;
    ASSERT_EQ(LookAtItem(kFileKind, file, state), fs::Answer::Known);
    EXPECT_TRUE(state.found && state.exists);
    EXPECT_EQ(state.size, 5u);
    EXPECT_TRUE(state.time.has_value());

    ASSERT_EQ(LookAtItem(kDirectoryKind, file, state), fs::Answer::Known);
    EXPECT_TRUE(state.found);
    EXPECT_FALSE(state.exists) << "a file is no directory";
    ASSERT_EQ(LookAtItem(kFileKind, directory, state), fs::Answer::Known);
    EXPECT_FALSE(state.exists) << "a directory is no file";
    ASSERT_EQ(LookAtItem(kDirectoryKind, directory, state), fs::Answer::Known);
    EXPECT_TRUE(state.exists && state.time.has_value());

    ASSERT_EQ(LookAtItem(kFileKind, "", state), fs::Answer::Known);
    EXPECT_FALSE(state.found || state.exists) << "no path chosen yet";
}

TEST(LookAtItem, NoAnswerLeavesTheStateUntouched) {
    test::TempDirectory folder("look");
    const std::string file = folder.WriteFile("data.bin", "12345");
    PathState before;
    before.found = true;
    before.exists = true;
    before.size = 77;
    before.time = clock::LocalTime{2020, 2, 3, 1, 4, 5, 6, 7};
    for (const PathKind* kind : {&kFileKind, &kDirectoryKind}) {
        for (const auto& [code, answer] : {std::pair{kAccessDenied, fs::Answer::Failed},
                                           std::pair{kBadNetPath, fs::Answer::Unreachable}}) {
            test::InjectedFault fault(file, code);
            PathState state = before;
            EXPECT_EQ(LookAtItem(*kind, file, state), answer);
            ExpectSame(state, before);
        }
    }
}

}  // namespace
}  // namespace orv::engine
