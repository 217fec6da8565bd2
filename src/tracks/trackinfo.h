#pragma once

#include "platform/level.h"
#include "tracks/tagfields.h"

#include <chrono>
#include <optional>
#include <QString>
#include <utility>
#include <vector>

namespace TagLib {
class IOStream;
} // namespace TagLib

namespace quorvex {

// What a sound file says about itself beyond an ID3v1 block, read with TagLib: the fields of its own tag
// (ID3v2 for MP3 — any of v2.2, v2.3, v2.4 —, Vorbis comments for FLAC, Ogg and Opus, the MP4 atoms, the ID3
// chunk of AIFF, RIFF INFO or ID3 for WAV, ASF for WMA) and its length.
struct TrackInfo {
    std::optional<TagFields> tag; // none when the file has no such tag or every field of it is empty
    std::optional<std::chrono::milliseconds> length; // none when TagLib cannot tell
    // The file's level tags, as written, each under the name it is shown by ("Track gain": "-3.50 dB"): the
    // ReplayGain tags (ID3v2 TXXX, Vorbis comments, APE, MP4 freeform atoms) and Opus's R128 gains.
    std::vector<std::pair<QString, QString>> gains;
    // The same tags as numbers, as the player sets the level from them.
    ReplayGain replayGain;
};

// What a tool tip says of a file: its tag's title, artist and album where they are set, its length
// ("Length: 3:07") and its level tags, as rich text whose every field is escaped, so a tag is shown as
// written, never as markup; under a first line of the caller's when one is given.
[[nodiscard]] QString trackInfoToolTip(const TrackInfo& info, const QString& heading = {});

// Reads a file. A missing or unreadable file, one that is not a regular file (a directory, a named pipe)
// and one TagLib cannot parse have no tag and no known length. Never plays the file.
[[nodiscard]] TrackInfo readTrackInfo(const QString& path);

// Only the file's ReplayGain tags, without reading its sound: for the player, before it loads the file.
[[nodiscard]] ReplayGain readReplayGain(const QString& path);

// The same reading over an open stream (the bytes of a file in memory, say); the kind of file is told
// from the stream's name, else from its first bytes.
[[nodiscard]] TrackInfo readTrackInfo(TagLib::IOStream& stream);

} // namespace quorvex
