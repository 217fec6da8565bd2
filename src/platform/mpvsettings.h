#pragma once

#include "platform/level.h"
#include "platform/mpvhandle.h"

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

// The level in dB as the one volume filter: none at 0 dB (Full level: nothing changes a sample), else every
// sample times the level. Returns mpv's error where it refused the setting, else 0.
int setLevelFilter(MpvHandle& mpv, double db);

// The sound buffered for a recording run (on) or a preview (off), from the next time a sound output opens:
// returns mpv's error where it refused a setting, else 0.
int setRunBuffer(MpvHandle& mpv, bool on);

} // namespace quorvex
