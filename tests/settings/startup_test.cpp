#include "settings/startup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/engine.h"
#include "engine/measurement.h"
#include "lang/language.h"
#include "macros/macro_table.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tests/support/test_support.h"

namespace orv::settings {
namespace {

// A check that counts: every check of an object raises its Povtor_File_Old by one, so the test sees
// whether any check ran after the values were saved. One chosen check can be held while it "measures".
class CountingChecks final : public engine::CheckRunner {
  public:
    std::optional<engine::CheckResult> File(int number, const engine::ControlObject& object,
                                            const engine::CheckContext&) override {
        return Count(number, object);
    }
    std::optional<engine::CheckResult> Directory(int number, const engine::ControlObject& object,
                                                 const engine::CheckContext&) override {
        return Count(number, object);
    }
    std::optional<engine::CheckResult> Application(int number, const engine::ControlObject& object,
                                                   const engine::CheckContext&) override {
        return Count(number, object);
    }

    // The check with this ordinal (1 = the first) waits for Release().
    void Hold(int ordinal) { holdAt_ = ordinal; }
    bool Holding() {
        std::lock_guard<std::mutex> lock(mutex_);
        return holding_;
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

    std::atomic<int> checks{0};

  private:
    std::optional<engine::CheckResult> Count(int number, const engine::ControlObject& object) {
        engine::CheckResult result;
        result.baseline = object.baseline;
        ++result.baseline.Povtor_File_Old;
        result.eventText = "Object " + std::to_string(number);
        if (checks.fetch_add(1) + 1 == holdAt_.load()) {
            std::unique_lock<std::mutex> lock(mutex_);
            holding_ = true;
            changed_.wait(lock, [this] { return released_; });
        }
        return result;
    }

    std::atomic<int> holdAt_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool holding_ = false;
    bool released_ = false;
};

int32_t ReadInt(const std::string& keyPath, const std::string& name) {
    reg::Key key;
    int32_t value = -12345;
    if (reg::Key::Open(keyPath, false, key)) {
        key.ReadInt(name, value);
    }
    return value;
}

std::string ReadString(const std::string& keyPath, const std::string& name) {
    reg::Key key;
    std::string value = "<missing>";
    if (reg::Key::Open(keyPath, false, key)) {
        key.ReadString(name, value);
    }
    return value;
}

class ProgramStateTest : public ::testing::Test {
  protected:
    ProgramStateTest() {
        keys.program = scratch.Path();
        keys.macros = scratch.Path() + "Macros\\";
        keys.run = run.Path();
        keys.startupApproved = run.Path() + "Approved";
        services.checks = checks;
        services.logFolder = folder.Join("Log") + fs::kSeparator;
        services.pause = std::chrono::milliseconds(1);
    }

    reg::Key OpenKey(const std::string& path) {
        reg::Key key;
        EXPECT_TRUE(reg::Key::Open(path, true, key));
        return key;
    }
    reg::Key ProgramKey() { return OpenKey(keys.program); }
    reg::Key MacrosKey() { return OpenKey(keys.macros); }

    // The parts a start builds, over the scratch keys, folder and counting checks.
    struct Program {
        explicit Program(ProgramStateTest& test, std::string executablePath = "C:\\Orvanter.exe")
            : engine(test.services),
              macros(test.folder.Path() + fs::kSeparator),
              state(engine, language, macros, std::move(executablePath), test.keys) {}
        void CreateWindows() {
            state.CreateMainWindow();
            state.CreateSplashWindow();
            state.CreateMacroEditor();
        }
        engine::Engine engine;
        lang::LanguageState language;
        macros::MacroTable macros;
        ProgramState state;
    };

