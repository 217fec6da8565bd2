#pragma once

#include <chrono>
#include <optional>
#include <QString>
#include <span>

namespace quorvex {

struct DiscState;

// The most tracks a MiniDisc holds.
inline constexpr int maxDiscTracks = 254;

// What the run is about to put on the disc and what the disc has: its length in standard play, the
// recorder's answer (its time taken as the time already recorded, unless it tells its free time itself), each
// entry's length where known, and the names the recorder is to keep where it tells its free title space.
struct FitInput {
    int discMinutes = 0;
    const DiscState& disc;
    bool pauseMode = false; // no recorder to ask: the whole disc is free, 4 s of pause follow every entry
    std::span<const std::optional<std::chrono::milliseconds>> lengths;
    std::span<const QString> names = {};
};

// The question to ask when the list needs more time or more tracks than the disc has free, or none when
// it fits: "The list needs 52:10 but the disc has 41:30 free." or "The list has 30 entries but the disc
// can take only 12 more tracks.", then a line naming how many lengths are unknown (counted as 0); and when
// the list fits but its names do not fit the free title space: "These titles do not fit the recorder's free
// title space (40 characters):" and each title that does not.
[[nodiscard]] std::optional<QString> fitQuestion(const FitInput& input);

} // namespace quorvex
