#pragma once

#include "tracks/tracksource.h"

#include <chrono>
#include <optional>
#include <QDir>
#include <QString>
#include <QStringList>
#include <span>
#include <vector>

namespace quorvex {

// Whether a file is a playlist the Track list takes: ".m3u", ".m3u8" or ".pls" in any letter case.
[[nodiscard]] bool isPlaylistPath(const QString& path);

// The comment line before a cue track's sound file in a playlist: its track number and cue sheet follow.
inline constexpr auto cueTrackComment = "#QUORVEX-CUE:";

// A playlist entry that was not added: its path made absolute against the playlist's folder (a URL as
// written), and why.
struct Refused {
    QString entry;
    QString reason;
};

struct PlaylistEntries {
    TrackSources added; // sound files (clean absolute paths) and cue tracks, in the playlist's order
    std::vector<Refused> refused;
};

// Reads an M3U (comments and #EXTINF lines skipped; UTF-8 when its bytes are valid UTF-8, else
// Windows-1252), M3U8 or PLS playlist (both UTF-8; a PLS's FileN entries in the order of N). An entry is a
// path, absolute or relative to the playlist's folder, or a file:// URL. Only regular files the audio check
// accepts are added; a listed playlist is read in its place, unless it is one being read already (a loop);
// a listed cue sheet gives its tracks. A cue track is kept as its sound file preceded by
// "#QUORVEX-CUE:<track number> <cue sheet>": that track of that sheet, read again.
// A playlist that cannot be read is refused as a whole. A read takes at most 16 MiB of playlists, 100,000
// entries and 16 levels of playlists in playlists; what lies beyond is refused.
[[nodiscard]] PlaylistEntries readPlaylist(const QString& path);

// What to tell the user about refused entries: a heading, then "entry: reason" on one line for at most 10
// of them (an entry longer than 200 characters cut in the middle) and "and N more" for the rest. Empty when
// none was refused.
[[nodiscard]] QString refusedEntriesText(std::span<const Refused> refused);

// A Track list entry as a playlist keeps it.
struct PlaylistItem {
    QString path;
    std::optional<std::chrono::milliseconds> length;
    QString title;
    std::optional<CueTrack> cue = std::nullopt; // a cue track's part of the file
    QStringList notes = {};                     // comment lines ("#…") written before the entry
    QStringList after = {};                     // and after it
};

// Writes an M3U8 playlist (UTF-8, #EXTM3U, an #EXTINF line per entry), each path relative to the
// playlist's folder when it lies under it or under its parent (in a folder beside it), else absolute; a name
// a reader would misread (a line break, a leading '#') as a file:// URL. Titles stay on their line. An old
// file is replaced only when the new one is written whole. A cue track's sound file comes after VLC's
// "#EXTVLCOPT:start-time=" and "stop-time=" (seconds; other players play the whole file) and the line that
// names its track and sheet. `header`'s comment lines follow #EXTM3U. Nothing when written, else why not.
[[nodiscard]] std::optional<QString> writePlaylist(const QString& playlistPath,
                                                   std::span<const PlaylistItem> items,
                                                   const QStringList& header = {});

// A playlist's entry as a clean absolute path: relative to the playlist's folder, absolute, or a file:// URL;
// nothing for a URL of another scheme. Only "scheme://" makes a URL: "C:" or "Artist: Title.mp3" are names.
[[nodiscard]] std::optional<QString> playlistEntryPath(const QString& entry, const QDir& folder);

} // namespace quorvex
