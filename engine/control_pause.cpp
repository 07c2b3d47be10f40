#include "engine/control_pause.h"

namespace orv::engine {

bool ControlPause::TakeDue(Clock::time_point now) {
    if (!until_ || now < *until_) {
        return false;
    }
    until_.reset();
    return true;
}

std::string PauseTip(const ControlPause& pause, const lang::LanguageTable& texts, const std::string& tip,
                     const std::string& shortTime, const clock::Names& names) {
    clock::LocalTime end;
    if (!pause.Until() || !clock::FileTimeToLocal(clock::FileTimeOf(*pause.Until()), end)) {
        return tip;
    }
    return texts.Text(lang::TextId::PausedUntil) + " " + clock::FormatPicture(end, shortTime, names);
}

}  // namespace orv::engine
