#include "platform/mpvlevel.h"

#include "platform/mpvsettings.h"

#include <utility>

namespace quorvex {

MpvLevel::MpvLevel(MpvHandle& mpv, std::function<void(int)> refused)
    : mpv(mpv), refused(std::move(refused)) {}

void MpvLevel::choose(Level chosen) {
    level = chosen;
    if (!inTake) {
        apply(levelDb(level, gains));
    }
}

void MpvLevel::fileLoading(const MediaItem& item, bool takeFirst) {
    gains = item.gains;
    inTake = takeFirst;
    apply(takeFirst ? takeLevelDb(level, gains) : levelDb(level, gains));
}

void MpvLevel::apply(double db) {
    // The filter chain is built anew whenever the option changes: only a change is set.
    if (applied != db) {
        applied = db;
        refused(setLevelFilter(mpv, db));
    }
}

} // namespace quorvex
