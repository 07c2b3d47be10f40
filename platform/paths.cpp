// What is the same on every system: the executable's folder and the application title.
#include "platform/paths.h"

#include "platform/files.h"
#include "platform/text.h"

namespace orv::paths {
namespace {

// Case mapping for the letters a file name is likely to hold: Latin and Cyrillic.
char16_t ToLower(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0x0410 && c <= 0x042F)) {
        return static_cast<char16_t>(c + 0x20);
    }
    if (c >= 0x0400 && c <= 0x040F) {
        return static_cast<char16_t>(c + 0x50);
    }
    return c;
}

}  // namespace

std::string ExecutableFolder() {
    const std::string path = ExecutablePath();
    const size_t separator = path.find_last_of(fs::kSeparators);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string ApplicationTitle(const std::string& executablePath) {
    // Either separator: the title of a Windows path is asked for on every system.
    const size_t slash = executablePath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? executablePath : executablePath.substr(slash + 1);
    const size_t dot = name.find('.');
    if (dot != std::string::npos) {
        name.resize(dot);
    }
    // The first letter stays as it is; only the letters after it are lowered.
    std::u16string wide = text::Utf8ToUtf16(name);
    for (size_t i = 1; i < wide.size(); ++i) {
        wide[i] = ToLower(wide[i]);
    }
    return text::Utf16ToUtf8(wide);
}

}  // namespace orv::paths
