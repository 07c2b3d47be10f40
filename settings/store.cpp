#include "settings/store.h"

#include "engine/log_retention.h"

#include <algorithm>
#include <array>
#include <type_traits>
#include <utility>

namespace orv::settings {
namespace {

// Calls visit(name, field) for each option, in stored order.
template <class OptionsT, class Visit>
void ForEachOption(OptionsT& options, Visit&& visit) {
    visit(std::string("LogOK"), options.LogOK);
    visit(std::string("HintShow"), options.HintShow);
    visit(std::string("MinFormShow"), options.MinFormShow);
    visit(std::string("AutoRun"), options.AutoRun);
    visit(std::string("LogKeepDays"), options.LogKeepDays);
    visit(std::string("WaitFinished"), options.WaitFinished);
}

// Calls visit(name, field) for the nineteen values of object `number` (1..8), in stored order. The
// digit does not stand in the same place in every name: the names are the ones the key has always had.
template <class SettingsT, class BaselineT, class Visit>
void ForEachObjectValue(int number, SettingsT& object, BaselineT& baseline, Visit&& visit) {
    const std::string n = std::to_string(number);
    visit("Type_Obj" + n, object.Type);
    visit("Razr_Obj" + n, object.Razr);
    visit("Path_File" + n, object.Path_File);
    visit("Path_Dir" + n, object.Path_Dir);
    visit("Path_Prog" + n, object.Path_Prog);
    visit("Name_File" + n, object.Name_File);
    visit("Name_Dir" + n, object.Name_Dir);
    visit("Name_Prog" + n, object.Name_Prog);
    visit("Param_Obj" + n, object.Param);
    visit("String_Obj" + n, object.String);
    visit("Action_Obj" + n, object.Action);
    visit("File" + n + "_OK_Old", baseline.File_OK_Old);
    visit("Size_File" + n + "_Old", baseline.Size_File_Old);
    visit("Povtor_File" + n + "_Old", baseline.Povtor_File_Old);
    visit("File_Data" + n + "_Old", baseline.File_Data_Old);
    visit("Dir" + n + "_OK_Old", baseline.Dir_OK_Old);
    visit("Size_Dir" + n + "_Old", baseline.Size_Dir_Old);
    visit("Dir_Data" + n + "_Old", baseline.Dir_Data_Old);
    visit("Prog" + n + "_Active_Old", baseline.Prog_Active_Old);
}

// Reads one value into a field that already holds its default. Only a successful read changes the
// field; a value of the wrong type is remembered and otherwise treated as missing.
class ValueReader {
  public:
    ValueReader(const reg::Key& key, std::vector<std::string>& wrongType)
        : key_(key), wrongType_(wrongType) {}

    void operator()(const std::string& name, bool& field) {
        int32_t value = 0;
        if (Check(name, key_.ReadInt(name, value))) {
            field = value != 0;
        }
    }
    void operator()(const std::string& name, int32_t& field) {
        int32_t value = 0;
        if (Check(name, key_.ReadInt(name, value))) {
            field = value;
        }
    }
    // The object's type and parameter: stored as integers, any value read as it is.
    template <class Enum>
    requires std::is_enum_v<Enum>
    void operator()(const std::string& name, Enum& field) {
        int32_t value = 0;
        if (Check(name, key_.ReadInt(name, value))) {
            field = static_cast<Enum>(value);
        }
    }
    void operator()(const std::string& name, std::string& field) {
        std::string value;
        if (Check(name, key_.ReadString(name, value))) {
            field = std::move(value);
        }
    }

  private:
    bool Check(const std::string& name, reg::Status status) {
        if (status == reg::Status::WrongType) {
            wrongType_.push_back(name);
        }
        return status == reg::Status::Ok;
    }

    const reg::Key& key_;
    std::vector<std::string>& wrongType_;
};

// Booleans go out as 1 or 0, integers as they are, strings as REG_SZ.
class ValueSaver {
  public:
    ValueSaver(ValueWriter& writer, std::vector<std::string>& failed) : writer_(writer), failed_(failed) {}

    void operator()(const std::string& name, const bool& field) {
        Check(name, writer_.WriteInt(name, field ? 1 : 0));
    }
    void operator()(const std::string& name, const int32_t& field) {
        Check(name, writer_.WriteInt(name, field));
    }
    template <class Enum>
    requires std::is_enum_v<Enum>
    void operator()(const std::string& name, const Enum& field) {
        Check(name, writer_.WriteInt(name, static_cast<int32_t>(field)));
    }
    void operator()(const std::string& name, const std::string& field) {
        Check(name, writer_.WriteString(name, field));
    }

