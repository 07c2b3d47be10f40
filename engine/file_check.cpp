#include <algorithm>
#include <limits>

#include "engine/check_report.h"
#include "engine/checks.h"
#include "engine/object_rules.h"
#include "engine/text_count.h"
#include "platform/files.h"
#include "platform/text.h"

namespace orv::engine {
namespace {

using lang::TextId;

// What one look at the path tells the file check. `exists` follows the program's rule: an entry that
// is not a directory and whose last-write time, in local time, fits a DOS date (1980 to 2107).
struct FileState {
    bool found = false;  // an entry of any kind is at the path
    bool exists = false;
    uint64_t size = 0;
    clock::LocalTime modified;  // reduced to the DOS resolution
};

// Known with `state` filled in; otherwise nothing was learnt about the file.
fs::Answer LookAtFile(std::string_view path, FileState& state) {
    state = FileState{};
    fs::EntryInfo info;
    const fs::Answer answer = LookAtPath(path, info);
    if (answer != fs::Answer::Known) {
        return answer;
    }
    state.found = info.kind != fs::EntryKind::Missing;
    if (info.kind != fs::EntryKind::File) {
        return answer;
    }
    clock::LocalTime local;
    if (!clock::FileTimeToLocal(info.lastWrite, local) || !clock::ReduceToDosTime(local, state.modified)) {
        return answer;  // dated outside what the program can show: counts as missing
    }
    state.exists = true;
    state.size = info.size;
    return answer;
}

// Size and date cannot be controlled while the file is missing.
CheckResult WithoutFile(int number, const ControlObject& object, const CheckContext& context,
                        TextId heading) {
    return NoControlResult(number, object, context, heading, object.settings.Name_File,
                           TextId::FileMissingNoControl);
}

std::optional<CheckResult> CheckAvailability(int number, const ControlObject& object,
                                             const CheckContext& context, const FileState& state) {
    static constexpr PresenceTexts kTexts{TextId::FileAvailabilityTitle, TextId::FileAppears,
                                          TextId::FileAppearsAsIs, TextId::FileIsMissing,
                                          TextId::FileIsMissingStill};
    return PresenceResult(number, object, context, kTexts, object.settings.Name_File, state.exists,
                          &Baseline::File_OK_Old);
}

std::optional<CheckResult> CheckSize(int number, const ControlObject& object, const CheckContext& context,
                                     const FileState& state) {
    const std::string& name = object.settings.Name_File;
    if (!state.exists) {
        return WithoutFile(number, object, context, TextId::FileSizeTitle);
    }
    const std::optional<int64_t> old = ParseSizeBaseline(object.baseline.Size_File_Old);
    if (!old) {
        return std::nullopt;  // a baseline that is no number: the check cannot compare, and says nothing
    }
    static constexpr SizeTexts kTexts{TextId::FileSizeTitle, TextId::FileSizeIncreased,
                                      TextId::FileSizeReduced, TextId::FileSizeUnchanged};
    return SizeResult(number, object, context, kTexts, name, state.size, *old, &Baseline::Size_File_Old);
}

std::optional<CheckResult> CheckDate(int number, const ControlObject& object, const CheckContext& context,
                                     const FileState& state) {
    const std::string& name = object.settings.Name_File;
    if (!state.exists) {
        return WithoutFile(number, object, context, TextId::FileDateTitle);
    }
    static constexpr DateTexts kTexts{TextId::FileDateTitle, TextId::FileChanged, TextId::FileUnchanged};
    return DateResult(number, object, context, kTexts, name,
                      DigitString(FormatTimestamp(state.modified, context.formats, context.names)),
                      &Baseline::File_Data_Old);
}

std::optional<CheckResult> CheckString(int number, const ControlObject& object, const CheckContext& context,
                                       const FileState& state) {
    const std::string& name = object.settings.Name_File;
    auto finish = [&](CheckResult result, bool stringActive, std::string_view separator,
                      std::string_view outcome) {
        if (separator != kHintBreak) {
            result.report.pathHint = Hint(context, TextId::StringTitle, name, outcome, separator);
        }
        result.report.stringColour = stringActive ? kActiveColour : kIdleColour;
        result.report.stringHint = result.report.pathHint;
        return result;
    };
    if (!state.exists) {
        const std::string& outcome = context.texts.Text(TextId::StringFileMissing);
        return finish(
            MakeResult(number, context, TextId::StringTitle, name, outcome, object.baseline, false, false),
            false, kHintBreak, outcome);
    }
    // Read-only with full sharing: a log that another program is writing can be counted without
    // disturbing it.
    fs::Reader reader;
    uint64_t length = 0;
    if (!fs::Reader::Open(object.settings.Path_File, reader) || !reader.Size(length)) {
        return std::nullopt;
    }
    if (length == 0) {
        const std::string& outcome = context.texts.Text(TextId::StringFileEmpty);
        return finish(
            MakeResult(number, context, TextId::StringTitle, name, outcome, object.baseline, false, true),
            false, kHintBreak, outcome);
    }
    // The text is held as UTF-8, while the files a user watches are often written in the system's ANSI
    // code page (logs of older programs): both forms are counted where they differ. A text that the
    // code page cannot hold whole is counted as UTF-8 only, never with '?' in its place. Windows' own
    // tools write UTF-16 with a byte-order mark: such a file is counted in UTF-16 alone.
    const std::string& searchText = object.settings.String;
    std::string ansiText;
    const bool hasAnsiForm = text::Utf8ToAnsiExact(searchText, ansiText) && ansiText != searchText;
    const std::u16string utf16Text = text::Utf8ToUtf16(searchText);
    const SearchForms forms{hasAnsiForm ? std::string_view(ansiText) : std::string_view(searchText),
                            hasAnsiForm ? std::string_view(searchText) : std::string_view(), utf16Text};
    const std::optional<int64_t> counted = CountOccurrences(reader, forms);
    if (!counted) {
        return std::nullopt;
    }
    // The baseline is a 32-bit value; a count beyond it is held at the largest one rather than wrapped.
    const int64_t count = std::min<int64_t>(*counted, std::numeric_limits<int32_t>::max());
    const int64_t previous = object.baseline.Povtor_File_Old;
    std::optional<CheckResult> result;
    if (count == previous) {
        const std::string& outcome = context.texts.Text(TextId::RepetitionsUnchanged);
        result = finish(
            MakeResult(number, context, TextId::StringTitle, name, outcome, object.baseline, false, true),
            count >= 1, kHintBreak, outcome);
    } else {
        std::string outcome = context.texts.Text(count > previous ? TextId::RepetitionsIncreased
                                                                  : TextId::RepetitionsDecreased);
        outcome += std::to_string(count > previous ? count - previous : previous - count);
        Baseline baseline = object.baseline;
        baseline.Povtor_File_Old = static_cast<int32_t>(count);
        result = finish(MakeResult(number, context, TextId::StringTitle, name, outcome, baseline, true, true),
                        count >= 1, kHintSlash, outcome);
    }
    result->lastStringCount = static_cast<int32_t>(count);
    return result;
}

}  // namespace

std::optional<CheckResult> CheckFile(int number, const ControlObject& object, const CheckContext& context) {
    static constexpr std::array<PathMeasure<FileState>, 4> kChecks{CheckAvailability, CheckSize, CheckDate,
                                                                   CheckString};
    return CheckPathObject(number, object, context, ObjectType::File, object.settings.Path_File, LookAtFile,
                           kChecks);
}

}  // namespace orv::engine
