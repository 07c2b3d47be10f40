// The program's settings in the registry: the options and the nineteen values of each of the eight
// control objects, read once at start and written back whole at exit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/objects.h"
#include "platform/registry.h"

namespace orv::settings {

// The program-wide switches of the settings area.
struct Options {
    bool LogOK = true;          // write the log only when something changed
    bool HintShow = true;       // pop-up hints in all windows
    bool MinFormShow = false;   // hide to the tray right after start
    bool AutoRun = false;       // the Windows start-up entry was last switched on
    int32_t LogKeepDays = 0;    // days the log files are kept: 0 (forever), 1, 7, 30 or 365
    bool WaitFinished = false;  // act on a change only once it has finished
    friend bool operator==(const Options&, const Options&) = default;
};

// Values per object and in all: 6 options + 8 objects x 19.
inline constexpr int kValuesPerObject = 19;
inline constexpr int kOptionCount = 6;
inline constexpr int kStoredValueCount = kOptionCount + engine::kObjectCount * kValuesPerObject;

// Where SaveSettings puts the values. In the program this is the open registry key; the interface
// lets a caller see (or refuse) every single write.
class ValueWriter {
  public:
    virtual ~ValueWriter() = default;
    virtual reg::Status WriteInt(std::string_view name, int32_t value) = 0;
    virtual reg::Status WriteString(std::string_view name, std::string_view value) = 0;
};

// What loading found besides the values themselves.
struct LoadReport {
    bool keyOpened = false;
    // Values present with another registry type than the program stores them with, in load order.
    // Each took its default; loading went on with the values after it.
    std::vector<std::string> wrongType;
};

class SettingsStore {
  public:
    explicit SettingsStore(std::string keyPath = std::string(reg::kProgramKey));

    const std::string& KeyPath() const { return keyPath_; }

    // Opens the key (creating it when missing) and reads the options, then objects 1 to 8, each value
    // read when present and defaulted when missing or of the wrong type. Only the stored fields of the
    // objects change (their run-time fields stay); each loaded object gets a new generation. Nothing is
    // written back. A key that cannot be opened gives every default.
    LoadReport LoadSettings(engine::ObjectArray& objects, Options& options) const;

    // Writes all 158 values in load order, whether they changed or not. A value that cannot be
    // written does not stop the others. Returns the names of the values that were not
    // written, in order; all of them when the key cannot be opened, which `keyOpened` then tells.
    std::vector<std::string> SaveSettings(const engine::ObjectArray& objects, const Options& options,
                                          bool* keyOpened = nullptr) const;
    // The same, into any writer.
    static std::vector<std::string> SaveSettings(const engine::ObjectArray& objects, const Options& options,
                                                 ValueWriter& writer);

  private:
    std::string keyPath_;
};

// The names of the stored values in load and save order.
std::vector<std::string> StoredValueNames();

// The texts the program shows for failed values: one line per name for the first ten, then
// "and N more" for the rest, lines joined with CR LF; empty when there is no name.
inline constexpr size_t kListedValueNames = 10;
std::string InvalidTypeMessage(const std::vector<std::string>& names);
std::string WriteFailureMessage(const std::vector<std::string>& names);
// A key under HKEY_CURRENT_USER that could be neither opened nor created: one line for all its values.
std::string KeyFailureMessage(std::string_view keyPath);

}  // namespace orv::settings