  private:
    void Check(const std::string& name, reg::Status status) {
        if (status != reg::Status::Ok) {
            failed_.push_back(name);
        }
    }

    ValueWriter& writer_;
    std::vector<std::string>& failed_;
};

class KeyWriter final : public ValueWriter {
  public:
    explicit KeyWriter(reg::Key& key) : key_(key) {}
    reg::Status WriteInt(std::string_view name, int32_t value) override { return key_.WriteInt(name, value); }
    reg::Status WriteString(std::string_view name, std::string_view value) override {
        return key_.WriteString(name, value);
    }

  private:
    reg::Key& key_;
};

// A failure that touches every value (a key that cannot be written) would otherwise make a message
// box taller than the screen.
std::string JoinLines(const char* before, const std::vector<std::string>& names) {
    std::string text;
    const size_t listed = std::min(names.size(), kListedValueNames);
    for (size_t i = 0; i < listed; ++i) {
        if (!text.empty()) {
            text += "\r\n";
        }
        text += before;
        text += names[i];
        text += '\'';
    }
    if (names.size() > listed) {
        text += "\r\nand " + std::to_string(names.size() - listed) + " more";
    }
    return text;
}

}  // namespace

SettingsStore::SettingsStore(std::string keyPath) : keyPath_(std::move(keyPath)) {}

LoadReport SettingsStore::LoadSettings(engine::ObjectArray& objects, Options& options) const {
    LoadReport report;
    Options loadedOptions;
    std::array<std::pair<engine::ObjectSettings, engine::Baseline>, engine::kObjectCount> loaded{};

    reg::Key key;
    if (reg::Key::Open(keyPath_, true, key)) {
        report.keyOpened = true;
        ValueReader read(key, report.wrongType);
        ForEachOption(loadedOptions, read);
        for (int index = 0; index < engine::kObjectCount; ++index) {
            ForEachObjectValue(index + 1, loaded[index].first, loaded[index].second, read);
        }
    }

    // Any other number keeps the files forever.
    loadedOptions.LogKeepDays = engine::ValidLogKeepDays(loadedOptions.LogKeepDays);
    options = loadedOptions;
    for (int index = 0; index < engine::kObjectCount; ++index) {
        engine::ControlObject& object = objects[index];
        object.settings = std::move(loaded[index].first);
        object.baseline = std::move(loaded[index].second);
        ++object.generation;
    }
    return report;
}

std::vector<std::string> SettingsStore::SaveSettings(const engine::ObjectArray& objects,
                                                     const Options& options, bool* keyOpened) const {
    reg::Key key;
    const bool opened = reg::Key::Open(keyPath_, true, key);
    if (keyOpened != nullptr) {
        *keyOpened = opened;
    }
    if (!opened) {
        return StoredValueNames();
    }
    KeyWriter writer(key);
    return SaveSettings(objects, options, writer);
}

std::vector<std::string> SettingsStore::SaveSettings(const engine::ObjectArray& objects,
                                                     const Options& options, ValueWriter& writer) {
    std::vector<std::string> failed;
    ValueSaver save(writer, failed);
    ForEachOption(options, save);
    for (int index = 0; index < engine::kObjectCount; ++index) {
        ForEachObjectValue(index + 1, objects[index].settings, objects[index].baseline, save);
    }
    return failed;
}

std::vector<std::string> StoredValueNames() {
    std::vector<std::string> names;
    names.reserve(kStoredValueCount);
    const auto collect = [&names](const std::string& name, const auto&) { names.push_back(name); };
    const Options options;
    ForEachOption(options, collect);
    const engine::ObjectSettings object;
    const engine::Baseline baseline;
    for (int number = 1; number <= engine::kObjectCount; ++number) {
        ForEachObjectValue(number, object, baseline, collect);
    }
    return names;
}

std::string InvalidTypeMessage(const std::vector<std::string>& names) {
    return JoinLines("Invalid data type for '", names);
}

std::string WriteFailureMessage(const std::vector<std::string>& names) {
    return JoinLines("Failed to set data for '", names);
}

std::string KeyFailureMessage(std::string_view keyPath) {
    std::string text = "Failed to create key 'HKEY_CURRENT_USER\\";
    text += keyPath;
    text += '\'';
    return text;
}

}  // namespace orv::settings
