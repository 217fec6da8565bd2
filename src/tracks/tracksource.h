#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <QString>
#include <QStringList>
#include <ratio>
#include <vector>

namespace quorvex {

// A cue sheet's times: CD frames, 75 to the second. Kept as frames, so one track's end and the next one's
// start are the same point, to the sample.
using CueTime = std::chrono::duration<std::int64_t, std::ratio<1, 75>>;

// One track of a cue sheet: where it lies in its audio file and what the sheet says of it.
struct CueTrack {
    QString sheet;  // the sheet's clean absolute path
    int number = 0; // its TRACK number
    QString title;  // empty when the sheet names none
    QString performer;
    CueTime start{0};           // its INDEX 01
    std::optional<CueTime> end; // the next track's INDEX 01 in the same file; none: the file's end
    bool operator==(const CueTrack&) const = default;
};

// What a Track list entry plays: a whole sound file, or one track of a cue sheet in it.
struct TrackSource {
    QString path; // the sound file's clean absolute path
    std::optional<CueTrack> cue;
    bool operator==(const TrackSource&) const = default;
};

using TrackSources = std::vector<TrackSource>;

// Whole files, one source each.
[[nodiscard]] inline TrackSources wholeFiles(const QStringList& paths) {
    TrackSources sources;
    sources.reserve(static_cast<std::size_t>(paths.size()));
    for (const QString& path : paths) {
        sources.push_back({.path = path, .cue = std::nullopt});
    }
    return sources;
}

// In seconds, as the player takes them.
[[nodiscard]] inline double cueSeconds(CueTime time) {
    return std::chrono::duration<double>(time).count();
}

// A cue track's number as the program writes it everywhere: "03".
[[nodiscard]] inline QString cueTrackNumber(int number) {
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

// "/music/Album.flac #03": a cue track named by its file and number, as a refusal names it.
[[nodiscard]] inline QString cueTrackName(const QString& path, int number) {
    return path + QStringLiteral(" #") + cueTrackNumber(number);
}

// "#03 Coda": a cue track as the Track list names it after its file's path ("#03" without a title).
[[nodiscard]] inline QString cueTrackLabel(const CueTrack& track) {
    const QString number = QLatin1Char('#') + cueTrackNumber(track.number);
    return track.title.isEmpty() ? number : number + QLatin1Char(' ') + track.title;
}

// The entry as the Track list shows it: the path, and a cue track's label after it.
[[nodiscard]] inline QString sourceText(const TrackSource& source) {
    return source.cue ? source.path + QLatin1Char(' ') + cueTrackLabel(*source.cue) : source.path;
}

} // namespace quorvex
