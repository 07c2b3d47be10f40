#include "tests/support/test_support.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace orv::test {
namespace {

std::string UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    std::random_device device;
    std::ostringstream out;
    out << std::hex << device() << '-' << counter.fetch_add(1);
    return out.str();
}

std::filesystem::path PathOf(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

TempDirectory::TempDirectory(std::string_view nameHint) {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    const std::filesystem::path folder = base / PathOf(std::string(nameHint) + "-" + UniqueSuffix());
    std::filesystem::create_directories(folder);
    path_ = Utf8Of(folder);
    while (!path_.empty() && (path_.back() == '/' || path_.back() == '\\')) {
        path_.pop_back();
    }
}

namespace {

// A folder to descend into: a link or junction is removed itself, never what it leads to (MinGW's
// symlink_status follows both).
bool IsPlainFolder(const std::filesystem::path& path) {
#ifdef _WIN32
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
#else
    std::error_code ignored;
    return std::filesystem::is_directory(std::filesystem::symlink_status(path, ignored));
#endif
}

void RemoveTreeAt(const std::filesystem::path& path) {
    std::error_code ignored;
    if (IsPlainFolder(path)) {
        std::vector<std::filesystem::path> entries;
        for (std::filesystem::directory_iterator it(path, ignored), end; !ignored && it != end;
             it.increment(ignored)) {
            entries.push_back(it->path());
        }
        for (const std::filesystem::path& entry : entries) {
            RemoveTreeAt(entry);
        }
    }
    std::filesystem::remove(path, ignored);
}

}  // namespace

bool StartedDespiteWine(const std::function<bool()>& start) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (start()) {
            return true;
        }
#ifdef _WIN32
        if (::GetLastError() != ERROR_INTERNAL_ERROR) {
            return false;
        }
#else
        return false;
#endif
    }
    return false;
}

void RemoveTree(const std::string& path) {
    RemoveTreeAt(PathOf(path));
}

TempDirectory::~TempDirectory() {
    RemoveTree(path_);
}

std::string TempDirectory::Join(std::string_view relative) const {
    std::string result = path_;
    result += std::filesystem::path::preferred_separator == '\\' ? '\\' : '/';
    for (char c : relative) {
        result += (c == '/') ? static_cast<char>(std::filesystem::path::preferred_separator) : c;
    }
    return result;
}

std::string TempDirectory::WriteFile(std::string_view relative, std::string_view bytes) const {
    const std::string full = Join(relative);
    std::filesystem::create_directories(PathOf(full).parent_path());
    std::ofstream out(PathOf(full), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return full;
}

std::string TempDirectory::MakeFolder(std::string_view relative) const {
    const std::string full = Join(relative);
    std::filesystem::create_directories(PathOf(full));
    return full;
}

std::vector<std::string> TempDirectory::List(std::string_view relative) const {
    std::vector<std::string> names;
    fs::ListDirectory(Join(relative), [&](const fs::DirEntry& entry) {
        names.emplace_back(entry.name);
        return true;
    });
    std::sort(names.begin(), names.end());
    return names;
}

ScratchKey::ScratchKey(std::string_view nameHint)
    : path_("Software\\OrvanterTests\\" + std::string(nameHint) + "-" + UniqueSuffix() + "\\") {}

ScratchKey::~ScratchKey() {
    reg::DeleteKeyTree(path_);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return predicate();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

InjectedFault::InjectedFault(std::string prefix, uint32_t code, std::vector<fs::SystemCall> calls) {
    fs::InjectFaults([prefix = std::move(prefix), code, calls = std::move(calls)](
                         fs::SystemCall call, std::string_view path) -> std::optional<uint32_t> {
        for (fs::SystemCall faulty : calls) {
            if (faulty == call && path.substr(0, prefix.size()) == prefix) {
                return code;
            }
        }
        return std::nullopt;
    });
}

InjectedFault::~InjectedFault() {
    fs::InjectFaults({});
}

std::string WriteVariablesScript(const TempDirectory& folder, std::string_view relative,
                                 const std::string& marker) {
#ifdef _WIN32
    // "cmd /u" writes the list in UTF-16, whatever the console's code page.
    return folder.WriteFile(relative, "@echo off\r\ncmd /u /c set ORVANTER_> \"" + marker +
                                          ".tmp\"\r\nmove /y \"" + marker + ".tmp\" \"" + marker +
                                          "\" >nul\r\n");
#else
    return folder.WriteFile(relative, "env | grep '^ORVANTER_' > \"" + marker + ".tmp\"\nmv \"" + marker +
                                          ".tmp\" \"" + marker + "\"\n");
#endif
}

std::map<std::string, std::string> ReadVariables(const std::string& marker) {
    std::string bytes = ReadFile(marker);
    if (bytes.size() >= 2 && bytes.size() % 2 == 0 && bytes[1] == '\0') {
        std::u16string wide(bytes.size() / 2, u'\0');
        for (size_t i = 0; i < wide.size(); ++i) {
            wide[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                            static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
        }
        bytes = text::Utf16ToUtf8(wide);
    }
    std::map<std::string, std::string> variables;
    std::istringstream lines(bytes);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            variables[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return variables;
}

}  // namespace orv::test
