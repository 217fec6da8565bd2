#pragma once

#include <QString>
#include <QStringList>

namespace quorvex {

// The names of the sound files the source browser lists and a folder adds, in any letter case.
inline constexpr auto soundFilePattern = "*.mp3;*.wav;*.wma;*.flac;*.ogg;*.oga;*.opus;*.m4a;*.aif;*.aiff";

// The playlists and cue sheets the source browser lists beside them and the Track list takes in their
// entries' place.
inline constexpr auto playlistFilePattern = "*.m3u;*.m3u8;*.pls;*.cue";

// The same patterns one by one, as name filters take them.
[[nodiscard]] inline QStringList soundFileNameFilters() {
    return QString::fromLatin1(soundFilePattern).split(QLatin1Char(';'));
}

} // namespace quorvex
