// Values under HKEY_CURRENT_USER. The Windows build uses the real registry; the POSIX build keeps an
// in-memory store with the same value types so that the settings logic can be tested natively.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orv::reg {

// The program's own key (capital W in "SoftWare", as the stored settings have always been).
inline constexpr std::string_view kProgramKey = "SoftWare\\Keldrastic\\Orvanter\\";
inline constexpr std::string_view kMacrosKey = "SoftWare\\Keldrastic\\Orvanter\\Macros\\";
inline constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Task Manager's Startup tab keeps whether each Run entry may start (a REG_BINARY per entry).
inline constexpr std::string_view kStartupApprovedRunKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

enum class ValueType { None, Dword, String, ExpandString, Other };

enum class Status {
    Ok,
    NotFound,     // the value does not exist
    WrongType,    // the value exists with another registry type
    CannotRead,   // any other read failure
    CannotWrite,  // a write or delete failed
};

// An open key under HKEY_CURRENT_USER. Moves, never copies; closes itself.
class Key {
  public:
    Key();
    ~Key();
    Key(Key&& other) noexcept;
    Key& operator=(Key&& other) noexcept;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    // Opens `path` (relative to HKEY_CURRENT_USER, a trailing backslash is allowed). With `create`
    // the key and its missing parents are created. Returns false and leaves `out` untouched on failure.
    static bool Open(std::string_view path, bool create, Key& out);

    bool IsOpen() const;

    // The registry type of a value; ValueType::None when it does not exist.
    ValueType TypeOf(std::string_view name) const;
    bool HasValue(std::string_view name) const { return TypeOf(name) != ValueType::None; }
    // The names of all values of the key, in no particular order; empty when it has none.
    std::vector<std::string> ValueNames() const;

    // REG_DWORD only. `out` is untouched unless Ok.
    Status ReadInt(std::string_view name, int32_t& out) const;
    // REG_SZ or REG_EXPAND_SZ, taken as stored (not expanded). A zero-length value reads as "".
    Status ReadString(std::string_view name, std::string& out) const;

    Status WriteInt(std::string_view name, int32_t value);
    // REG_SZ with its terminating zero.
    Status WriteString(std::string_view name, std::string_view value);
    // REG_EXPAND_SZ; the program never writes one, tests need it to check how such values read.
    Status WriteExpandString(std::string_view name, std::string_view value);
    // Deleting a value that does not exist is Ok.
    Status DeleteValue(std::string_view name);

    // REG_BINARY, the bytes as they are. `out` is untouched unless Ok.
    Status ReadBinary(std::string_view name, std::string& out) const;
    Status WriteBinary(std::string_view name, std::string_view bytes);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Deletes a key with all its values and sub-keys; true when it is gone afterwards. Tests use it to
// remove their scratch keys.
bool DeleteKeyTree(std::string_view path);

}  // namespace orv::reg
