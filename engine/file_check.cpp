#include <algorithm>
#include <limits>

#include "engine/checks.h"
#include "engine/path_check.h"
#include "engine/text_count.h"
#include "platform/files.h"
#include "platform/text.h"

namespace orv::engine {
namespace {

using lang::TextId;

// The search text's report: the string indicator's hint is the path indicator's.
CheckResult WithStringIndicator(CheckResult result, bool stringActive) {
    result.report.stringColour = stringActive ? kActiveColour : kIdleColour;
    result.report.stringHint = result.report.pathHint;
    return result;
}

// The count against the baseline. A change fulfils, becomes the baseline and has " / " in its hints in
// place of the line break.
CheckResult CountResult(int number, const ControlObject& object, const CheckContext& context, int64_t count) {
    const std::string& name = object.settings.Name_File;
    const int64_t previous = object.baseline.Povtor_File_Old;
    CheckResult result;
    if (count == previous) {
        result = MakeResult(number, context, TextId::StringTitle, name,
                            context.texts.Text(TextId::RepetitionsUnchanged), object.baseline, false, true);
    } else {
        std::string outcome = context.texts.Text(count > previous ? TextId::RepetitionsIncreased
                                                                  : TextId::RepetitionsDecreased);
        outcome += std::to_string(count > previous ? count - previous : previous - count);
        Baseline baseline = object.baseline;
        baseline.Povtor_File_Old = static_cast<int32_t>(count);
        result = MakeResult(number, context, TextId::StringTitle, name, outcome, baseline, true, true);
        result.report.pathHint = Hint(context, TextId::StringTitle, name, outcome, kHintSlash);
    }
    result.lastStringCount = static_cast<int32_t>(count);
    return WithStringIndicator(std::move(result), count >= 1);
}

// The text is held as UTF-8, while the files a user watches are often written in the system's ANSI
// code page (logs of older programs): both forms are counted where they differ. A text that the code
// page cannot hold whole is counted as UTF-8 only, never with '?' in its place. Windows' own tools
// write UTF-16 with a byte-order mark: such a file is counted in UTF-16 alone.
std::optional<int64_t> CountSearchText(fs::Reader& reader, const std::string& searchText) {
    std::string ansiText;
    const bool hasAnsiForm = text::Utf8ToAnsiExact(searchText, ansiText) && ansiText != searchText;
    const std::u16string utf16Text = text::Utf8ToUtf16(searchText);
    const SearchForms forms{hasAnsiForm ? std::string_view(ansiText) : std::string_view(searchText),
                            hasAnsiForm ? std::string_view(searchText) : std::string_view(), utf16Text};
    return CountOccurrences(reader, forms);
}

std::optional<CheckResult> CheckString(int number, const ControlObject& object, const CheckContext& context,
                                       const PathState& state) {
    // Without a file to count in, or in an empty one: nothing fulfilled, the count baseline kept.
    auto noCount = [&](TextId outcome, bool pathActive) {
        return WithStringIndicator(
            MakeResult(number, context, TextId::StringTitle, object.settings.Name_File,
                       context.texts.Text(outcome), object.baseline, false, pathActive),
            false);
    };
    if (!state.exists) {
        return noCount(TextId::StringFileMissing, false);
    }
    // Read-only with full sharing: a log that another program is writing can be counted without
    // disturbing it.
    fs::Reader reader;
    uint64_t length = 0;
    if (!fs::Reader::Open(object.settings.Path_File, reader) || !reader.Size(length)) {
        return std::nullopt;
    }
    if (length == 0) {
        return noCount(TextId::StringFileEmpty, true);
    }
    const std::optional<int64_t> counted = CountSearchText(reader, object.settings.String);
    if (!counted) {
        return std::nullopt;
    }
    // The baseline is a 32-bit value; a count beyond it is held at the largest one rather than wrapped.
    return CountResult(number, object, context,
                       std::min<int64_t>(*counted, std::numeric_limits<int32_t>::max()));
}

// A file's size comes with the look at its attributes.
fs::Answer SizeOfFile(std::string_view /*path*/, const PathState& state, uint64_t& bytes) {
    bytes = state.size;
    return fs::Answer::Known;
}

}  // namespace

// A file is an entry that is not a directory and whose last-write time, in local time, fits a DOS date
// (1980 to 2107); its date is that time at the DOS resolution.
constexpr PathKind kFileKind{
    .type = ObjectType::File,
    .path = &ObjectSettings::Path_File,
    .name = &ObjectSettings::Name_File,
    .entry = fs::EntryKind::File,
    .time = &fs::EntryInfo::lastWrite,
    .dosTime = true,
    .missing = TextId::FileMissingNoControl,
    .presence = {TextId::FileAvailabilityTitle, TextId::FileAppears, TextId::FileAppearsAsIs,
                 TextId::FileIsMissing, TextId::FileIsMissingStill},
    .seen = &Baseline::File_OK_Old,
    .size = {TextId::FileSizeTitle, TextId::FileSizeIncreased, TextId::FileSizeReduced,
             TextId::FileSizeUnchanged},
    .sizeBaseline = &Baseline::Size_File_Old,
    .date = {TextId::FileDateTitle, TextId::FileChanged, TextId::FileUnchanged},
    .dateBaseline = &Baseline::File_Data_Old,
    .measureSize = SizeOfFile,
    .extra = CheckString,
};

std::optional<CheckResult> CheckFile(int number, const ControlObject& object, const CheckContext& context) {
    return CheckPathObject(number, object, context, kFileKind);
}

}  // namespace orv::engine
