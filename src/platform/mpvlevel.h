#pragma once

#include "platform/level.h"
#include "platform/mediaplayer.h"
#include "platform/mpvhandle.h"

#include <functional>
#include <optional>

namespace quorvex {

// The player's level on libmpv: the level filter set before each file (or gapless take) is loaded, from the
// chosen level and the item's gain tags, so its first sample already goes out at it.
class MpvLevel {
public:
    // `refused` is told libmpv's error for a setting.
    MpvLevel(MpvHandle& mpv, std::function<void(int)> refused);

    // The level chosen: a single file loaded now changes at once; a take keeps the level it started with.
    void choose(Level chosen);
    // A file is about to be loaded, on its own or as the first of a take.
    void fileLoading(const MediaItem& item, bool takeFirst);
    void takeEnded() { inTake = false; }

private:
    void apply(double db);

    MpvHandle& mpv;
    std::function<void(int)> refused;
    Level level = Level::minus6dB;
    ReplayGain gains; // the file loaded last
    bool inTake = false;
    std::optional<double> applied; // the filter's level as libmpv has it
};

} // namespace quorvex
