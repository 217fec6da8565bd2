#pragma once

#include "tracks/tracksource.h"

#include <chrono>
#include <optional>
#include <QDateTime>
#include <QString>
#include <vector>

namespace quorvex {

// One track a run made, as the record of its disc keeps it.
struct RecordedTrack {
    int number = 0;        // on the disc
    QString title;         // whole, in its own script
    QString recorderTitle; // as the recorder got it
    QString mark;          // as the entry's tool tip says it: "recorded", "cut short: …"
    std::optional<std::chrono::milliseconds> length;
    TrackSource source;
};

// What the disc held when a run started, as the recorder said.
struct DiscContents {
    int tracks = 0;
    int seconds = 0;
};

// One run's part of a record: when it started, what the disc held then (nothing in pause mode, where the
// recorder is not asked) and the tracks it made.
struct RecordedRun {
    QDateTime started;
    std::optional<DiscContents> before;
    std::vector<RecordedTrack> tracks;
    // The disc read back after the run: "<tracks> tracks <seconds> s" as it held then, or why it was not
    // checked ("pause mode", "no answer", "differs"); empty for a run not checked (an older record). And
    // where the recorder tells them, each track the run made as read back: "<track> <seconds> <name>".
    QString checked;
    QString notChecked;
    QStringList onDisc;
};

// Everything Quorvex made on one disc, run after run.
struct DiscRecord {
    QString discName; // empty: an untitled disc
    std::vector<RecordedRun> runs;

    // The disc's name, or "Untitled disc 2026-12-09 21:05" after its first run.
    [[nodiscard]] QString shownName() const;
    // The tracks on the disc after the last run: the last one made, else what the disc held before.
    [[nodiscard]] std::optional<int> tracksAtEnd() const;
    [[nodiscard]] QDateTime firstRun() const;
    [[nodiscard]] QDateTime lastRun() const;
    [[nodiscard]] std::vector<RecordedTrack> tracks() const;
    // The same tracks with the length the recorder read back after their run, where it told one.
    [[nodiscard]] std::vector<RecordedTrack> tracksAsOnDisc() const;
    // What the check after the last run found: "yes", "differs", "no answer", "pause mode"; empty when that
    // run was not checked (an older record).
    [[nodiscard]] QString lastCheck() const;
    // The tracks' lengths added up; unknown lengths count nothing.
    [[nodiscard]] std::chrono::milliseconds totalLength() const;
};

// The name an untitled disc goes by: "Untitled disc 2026-12-09 21:05".
[[nodiscard]] QString untitledDiscName(const QDateTime& firstRun);

// Writes the record as an M3U8 playlist that records the same disc again (cue tracks as the Track list's
// Save writes them; #EXTINF with each track's length and whole title), with its disc name, each run's time
// and what the disc held before it, and each track's number, recorder title and mark on comment lines.
// Replaces an old file only once the new one is written whole. Nothing when written, else why not.
[[nodiscard]] std::optional<QString> writeDiscRecord(const QString& path, const DiscRecord& record);

// Reads a record written so; nothing when the file cannot be read or is no disc record. Entries that name no
// local file are left out.
[[nodiscard]] std::optional<DiscRecord> readDiscRecord(const QString& path);

} // namespace quorvex
