#pragma once

#include "platform/level.h"
#include "platform/mpvhandle.h"
#include "platform/mpvnodes.h"

#include <optional>
#include <QString>

namespace quorvex {

// Gives a new libmpv instance the media player's fixed settings (mpvsettings.cpp says why each is so), with
// `audioOutput` as mpv's list of sound outputs to try unless it is empty, and starts the instance. Returns
// what mpv refused, if anything: a player with such a setting cannot play. An instance that does not start
// at all throws MediaPlayerUnavailable.
std::optional<QString> startMpv(MpvHandle& mpv, const QString& audioOutput);

// What a MiniDisc recorder records, 44.1 kHz 16-bit stereo (the player resamples and converts, so the sound
// server need not), or each file as it is. Every setting is tried; returns
// mpv's error where it refused one, else 0.
int setRecorderFormat(MpvHandle& mpv, bool on);

// The program's level, from the next file on (a file playing now changes at once): returns mpv's error where
// it refused a setting, else 0.
int setLevelOptions(MpvHandle& mpv, Level level);

// One fixed level under ReplayGain, until the next setLevelOptions(): a gapless take's, from the album gain
// libmpv read for its first file, or a file's whose gain tag has no peak tag (which libmpv does not read),
// with the peak taken as full scale. libmpv's own rule for one file (the gain, limited by its peak where
// there is one; -6 dB without gain) applied to all that plays, with libmpv's per-file ReplayGain off so no
// later file of a take brings its own.
int setFixedLevel(MpvHandle& mpv, std::optional<AlbumGain> gain);
// That level in dB.
[[nodiscard]] double fixedLevelDb(std::optional<AlbumGain> gain);

} // namespace quorvex
