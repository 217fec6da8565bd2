#pragma once

#include <optional>
#include <QString>

namespace quorvex {

// Why a Track list entry cannot be a sound file the player can play, judged from its first bytes:
// missing, unreadable, empty, or starting like no MP3, WAV or WMA file does. Nothing when it looks
// playable (the player may still find it damaged further in).
[[nodiscard]] std::optional<QString> audioFileProblem(const QString& path);

} // namespace quorvex
