#include "platform/launch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/files.h"
#include "tests/support/test_support.h"

namespace orv::launch {
namespace {

// A batch file in a folder whose path holds a blank, writing a marker file when it runs.
struct Script {
    test::TempDirectory folder{"orv launch"};
    std::string marker;
    std::string path;

    explicit Script(const std::string& name) {
        marker = folder.Join("Bat/" + name + ".txt");
#ifdef _WIN32
        path = folder.WriteFile("Bat/" + name + ".bat", "@echo off\r\necho started> \"" + marker + "\"\r\n");
#else
        path = folder.WriteFile("Bat/" + name + ".bat", "echo started > '" + marker + "'\n");
#endif
    }

    bool Ran() const {
        return test::WaitFor([&] { return test::ReadFile(marker).find("started") != std::string::npos; },
                             std::chrono::seconds(30));
    }
};

TEST(Launch, EachCallMethodStartsABatchFileInAFolderWithABlank) {
    const std::pair<const char*, std::function<bool(const std::string&)>> methods[] = {
        {"winexec", WinExecCommand},
        {"shellexecute", ShellExecuteFile},
        {"createprocess", CreateProcessFile},
    };
    for (const auto& [name, start] : methods) {
        SCOPED_TRACE(name);
        Script script(name);
        ASSERT_NE(script.path.find(' '), std::string::npos);
        EXPECT_TRUE(start(script.path));
        EXPECT_TRUE(script.Ran());
    }
}

TEST(Launch, MissingFilesStartNothing) {
    test::TempDirectory folder("orv launch");
    const std::string missing = folder.Join("Bat/Not Selected");
    EXPECT_FALSE(WinExecCommand(missing));
    EXPECT_FALSE(ShellExecuteFile(missing));
    EXPECT_FALSE(CreateProcessFile(missing));
    EXPECT_FALSE(CreateProcessFile(""));
}

}  // namespace
}  // namespace orv::launch
