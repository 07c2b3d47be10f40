// What the user loses when the world around the program misbehaves: files held or pulled away, a
// registry key deleted under a running program, damaged values, odd folders, long paths, Cyrillic
// texts. Real files, the real registry, the real checks, under a Russian system locale (ANSI code
// page 1251). No case may crash, hang, lose a baseline or report a change that did not happen.
//
// | Case                                         | Lost if it failed                                      |
// |----------------------------------------------|--------------------------------------------------------|
// | FileHeldOpenByAnotherProgram                 | size, date and count events of a log another program   |
// |                                              | writes; a false change when it cannot be read          |
// | FileDeletedWhileItIsMeasured                 | a false "reduced"/"decreased" event and its macro      |
// | DirectoryReplacedByAFileOfTheSameName        | the directory's size and date baselines                |
// | WatchedFolderBecomesUnlistable               | a false "size decreased" event and the size baseline   |
// | RegistryKeyDeletedWhileRunning               | every setting and baseline of the run                  |
// | WrongTypeForEveryStoredName                  | the settings and macros stored after a damaged value   |
// | LogThatIsAFile                               | the scan cycle, and the user's file named "Log"        |
// | PathLongerThan300Characters                  | every event of an object watched deep in a tree        |
// | CyrillicSearchText                           | the count of a Russian text in a Windows-1251 file     |
// | MacroInAFolderOutsideTheCodePage             | the macro (WinExec would get '?' and start nothing)    |
// | CopyWrittenInSteps                           | with changes waited for: a macro on half a file        |
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/engine.h"
#include "lang/language.h"
#include "macros/macro_table.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "settings/startup.h"
#include "settings/store.h"
#include "tests/engine/fakes.h"
#include "tests/support/test_support.h"

namespace orv::faults {
namespace {

using namespace std::chrono_literals;
using engine::Baseline;
using engine::ControlObject;
using engine::ObjectSettings;
using orv::test::WaitFor;

// Another program holding `path` open: "none" shares nothing, "read" shares reading only. Released
// on destruction.
class Holder {
  public:
    Holder(const std::string& path, const wchar_t* share) : path_(path) {
        std::wstring command = L"\"" + Wide(paths::ExecutableFolder() + "OrvHolder.exe") + L"\" \"" +
                               Wide(path) + L"\" " + share;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process_)) {
            held_ = WaitFor([this] { return fs::IsFile(path_ + ".held"); }, 20s);
        }
    }
    ~Holder() {
        if (process_.hProcess != nullptr) {
            HANDLE release = ::CreateFileW(Wide(path_ + ".release").c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, 0, nullptr);
            ::CloseHandle(release);
            ::WaitForSingleObject(process_.hProcess, 20000);
            ::CloseHandle(process_.hProcess);
            ::CloseHandle(process_.hThread);
            fs::RemoveFile(path_ + ".held");
            fs::RemoveFile(path_ + ".release");
        }
    }
    bool Held() const { return held_; }

    static std::wstring Wide(const std::string& utf8) {
        const std::u16string wide = text::Utf8ToUtf16(utf8);
        return std::wstring(wide.begin(), wide.end());
    }

  private:
    std::string path_;
    PROCESS_INFORMATION process_{};
    bool held_ = false;
};

class Faults : public ::testing::Test {
  protected:
    void SetUp() override { MakeEngine({}); }
    void MakeEngine(std::function<void(int, const launch::Environment&)> runMacro) {
        engine.reset();
        engine::EngineServices services;
        services.runMacro = std::move(runMacro);
        services.formats = [] { return clock::Formats{"dd.MM.yyyy", "HH:mm:ss"}; };
        services.names = [] { return clock::DefaultNames(); };
        services.display = &sink;
        services.logFolder = folder.Join("Log") + fs::kSeparator;
        services.pause = 1ms;
        engine = std::make_unique<engine::Engine>(std::move(services));
        for (int number = 1; number <= engine::kObjectCount; ++number) {
            engine->SetRazr(number, false);
        }
    }