    test::ScratchKey scratch{"program"};
    test::ScratchKey run{"Run"};
    test::TempDirectory folder{"orv-settings"};
    StoreKeys keys;
    std::shared_ptr<CountingChecks> checks = std::make_shared<CountingChecks>();
    engine::EngineServices services;
};

TEST_F(ProgramStateTest, StartLoadsEveryPartAndExitSavesThemAll) {
    {
        reg::Key key = ProgramKey();
        key.WriteInt("LogOK", 0);
        key.WriteInt("AutoRun", 1);
        key.WriteInt("WaitFinished", 1);
        key.WriteInt("Type_Obj3", 1);
        key.WriteString("Path_Dir3", "C:\\Каталог");
        key.WriteString("String_Obj1", "old text");
        key.WriteInt("Languare", 1);
        MacrosKey().WriteString("Macros_2_Name", "Backup");
    }
    Program program(*this, "C:\\Tools\\Orvanter.exe");
    auto& [engine, language, macros, state] = program;

    EXPECT_EQ(state.CreateMainWindow(), "");
    EXPECT_FALSE(engine.LogOK()) << "the log option reaches the engine";
    EXPECT_TRUE(engine.WaitFinished());
    EXPECT_TRUE(state.CurrentOptions().AutoRun);
    EXPECT_EQ(engine.Object(3)->settings.Type, engine::ObjectType::Directory);
    EXPECT_EQ(engine.Object(3)->settings.Path_Dir, "C:\\Каталог");
    EXPECT_FALSE(engine.ControlRunning());
    EXPECT_EQ(engine.ScanStep(), 0);
    state.CreateSplashWindow();
    EXPECT_EQ(language.Language(), lang::kRussian);
    EXPECT_EQ(state.CreateMacroEditor(), "");
    EXPECT_EQ(macros.Slot(2).name, "Backup");

    // A run: edits in the panels, the language switched back, a macro renamed.
    engine::ObjectArray edited = engine.Objects();
    edited[4].settings.Path_File = "D:\\data.bin";
    edited[4].baseline.Size_File_Old = "3000000000";
    edited[0].settings.String = "new text";
    engine.LoadObjects(edited);
    language.Set(lang::kEnglish);
    macros::MacroSlot slot = macros.Slot(4);
    slot.name = "Notify";
    macros.SetSlot(4, slot);
    EXPECT_EQ(ReadString(keys.program, "Path_File5"), "<missing>") << "nothing is saved before the exit";

    EXPECT_EQ(state.Exit(), "");

    EXPECT_TRUE(state.Saved());
    EXPECT_EQ(ProgramKey().ValueNames().size(), 158u + 1u) << "the settings and Languare";
    EXPECT_EQ(ReadString(keys.program, "Path_File5"), "D:\\data.bin");
    EXPECT_EQ(ReadString(keys.program, "Size_File5_Old"), "3000000000");
    EXPECT_EQ(ReadString(keys.program, "Path_Dir3"), "C:\\Каталог");
    EXPECT_EQ(ReadString(keys.program, "String_Obj1"), "new text");
    EXPECT_EQ(ReadInt(keys.program, "LogOK"), 0);
    EXPECT_EQ(ReadInt(keys.program, "AutoRun"), 1);
    EXPECT_EQ(ReadInt(keys.program, "Languare"), lang::kEnglish);
    EXPECT_EQ(ReadString(keys.macros, "Macros_4_Name"), "Notify");
    EXPECT_EQ(ReadString(keys.macros, "Macros_2_Name"), "Backup");

    // The session end saved already; the window's destruction afterwards must not save again.
    ProgramKey().WriteString("Path_File5", "changed outside");
    EXPECT_EQ(state.Exit(), "");
    EXPECT_EQ(ReadString(keys.program, "Path_File5"), "changed outside");
}

TEST_F(ProgramStateTest, ValuesOfTheWrongTypeAreListedInOneMessagePerWindow) {
    {
        reg::Key key = ProgramKey();
        key.WriteString("Razr_Obj2", "yes");
        key.WriteInt("Name_File7", 3);
        key.WriteString("Languare", "Russian");
        MacrosKey().WriteInt("Macros_1_Name", 1);
    }
    Program program(*this);
    auto& [engine, language, macros, state] = program;

    EXPECT_EQ(state.CreateMainWindow(),
              "Invalid data type for 'Razr_Obj2'\r\nInvalid data type for 'Name_File7'");
    EXPECT_TRUE(engine.Object(2)->settings.Razr);
    state.CreateSplashWindow();
    EXPECT_EQ(language.Language(), lang::kEnglish) << "the language value's errors are ignored";
    EXPECT_EQ(state.CreateMacroEditor(), "Invalid data type for 'Macros_1_Name'");
}

TEST_F(ProgramStateTest, ExitSavesAtOnceWithoutTheCheckUnderWayAndNoCheckChangesAnythingAfterIt) {
    Program program(*this);
    auto& [engine, language, macros, state] = program;
    program.CreateWindows();

    checks->Hold(20);
    engine.StartControl();
    ASSERT_TRUE(test::WaitFor([&] { return checks->Holding(); }));

    // A session's end may end the process a moment after it is announced: the exit abandons the check
    // the system holds and saves within the second.
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(state.Exit(), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    EXPECT_FALSE(engine.ControlRunning());
    EXPECT_EQ(engine.LiveScanThreads(), 0);
    checks->Release();
    ASSERT_TRUE(test::WaitFor([] { return engine::Measurement::Running() == 0; }));

    const int after = checks->checks.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(checks->checks.load(), after) << "no check runs after the exit";
    int32_t total = 0;
    for (int n = 1; n <= 8; ++n) {
        const int32_t saved = ReadInt(keys.program, "Povtor_File" + std::to_string(n) + "_Old");
        EXPECT_EQ(saved, engine.Object(n)->baseline.Povtor_File_Old) << "object " << n;
        total += saved;
    }
    EXPECT_EQ(total, after - 1)
        << "every finished check's baseline reached the registry, the held one's none";
}

// Object 1's text typed just before the exit, its check held: the text saved is the one whose count is
// saved, not the field's text beside an older text's count.
TEST_F(ProgramStateTest, ExitSavesObjectOnesSearchTextWithItsOwnCount) {
    {
        reg::Key key = ProgramKey();
        key.WriteString("String_Obj1", "old");
        key.WriteInt("Param_Obj1", 3);
        key.WriteInt("Povtor_File1_Old", 5);
    }
    Program program(*this);
    program.CreateWindows();
    checks->Hold(1);
    program.engine.SearchTextChanged(1, "typed");
    ASSERT_TRUE(test::WaitFor([&] { return checks->Holding(); }));
    EXPECT_EQ(program.state.Exit(), "");
    checks->Release();
    EXPECT_EQ(ReadString(keys.program, "String_Obj1"), "old");
    EXPECT_EQ(ReadInt(keys.program, "Povtor_File1_Old"), 5);
}

TEST_F(ProgramStateTest, AnExitBeforeEveryWindowWasCreatedKeepsTheStoredValuesOfTheOthers) {
    {
        reg::Key key = ProgramKey();
        key.WriteInt("Languare", 1);
        MacrosKey().WriteString("Macros_3_Name", "Mail");
    }
    Program program(*this);
    auto& [engine, language, macros, state] = program;
    state.CreateMainWindow();

    EXPECT_EQ(state.Exit(), "");

    EXPECT_EQ(ReadInt(keys.program, "Languare"), 1) << "not overwritten with English";
    EXPECT_EQ(ReadString(keys.macros, "Macros_3_Name"), "Mail");
    reg::Key macrosKey;
    ASSERT_TRUE(reg::Key::Open(keys.macros, false, macrosKey));
    EXPECT_EQ(macrosKey.ValueNames().size(), 1u);
    EXPECT_EQ(ProgramKey().ValueNames().size(), 158u + 1u) << "the main window's state was saved";
}

TEST_F(ProgramStateTest, ExitReportsWhatCouldNotBeWrittenAndStillSavesTheRest) {
    keys.program = scratch.Path() + std::string(300, 'p') + "\\";
    Program program(*this);
    auto& [engine, language, macros, state] = program;
    program.CreateWindows();

    const std::string message = state.Exit();

    // One line for the key, not one per value: 158 lines would make a box taller than the screen.
    EXPECT_EQ(message, "Failed to create key 'HKEY_CURRENT_USER\\" + keys.program + "'");
    EXPECT_EQ(ReadString(keys.macros, "Macros_1_Name"), "Macros_1") << "the macros were saved";
}

TEST_F(ProgramStateTest, TogglesChangeOnlyTheirOptionAndTheStartUpEntry) {
    reg::Key runKey;
    ASSERT_TRUE(reg::Key::Open(keys.run, true, runKey));
    Program program(*this, "C:\\Program Files\\Orvanter\\Orvanter.exe");
    auto& [engine, language, macros, state] = program;
    state.CreateMainWindow();

    state.Cb_LogOKClick();
    EXPECT_FALSE(engine.LogOK()) << "the log writer sees the option at once";
    EXPECT_FALSE(state.CurrentOptions().LogOK);
    state.Cb_HintShowClick();
    state.Cb_MinFormShowClick();
    EXPECT_EQ(state.Cb_AutoRunClick(), "");
    EXPECT_EQ(state.CurrentOptions(), (Options{false, false, true, true}));
    state.Cb_WaitFinishedClick();
    EXPECT_TRUE(engine.WaitFinished()) << "the checks see the option at once";
    EXPECT_EQ(state.CurrentOptions(), (Options{false, false, true, true, 0, true}));
    std::string entry;
    EXPECT_EQ(runKey.ReadString("Orvanter", entry), reg::Status::Ok);
    EXPECT_EQ(entry, "\"C:\\Program Files\\Orvanter\\Orvanter.exe\"");
    EXPECT_TRUE(ProgramKey().ValueNames().empty()) << "the options are saved only at exit";

    EXPECT_EQ(state.Cb_AutoRunClick(), "");
    EXPECT_FALSE(runKey.HasValue("Orvanter"));

    ASSERT_TRUE(reg::DeleteKeyTree(keys.run));
    EXPECT_EQ(state.Cb_AutoRunClick(), "Failed to set data for 'Orvanter'");
    EXPECT_TRUE(state.CurrentOptions().AutoRun);
}

TEST_F(ProgramStateTest, ResetStopsControlClearsTheObjectsAndKeepsObjectOnesFieldText) {
    {
        reg::Key key = ProgramKey();
        key.WriteInt("LogOK", 0);
        for (int n = 1; n <= 8; ++n) {
            const std::string d = std::to_string(n);
            key.WriteInt("Razr_Obj" + d, n % 2);
            key.WriteInt("Type_Obj" + d, 2);
            key.WriteString("Path_Prog" + d, "C:\\p" + d + ".exe");
            key.WriteString("String_Obj" + d, "text " + d);
            key.WriteInt("Action_Obj" + d, 5);
            key.WriteInt("Prog" + d + "_Active_Old", 1);
            key.WriteString("Size_Dir" + d + "_Old", "77");
        }
    }
    Program program(*this);
    auto& [engine, language, macros, state] = program;
    program.CreateWindows();
    engine.StartControl();
    ASSERT_TRUE(test::WaitFor([&] { return checks->checks.load() >= 3; }));

    EXPECT_TRUE(state.Sb_ResetClick());

    EXPECT_FALSE(engine.ControlRunning());
    EXPECT_EQ(engine.ScanStep(), 0);
    EXPECT_EQ(state.CurrentOptions().LogOK, false) << "the options stay";
    ASSERT_TRUE(test::WaitFor([&] { return engine.LiveScanThreads() == 0; }));
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(engine.Object(n)->settings, engine::ObjectSettings{}) << "object " << n;
        EXPECT_EQ(engine.Object(n)->baseline, engine::Baseline{}) << "object " << n;
    }
    EXPECT_EQ(ReadString(keys.program, "Path_Prog3"), "C:\\p3.exe") << "the reset writes nothing";
    EXPECT_FALSE(state.Sb_ResetClick()) << "control was not running this time";

    // The search fields still show their texts; object 1 keeps its own for the next run.
    EXPECT_EQ(state.Exit(), "");
    EXPECT_EQ(ReadString(keys.program, "String_Obj1"), "text 1");
    for (int n = 2; n <= 8; ++n) {
        const std::string d = std::to_string(n);
        EXPECT_EQ(ReadString(keys.program, "String_Obj" + d), "") << "object " << n;
        EXPECT_EQ(ReadString(keys.program, "Path_Prog" + d), "");
        EXPECT_EQ(ReadInt(keys.program, "Razr_Obj" + d), 1);
        EXPECT_EQ(ReadInt(keys.program, "Type_Obj" + d), 0);
        EXPECT_EQ(ReadInt(keys.program, "Action_Obj" + d), 0);
        EXPECT_EQ(ReadInt(keys.program, "Prog" + d + "_Active_Old"), 0);
        EXPECT_EQ(ReadString(keys.program, "Size_Dir" + d + "_Old"), "0");
    }
    EXPECT_EQ(ReadInt(keys.program, "LogOK"), 0);
}

// Object 1's text from before a reset is kept only until its field changes: then the new text is saved.
TEST_F(ProgramStateTest, ObjectOnesTextChangedAfterAResetIsTheOneSaved) {
    ProgramKey().WriteString("String_Obj1", "before");
    Program program(*this);
    auto& [engine, language, macros, state] = program;
    program.CreateWindows();
    state.Sb_ResetClick();
    state.Sb_ResetClick();
    state.SearchTextChanged(1, "after");
    ASSERT_TRUE(test::WaitFor([&] { return engine.PendingRequests() == 0; }));

    EXPECT_EQ(state.Exit(), "");
    EXPECT_EQ(ReadString(keys.program, "String_Obj1"), "after");
}

}  // namespace
}  // namespace orv::settings
