#pragma once

#include "run/discrecord.h"

#include <optional>
#include <QString>
#include <utility>
#include <vector>

namespace quorvex {

// The folder of disc records, the same for both programs: $XDG_DATA_HOME/quorvex/discs
// (~/.local/share/quorvex/discs).
[[nodiscard]] QString discRecordsFolder();

// A disc name made safe as a file name: no path separators, control characters or `/\:*?"<>|` (each
// becomes "_"), no leading dot or blank, at most 100 characters and 200 bytes of UTF-8; "Disc" when nothing
// is left.
[[nodiscard]] QString safeFileName(const QString& name);

// The records in a folder: a run's record is added to the record of the same disc, or starts one.
class DiscRecords final {
public:
    explicit DiscRecords(QString folder = discRecordsFolder()) : folder(std::move(folder)) {}

    // A record file and what it holds; nothing when it cannot be read.
    struct Listed {
        QString path;
        std::optional<DiscRecord> record;
    };
    // Every *.m3u8 in the folder, newest run first (unreadable ones last, by name).
    [[nodiscard]] std::vector<Listed> list() const;

    // Adds a run that made tracks to its disc's record: the record with the same disc name whose tracks end
    // where this run found the disc (the recorder's count at its start); for an untitled disc only the newest
    // untitled record, and only within 12 hours of its last run. Otherwise a new record, named after the
    // disc and the date (a name taken gets a number). Written under a lock on the folder, so two programs
    // recording at once lose nothing. The record's path, and why it could not be written if it could not.
    struct Saved {
        QString path;
        std::optional<QString> error;
    };
    [[nodiscard]] Saved add(const QString& discName, const RecordedRun& run) const;

    // Deletes a record; nothing when it is gone, else why not.
    [[nodiscard]] std::optional<QString> remove(const QString& path) const;

private:
    [[nodiscard]] std::optional<Listed> sameDisc(const QString& discName, const RecordedRun& run) const;
    [[nodiscard]] QString newPath(const QString& discName, const QDateTime& started) const;

    QString folder;
};

// After a run: its record saved when it made tracks. What to say when the record could not be written, naming
// its path and why; nothing otherwise.
[[nodiscard]] std::optional<QString> saveRunRecord(const DiscRecords& records, const QString& discName,
                                                   const RecordedRun& run);

} // namespace quorvex