    // Object `number` watches `path` as a file (type 0) or directory (type 1) for `param`.
    void Watch(int number, int type, int param, const std::string& path, const std::string& text = {}) {
        engine::ObjectArray objects = engine->Objects();
        ObjectSettings& settings = objects[number - 1].settings;
        settings.Razr = true;
        settings.Type = static_cast<engine::ObjectType>(type);
        settings.Param = static_cast<engine::ControlParam>(param);
        (type == 0 ? settings.Path_File : settings.Path_Dir) = path;
        (type == 0 ? settings.Name_File : settings.Name_Dir) = "watched";
        settings.String = text;
        engine->LoadObjects(objects);
    }
    // The outcome of one check: the end of the event text ("" when the check changed nothing).
    std::string Check(int number) {
        const std::string before = engine->Object(number)->EventText;
        const uint64_t pendingBefore = sink.Updates().size();
        engine->CheckObject(number);
        if (sink.Updates().size() == pendingBefore) {
            EXPECT_EQ(engine->Object(number)->EventText, before) << "a failed check keeps its event text";
            return "";
        }
        const std::string event = engine->Object(number)->EventText;
        const size_t slash = event.rfind(" / ");
        return slash == std::string::npos ? event : event.substr(slash + 3);
    }
    Baseline BaselineOf(int number) { return engine->Object(number)->baseline; }
    bool Pending(int number) { return engine->Object(number)->ActionPending; }

    orv::test::TempDirectory folder{"orv faults"};
    engine::test::RecordingSink sink;
    std::unique_ptr<engine::Engine> engine;
};

TEST_F(Faults, FileHeldOpenByAnotherProgram) {
    const std::string path = folder.WriteFile("held.log", "ERROR one\nERROR two\nERROR three\n");
    Watch(1, 0, 1, path);
    Watch(2, 0, 2, path);
    Watch(3, 0, 3, path, "ERROR");
    EXPECT_EQ(Check(1), "File size increased to: 32 b");
    EXPECT_EQ(Check(2), "File changed");
    EXPECT_EQ(Check(3), "The number of repetitions increased to: 3");
    {
        // A writer that lets others read (the usual log writer): everything is still measured.
        Holder holder(path, L"read");
        ASSERT_TRUE(holder.Held());
        EXPECT_EQ(Check(1), "File size hasnt changed");
        EXPECT_EQ(Check(2), "File hasnt changed");
        EXPECT_EQ(Check(3), "The number of repetitions hasnt changed");
    }
    {
        // A program that shares nothing: size and date come from the directory entry; the count cannot
        // read the file and says nothing, keeping its baseline.
        Holder holder(path, L"none");
        ASSERT_TRUE(holder.Held());
        EXPECT_EQ(Check(1), "File size hasnt changed");
        EXPECT_EQ(Check(2), "File hasnt changed");
        EXPECT_EQ(Check(3), "");
        EXPECT_FALSE(Pending(3));
        EXPECT_EQ(BaselineOf(3).Povtor_File_Old, 3);
    }
    EXPECT_EQ(Check(3), "The number of repetitions hasnt changed");
}

TEST_F(Faults, FileDeletedWhileItIsMeasured) {
    const std::string path = folder.Join("flicker.txt");
    const std::string content = "abc abc abc ";  // 12 bytes, "abc" three times
    Watch(1, 0, 1, path);
    Watch(2, 0, 3, path, "abc");
    // Another thread makes the file appear whole (written aside, then renamed in) and vanish again,
    // as fast as it can, while the checks measure it.
    std::atomic<bool> done{false};
    std::thread flicker([&] {
        for (int round = 0; !done.load(); ++round) {
            const std::string aside = folder.Join("aside" + std::to_string(round % 2) + ".tmp");
            fs::RemoveFile(aside);
            fs::WriteNewFile(aside, content);
            fs::RenameNoReplace(aside, path);
            fs::RemoveFile(path);
        }
    });
    int sizeEvents = 0;
    int countEvents = 0;
    for (int i = 0; i < 300; ++i) {
        engine->CheckObject(1);
        sizeEvents += Pending(1) ? 1 : 0;
        engine->CheckObject(2);
        countEvents += Pending(2) ? 1 : 0;
        const Baseline size = BaselineOf(1);
        const Baseline count = BaselineOf(2);
        ASSERT_TRUE(size.Size_File_Old == "0" || size.Size_File_Old == "12") << size.Size_File_Old;
        ASSERT_TRUE(count.Povtor_File_Old == 0 || count.Povtor_File_Old == 3) << count.Povtor_File_Old;
    }
    done = true;
    flicker.join();
    // Only the first sight of the file is a change; a vanishing file is never measured as smaller.
    EXPECT_LE(sizeEvents, 1);
    EXPECT_LE(countEvents, 1);
}

