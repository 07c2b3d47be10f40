#include "engine/resume_watch.h"

#include "platform/volumes.h"

namespace orv::engine {

void ResumeWatch::Tick(Time now) {
    if (lastTick_ && now - *lastTick_ > kSleepGap) {
        Resumed(now);
    }
    lastTick_ = now;
}

bool ResumeWatch::Settling(Time now) const {
    return resumedAt_ && now >= *resumedAt_ && now - *resumedAt_ < kSettleTime;
}

bool ComesBackLate(std::string_view path) {
    return !path.empty() && fs::KindOfVolume(path) != fs::VolumeKind::Fixed;
}

}  // namespace orv::engine
