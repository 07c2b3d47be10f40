#include "settings/store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/object_rules.h"
#include "platform/registry.h"
#include "tests/support/test_support.h"

namespace orv::settings {
namespace {

using engine::Baseline;
using engine::ControlParam;
using engine::ObjectArray;
using engine::ObjectSettings;
using engine::ObjectType;

// The nineteen names of object `n`, written out as the key holds them.
std::vector<std::string> ObjectNames(int n) {
    const std::string d = std::to_string(n);
    return {"Type_Obj" + d,
            "Razr_Obj" + d,
            "Path_File" + d,
            "Path_Dir" + d,
            "Path_Prog" + d,
            "Name_File" + d,
            "Name_Dir" + d,
            "Name_Prog" + d,
            "Param_Obj" + d,
            "String_Obj" + d,
            "Action_Obj" + d,
            "File" + d + "_OK_Old",
            "Size_File" + d + "_Old",
            "Povtor_File" + d + "_Old",
            "File_Data" + d + "_Old",
            "Dir" + d + "_OK_Old",
            "Size_Dir" + d + "_Old",
            "Dir_Data" + d + "_Old",
            "Prog" + d + "_Active_Old"};
}

// Which of the nineteen are 32-bit integers or booleans (REG_DWORD); the rest are strings.
bool IsDwordName(const std::string& name) {
    for (const char* prefix : {"Type_Obj", "Razr_Obj", "Param_Obj", "Action_Obj", "Povtor_File"}) {
        if (name.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    const auto endsWith = [&name](std::string_view tail) {
        return name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
    };
    return endsWith("_OK_Old") || endsWith("_Active_Old");
}

std::vector<std::string> AllNames() {
    std::vector<std::string> names = {"LogOK",   "HintShow",    "MinFormShow",
                                      "AutoRun", "LogKeepDays", "WaitFinished"};
    for (int n = 1; n <= 8; ++n) {
        for (std::string& name : ObjectNames(n)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

// Every field different from its default, and different from object to object.
void FillNonDefault(ObjectArray& objects) {
    for (int i = 0; i < 8; ++i) {
        const std::string d = std::to_string(i + 1);
        ObjectSettings& s = objects[i].settings;
        s.Razr = false;
        s.Type = static_cast<ObjectType>(i % 3);
        s.Param = static_cast<ControlParam>(1 + i % 2);
        s.Path_File = "C:\\Данные\\отчёт " + d + ".txt";
        s.Path_Dir = "D:\\Ordner mit Ümlaut\\" + d;
        s.Path_Prog = "C:\\Program Files\\Tool" + d + "\\tool.exe";
        s.Name_File = "отчёт " + d + ".txt";
        s.Name_Dir = "日本語フォルダ" + d;
        s.Name_Prog = "tool" + d + ".exe";
        s.String = "Привет, мир " + d;
        s.Action = -100 - i;
        Baseline& b = objects[i].baseline;
        b.File_OK_Old = true;
        b.Size_File_Old = "300000000" + d;
        b.Povtor_File_Old = 40000 + i;
        b.File_Data_Old = "2024061512304" + d;
        b.Dir_OK_Old = true;
        b.Size_Dir_Old = "1234567890123" + d;
        b.Dir_Data_Old = "2023010100000" + d;
        b.Prog_Active_Old = true;
    }
}

// Loads into objects and options that hold other values than the defaults: every one of them takes its
// default.
LoadReport LoadOverOtherValues(const SettingsStore& store, ObjectArray& objects, Options& options) {
    FillNonDefault(objects);
    options = Options{false, false, true, true};
    const LoadReport report = store.LoadSettings(objects, options);
    EXPECT_TRUE(report.wrongType.empty());
    EXPECT_EQ(options, Options{});
    for (const auto& object : objects) {
        EXPECT_EQ(object.settings, ObjectSettings{});
        EXPECT_EQ(object.baseline, Baseline{});
    }
    return report;
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    reg::Key OpenKey(bool create = true) {
        reg::Key key;
        EXPECT_TRUE(reg::Key::Open(scratch.Path(), create, key));
        return key;
    }
    // The value stored under `name`; none where there is no such value of that type.
    std::optional<int32_t> StoredInt(const std::string& name) {
        int32_t value = 0;
        return OpenKey(false).ReadInt(name, value) == reg::Status::Ok ? std::optional(value) : std::nullopt;
    }
    std::optional<std::string> StoredString(const std::string& name) {
        std::string text;
        return OpenKey(false).ReadString(name, text) == reg::Status::Ok ? std::optional(text) : std::nullopt;
    }

    test::ScratchKey scratch{"settings"};
    SettingsStore store{scratch.Path()};
};

TEST_F(SettingsStoreTest, FirstRunGivesDefaultsCreatesTheKeyAndWritesNothing) {
    ObjectArray objects;
    Options options;

    EXPECT_TRUE(LoadOverOtherValues(store, objects, options).keyOpened);
    EXPECT_TRUE(options.LogOK && options.HintShow && !options.MinFormShow && !options.AutoRun);
    EXPECT_TRUE(objects[3].settings.Razr);
    EXPECT_EQ(objects[3].baseline.Size_File_Old, "0");
    EXPECT_EQ(objects[3].baseline.Size_Dir_Old, "0");

    reg::Key key;
    ASSERT_TRUE(reg::Key::Open(scratch.Path(), false, key)) << "loading creates the key";
    EXPECT_TRUE(key.ValueNames().empty()) << "defaults are not written back at load";
}

// Each stored name reaches its own field, in both directions: a value stores under a name that belongs
// to another field of the same type (Name_Dir and Name_Prog, Size_File and Size_Dir) only if the
// values differ, so every string and integer here is unique to its name and object.
struct FieldBinding {
    std::string name;  // without the object's number
    std::string (*text)(const engine::ControlObject&);
};

std::string Number(int32_t value) {
    return "#" + std::to_string(value);
}

const std::vector<FieldBinding>& ObjectBindings() {
    static const std::vector<FieldBinding> bindings = {
        {"Type_Obj",
         [](const engine::ControlObject& o) { return Number(static_cast<int32_t>(o.settings.Type)); }},
        {"Razr_Obj", [](const engine::ControlObject& o) { return Number(o.settings.Razr); }},
        {"Path_File", [](const engine::ControlObject& o) { return o.settings.Path_File; }},
        {"Path_Dir", [](const engine::ControlObject& o) { return o.settings.Path_Dir; }},
        {"Path_Prog", [](const engine::ControlObject& o) { return o.settings.Path_Prog; }},
        {"Name_File", [](const engine::ControlObject& o) { return o.settings.Name_File; }},
        {"Name_Dir", [](const engine::ControlObject& o) { return o.settings.Name_Dir; }},
        {"Name_Prog", [](const engine::ControlObject& o) { return o.settings.Name_Prog; }},
        {"Param_Obj",
         [](const engine::ControlObject& o) { return Number(static_cast<int32_t>(o.settings.Param)); }},
        {"String_Obj", [](const engine::ControlObject& o) { return o.settings.String; }},
        {"Action_Obj", [](const engine::ControlObject& o) { return Number(o.settings.Action); }},
        {"File_OK_Old", [](const engine::ControlObject& o) { return Number(o.baseline.File_OK_Old); }},
        {"Size_File_Old", [](const engine::ControlObject& o) { return o.baseline.Size_File_Old; }},
        {"Povtor_File_Old",
         [](const engine::ControlObject& o) { return Number(o.baseline.Povtor_File_Old); }},
        {"File_Data_Old", [](const engine::ControlObject& o) { return o.baseline.File_Data_Old; }},
        {"Dir_OK_Old", [](const engine::ControlObject& o) { return Number(o.baseline.Dir_OK_Old); }},
        {"Size_Dir_Old", [](const engine::ControlObject& o) { return o.baseline.Size_Dir_Old; }},
        {"Dir_Data_Old", [](const engine::ControlObject& o) { return o.baseline.Dir_Data_Old; }},
        {"Prog_Active_Old",
         [](const engine::ControlObject& o) { return Number(o.baseline.Prog_Active_Old); }},
    };
    return bindings;
}

TEST_F(SettingsStoreTest, EveryStoredNameLoadsIntoAndSavesFromItsOwnField) {
    // Value k of object n: strings "n:k", integers 1000 n + k; each boolean set alone in its own round.
    const auto intOf = [](int n, size_t k) { return static_cast<int32_t>(1000 * n + static_cast<int>(k)); };
    const auto textOf = [](int n, size_t k) { return std::to_string(n) + ":" + std::to_string(k); };
    const auto isBoolean = [](size_t k) { return k == 1 || k == 11 || k == 15 || k == 18; };
    const std::vector<std::string> names1 = ObjectNames(1);
    ASSERT_EQ(names1.size(), ObjectBindings().size());

    reg::Key key = OpenKey();
    for (int n = 1; n <= 8; ++n) {
        const std::vector<std::string> names = ObjectNames(n);
        for (size_t k = 0; k < names.size(); ++k) {
            if (isBoolean(k)) {
                continue;
            }
            ASSERT_EQ(IsDwordName(names[k]) ? key.WriteInt(names[k], intOf(n, k))
                                            : key.WriteString(names[k], textOf(n, k)),
                      reg::Status::Ok);
        }
    }
    ObjectArray objects;
    Options options;
    ASSERT_TRUE(store.LoadSettings(objects, options).wrongType.empty());
    for (int n = 1; n <= 8; ++n) {
        for (size_t k = 0; k < names1.size(); ++k) {
            if (!isBoolean(k)) {
                const std::string expected = IsDwordName(names1[k]) ? Number(intOf(n, k)) : textOf(n, k);
                EXPECT_EQ(ObjectBindings()[k].text(objects[n - 1]), expected) << ObjectNames(n)[k];
            }
        }
    }
    // The same values go back under the same names.
    ASSERT_TRUE(store.SaveSettings(objects, options).empty());
    for (int n = 1; n <= 8; ++n) {
        const std::vector<std::string> names = ObjectNames(n);
        for (size_t k = 0; k < names.size(); ++k) {
            if (isBoolean(k)) {
                continue;
            }
            if (IsDwordName(names[k])) {
                EXPECT_EQ(StoredInt(names[k]), intOf(n, k)) << names[k];
            } else {
                EXPECT_EQ(StoredString(names[k]), textOf(n, k)) << names[k];
            }
        }
    }

    // Booleans: each name flipped from its default alone must flip exactly its own field, both ways.
    std::vector<std::string> booleans = {"LogOK", "HintShow", "MinFormShow", "AutoRun", "WaitFinished"};
    for (size_t k = 0; k < names1.size(); ++k) {
        if (isBoolean(k)) {
            booleans.push_back(ObjectNames(3)[k]);
        }
    }
    const auto flags = [](const ObjectArray& loaded, const Options& o) {
        std::string text = Number(o.LogOK) + Number(o.HintShow) + Number(o.MinFormShow) + Number(o.AutoRun) +
                           Number(o.WaitFinished);
        for (size_t k : {1u, 11u, 15u, 18u}) {
            text += ObjectBindings()[k].text(loaded[2]);
        }
        return text;
    };
    ObjectArray defaults;
    const std::string defaultFlags = flags(defaults, Options{});
    for (size_t b = 0; b < booleans.size(); ++b) {
        for (const std::string& name : AllNames()) {
            ASSERT_EQ(key.DeleteValue(name), reg::Status::Ok);
        }
        const bool defaultValue = defaultFlags[2 * b + 1] == '1';
        ASSERT_EQ(key.WriteInt(booleans[b], defaultValue ? 0 : 1), reg::Status::Ok);
        ObjectArray loaded;
        Options loadedOptions;
        store.LoadSettings(loaded, loadedOptions);
        std::string expected = defaultFlags;
        expected[2 * b + 1] = defaultValue ? '0' : '1';
        EXPECT_EQ(flags(loaded, loadedOptions), expected) << booleans[b];

        ASSERT_TRUE(store.SaveSettings(loaded, loadedOptions).empty());
        for (size_t other = 0; other < booleans.size(); ++other) {
            EXPECT_EQ(StoredInt(booleans[other]), expected[2 * other + 1] - '0')
                << booleans[b] << " -> " << booleans[other];
        }
    }
}

TEST_F(SettingsStoreTest, SaveWritesExactlyTheStoredValuesWithTheirTypes) {
    ObjectArray objects;
    Options options;
    store.LoadSettings(objects, options);
    EXPECT_TRUE(store.SaveSettings(objects, options).empty());

    reg::Key key = OpenKey(false);
    const std::vector<std::string> expected = AllNames();
    ASSERT_EQ(expected.size(), 158u);
    const std::vector<std::string> present = key.ValueNames();
    EXPECT_EQ(std::set<std::string>(present.begin(), present.end()),
              std::set<std::string>(expected.begin(), expected.end()));
    EXPECT_EQ(present.size(), 158u);

    for (const std::string& name : expected) {
        const bool dword = name == "LogOK" || name == "HintShow" || name == "MinFormShow" ||
                           name == "AutoRun" || name == "LogKeepDays" || name == "WaitFinished" ||
                           IsDwordName(name);
        EXPECT_EQ(key.TypeOf(name), dword ? reg::ValueType::Dword : reg::ValueType::String) << name;
    }
    EXPECT_EQ(StoredInt("LogOK"), 1);
    EXPECT_EQ(StoredInt("MinFormShow"), 0);
    EXPECT_EQ(StoredInt("LogKeepDays"), 0) << "forever";
    EXPECT_EQ(StoredInt("Razr_Obj8"), 1);
    EXPECT_EQ(StoredString("Size_Dir7_Old"), "0");
    EXPECT_EQ(StoredString("Path_Prog2"), "");
    EXPECT_EQ(StoredValueNames(), expected);
}

TEST_F(SettingsStoreTest, EveryValueOfEveryObjectSurvivesARoundTrip) {
    ObjectArray saved;
    FillNonDefault(saved);
    saved[0].settings.String = "Привет, мир 1";
    const Options options{false, false, true, true, 30};
    ASSERT_TRUE(store.SaveSettings(saved, options).empty());

    ObjectArray loaded;
    Options loadedOptions;
    const LoadReport report = store.LoadSettings(loaded, loadedOptions);

    EXPECT_TRUE(report.wrongType.empty());
    EXPECT_EQ(loadedOptions, options);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(loaded[i].settings, saved[i].settings) << "object " << i + 1;
        EXPECT_EQ(loaded[i].baseline, saved[i].baseline) << "object " << i + 1;
    }
    EXPECT_EQ(loaded[2].baseline.Size_File_Old, "3000000003");
    EXPECT_EQ(loaded[7].settings.Action, -107);

    // The flipped options individually, so that a swapped pair of option names would show.
    for (const Options& one : {Options{false, true, false, false}, Options{true, false, false, false},
                               Options{true, true, true, false}, Options{true, true, false, true}}) {
        ASSERT_TRUE(store.SaveSettings(saved, one).empty());
        Options back{!one.LogOK, !one.HintShow, !one.MinFormShow, !one.AutoRun};
        store.LoadSettings(loaded, back);
        EXPECT_EQ(back, one);
    }
}

TEST_F(SettingsStoreTest, LogKeepDaysTakesOnlyTheFieldsChoicesAndReadsAnythingElseAsForever) {
    const std::pair<int32_t, int32_t> stored[] = {{365, 365}, {7, 7}, {2, 0}, {-1, 0}, {366, 0}};
    for (const auto& [value, expected] : stored) {
        ASSERT_EQ(OpenKey().WriteInt("LogKeepDays", value), reg::Status::Ok);
        ObjectArray objects;
        Options options;
        options.LogKeepDays = 30;
        store.LoadSettings(objects, options);
        EXPECT_EQ(options.LogKeepDays, expected) << value;
    }
    ASSERT_EQ(OpenKey().WriteString("LogKeepDays", "7"), reg::Status::Ok);
    ObjectArray objects;
    Options options;
    options.LogKeepDays = 30;
    EXPECT_EQ(store.LoadSettings(objects, options).wrongType, std::vector<std::string>{"LogKeepDays"});
    EXPECT_EQ(options.LogKeepDays, 0);
}

TEST_F(SettingsStoreTest, WaitFinishedIsOffUnlessStoredOnAndAWrongTypeTurnsItOff) {
    ObjectArray objects;
    Options options;
    store.LoadSettings(objects, options);
    EXPECT_FALSE(options.WaitFinished) << "off on the first run";
    ASSERT_EQ(OpenKey().WriteInt("WaitFinished", 1), reg::Status::Ok);
    store.LoadSettings(objects, options);
    EXPECT_TRUE(options.WaitFinished);
    options.WaitFinished = false;
    ASSERT_TRUE(store.SaveSettings(objects, options).empty());
    EXPECT_EQ(StoredInt("WaitFinished"), 0);

    ASSERT_EQ(OpenKey().WriteString("WaitFinished", "1"), reg::Status::Ok);
    options.WaitFinished = true;
    EXPECT_EQ(store.LoadSettings(objects, options).wrongType, std::vector<std::string>{"WaitFinished"});
    EXPECT_FALSE(options.WaitFinished);
}

TEST_F(SettingsStoreTest, LoadingReplacesStoredFieldsButKeepsRunTimeFields) {
    {
        reg::Key key = OpenKey();
        ASSERT_EQ(key.WriteString("Path_File2", "C:\\a.txt"), reg::Status::Ok);
    }
    ObjectArray objects;
    FillNonDefault(objects);
    objects[1].ActionPending = true;
    objects[1].EventText = "Object 2 / something";
    const uint64_t before = objects[1].generation;
    Options options;

    store.LoadSettings(objects, options);

    EXPECT_EQ(objects[1].settings.Path_File, "C:\\a.txt");
    EXPECT_EQ(objects[1].settings.Path_Dir, "") << "a missing value takes its default";
    EXPECT_EQ(objects[1].baseline, Baseline{});
    EXPECT_TRUE(objects[1].ActionPending);
    EXPECT_EQ(objects[1].EventText, "Object 2 / something");
    EXPECT_NE(objects[1].generation, before) << "a check measured before the load must not commit";
}

// Values as an older run, or a hand edit, may have left them.
TEST_F(SettingsStoreTest, StoredValuesLoadAsTheyStandAndFoldWhenShown) {
    {
        reg::Key key = OpenKey();
        key.WriteInt("Type_Obj5", 7);
        key.WriteInt("Type_Obj6", -1);
        key.WriteInt("Type_Obj2", 1);
        key.WriteInt("Param_Obj2", 3);
        key.WriteInt("Razr_Obj4", 0);
        key.WriteInt("Razr_Obj3", 5);
        key.WriteInt("File2_OK_Old", 1);
        key.WriteInt("Action_Obj6", 5);
    }
    ObjectArray objects;
    Options options;
    store.LoadSettings(objects, options);

    EXPECT_EQ(objects[4].settings.Type, static_cast<ObjectType>(7));
    EXPECT_EQ(objects[5].settings.Type, static_cast<ObjectType>(-1));
    EXPECT_EQ(objects[1].settings.Param, ControlParam::String);
    EXPECT_FALSE(objects[3].settings.Razr);
    EXPECT_TRUE(objects[2].settings.Razr) << "any non-zero value is true";
    EXPECT_TRUE(objects[1].baseline.File_OK_Old);
    EXPECT_EQ(objects[1].baseline.Size_File_Old, "0");
    EXPECT_EQ(objects[5].settings.Action, 5);

    // Filling the panels folds type and parameter; the folded values are what the exit saves.
    for (auto& object : objects) {
        object.settings.Type = engine::FoldType(object.settings.Type);
        object.settings.Param = engine::FoldParam(object.settings.Type, object.settings.Param);
    }
    ASSERT_TRUE(store.SaveSettings(objects, options).empty());

    EXPECT_EQ(StoredInt("Type_Obj5"), 0);
    EXPECT_EQ(StoredInt("Type_Obj6"), 2);
    EXPECT_EQ(StoredInt("Param_Obj2"), 0);
    EXPECT_EQ(StoredInt("Razr_Obj3"), 1) << "booleans are written as 1";
    EXPECT_EQ(StoredInt("Razr_Obj4"), 0);
    EXPECT_EQ(StoredInt("Action_Obj6"), 5) << "the action number is kept as it is";
    EXPECT_EQ(StoredString("Size_File2_Old"), "0");
}

TEST_F(SettingsStoreTest, WrongTypedValuesTakeTheirDefaultAndLoadingGoesOn) {
    ObjectArray saved;
    FillNonDefault(saved);
    const Options options{false, false, true, true};
    ASSERT_TRUE(store.SaveSettings(saved, options).empty());
    {
        reg::Key key = OpenKey(false);
        key.WriteString("HintShow", "1");
        key.WriteInt("Path_Dir3", 12);
        key.WriteString("Povtor_File5_Old", "40004");
        key.WriteBinary("Razr_Obj7", std::string("\x01\x00\x00\x00", 4));
        key.WriteExpandString("Type_Obj8", "2");
    }

    ObjectArray loaded;
    Options loadedOptions;
    const LoadReport report = store.LoadSettings(loaded, loadedOptions);

    const std::vector<std::string> expected = {"HintShow", "Path_Dir3", "Povtor_File5_Old", "Razr_Obj7",
                                               "Type_Obj8"};
    EXPECT_EQ(report.wrongType, expected);
    EXPECT_EQ(InvalidTypeMessage(report.wrongType),
              "Invalid data type for 'HintShow'\r\n"
              "Invalid data type for 'Path_Dir3'\r\n"
              "Invalid data type for 'Povtor_File5_Old'\r\n"
              "Invalid data type for 'Razr_Obj7'\r\n"
              "Invalid data type for 'Type_Obj8'");

    EXPECT_TRUE(loadedOptions.HintShow) << "default";
    EXPECT_FALSE(loadedOptions.LogOK);
    EXPECT_TRUE(loadedOptions.MinFormShow) << "options after the bad one are still read";
    EXPECT_TRUE(loadedOptions.AutoRun);
    EXPECT_EQ(loaded[2].settings.Path_Dir, "");
    EXPECT_EQ(loaded[4].baseline.Povtor_File_Old, 0);
    EXPECT_TRUE(loaded[6].settings.Razr);
    EXPECT_EQ(loaded[7].settings.Type, ObjectType::File);

    // Everything else arrived, including what follows each bad value within its object.
    saved[2].settings.Path_Dir.clear();
    saved[4].baseline.Povtor_File_Old = 0;
    saved[6].settings.Razr = true;
    saved[7].settings.Type = ObjectType::File;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(loaded[i].settings, saved[i].settings) << "object " << i + 1;
        EXPECT_EQ(loaded[i].baseline, saved[i].baseline) << "object " << i + 1;
    }
}

TEST_F(SettingsStoreTest, StringsAcceptExpandTypeAsStoredAndEmptyAndLongValues) {
    const std::string longText = [] {
        std::string text;
        for (int i = 0; text.size() < 64 * 1024; ++i) {
            text += (i % 7 == 0) ? "Ж" : std::string(1, static_cast<char>('a' + i % 26));
        }
        return text;
    }();
    {
        reg::Key key = OpenKey();
        key.WriteExpandString("Path_File1", "%TEMP%\\watched.txt");
        key.WriteString("Path_Dir1", "");
        key.WriteString("String_Obj3", longText);
    }
    ObjectArray objects;
    objects[0].settings.Path_Dir = "not empty";
    Options options;
    const LoadReport report = store.LoadSettings(objects, options);

    EXPECT_TRUE(report.wrongType.empty());
    EXPECT_EQ(objects[0].settings.Path_File, "%TEMP%\\watched.txt") << "not expanded";
    EXPECT_EQ(objects[0].settings.Path_Dir, "");
    EXPECT_EQ(objects[2].settings.String, longText);

    ASSERT_TRUE(store.SaveSettings(objects, options).empty());
    reg::Key key = OpenKey(false);
    EXPECT_EQ(key.TypeOf("Path_File1"), reg::ValueType::String) << "written back as a plain string";
    ObjectArray again;
    store.LoadSettings(again, options);
    EXPECT_EQ(again[2].settings.String, longText);
    EXPECT_EQ(again[0].settings.Path_File, "%TEMP%\\watched.txt");
}

TEST_F(SettingsStoreTest, ValuesOutsideTheTablesAreLeftAlone) {
    {
        reg::Key key = OpenKey();
        key.WriteInt("Languare", 1);
        key.WriteString("Comment", "kept");
        key.WriteInt("Type_Obj9", 2);
        key.WriteString("Macros", "not a sub-key");
    }
    ObjectArray objects;
    Options options;
    const LoadReport report = store.LoadSettings(objects, options);
    EXPECT_TRUE(report.wrongType.empty()) << "a string named Macros is not one of ours";
    ASSERT_TRUE(store.SaveSettings(objects, options).empty());

    EXPECT_EQ(OpenKey(false).ValueNames().size(), 158u + 4u);
    EXPECT_EQ(StoredInt("Languare"), 1);
    EXPECT_EQ(StoredInt("Type_Obj9"), 2);
    EXPECT_EQ(StoredString("Comment"), "kept");
    EXPECT_EQ(StoredString("Macros"), "not a sub-key");
}

// Passes every write on to the real key, except for the names it is told to refuse.
class RefusingWriter final : public ValueWriter {
  public:
    RefusingWriter(reg::Key& key, std::set<std::string> refused) : key_(key), refused_(std::move(refused)) {}
    reg::Status WriteInt(std::string_view name, int32_t value) override {
        return refused_.count(std::string(name)) ? reg::Status::CannotWrite : key_.WriteInt(name, value);
    }
    reg::Status WriteString(std::string_view name, std::string_view value) override {
        return refused_.count(std::string(name)) ? reg::Status::CannotWrite : key_.WriteString(name, value);
    }

  private:
    reg::Key& key_;
    std::set<std::string> refused_;
};

TEST_F(SettingsStoreTest, AValueThatCannotBeWrittenDoesNotStopTheOthers) {
    ObjectArray objects;
    FillNonDefault(objects);
    reg::Key key = OpenKey();
    RefusingWriter writer(key, {"LogOK", "Name_Prog2", "Prog8_Active_Old"});

    const std::vector<std::string> failed = SettingsStore::SaveSettings(objects, Options{}, writer);

    EXPECT_EQ(failed, (std::vector<std::string>{"LogOK", "Name_Prog2", "Prog8_Active_Old"}));
    EXPECT_EQ(WriteFailureMessage(failed),
              "Failed to set data for 'LogOK'\r\n"
              "Failed to set data for 'Name_Prog2'\r\n"
              "Failed to set data for 'Prog8_Active_Old'");
    EXPECT_EQ(key.ValueNames().size(), 155u);
    EXPECT_FALSE(key.HasValue("Name_Prog2"));
    EXPECT_EQ(StoredString("Name_Dir8"), objects[7].settings.Name_Dir);
}

TEST(SettingsStoreNoKey, AKeyThatCannotBeOpenedGivesDefaultsAndReportsEveryValueAtSave) {
    // A key name longer than the registry allows (255 characters per component).
    const test::ScratchKey scratch{"settings"};
    const std::string badPath = scratch.Path() + std::string(300, 'k') + "\\";
    const SettingsStore store(badPath);

    ObjectArray objects;
    Options options;
    EXPECT_FALSE(LoadOverOtherValues(store, objects, options).keyOpened);

    const std::vector<std::string> failed = store.SaveSettings(objects, options);
    EXPECT_EQ(failed, AllNames());
    EXPECT_EQ(WriteFailureMessage({"LogOK"}), "Failed to set data for 'LogOK'");
    EXPECT_EQ(WriteFailureMessage({}), "");
}

TEST(SettingsStoreMessages, LongListsNameTenValuesAndCountTheRest) {
    const std::vector<std::string> names = AllNames();
    for (const std::string& message : {WriteFailureMessage(names), InvalidTypeMessage(names)}) {
        size_t lines = 1;
        for (size_t at = message.find("\r\n"); at != std::string::npos; at = message.find("\r\n", at + 2)) {
            ++lines;
        }
        EXPECT_EQ(lines, 11u) << message;
        EXPECT_NE(message.find("'" + names[9] + "'\r\nand 148 more"), std::string::npos) << message;
        EXPECT_EQ(message.find("'" + names[10] + "'"), std::string::npos);
    }
    EXPECT_EQ(WriteFailureMessage(std::vector<std::string>(names.begin(), names.begin() + 10)).find("more"),
              std::string::npos);
}

}  // namespace
}  // namespace orv::settings
