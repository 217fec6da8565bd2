#pragma once

#include "tracks/playlist.h"
#include "tracks/tracksource.h"

#include <optional>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

namespace quorvex {

// Whether a file is a cue sheet: ".cue" in any letter case.
[[nodiscard]] bool isCueSheetPath(const QString& path);

// A cue sheet's bytes as text: a byte-order mark dropped; UTF-8 when the bytes are valid UTF-8 (UTF-16 after
// its mark); otherwise the encoding uchardet detects (ISO-8859-1 read as Windows-1252), and Windows-1252 when
// it detects none.
[[nodiscard]] QString cueSheetText(QByteArrayView bytes);

// A FILE line: the name as written and its type (WAVE, MP3, BINARY...).
struct CueSheetFile {
    QString name;
    QString type;
};

// A TRACK as the sheet writes it.
struct CueSheetTrack {
    int number = 0;
    QString type; // AUDIO, MODE1/2352...
    QString title;
    QString performer;
    std::optional<CueTime> index01;
    std::size_t file = 0; // the FILE its INDEX 01 lies in (without one, the FILE it is listed under)
};

struct ParsedCueSheet {
    std::vector<CueSheetFile> files;
    std::vector<CueSheetTrack> tracks;
};

// The sheet's FILEs and TRACKs with their TITLE, PERFORMER and INDEX 01 (an INDEX 00, a pregap, belongs to
// the track before; PREGAP, POSTGAP, REM and unknown commands say nothing about the audio). Why it cannot be
// recorded from instead: no FILE and TRACK, a TRACK before any FILE or without a number, a time that is not
// minutes:seconds:frames, more than 99 tracks, a track without INDEX 01, or INDEX 01 times that do not
// increase within a file.
[[nodiscard]] std::variant<ParsedCueSheet, QString> parseCueSheet(const QString& text);

struct CueSheetEntries {
    TrackSources added; // its audio tracks, in the sheet's order
    std::vector<Refused> refused;
    QStringList audioFiles; // the sound files its tracks lie in (a folder adds them through the sheet only)
};

// Reads the sheet at `path` (at most 1 MiB). Each FILE is looked for as written, relative to the sheet's
// folder; when it is not there, a sound file of the same base name beside the sheet (a sheet naming the .wav
// that became a .flac). Refused with their reason: a sheet that cannot be read or parsed, a FILE that is
// missing, a raw CD image (BINARY, MOTOROLA) or not a sound file, a data track, a track starting beyond its
// file's end. A track ends where the next one of its file starts, the last one at its file's end.
[[nodiscard]] CueSheetEntries readCueSheet(const QString& path);

} // namespace quorvex
