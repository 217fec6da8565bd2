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

// The one level of a gapless take under ReplayGain, from the album gain libmpv read for its first file:
// libmpv's own rule for one file (the gain, limited by its peak where there is one; -6 dB without gain)
// applied to the whole take, with libmpv's per-file ReplayGain off so no later file brings its own.
int setTakeLevel(MpvHandle& mpv, std::optional<AlbumGain> firstFile);
// That level in dB.
[[nodiscard]] double takeLevelDb(std::optional<AlbumGain> firstFile);

} // namespace quorvex