TEST_F(Faults, DirectoryReplacedByAFileOfTheSameName) {
    const std::string path = folder.MakeFolder("place");
    folder.WriteFile("place/inside.bin", std::string(10, 'x'));
    Watch(1, 1, 0, path);
    Watch(2, 1, 1, path);
    Watch(3, 1, 2, path);
    Watch(4, 0, 0, path);
    EXPECT_EQ(Check(1), "Directory appeared");
    EXPECT_EQ(Check(2), "Directory size increased to: 10 b");
    EXPECT_EQ(Check(3), "Directory has changed");
    EXPECT_EQ(Check(4), "File is missing and doesnt appear");
    const Baseline kept = BaselineOf(3);

    ASSERT_TRUE(fs::RemoveFile(folder.Join("place/inside.bin")));
    ASSERT_TRUE(::RemoveDirectoryW(Holder::Wide(path).c_str()));
    folder.WriteFile("place", std::string(50, 'y'));
    EXPECT_EQ(Check(1), "Directory is missing");
    EXPECT_EQ(Check(2), "Directory doesnt exist, control is impossible");
    EXPECT_EQ(Check(3), "Directory doesnt exist, control is impossible");
    EXPECT_EQ(Check(4), "File appears");
    EXPECT_EQ(BaselineOf(2).Size_Dir_Old, "10");
    EXPECT_EQ(BaselineOf(3).Dir_Data_Old, kept.Dir_Data_Old);

    // Back to a directory of the same content: the kept size baseline sees no change.
    ASSERT_TRUE(fs::RemoveFile(path));
    folder.WriteFile("place/inside.bin", std::string(10, 'x'));
    EXPECT_EQ(Check(1), "Directory appeared");
    EXPECT_EQ(Check(2), "Directory size hasnt changed");
    EXPECT_EQ(Check(4), "File is missing");
}

TEST_F(Faults, WatchedFolderBecomesUnlistable) {
    const std::string path = folder.MakeFolder("watched");
    folder.WriteFile("watched/a.txt", std::string(20, 'a'));
    folder.WriteFile("watched/sub/b.txt", std::string(10, 'b'));
    Watch(1, 1, 1, path);
    Watch(2, 1, 0, path);
    EXPECT_EQ(Check(1), "Directory size increased to: 30 b");
    EXPECT_EQ(Check(2), "Directory appeared");
    {
        Holder holder(path, L"none");
        ASSERT_TRUE(holder.Held());
        ASSERT_FALSE(fs::ListDirectory(path, [](const fs::DirEntry&) { return true; }))
            << "the folder should be unlistable while it is held";
        EXPECT_EQ(Check(1), "");  // no size at all, so no change
        EXPECT_FALSE(Pending(1));
        EXPECT_EQ(BaselineOf(1).Size_Dir_Old, "30");
        EXPECT_EQ(Check(2), "Directory appeared as is");
    }
    EXPECT_EQ(Check(1), "Directory size hasnt changed");
}

