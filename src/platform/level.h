#pragma once

#include <optional>

namespace quorvex {

// The level the player sends the sound at.
enum class Level {
    minus6dB,  // every file 6 dB down
    full,      // unity: nothing changes a sample (with 44.1 kHz 16-bit files and output, the file's own)
    trackGain, // each file at its ReplayGain track gain, limited by its peak; -6 dB without gain tags
    albumGain, // likewise at its album gain, its track gain where it has none
};

// A file's ReplayGain tags: gains in dB, peaks as a share of full scale, each only where the file gives it.
struct ReplayGain {
    std::optional<double> trackGain;
    std::optional<double> trackPeak;
    std::optional<double> albumGain;
    std::optional<double> albumPeak;
    bool operator==(const ReplayGain&) const = default;
};

// The level in dB a file plays at: -6, Full level's 0, or under a ReplayGain level its gain (the album's or
// the track's as asked, the other where the file has only that one), never louder than its peak allows; a
// gain without its peak is taken with a full-scale peak, so it never raises the file. -6 without a gain.
[[nodiscard]] double levelDb(Level level, const ReplayGain& gains);
// A gapless take's one level, from its first file: under either ReplayGain level that file's album gain (its
// track gain where it has none), limited as above; otherwise the level itself.
[[nodiscard]] double takeLevelDb(Level level, const ReplayGain& first);

} // namespace quorvex
