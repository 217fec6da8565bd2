#pragma once

#include <optional>
#include <QString>

namespace quorvex {

// Why a Track list entry cannot be a sound file the player can play, judged from its first bytes:
// missing, unreadable, empty, or starting like no file of the listed formats (MP3, WAV, WMA, FLAC, Ogg,
// Opus, M4A, AIFF) does. Nothing when it looks playable (the player may still find it damaged further in).
[[nodiscard]] std::optional<QString> audioFileProblem(const QString& path);

} // namespace quorvex
