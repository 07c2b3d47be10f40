#include <algorithm>
#include <vector>

#include "engine/check_report.h"
#include "engine/checks.h"
#include "engine/measurement.h"
#include "engine/object_rules.h"
#include "platform/files.h"

namespace orv::engine {
namespace {

using lang::TextId;

bool EndsWithSeparator(std::string_view path) {
    if (path.empty()) {
        return false;
    }
#ifdef _WIN32
    return path.back() == '\\' || path.back() == '/';
#else
    return path.back() == '/';
#endif
}

// The total, or why there is none.
struct DirectoryTotal {
    fs::Answer answer = fs::Answer::Known;
    uint64_t bytes = 0;
};
DirectoryTotal MeasureDirectory(std::string_view path);

struct DirectoryState {
    bool found = false;  // an entry of any kind is at the path
    bool exists = false;
    fs::FileTime creation;
};

// Known with `state` filled in; otherwise nothing was learnt about the directory.
fs::Answer LookAtDirectory(std::string_view path, DirectoryState& state) {
    state = DirectoryState{};
    fs::EntryInfo info;
    const fs::Answer answer = LookAtPath(path, info);
    if (answer == fs::Answer::Known) {
        state.found = info.kind != fs::EntryKind::Missing;
        state.exists = info.kind == fs::EntryKind::Directory;
        state.creation = info.creation;
    }
    return answer;
}

// Size and date cannot be controlled while the directory is missing.
CheckResult WithoutDirectory(int number, const ControlObject& object, const CheckContext& context,
                             TextId heading) {
    return NoControlResult(number, object, context, heading, object.settings.Name_Dir,
                           TextId::DirMissingNoControl);
}

std::optional<CheckResult> CheckAvailability(int number, const ControlObject& object,
                                             const CheckContext& context, const DirectoryState& state) {
    static constexpr PresenceTexts kTexts{TextId::DirAvailabilityTitle, TextId::DirAppeared,
                                          TextId::DirAppearedAsIs, TextId::DirIsMissing,
                                          TextId::DirIsMissingStill};
    return PresenceResult(number, object, context, kTexts, object.settings.Name_Dir, state.exists,
                          &Baseline::Dir_OK_Old);
}

std::optional<CheckResult> CheckSize(int number, const ControlObject& object, const CheckContext& context,
                                     const DirectoryState& state) {
    const std::string& name = object.settings.Name_Dir;
    if (!state.exists) {
        return WithoutDirectory(number, object, context, TextId::DirSizeTitle);
    }
    const std::optional<int64_t> old = ParseSizeBaseline(object.baseline.Size_Dir_Old);
    if (!old) {
        return std::nullopt;  // a baseline that is no number: nothing to compare with
    }
    const DirectoryTotal measured = MeasureDirectory(object.settings.Path_Dir);
    if (measured.answer != fs::Answer::Known) {
        // Vanished since it was seen, may not be read, or stopped answering: no size to report.
        return NoAnswerResult(measured.answer, number, object, context);
    }
    static constexpr SizeTexts kTexts{TextId::DirSizeTitle, TextId::DirSizeIncreased,
                                      TextId::DirSizeDecreased, TextId::DirSizeUnchanged};
    return SizeResult(number, object, context, kTexts, name, measured.bytes, *old, &Baseline::Size_Dir_Old);
}

std::optional<CheckResult> CheckDate(int number, const ControlObject& object, const CheckContext& context,
                                     const DirectoryState& state) {
    const std::string& name = object.settings.Name_Dir;
    if (!state.exists) {
        return WithoutDirectory(number, object, context, TextId::DirDateTitle);
    }
    // The creation time comes from the directory's attributes, to the millisecond; a time that cannot
    // be converted is a failed measurement, not a date to compare.
    clock::LocalTime created;
    if (!clock::FileTimeToLocal(state.creation, created)) {
        return std::nullopt;
    }
    static constexpr DateTexts kTexts{TextId::DirDateTitle, TextId::DirChanged, TextId::DirUnchanged};
    return DateResult(number, object, context, kTexts, name,
                      DigitString(FormatTimestamp(created, context.formats, context.names)),
                      &Baseline::Dir_Data_Old);
}

// The walk behind DirectorySize. The top directory must be listed, or there is no size at all. A
// sub-folder that may not be listed (or vanished) adds nothing, but one whose volume or server stops
// answering, or whose listing breaks off after it has begun, fails the whole walk: a share that drops
// half-way would otherwise show as a shrunken tree and report a decrease that never happened.
DirectoryTotal MeasureDirectory(std::string_view path) {
    // Depth-first with a list of folders still to visit instead of recursion: no open listing is held
    // while a sub-folder is walked, and a deep tree cannot overflow the stack. Memory grows with the
    // folders waiting, never with the number of files.
    constexpr uint32_t kEntriesPerProgress = 1024;
    DirectoryTotal total;
    std::vector<std::string> pending;
    pending.emplace_back(path);
    std::string current;
    bool top = true;
    uint32_t entries = 0;
    fs::TreeLister lister;
    while (!pending.empty()) {
        current = std::move(pending.back());
        pending.pop_back();
        if (!EndsWithSeparator(current)) {
            current += fs::kSeparator;
        }
        const size_t firstChild = pending.size();
        bool begun = false;
        const fs::Answer listed = lister.List(current, [&](const fs::DirEntry& entry) {
            begun = true;
            if (++entries % kEntriesPerProgress == 0) {
                Measurement::NoteProgress();  // a huge folder on a slow share is slow, not held
            }
            if (entry.directory) {
                // Links to other places (junctions, symbolic links, mount points) are not followed:
                // one that leads back into the tree would make the walk endless.
                if (!entry.nameSurrogate) {
                    std::string child = current;
                    child += entry.name;
                    pending.push_back(std::move(child));
                }
            } else {
                total.bytes += entry.size;
            }
            return true;
        });
        Measurement::NoteProgress();
        if (listed == fs::Answer::Unreachable || ((top || begun) && listed != fs::Answer::Known)) {
            return DirectoryTotal{listed, 0};
        }
        top = false;
        // Visit the sub-folders in listing order.
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
    }
    return total;
}

}  // namespace

uint64_t DirectorySize(std::string_view path) {
    return MeasureDirectory(path).bytes;
}

std::optional<CheckResult> CheckDirectory(int number, const ControlObject& object,
                                          const CheckContext& context) {
    static constexpr std::array<PathMeasure<DirectoryState>, 3> kChecks{CheckAvailability, CheckSize,
                                                                        CheckDate};
    return CheckPathObject(number, object, context, ObjectType::Directory, object.settings.Path_Dir,
                           LookAtDirectory, kChecks);
}

}  // namespace orv::engine