TEST_F(Faults, RegistryKeyDeletedWhileRunning) {
    const orv::test::ScratchKey scratch("faults");
    const orv::test::ScratchKey run("faults-run");
    settings::StoreKeys keys;
    keys.program = scratch.Path();
    keys.macros = scratch.Path() + "Macros\\";
    keys.run = run.Path();
    lang::LanguageState language;
    macros::MacroTable table(folder.Join("Bat") + fs::kSeparator);
    settings::ProgramState state(*engine, language, table, "C:\\Orvanter\\Orvanter.exe", keys);
    EXPECT_EQ(state.CreateMainWindow(), "");
    state.CreateSplashWindow();
    EXPECT_EQ(state.CreateMacroEditor(), "");
    engine::ObjectArray objects = engine->Objects();
    objects[1].settings.Path_File = "C:\\данные\\отчёт.txt";
    objects[1].baseline.Size_File_Old = "4096";
    engine->LoadObjects(objects);
    table.SetSlot(5, macros::MacroSlot{"Почта", "mail.bat", 2});

    ASSERT_TRUE(reg::DeleteKeyTree(scratch.Path()));
    EXPECT_EQ(state.Exit(), "");

    reg::Key key;
    ASSERT_TRUE(reg::Key::Open(keys.program, false, key));
    EXPECT_EQ(key.ValueNames().size(), 158u + 1u);
    std::string text;
    EXPECT_EQ(key.ReadString("Path_File2", text), reg::Status::Ok);
    EXPECT_EQ(text, "C:\\данные\\отчёт.txt");
    EXPECT_EQ(key.ReadString("Size_File2_Old", text), reg::Status::Ok);
    EXPECT_EQ(text, "4096");
    reg::Key macrosKey;
    ASSERT_TRUE(reg::Key::Open(keys.macros, false, macrosKey));
    EXPECT_EQ(macrosKey.ValueNames().size(), 24u);
    EXPECT_EQ(macrosKey.ReadString("Macros_5_Name", text), reg::Status::Ok);
    EXPECT_EQ(text, "Почта");
}

TEST_F(Faults, WrongTypeForEveryStoredName) {
    const orv::test::ScratchKey scratch("faults-types");
    const std::string macrosPath = scratch.Path() + "Macros\\";
    const settings::SettingsStore store(scratch.Path());

    // Every value stored, none of them at its default.
    engine::ObjectArray stored;
    for (int i = 0; i < engine::kObjectCount; ++i) {
        ObjectSettings& s = stored[i].settings;
        const std::string d = std::to_string(i + 1);
        s = ObjectSettings{false,
                           engine::ObjectType::Application,
                           engine::ControlParam::Size,
                           "f" + d,
                           "d" + d,
                           "p" + d,
                           "nf" + d,
                           "nd" + d,
                           "np" + d,
                           "s" + d,
                           7};
        stored[i].baseline = Baseline{true, "11" + d, 5, "22" + d, true, "33" + d, "44" + d, true};
    }
    const settings::Options storedOptions{false, false, true, true, 7, true};
    ASSERT_TRUE(store.SaveSettings(stored, storedOptions).empty());
    macros::MacroTable writer("");
    for (int n = 1; n <= engine::kObjectCount; ++n) {
        writer.SetSlot(n, macros::MacroSlot{"m" + std::to_string(n), "b.bat", 1});
    }
    ASSERT_TRUE(writer.Save(macrosPath).empty());

    struct Loaded {
        engine::ObjectArray objects;
        settings::Options options;
        std::array<macros::MacroSlot, engine::kObjectCount> slots;
        std::vector<std::string> reported;
    };
    const auto load = [&] {
        Loaded loaded;
        loaded.reported = store.LoadSettings(loaded.objects, loaded.options).wrongType;
        macros::MacroTable table("");
        for (std::string& name : table.Load(macrosPath)) {
            loaded.reported.push_back(std::move(name));
        }
        loaded.slots = table.Slots();
        return loaded;
    };
    const auto same = [](const Loaded& a, const Loaded& b) {
        for (int i = 0; i < engine::kObjectCount; ++i) {
            if (!(a.objects[i].settings == b.objects[i].settings) ||
                !(a.objects[i].baseline == b.objects[i].baseline)) {
                return false;
            }
        }
        return a.options == b.options && a.slots == b.slots;
    };
    const Loaded everything = load();
    ASSERT_TRUE(everything.reported.empty());

    std::vector<std::pair<std::string, std::string>> names;  // key path, value name
    for (const std::string& name : settings::StoredValueNames()) {
        names.emplace_back(scratch.Path(), name);
    }
    for (int n = 1; n <= engine::kObjectCount; ++n) {
        for (const std::string& name :
             {macros::NameValueName(n), macros::FileValueName(n), macros::MethodValueName(n)}) {
            names.emplace_back(macrosPath, name);
        }
    }
    ASSERT_EQ(names.size(), 182u);
    for (const auto& [path, name] : names) {
        reg::Key key;
        ASSERT_TRUE(reg::Key::Open(path, false, key));
        const bool isDword = key.TypeOf(name) == reg::ValueType::Dword;
        // The wrong type: a number where text belongs, text where a number belongs.
        ASSERT_EQ(isDword ? key.WriteString(name, "7") : key.WriteInt(name, 7), reg::Status::Ok);
        const Loaded damaged = load();
        // Without the value at all: its default, the rest as stored.
        ASSERT_EQ(key.DeleteValue(name), reg::Status::Ok);
        const Loaded missing = load();

        EXPECT_EQ(damaged.reported, std::vector<std::string>{name});
        EXPECT_TRUE(same(damaged, missing)) << name << ": the damaged value defaults and the rest load";
        EXPECT_FALSE(same(damaged, everything)) << name << " was not read from its own value";
        ASSERT_EQ(isDword ? key.WriteInt(name, 0) : key.WriteString(name, ""), reg::Status::Ok);
        ASSERT_TRUE(store.SaveSettings(stored, storedOptions).empty());
        ASSERT_TRUE(writer.Save(macrosPath).empty());
    }
}

