#include "settings/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry.h"
#include "settings/store.h"
#include "tests/support/test_support.h"

namespace orv::settings {
namespace {

const std::string kExecutable = "C:\\Users\\Anna Maria\\Program Files\\ORVANTER.v2.exe";
const std::string kEntryName = "Orvanter";  // the title: up to the first dot, the rest in lower case

class AutorunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The scratch Run key exists, like the real one, with somebody else's entry in it.
        ASSERT_TRUE(reg::Key::Open(run.Path(), true, key));
        ASSERT_EQ(key.WriteString("OtherTool", "\"C:\\Other\\other.exe\" /tray"), reg::Status::Ok);
    }

    std::string Entry() {
        std::string text;
        EXPECT_EQ(key.ReadString(kEntryName, text), reg::Status::Ok);
        return text;
    }

    void ExpectOtherEntryKept() {
        std::string text;
        EXPECT_EQ(key.ReadString("OtherTool", text), reg::Status::Ok);
        EXPECT_EQ(text, "\"C:\\Other\\other.exe\" /tray");
    }

    test::ScratchKey run{"Run"};
    reg::Key key;
};

TEST_F(AutorunTest, SwitchingOnWritesTheQuotedPathAndOffDeletesIt) {
    Options options;
    EXPECT_TRUE(ToggleAutoRun(options, kExecutable, run.Path()).empty());
    EXPECT_TRUE(options.AutoRun);
    EXPECT_EQ(key.TypeOf(kEntryName), reg::ValueType::String);
    EXPECT_EQ(Entry(), "\"C:\\Users\\Anna Maria\\Program Files\\ORVANTER.v2.exe\"");

    EXPECT_TRUE(ToggleAutoRun(options, kExecutable, run.Path()).empty());
    EXPECT_FALSE(options.AutoRun);
    EXPECT_FALSE(key.HasValue(kEntryName));
    ExpectOtherEntryKept();
}

TEST_F(AutorunTest, SwitchingOffWithoutAnEntryDoesNothing) {
    Options options{true, true, false, true};
    EXPECT_TRUE(ToggleAutoRun(options, kExecutable, run.Path()).empty());
    EXPECT_FALSE(options.AutoRun);
    EXPECT_FALSE(key.HasValue(kEntryName));
    EXPECT_EQ(key.ValueNames(), std::vector<std::string>{"OtherTool"});
}

TEST_F(AutorunTest, AnEntryOfTheSameNameIsOverwrittenAndTheNewPathReplacesTheOld) {
    ASSERT_EQ(key.WriteString(kEntryName, "C:\\Old Place\\Orvanter.exe"), reg::Status::Ok);
    EXPECT_TRUE(SetAutorunEntry(true, "D:\\New Place\\Orvanter.exe", run.Path()).empty());
    EXPECT_EQ(Entry(), "\"D:\\New Place\\Orvanter.exe\"");
    EXPECT_TRUE(SetAutorunEntry(false, "D:\\New Place\\Orvanter.exe", run.Path()).empty());
    EXPECT_FALSE(key.HasValue(kEntryName));
    ExpectOtherEntryKept();
}

TEST(AutorunNoRunKey, SwitchingOnReportsTheEntryAndNeverCreatesTheKey) {
    const test::ScratchKey run{"Run"};
    Options options;

    const std::vector<std::string> failed = ToggleAutoRun(options, kExecutable, run.Path());

    EXPECT_EQ(failed, std::vector<std::string>{kEntryName});
    EXPECT_EQ(WriteFailureMessage(failed), "Failed to set data for 'Orvanter'");
    EXPECT_TRUE(options.AutoRun) << "the option keeps its new state";
    reg::Key key;
    EXPECT_FALSE(reg::Key::Open(run.Path(), false, key));

    EXPECT_TRUE(ToggleAutoRun(options, kExecutable, run.Path()).empty()) << "switching off is silent";
    EXPECT_FALSE(options.AutoRun);
    EXPECT_FALSE(reg::Key::Open(run.Path(), false, key));
}

TEST(OptionToggles, EachFlipsOnlyItsOwnOption) {
    Options options;
    ToggleHintShow(options);
    EXPECT_EQ(options, (Options{true, false, false, false}));
    ToggleHintShow(options);
    EXPECT_EQ(options, Options{});
    ToggleMinFormShow(options);
    EXPECT_EQ(options, (Options{true, true, true, false}));
    ToggleLogOK(options);
    EXPECT_EQ(options, (Options{false, true, true, false}));
    ToggleLogOK(options);
    ToggleMinFormShow(options);
    EXPECT_EQ(options, Options{});
}

TEST(ResetObjects, EveryStoredFieldReturnsToItsFirstRunValue) {
    engine::ObjectArray objects;
    for (int i = 0; i < 8; ++i) {
        engine::ControlObject& object = objects[i];
        object.settings = {false, 2, 1, "f", "d", "p", "nf", "nd", "np", "text", 6};
        object.baseline = {true, "3000000000", 4, "20240101", true, "77", "20230101", true};
        object.ActionPending = true;
        object.EventText = "Object " + std::to_string(i + 1);
    }
    objects[4].settings.Type = 7;
    const uint64_t before = objects[4].generation;

    ResetObjects(objects);

    for (int i = 0; i < 8; ++i) {
        const engine::ControlObject& object = objects[i];
        EXPECT_TRUE(object.settings.Razr);
        EXPECT_EQ(object.settings.Type, 0);
        EXPECT_EQ(object.settings.Param, 0);
        EXPECT_EQ(object.settings.Action, 0);
        EXPECT_TRUE(object.settings.Path_File.empty() && object.settings.Path_Dir.empty() &&
                    object.settings.Path_Prog.empty());
        EXPECT_TRUE(object.settings.Name_File.empty() && object.settings.Name_Dir.empty() &&
                    object.settings.Name_Prog.empty());
        EXPECT_TRUE(object.settings.String.empty());
        EXPECT_FALSE(object.baseline.File_OK_Old || object.baseline.Dir_OK_Old ||
                     object.baseline.Prog_Active_Old);
        EXPECT_EQ(object.baseline.Size_File_Old, "0");
        EXPECT_EQ(object.baseline.Size_Dir_Old, "0");
        EXPECT_EQ(object.baseline.Povtor_File_Old, 0);
        EXPECT_TRUE(object.baseline.File_Data_Old.empty() && object.baseline.Dir_Data_Old.empty());
        EXPECT_EQ(object.EventText, "Object " + std::to_string(i + 1)) << "run-time fields are not stored";
    }
    EXPECT_NE(objects[4].generation, before);
}

TEST(ResetObjects, AfterAResetAndAnExitObjectOneKeepsItsSearchFieldText) {
    const test::ScratchKey scratch{"settings"};
    const SettingsStore store(scratch.Path());
    engine::ObjectArray objects;
    for (auto& object : objects) {
        object.settings.String = "old";
        object.settings.Path_File = "C:\\x.txt";
    }
    const Options options{false, true, true, false};

    ResetObjects(objects);
    ASSERT_TRUE(store.SaveSettings(objects, options, "old").empty());

    engine::ObjectArray loaded;
    Options loadedOptions;
    store.LoadSettings(loaded, loadedOptions);
    EXPECT_EQ(loaded[0].settings.String, "old");
    for (int i = 1; i < 8; ++i) {
        EXPECT_EQ(loaded[i].settings.String, "") << "object " << i + 1;
    }
    EXPECT_EQ(loaded[0].settings.Path_File, "");
    EXPECT_EQ(loadedOptions, options) << "the reset leaves the options";
}

}  // namespace
}  // namespace orv::settings
