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

// Task Manager's Startup tab: 03 and the time it was switched off (disabled), 02 and zeros (enabled).
const std::string kDisabledByTaskManager("\x03\x00\x00\x00\x10\x2e\x61\x4b\x3a\x6f\xda\x01", 12);
const std::string kEnabledByTaskManager("\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 12);

TEST_F(AutorunTest, TheBoxShowsWhatTaskManagerLetsWindowsDoAndTickingEnablesTheEntryAgain) {
    const std::string approvedPath = run.Path() + "Approved";
    reg::Key approved;
    ASSERT_TRUE(reg::Key::Open(approvedPath, true, approved));
    Options options;
    options.AutoRun = true;
    EXPECT_TRUE(AutoRunInEffect(options, kExecutable, approvedPath)) << "no value: enabled";
    ASSERT_EQ(approved.WriteBinary(kEntryName, kEnabledByTaskManager), reg::Status::Ok);
    EXPECT_TRUE(AutoRunInEffect(options, kExecutable, approvedPath));
    ASSERT_EQ(approved.WriteBinary(kEntryName, kDisabledByTaskManager), reg::Status::Ok);
    EXPECT_FALSE(AutoRunInEffect(options, kExecutable, approvedPath));

    // The box shows off, so a click ticks it: the entry, then Task Manager's value enabled.
    EXPECT_TRUE(ToggleAutoRun(options, kExecutable, run.Path(), approvedPath).empty());
    EXPECT_TRUE(options.AutoRun);
    EXPECT_EQ(Entry(), "\"C:\\Users\\Anna Maria\\Program Files\\ORVANTER.v2.exe\"");
    std::string bytes;
    EXPECT_EQ(approved.ReadBinary(kEntryName, bytes), reg::Status::Ok);
    EXPECT_EQ(bytes, kEnabledByTaskManager);
    EXPECT_TRUE(AutoRunInEffect(options, kExecutable, approvedPath));

    // Unticking removes the entry and leaves Task Manager's value alone.
    EXPECT_TRUE(ToggleAutoRun(options, kExecutable, run.Path(), approvedPath).empty());
    EXPECT_FALSE(options.AutoRun);
    EXPECT_FALSE(key.HasValue(kEntryName));
    EXPECT_EQ(approved.ReadBinary(kEntryName, bytes), reg::Status::Ok);
    EXPECT_EQ(bytes, kEnabledByTaskManager);
}

TEST(AutorunNoRunKey, TaskManagersSwitchStaysOffWhenTheEntryCannotBeWritten) {
    const test::ScratchKey scratch{"Approved"};
    reg::Key approved;
    ASSERT_TRUE(reg::Key::Open(scratch.Path(), true, approved));
    ASSERT_EQ(approved.WriteBinary(kEntryName, kDisabledByTaskManager), reg::Status::Ok);
    Options options;
    EXPECT_EQ(ToggleAutoRun(options, kExecutable, scratch.Path() + "NoRun", scratch.Path()),
              std::vector<std::string>{kEntryName});
    std::string bytes;
    EXPECT_EQ(approved.ReadBinary(kEntryName, bytes), reg::Status::Ok);
    EXPECT_EQ(bytes, kDisabledByTaskManager);
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

}  // namespace
}  // namespace orv::settings