TEST_F(Faults, LogThatIsAFile) {
    const std::string log = folder.WriteFile("Log", "the user's own file");
    const std::string watched = folder.WriteFile("watched.txt", "x");
    engine->SetLogOK(false);  // a log at every cycle
    Watch(1, 0, 0, watched);
    for (int pass = 0; pass < 2 * 5; ++pass) {  // two cycles of one object: check, log, action, idle, wrap
        engine->RunPass();
    }
    EXPECT_EQ(orv::test::ReadFile(log), "the user's own file");
    EXPECT_EQ(engine->Object(1)->EventText,
              "Object 1 / Control of file availability : watched / File appears as is");
    // Once the name is free again, the next cycle writes its log.
    ASSERT_TRUE(fs::RemoveFile(log));
    for (int pass = 0; pass < 5; ++pass) {
        engine->RunPass();
    }
    EXPECT_TRUE(fs::IsDirectory(folder.Join("Log")));
}

TEST_F(Faults, PathLongerThan300Characters) {
    // Made with the program's own file functions: the runtime's cannot reach that deep.
    std::vector<std::string> levels;
    std::string directory = folder.Path();
    for (int level = 0; level < 6; ++level) {
        directory += fs::kSeparator + std::string(48, static_cast<char>('a' + level));
        ASSERT_TRUE(fs::MakeDirectory(directory));
        levels.push_back(directory);
    }
    const std::string file = directory + fs::kSeparator + "глубоко.txt";
    ASSERT_TRUE(fs::WriteNewFile(file, "abc abc "));
    ASSERT_GT(file.size(), 300u);
    Watch(1, 0, 0, file);
    Watch(2, 0, 1, file);
    Watch(3, 0, 2, file);
    Watch(4, 0, 3, file, "abc");
    Watch(5, 1, 1, directory);
    EXPECT_EQ(Check(1), "File appears");
    EXPECT_EQ(Check(2), "File size increased to: 8 b");
    EXPECT_EQ(Check(3), "File changed");
    EXPECT_EQ(Check(4), "The number of repetitions increased to: 2");
    EXPECT_EQ(Check(5), "Directory size increased to: 8 b");

    ASSERT_TRUE(fs::RemoveFile(file));
    ASSERT_TRUE(fs::WriteNewFile(file, "abc abc abc "));
    EXPECT_EQ(Check(2), "File size increased to: 4 b");
    EXPECT_EQ(Check(4), "The number of repetitions increased to: 1");
    EXPECT_EQ(Check(5), "Directory size increased to: 4 b");

    fs::RemoveFile(file);
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
        ::RemoveDirectoryW((L"\\\\?\\" + Holder::Wide(*level)).c_str());
    }
}

