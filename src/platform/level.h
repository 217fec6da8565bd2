#pragma once

namespace quorvex {

// The level the player sends the sound at.
enum class Level {
    minus6dB,  // every file 6 dB down
    full,      // unity: nothing changes a sample (with 44.1 kHz 16-bit files and output, the file's own)
    trackGain, // each file at its ReplayGain track gain, limited by its peak; -6 dB without gain tags
    albumGain, // likewise at its album gain, its track gain where it has none
};

} // namespace quorvex
