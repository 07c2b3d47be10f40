// What a started batch file learns about the event that started it: the real scan cycle, the real
// checks and the real call methods, down to the values the batch file finds in its environment.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/engine.h"
#include "macros/macro_table.h"
#include "platform/files.h"
#include "tests/macros/fake_launcher.h"
#include "tests/support/test_support.h"

namespace orv::macros {
namespace {

using Variables = std::map<std::string, std::string>;

// Object 3 watches the size of a file whose path holds a blank, '%', '&' and Cyrillic letters; the
// file has grown by 2048 bytes since the baseline.
class EventContextTest : public ::testing::Test {
  protected:
    orv::test::TempDirectory root{"orv context"};
    const std::string name = "\xD0\xB4\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5 & 100%PATH%.bin";
    const std::string watched = root.WriteFile("Watched 50% & more/" + name, std::string(2048, 'x'));
    const std::string marker = root.Join("marker.txt");

    // One cycle of a new engine up to its action step; returns the log folder it wrote to.
    std::string RunCycle(MacroTable& table, const std::string& logName) {
        const std::string logFolder = root.Join(logName) + fs::kSeparator;
        engine::EngineServices services;
        services.formats = [] { return clock::Formats{"dd.MM.yyyy", "HH:mm:ss"}; };
        services.names = [] { return clock::DefaultNames(); };
        services.now = [] {
            return clock::LocalTime{
                .year = 2026, .month = 3, .day = 14, .hour = 6, .minute = 9, .second = 26};
        };
        services.logFolder = logFolder;
        services.runMacro = [&table](int number, const launch::Environment& environment) {
            table.RunMacro(number, environment);
        };
        engine::Engine engine(std::move(services));
        engine::ObjectArray objects = engine.Objects();
        for (int number = 1; number <= engine::kObjectCount; ++number) {
            objects[number - 1].settings.Razr = number == 3;
        }
        engine::ControlObject& third = objects[2];
        third.settings.Type = engine::ObjectType::File;
        third.settings.Param = engine::ControlParam::Size;
        third.settings.Path_File = watched;
        third.settings.Name_File = name;
        third.baseline.Size_File_Old = "0";
        engine.LoadObjects(objects);
        // Object 3's check, the log step, the action step.
        for (int pass = 0; pass < 3; ++pass) {
            engine.RunPass();
        }
        EXPECT_EQ(engine.ScanStep(), 10);
        return logFolder;
    }
};

TEST_F(EventContextTest, EveryCallMethodHandsTheSizeEventToTheBatchFileExactly) {
    orv::test::WriteVariablesScript(root, "Bat/vars.bat", marker);
    MacroTable table(root.Join("Bat") + fs::kSeparator);
    for (CallMethod method : {kMethodWinExec, kMethodShellExecute, kMethodCreateProcess}) {
        SCOPED_TRACE(method);
        fs::RemoveFile(marker);
        table.SetSlot(3, MacroSlot{"Macros_3", "vars.bat", method});
        const std::string logFolder = RunCycle(table, "Log " + std::to_string(method));
        ASSERT_TRUE(orv::test::WaitFor([&] { return !orv::test::ReadVariables(marker).empty(); },
                                       std::chrono::seconds(30)));
        const std::string outcome = "File size increased to: 2048 b";
        const Variables expected = {
            {"ORVANTER_OBJECT", "3"},
            {"ORVANTER_TYPE", "file"},
            {"ORVANTER_PARAM", "size"},
            {"ORVANTER_PATH", watched},
            {"ORVANTER_NAME", name},
            {"ORVANTER_EVENT", "Object 3 / Control of file size : " + name + " / " + outcome},
            {"ORVANTER_OUTCOME", outcome},
            {"ORVANTER_TIME", "2026-03-14T06:09:26"},
            {"ORVANTER_LOG", logFolder + "06.09.26.log"},
        };
        EXPECT_EQ(orv::test::ReadVariables(marker), expected);
        EXPECT_TRUE(fs::IsFile(logFolder + "06.09.26.log"));
    }
}

TEST(RunButtonContext, TellsTheMacroNumberAndNoEvent) {
    test::LaunchRecorder recorder;
    MacroTable table("bat" + std::string(1, fs::kSeparator), recorder.MakeLauncher());
    table.SetSlot(5, MacroSlot{"Macros_5", "go.bat", kMethodCreateProcess});
    table.SetCurrentMacro(5);
    table.LoadCurrentMacro();
    table.RunWorking();
    ASSERT_EQ(recorder.Environments().size(), 1u);
    const launch::Environment variables = recorder.Environments()[0];
    ASSERT_EQ(variables.size(), 9u);
    EXPECT_EQ(variables[0], (launch::Variable{"ORVANTER_OBJECT", "5"}));
    for (size_t i = 1; i < variables.size(); ++i) {
        EXPECT_EQ(variables[i].name.rfind("ORVANTER_", 0), 0u);
        EXPECT_EQ(variables[i].value, "") << variables[i].name;
    }
}

}  // namespace
}  // namespace orv::macros