TEST_F(Faults, CyrillicSearchText) {
    ASSERT_EQ(::GetACP(), 1251u) << "the suite runs under a Russian system locale (LC_ALL=ru_RU.UTF-8)";
    const std::string word = "Ошибка";
    const std::string ansi = text::Utf8ToCp1251(word);
    ASSERT_EQ(ansi.size(), 6u);
    const std::string ansiFile = folder.WriteFile("old.log", ansi + " 1\r\n" + ansi + " 2\r\nok\r\n");
    const std::string utf8File = folder.WriteFile("new.log", word + " 1\n" + word + " 2\n" + word + " 3\n");
    const std::string mixedFile = folder.WriteFile("mixed.log", ansi + "\r\n" + word + "\n" + ansi + word);
    Watch(1, 0, 3, ansiFile, word);
    Watch(2, 0, 3, utf8File, word);
    Watch(3, 0, 3, mixedFile, word);
    EXPECT_EQ(Check(1), "The number of repetitions increased to: 2");
    EXPECT_EQ(Check(2), "The number of repetitions increased to: 3");
    EXPECT_EQ(Check(3), "The number of repetitions increased to: 4");
    for (int number = 1; number <= 3; ++number) {
        EXPECT_EQ(Check(number), "The number of repetitions hasnt changed") << number;
    }

    // A text the code page cannot hold is counted as UTF-8 only, never as the '?' it would become.
    const std::string greekFile = folder.WriteFile("greek.log", "?????\n" + std::string("Ωμέγα") + "\n");
    Watch(4, 0, 3, greekFile, "Ωμέγα");
    EXPECT_EQ(Check(4), "The number of repetitions increased to: 1");
    // Plain ASCII counts as it always has.
    Watch(5, 0, 3, ansiFile, "ok");
    EXPECT_EQ(Check(5), "The number of repetitions increased to: 1");
}

TEST_F(Faults, MacroInAFolderOutsideTheCodePage) {
    ASSERT_EQ(::GetACP(), 1251u);
    // Greek is outside code page 1251; Cyrillic is inside it.
    // Made with the program's own file functions: the runtime's take such names through the code page.
    const std::string greekFolder = folder.Join("Ωμέγα") + fs::kSeparator;
    const std::string cyrillicFolder = folder.Join("Макросы") + fs::kSeparator;
    ASSERT_TRUE(fs::MakeDirectory(folder.Join("Ωμέγα")));
    ASSERT_TRUE(fs::MakeDirectory(folder.Join("Макросы")));
    ASSERT_TRUE(fs::WriteNewFile(greekFolder + "start.bat", "@echo started> \"%~dp0started.txt\"\r\n"));
    ASSERT_TRUE(fs::WriteNewFile(cyrillicFolder + "start.bat", "@echo started> \"%~dp0started.txt\"\r\n"));

    std::vector<std::string> commandLines;
    macros::Launcher launcher = macros::SystemLauncher();
    const auto realWinExec = launcher.winExec;
    launcher.winExec = [&](const std::string& commandLine, const launch::Environment& environment) {
        commandLines.push_back(commandLine);
        return realWinExec(commandLine, environment);
    };

    macros::MacroTable greek(greekFolder, launcher);
    greek.SetSlot(1, macros::MacroSlot{"m", "start.bat", macros::kMethodWinExec});
    greek.SetSlot(2, macros::MacroSlot{"m", "absent.bat", macros::kMethodWinExec});
    EXPECT_EQ(greek.Indicator(1, lang::kRussian).colour, macros::kBatFileOkColour) << "it has a short form";
    greek.RunMacro(1);
    ASSERT_EQ(commandLines.size(), 1u);
    std::string ansi;
    EXPECT_TRUE(text::Utf8ToAnsiExact(commandLines[0], ansi)) << commandLines[0];
    EXPECT_TRUE(WaitFor([&] { return fs::IsFile(greekFolder + "started.txt"); }, 30s))
        << "the batch file ran";
    // No short form (the file is not there): nothing is started with '?' in its path.
    greek.RunMacro(2);
    EXPECT_EQ(commandLines.size(), 1u);

    macros::MacroTable cyrillic(cyrillicFolder, launcher);
    cyrillic.SetSlot(1, macros::MacroSlot{"m", "start.bat", macros::kMethodWinExec});
    cyrillic.RunMacro(1);
    ASSERT_EQ(commandLines.size(), 2u);
    EXPECT_EQ(commandLines[1], "\"" + cyrillicFolder + "start.bat\"") << "a path the code page holds is kept";
    EXPECT_TRUE(WaitFor([&] { return fs::IsFile(cyrillicFolder + "started.txt"); }, 30s))
        << "the batch file ran";

    for (const std::string& bat : {greekFolder, cyrillicFolder}) {
        WaitFor([&] { return fs::RemoveFile(bat + "start.bat"); }, 10s);  // once cmd has let go of it
        fs::RemoveFile(bat + "started.txt");
        ::RemoveDirectoryW(Holder::Wide(bat).c_str());
    }
}

}  // namespace
}  // namespace orv::faults

