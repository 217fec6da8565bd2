#pragma once

#include <chrono>
#include <optional>
#include <QString>
#include <span>

namespace quorvex {

struct DiscInfo;

// The most tracks a MiniDisc holds.
inline constexpr int maxDiscTracks = 254;

// What the run is about to put on the disc and what the disc has: its length in standard play, the
// recorder's answer (its time taken as the time already recorded), and each entry's length where known.
struct FitInput {
    int discMinutes = 0;
    const DiscInfo& disc;
    bool pauseMode = false; // no recorder to ask: the whole disc is free, 4 s of pause follow every entry
    std::span<const std::optional<std::chrono::milliseconds>> lengths;
};

// The question to ask when the list needs more time or more tracks than the disc has free, or none when
// it fits: "The list needs 52:10 but the disc has 41:30 free." or "The list has 30 entries but the disc
// can take only 12 more tracks.", then a line naming how many lengths are unknown (counted as 0).
[[nodiscard]] std::optional<QString> fitQuestion(const FitInput& input);

} // namespace quorvex
