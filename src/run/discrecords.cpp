#include "run/discrecords.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

namespace quorvex {

namespace {

constexpr qsizetype longestName = 100;
// A file name holds 255 bytes: the name's UTF-8 at most this, with room for the date and a number.
constexpr qsizetype longestNameBytes = 200;
constexpr qint64 untitledWindowSeconds = 12LL * 60 * 60;
// Another program holding the lock writes one small file: a few seconds at most.
constexpr int lockWaitMs = 5000;

} // namespace

QString discRecordsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/quorvex/discs");
}

QString safeFileName(const QString& name) {
    QString safe;
    for (const QChar c : name) {
        const bool unsafe = c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c);
        safe += unsafe ? QLatin1Char('_') : c;
    }
    while (!safe.isEmpty() && (safe.front() == QLatin1Char('.') || safe.front().isSpace())) {
        safe.remove(0, 1);
    }
    safe.truncate(longestName);
    // Whole characters only: never half of a surrogate pair.
    while (!safe.isEmpty() && (safe.back().isHighSurrogate() || safe.toUtf8().size() > longestNameBytes)) {
        safe.chop(1);
    }
    safe = safe.trimmed();
    return safe.isEmpty() ? QStringLiteral("Disc") : safe;
}

std::vector<DiscRecords::Listed> DiscRecords::list() const {
    std::vector<Listed> listed;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.m3u8")}, QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString path = dir.filePath(name);
        listed.push_back({.path = path, .record = readDiscRecord(path)});
    }
    std::stable_sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
        if (a.record.has_value() != b.record.has_value()) {
            return a.record.has_value();
        }
        return a.record && a.record->lastRun() > b.record->lastRun();
    });
    return listed;
}

std::optional<DiscRecords::Listed> DiscRecords::sameDisc(const QString& discName,
                                                         const RecordedRun& run) const {
    if (!run.before) {
        return std::nullopt; // pause mode: where the disc stands is not known
    }
    for (Listed& listed : list()) {
        if (!listed.record) {
            continue;
        }
        const DiscRecord& record = *listed.record;
        if (discName.isEmpty()) {
            // The newest untitled record only.
            if (!record.discName.isEmpty()) {
                continue;
            }
            const bool recent = record.lastRun().isValid() &&
                                record.lastRun().secsTo(run.started) <= untitledWindowSeconds &&
                                record.lastRun() <= run.started;
            if (recent && record.tracksAtEnd() == run.before->tracks) {
                return listed;
            }
            return std::nullopt;
        }
        if (record.discName == discName && record.tracksAtEnd() == run.before->tracks) {
            return listed;
        }
    }
    return std::nullopt;
}

QString DiscRecords::newPath(const QString& discName, const QDateTime& started) const {
    const QString date = started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd"));
    const QString base = discName.isEmpty() ? safeFileName(untitledDiscName(started))
                                            : safeFileName(discName) + QLatin1Char(' ') + date;
    const QDir dir(folder);
    QString path = dir.filePath(base + QStringLiteral(".m3u8"));
    for (int number = 2; QFile::exists(path); ++number) {
        path = dir.filePath(QStringLiteral("%1 (%2).m3u8").arg(base).arg(number));
    }
    return path;
}

DiscRecords::Saved DiscRecords::add(const QString& discName, const RecordedRun& run) const {
    if (!QDir().mkpath(folder)) {
        return {.path = folder, .error = QStringLiteral("the folder cannot be made")};
    }
    QLockFile lock(QDir(folder).filePath(QStringLiteral(".records.lock")));
    if (!lock.tryLock(lockWaitMs)) {
        return {.path = folder,
                .error = lock.error() == QLockFile::LockFailedError
                             ? QStringLiteral("another program is writing there")
                             : QStringLiteral("the folder cannot be written to")};
    }
    DiscRecord record{.discName = discName, .runs = {}};
    QString path;
    if (std::optional<Listed> existing = sameDisc(discName, run)) {
        record = *std::move(existing->record);
        path = existing->path;
    } else {
        path = newPath(discName, run.started);
    }
    record.runs.push_back(run);
    return {.path = path, .error = writeDiscRecord(path, record)};
}

std::optional<QString> saveRunRecord(const DiscRecords& records, const QString& discName,
                                     const RecordedRun& run) {
    if (run.tracks.empty()) {
        return std::nullopt;
    }
    const DiscRecords::Saved saved = records.add(discName, run);
    if (!saved.error) {
        return std::nullopt;
    }
    return QStringLiteral("The disc's record \"%1\" could not be written: %2").arg(saved.path, *saved.error);
}

std::optional<QString> DiscRecords::remove(const QString& path) const {
    QFile file(path);
    if (!file.remove() && file.exists()) {
        return file.errorString();
    }
    return std::nullopt;
}

} // namespace quorvex
