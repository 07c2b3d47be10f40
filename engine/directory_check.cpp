#include <algorithm>
#include <vector>

#include "engine/check_report.h"
#include "engine/checks.h"
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

std::optional<uint64_t> MeasureDirectory(std::string_view path);

struct DirectoryState {
    bool exists = false;
    fs::FileTime creation;
};

// nullopt when the entry is there but cannot be examined.
std::optional<DirectoryState> LookAtDirectory(std::string_view path) {
    DirectoryState state;
    if (path.empty()) {
        return state;  // no directory chosen yet
    }
    fs::EntryInfo info;
    if (!fs::Query(path, info)) {
        return std::nullopt;
    }
    state.exists = info.kind == fs::EntryKind::Directory;
    state.creation = info.creation;
    return state;
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
        return MakeResult(number, context, TextId::DirSizeTitle, name,
                          context.texts.Text(TextId::DirMissingNoControl), object.baseline, false, false);
    }
    const std::optional<int64_t> old = ParseSizeBaseline(object.baseline.Size_Dir_Old);
    if (!old) {
        return std::nullopt;  // a baseline that is no number: nothing to compare with
    }
    const std::optional<uint64_t> measured = MeasureDirectory(object.settings.Path_Dir);
    if (!measured) {
        return std::nullopt;  // vanished since it was seen, or cannot be read: no size to report
    }
    static constexpr SizeTexts kTexts{TextId::DirSizeTitle, TextId::DirSizeIncreased,
                                      TextId::DirSizeDecreased, TextId::DirSizeUnchanged};
    return SizeResult(number, object, context, kTexts, name, *measured, *old, &Baseline::Size_Dir_Old);
}

std::optional<CheckResult> CheckDate(int number, const ControlObject& object, const CheckContext& context,
                                     const DirectoryState& state) {
    const std::string& name = object.settings.Name_Dir;
    if (!state.exists) {
        return MakeResult(number, context, TextId::DirDateTitle, name,
                          context.texts.Text(TextId::DirMissingNoControl), object.baseline, false, false);
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

// The walk behind DirectorySize; nullopt when the top directory itself cannot be listed (it vanished
// or may not be read), which is no size at all.
std::optional<uint64_t> MeasureDirectory(std::string_view path) {
    // Depth-first with a list of folders still to visit instead of recursion: no open listing is held
    // while a sub-folder is walked, and a deep tree cannot overflow the stack. Memory grows with the
    // folders waiting, never with the number of files.
    uint64_t total = 0;
    std::vector<std::string> pending;
    pending.emplace_back(path);
    std::string current;
    bool top = true;
    while (!pending.empty()) {
        current = std::move(pending.back());
        pending.pop_back();
        if (!EndsWithSeparator(current)) {
            current += fs::kSeparator;
        }
        const size_t firstChild = pending.size();
        const bool listed = fs::ListDirectory(current, [&](const fs::DirEntry& entry) {
            if (entry.directory) {
                // Links to other places (junctions, symbolic links, mount points) are not followed:
                // one that leads back into the tree would make the walk endless.
                if (!entry.nameSurrogate) {
                    std::string child = current;
                    child += entry.name;
                    pending.push_back(std::move(child));
                }
            } else {
                total += entry.size;
            }
            return true;
        });
        if (top && !listed) {
            return std::nullopt;
        }
        top = false;  // a sub-folder that cannot be listed adds nothing
        // Visit the sub-folders in listing order.
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
    }
    return total;
}

}  // namespace

uint64_t DirectorySize(std::string_view path) {
    return MeasureDirectory(path).value_or(0);
}

std::optional<CheckResult> CheckDirectory(int number, const ControlObject& object,
                                          const CheckContext& context) {
    const ControlParam param = object.settings.Param;
    if (FoldParam(ObjectType::Directory, param) != param) {  // out of a directory's range
        return std::nullopt;
    }
    const std::optional<DirectoryState> state = LookAtDirectory(object.settings.Path_Dir);
    if (!state) {
        return std::nullopt;
    }
    switch (param) {
        case ControlParam::Availability:
            return CheckAvailability(number, object, context, *state);
        case ControlParam::Size:
            return CheckSize(number, object, context, *state);
        default:
            return CheckDate(number, object, context, *state);
    }
}

}  // namespace orv::engine
