#include "platform/launch.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

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
        {"winexec", [](const std::string& file) { return WinExecCommand(file); }},
        {"shellexecute", [](const std::string& file) { return ShellExecuteFile(file); }},
        {"createprocess", [](const std::string& file) { return CreateProcessFile(file); }},
    };
    for (const auto& [name, start] : methods) {
        SCOPED_TRACE(name);
        Script script(name);
        ASSERT_NE(script.path.find(' '), std::string::npos);
        EXPECT_TRUE(test::StartedDespiteWine([&] { return start(script.path); }));
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

// The three call methods, each given the same variables; the quoted command line is what WinExec gets
// from the macros.
const std::pair<const char*, std::function<bool(const std::string&, const Environment&)>> kMethods[] = {
    {"winexec",
     [](const std::string& file, const Environment& environment) {
         return WinExecCommand("\"" + file + "\"", environment);
     }},
    {"shellexecute", ShellExecuteFile},
    {"createprocess", CreateProcessFile},
};

std::map<std::string, std::string> AsMap(const Environment& environment) {
    std::map<std::string, std::string> map;
    for (const Variable& variable : environment) {
        map[variable.name] = variable.value;
    }
    return map;
}

TEST(LaunchEnvironment, ValuesReachTheBatchFileExactlyAndAreGoneAfterwards) {
    const Environment tricky = {
        {"ORVANTER_OBJECT", "3"},
        {"ORVANTER_PATH",
         "C:\\a b\\100% & 50%PATH%^ \"q\" !x! "
         "\xD0\x9A\xD0\xB8\xD1\x80\xD0\xB8\xD0\xBB\xD0\xBB\xD0\xB8\xD1\x86\xD0\xB0 <>|"},
        {"ORVANTER_LOG", ""},
    };
    for (const auto& [name, start] : kMethods) {
        SCOPED_TRACE(name);
        test::TempDirectory folder("orv launch");
        const std::string marker = folder.Join("first.txt");
        const std::string script = test::WriteVariablesScript(folder, "Bat/first.bat", marker);
        ASSERT_TRUE(test::StartedDespiteWine([&] { return start(script, tricky); }));
        ASSERT_TRUE(
            test::WaitFor([&] { return !test::ReadVariables(marker).empty(); }, std::chrono::seconds(30)));
        EXPECT_EQ(test::ReadVariables(marker), AsMap(tricky));

        // A start with fewer variables sees nothing of the one before.
        const std::string second = folder.Join("second.txt");
        const std::string secondScript = test::WriteVariablesScript(folder, "Bat/second.bat", second);
        ASSERT_TRUE(test::StartedDespiteWine([&] {
            return start(secondScript, {{"ORVANTER_OBJECT", "4"}});
        }));
        ASSERT_TRUE(
            test::WaitFor([&] { return !test::ReadVariables(second).empty(); }, std::chrono::seconds(30)));
        EXPECT_EQ(test::ReadVariables(second),
                  (std::map<std::string, std::string>{{"ORVANTER_OBJECT", "4"}}));
    }
}

TEST(LaunchEnvironment, StartsFromTwoThreadsAtOnceEachGetTheirOwnValues) {
    test::TempDirectory folder("orv launch");
#ifdef _WIN32
    const std::string script = test::WriteVariablesScript(folder, "Bat/both.bat", "%ORVANTER_LOG%");
#else
    const std::string script = test::WriteVariablesScript(folder, "Bat/both.bat", "$ORVANTER_LOG");
#endif
    constexpr int kStarts = 6;
    auto variables = [&](char thread, int i) {
        const std::string tag = std::string(1, thread) + std::to_string(i);
        Environment environment{{"ORVANTER_LOG", folder.Join("marker " + tag + ".txt")},
                                {"ORVANTER_OBJECT", thread == 'a' ? "1" : "2"}};
        // Many variables, so that setting and restoring them takes long enough for two unguarded
        // starts to overlap.
        for (int k = 0; k < 150; ++k) {
            environment.push_back({"ORVANTER_X" + std::to_string(k), tag});
        }
        return environment;
    };
    auto run = [&](char thread) {
        for (int i = 0; i < kStarts; ++i) {
            const auto& start = kMethods[(i + (thread == 'a' ? 0 : 1)) % 3].second;
            test::StartedDespiteWine([&] { return start(script, variables(thread, i)); });
        }
    };
    std::thread first(run, 'a');
    std::thread second(run, 'b');
    first.join();
    second.join();
    for (char thread : {'a', 'b'}) {
        for (int i = 0; i < kStarts; ++i) {
            const Environment expected = variables(thread, i);
            const std::string marker = expected[0].value;
            SCOPED_TRACE(marker);
            ASSERT_TRUE(test::WaitFor([&] { return !test::ReadVariables(marker).empty(); },
                                      std::chrono::seconds(30)));
            EXPECT_EQ(test::ReadVariables(marker), AsMap(expected));
        }
    }
}

#ifdef _WIN32
// A variable of this process's own environment, as one inherited from the parent, removed at the end.
struct InheritedVariable {
    std::wstring name;
    InheritedVariable(const wchar_t* variable, const wchar_t* value) : name(variable) {
        SetEnvironmentVariableW(variable, value);
    }
    ~InheritedVariable() { SetEnvironmentVariableW(name.c_str(), nullptr); }
};

TEST(LaunchEnvironment, AValueTooLongForWindowsRemovesTheInheritedOneOfItsName) {
    const InheritedVariable inherited(L"ORVANTER_EVENT", L"inherited");
    const Environment environment = {{"ORVANTER_OBJECT", "2"}, {"ORVANTER_EVENT", std::string(40000, 'e')}};
    for (const auto& [name, start] : kMethods) {
        SCOPED_TRACE(name);
        test::TempDirectory folder("orv launch");
        const std::string marker = folder.Join("long.txt");
        const std::string script = test::WriteVariablesScript(folder, "Bat/long.bat", marker);
        ASSERT_TRUE(test::StartedDespiteWine([&] { return start(script, environment); }));
        ASSERT_TRUE(
            test::WaitFor([&] { return !test::ReadVariables(marker).empty(); }, std::chrono::seconds(30)));
        EXPECT_EQ(test::ReadVariables(marker),
                  (std::map<std::string, std::string>{{"ORVANTER_OBJECT", "2"}}));
    }
    wchar_t value[16] = {};
    EXPECT_EQ(GetEnvironmentVariableW(L"ORVANTER_EVENT", value, 16), 9u) << "put back afterwards";
}

TEST(LaunchEnvironment, ADocumentOpenedByTheShellInheritsNoneOfTheWithheldNames) {
    // As during a macro's start, or inherited from whoever started the program.
    const InheritedVariable object(L"ORVANTER_OBJECT", L"5");
    const InheritedVariable path(L"ORVANTER_PATH", L"C:\\watched");
    test::TempDirectory folder("orv launch");
    const std::string marker = folder.Join("document.txt");
    const std::string document = folder.WriteFile(
        "Help.bat", "@echo off\r\nset> \"" + marker + ".tmp\" 2>nul\r\necho END>> \"" + marker +
                        ".tmp\"\r\nmove /y \"" + marker + ".tmp\" \"" + marker + "\" >nul\r\n");
    ASSERT_TRUE(test::StartedDespiteWine([&] {
        return OpenDocument(nullptr, document, SW_SHOWNORMAL, {"ORVANTER_OBJECT", "ORVANTER_PATH"});
    }));
    ASSERT_TRUE(test::WaitFor([&] { return !test::ReadFile(marker).empty(); }, std::chrono::seconds(30)));
    const std::string listed = test::ReadFile(marker);
    EXPECT_NE(listed.find("\r\nEND\r\n"), std::string::npos) << "the whole environment was listed";
    EXPECT_EQ(listed.find("ORVANTER_"), std::string::npos) << listed;
    wchar_t value[16] = {};
    EXPECT_EQ(GetEnvironmentVariableW(L"ORVANTER_OBJECT", value, 16), 1u) << "put back afterwards";
}
#endif

}  // namespace
}  // namespace orv::launch