namespace orv::faults {
namespace {

// Another program writing `path` in steps (OrvWriter), holding it open for writing with read sharing.
class Writer {
  public:
    Writer(const std::string& path, int steps, int bytes, int pauseMs) {
        std::wstring command = L"\"" + Holder::Wide(paths::ExecutableFolder() + "OrvWriter.exe") + L"\" \"" +
                               Holder::Wide(path) + L"\" " + std::to_wstring(steps) + L" " +
                               std::to_wstring(bytes) + L" " + std::to_wstring(pauseMs);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startup, &process_);
    }
    ~Writer() {
        if (started_) {
            ::WaitForSingleObject(process_.hProcess, 60000);
            ::CloseHandle(process_.hProcess);
            ::CloseHandle(process_.hThread);
        }
    }
    bool Started() const { return started_; }
    // The writer's exit code once it has ended (0: every step written, then closed).
    DWORD Finish() {
        DWORD code = 1;
        ::WaitForSingleObject(process_.hProcess, 60000);
        ::GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// A copy into a watched file, written in eight steps while the scan runs: with changes waited for the
// macro runs once, after the writer has closed the file, and the event and the log carry the whole
// size; without, every step the scan sees is an event of its own while the writer still writes.
TEST_F(Faults, CopyWrittenInSteps) {
    constexpr int kSteps = 8, kBytes = 65536;
    for (const bool waitFinished : {true, false}) {
        SCOPED_TRACE(waitFinished ? "waiting for changes to finish" : "acting at once");
        const std::string path = folder.WriteFile(waitFinished ? "copy-wait.bin" : "copy-now.bin", "");
        std::mutex lock;
        std::vector<bool> closedAtMacro;
        MakeEngine([&](int, const launch::Environment&) {
            std::lock_guard<std::mutex> guard(lock);
            closedAtMacro.push_back(fs::IsFile(path + ".closed"));
        });
        engine->SetWaitFinished(waitFinished);
        Watch(1, 0, 1, path);
        ASSERT_EQ(Check(1), "File size hasnt changed");
        engine->StartControl();
        {
            Writer writer(path, kSteps, kBytes, 250);
            ASSERT_TRUE(writer.Started());
            EXPECT_EQ(writer.Finish(), 0u);
        }
        const std::string whole = "File size increased to: " + std::to_string(kSteps * kBytes) + " b";
        const auto macros = [&] {
            std::lock_guard<std::mutex> guard(lock);
            return closedAtMacro;
        };
        if (waitFinished) {
            EXPECT_TRUE(WaitFor([&] { return !macros().empty(); }, 20s));
            std::this_thread::sleep_for(500ms);  // time for a second macro that must not come
        }
        engine->Shutdown();
        const std::vector<bool> started = macros();
        std::string log;
        for (const std::string& name : folder.List("Log")) {
            log += orv::test::ReadFile(folder.Join("Log/" + name));
        }
        if (waitFinished) {
            EXPECT_EQ(started, std::vector<bool>{true}) << "one macro, after the writer closed the file";
            EXPECT_NE(log.find(whole), std::string::npos) << log;
            EXPECT_EQ(engine->Object(1)->baseline.Size_File_Old, std::to_string(kSteps * kBytes));
        } else {
            ASSERT_GE(started.size(), 2u) << "one event per step seen";
            EXPECT_FALSE(started.front()) << "the first while the writer still held the file";
            EXPECT_EQ(log.find(whole), std::string::npos) << "no single event of the whole size";
        }
        fs::RemoveFile(path + ".closed");
        test::RemoveTree(folder.Join("Log"));
    }
}

}  // namespace
}  // namespace orv::faults
