#include "engine/event_log.h"

#include <string_view>

#include "platform/files.h"
#include "platform/text.h"

namespace orv::engine {
namespace {

// The header is the same in both interface languages.
constexpr std::string_view kHeader = "Утилита Orvanter";

// How many numbered names a log step tries before it gives up (only reached when the folder is full of
// files of the same second, or the file system refuses every name).
constexpr int kNameAttempts = 1000;

clock::LocalTime Now(const LogEnvironment& environment) {
    return environment.now ? environment.now() : clock::Now();
}

std::string TimeText(const clock::LocalTime& time, const LogEnvironment& environment) {
    return clock::FormatPicture(time, environment.formats.longTime, environment.names);
}

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) {
        path.pop_back();
    }
    return path;
}

bool EnsureFolder(const std::string& folder) {
    const std::string bare = WithoutTrailingSeparator(folder);
    if (fs::IsDirectory(bare)) {
        return true;
    }
    fs::MakeDirectory(bare);
    return fs::IsDirectory(bare);
}

bool Exists(const std::string& path) {
    fs::EntryInfo info;
    // An entry that cannot be examined is there all the same.
    return !fs::Query(path, info) || info.kind != fs::EntryKind::Missing;
}

// Moves the finished temporary file to the first free name of the series "<stem>.log", "<stem> (2).log",
// "<stem> (3).log", ...
std::optional<std::string> PlaceUnderFreeName(const std::string& temporary, const std::string& folder,
                                              const std::string& stem) {
    for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
        std::string path = folder + stem;
        if (attempt > 1) {
            path += " (" + std::to_string(attempt) + ")";
        }
        path += ".log";
        if (fs::RenameNoReplace(temporary, path)) {
            return path;
        }
        if (!Exists(path)) {
            return std::nullopt;  // the rename failed for another reason than the name being taken
        }
    }
    return std::nullopt;
}

// The name a log step gives its file while writing it: "~" + time stem + "." + attempt + ".tmp". The
// stem is a time text, so it holds at least one digit; the attempt is 1 to kNameAttempts.
bool IsLogTemporaryName(std::string_view name) {
    constexpr std::string_view kSuffix = ".tmp";
    if (name.size() < 1 + 1 + 1 + 1 + kSuffix.size() || name.front() != '~' ||
        name.substr(name.size() - kSuffix.size()) != kSuffix) {
        return false;
    }
    const std::string_view body = name.substr(1, name.size() - 1 - kSuffix.size());
    const size_t dot = body.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return false;
    }
    const std::string_view attempt = body.substr(dot + 1);
    if (attempt.empty() || attempt.size() > 4 || attempt.front() == '0') {
        return false;
    }
    int value = 0;
    for (const char c : attempt) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    const std::string_view stem = body.substr(0, dot);
    return value <= kNameAttempts && stem.find_first_of("0123456789") != std::string_view::npos;
}

// A log step killed between writing its temporary file and renaming it leaves that file behind; the
// next step clears such leftovers (and only them: nothing else in the folder is the log's own).
void RemoveLeftoverTemporaries(const std::string& folder) {
    std::vector<std::string> leftovers;
    fs::ListDirectory(WithoutTrailingSeparator(folder), [&leftovers](const fs::DirEntry& entry) {
        if (!entry.directory && IsLogTemporaryName(entry.name)) {
            leftovers.emplace_back(entry.name);
        }
        return true;
    });
    for (const std::string& name : leftovers) {
        fs::RemoveFile(folder + name);
    }
}

}  // namespace

std::optional<std::vector<std::string>> SelectLogTexts(const LogSnapshot& objects, bool logOK) {
    std::vector<std::string> texts;
    if (logOK) {
        for (const LogObject& object : objects) {
            if (object.ActionPending) {
                texts.push_back(object.EventText);
            }
        }
        if (texts.empty()) {
            return std::nullopt;
        }
        return texts;
    }
    bool anyEnabled = false;
    for (const LogObject& object : objects) {
        anyEnabled = anyEnabled || object.Razr;
    }
    if (!anyEnabled) {
        return std::nullopt;
    }
    for (const LogObject& object : objects) {
        texts.push_back(object.EventText);
    }
    return texts;
}

std::string LogFileName(const clock::LocalTime& time, const LogEnvironment& environment) {
    std::string name = TimeText(time, environment);
    for (char& c : name) {
        if (c == ':') {
            c = '.';
        }
    }
    return name + ".log";
}

std::optional<std::string> WriteEventLogFile(const LogSnapshot& objects, bool logOK,
                                             const LogEnvironment& environment) {
    const std::optional<std::vector<std::string>> texts = SelectLogTexts(objects, logOK);
    if (!texts || !EnsureFolder(environment.folder)) {
        return std::nullopt;
    }

    std::string content;
    content += TimeText(Now(environment), environment);
    content += ' ';
    content += kHeader;
    content += "\r\n";
    for (const std::string& text : *texts) {
        content += TimeText(Now(environment), environment);
        content += ' ';
        content += text;
        content += "\r\n";
    }
    const std::string bytes = text::Utf8ToCp1251(content);

    std::string name = LogFileName(Now(environment), environment);
    const std::string stem = name.substr(0, name.size() - 4);  // without ".log"

    RemoveLeftoverTemporaries(environment.folder);

    // Written whole under a name no log file has, then renamed into place: a reader never sees a
    // half-written log, and a failed write leaves nothing behind.
    std::string temporary;
    for (int attempt = 1; attempt <= kNameAttempts && temporary.empty(); ++attempt) {
        const std::string candidate =
            environment.folder + "~" + stem + "." + std::to_string(attempt) + ".tmp";
        if (fs::WriteNewFile(candidate, bytes)) {
            temporary = candidate;
        } else if (!Exists(candidate)) {
            return std::nullopt;  // the folder does not take files at all
        }
    }
    if (temporary.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> placed = PlaceUnderFreeName(temporary, environment.folder, stem);
    if (!placed) {
        fs::RemoveFile(temporary);
    }
    return placed;
}

}  // namespace orv::engine
