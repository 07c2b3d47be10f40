#include <algorithm>
#include <vector>

#include "engine/checks.h"
#include "engine/measurement.h"
#include "engine/path_check.h"
#include "platform/files.h"

namespace orv::engine {
namespace {

using lang::TextId;

bool EndsWithSeparator(std::string_view path) {
    return !path.empty() && fs::kSeparators.find(path.back()) != std::string_view::npos;
}

// The total, or why there is none.
struct DirectoryTotal {
    fs::Answer answer = fs::Answer::Known;
    uint64_t bytes = 0;
};

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

// A directory's size is the total of its tree, walked afresh.
fs::Answer SizeOfTree(std::string_view path, const PathState& /*state*/, uint64_t& bytes) {
    const DirectoryTotal total = MeasureDirectory(path);
    if (total.answer == fs::Answer::Known) {
        bytes = total.bytes;
    }
    return total.answer;
}

}  // namespace

// A directory is an entry whose attributes mark it as one; its date is its creation time to the
// millisecond, and a time that cannot be converted is a failed measurement, not a date to compare.
constexpr PathKind kDirectoryKind{
    .type = ObjectType::Directory,
    .path = &ObjectSettings::Path_Dir,
    .name = &ObjectSettings::Name_Dir,
    .entry = fs::EntryKind::Directory,
    .time = &fs::EntryInfo::creation,
    .dosTime = false,
    .missing = TextId::DirMissingNoControl,
    .presence = {TextId::DirAvailabilityTitle, TextId::DirAppeared, TextId::DirAppearedAsIs,
                 TextId::DirIsMissing, TextId::DirIsMissingStill},
    .seen = &Baseline::Dir_OK_Old,
    .size = {TextId::DirSizeTitle, TextId::DirSizeIncreased, TextId::DirSizeDecreased,
             TextId::DirSizeUnchanged},
    .sizeBaseline = &Baseline::Size_Dir_Old,
    .date = {TextId::DirDateTitle, TextId::DirChanged, TextId::DirUnchanged},
    .dateBaseline = &Baseline::Dir_Data_Old,
    .measureSize = SizeOfTree,
    .extra = nullptr,
};

uint64_t DirectorySize(std::string_view path) {
    return MeasureDirectory(path).bytes;
}

std::optional<CheckResult> CheckDirectory(int number, const ControlObject& object,
                                          const CheckContext& context) {
    return CheckPathObject(number, object, context, kDirectoryKind);
}

}  // namespace orv::engine
