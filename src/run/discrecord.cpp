#include "run/discrecord.h"

#include "tracks/oneline.h"
#include "tracks/playlist.h"

#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

namespace quorvex {

namespace {

// The comment lines that make a playlist a disc record.
constexpr QLatin1String discLine("#QUORVEX-DISC:");
constexpr QLatin1String runLine("#QUORVEX-RUN:");
constexpr QLatin1String checkedLine("#QUORVEX-CHECKED:");
constexpr QLatin1String notCheckedLine("#QUORVEX-NOT-CHECKED:");
constexpr QLatin1String onDiscLine("#QUORVEX-ON-DISC:");
constexpr QLatin1String beforeLine("#QUORVEX-BEFORE:");
constexpr QLatin1String trackLine("#QUORVEX-TRACK:");
constexpr QLatin1String recorderTitleLine("#QUORVEX-RECORDER-TITLE:");
constexpr QLatin1String extinf("#EXTINF:");
constexpr QLatin1String startTime("#EXTVLCOPT:start-time=");
constexpr QLatin1String stopTime("#EXTVLCOPT:stop-time=");

// A record is a few hundred lines; what is far larger is no record of ours.
constexpr qint64 largestRecord = 16LL * 1024 * 1024;

std::optional<CueTime> cueTimeOf(const QString& seconds) {
    bool isNumber = false;
    const double value = seconds.toDouble(&isNumber);
    if (!isNumber || value < 0 || value > 1e7) {
        return std::nullopt;
    }
    return std::chrono::round<CueTime>(std::chrono::duration<double>(value));
}

// What the lines read so far say of the entry still to come.
struct Pending {
    int number = 0;
    QString mark;
    QString recorderTitle;
    QString title;
    std::optional<std::chrono::milliseconds> length;
    std::optional<CueTime> start;
    std::optional<CueTime> end;
    std::optional<std::pair<int, QString>> cue; // its track number and sheet
};

class RecordReader {
public:
    explicit RecordReader(const QString& path) : folder(QFileInfo(path).absoluteDir()) {}

    void take(const QString& line) {
        if (line.startsWith(discLine)) {
            record.discName = line.mid(discLine.size());
            isRecord = true;
        } else if (line.startsWith(runLine)) {
            record.runs.push_back(
                {.started = QDateTime::fromString(line.mid(runLine.size()).trimmed(), Qt::ISODate),
                 .before = std::nullopt,
                 .tracks = {},
                 .checked = {},
                 .notChecked = {},
                 .onDisc = {}});
        } else if (!record.runs.empty() && line.startsWith(checkedLine)) {
            // After the run's time: what the disc held.
            const QString rest = line.mid(checkedLine.size());
            record.runs.back().checked = rest.mid(rest.indexOf(QLatin1Char(' ')) + 1);
        } else if (!record.runs.empty() && line.startsWith(notCheckedLine)) {
            record.runs.back().notChecked = line.mid(notCheckedLine.size());
        } else if (!record.runs.empty() && line.startsWith(onDiscLine)) {
            record.runs.back().onDisc.append(line.mid(onDiscLine.size()));
        } else if (line.startsWith(beforeLine)) {
            takeBefore(line.mid(beforeLine.size()).split(QLatin1Char(' '), Qt::SkipEmptyParts));
        } else if (line.startsWith(trackLine)) {
            const QString rest = line.mid(trackLine.size());
            const qsizetype blank = rest.indexOf(QLatin1Char(' '));
            pending.number = rest.left(blank).toInt();
            pending.mark = blank < 0 ? QString() : rest.mid(blank + 1);
        } else if (line.startsWith(recorderTitleLine)) {
            pending.recorderTitle = line.mid(recorderTitleLine.size());
        } else if (line.startsWith(extinf)) {
            const QString rest = line.mid(extinf.size());
            const qsizetype comma = rest.indexOf(QLatin1Char(','));
            bool isNumber = false;
            const qint64 seconds = rest.left(comma).toLongLong(&isNumber);
            pending.length = isNumber && seconds >= 0
                                 ? std::optional(std::chrono::milliseconds(seconds * 1000))
                                 : std::nullopt;
            pending.title = comma < 0 ? QString() : rest.mid(comma + 1);
        } else if (line.startsWith(startTime)) {
            pending.start = cueTimeOf(line.mid(startTime.size()));
        } else if (line.startsWith(stopTime)) {
            pending.end = cueTimeOf(line.mid(stopTime.size()));
        } else if (line.startsWith(QLatin1String(cueTrackComment))) {
            const QString rest = line.mid(QLatin1String(cueTrackComment).size());
            const qsizetype blank = rest.indexOf(QLatin1Char(' '));
            if (const std::optional<QString> sheet = playlistEntryPath(rest.mid(blank + 1).trimmed(), folder);
                blank > 0 && sheet) {
                pending.cue = std::pair(rest.left(blank).toInt(), *sheet);
            }
        } else if (!line.startsWith(QLatin1Char('#')) && !line.trimmed().isEmpty()) {
            takeEntry(line.trimmed());
        }
    }

    std::optional<DiscRecord> result() { return isRecord ? std::optional(std::move(record)) : std::nullopt; }

private:
    void takeBefore(const QStringList& words) {
        // "5 tracks 1425 s"
        if (record.runs.empty() || words.size() < 3) {
            return;
        }
        bool tracksRead = false;
        bool secondsRead = false;
        const DiscContents before{.tracks = words[0].toInt(&tracksRead),
                                  .seconds = words[2].toInt(&secondsRead)};
        if (tracksRead && secondsRead) {
            record.runs.back().before = before;
        }
    }

    void takeEntry(const QString& entry) {
        const std::optional<QString> path = playlistEntryPath(entry, folder);
        if (path) {
            if (record.runs.empty()) {
                record.runs.push_back({});
            }
            std::optional<CueTrack> cue;
            if (pending.cue) {
                cue = CueTrack{.sheet = pending.cue->second,
                               .number = pending.cue->first,
                               .title = pending.title,
                               .performer = {},
                               .start = pending.start.value_or(CueTime{0}),
                               .end = pending.end};
            }
            record.runs.back().tracks.push_back({.number = pending.number,
                                                 .title = pending.title,
                                                 .recorderTitle = pending.recorderTitle,
                                                 .mark = pending.mark,
                                                 .length = pending.length,
                                                 .source = {.path = *path, .cue = cue}});
        }
        pending = {};
    }

    QDir folder;
    DiscRecord record;
    Pending pending;
    bool isRecord = false;
};

// What the check after a run found, after the run's last track.
QStringList checkLines(const RecordedRun& run) {
    QStringList lines;
    if (!run.checked.isEmpty()) {
        lines.append(QStringLiteral("%1%2 %3").arg(checkedLine, run.started.toUTC().toString(Qt::ISODate),
                                                   run.checked));
    } else if (!run.notChecked.isEmpty()) {
        lines.append(notCheckedLine + run.notChecked);
    }
    for (const QString& track : run.onDisc) {
        lines.append(onDiscLine + track);
    }
    return lines;
}

} // namespace

QString untitledDiscName(const QDateTime& firstRun) {
    return QStringLiteral("Untitled disc ") +
           firstRun.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString DiscRecord::shownName() const {
    return discName.isEmpty() ? untitledDiscName(firstRun()) : discName;
}

std::optional<int> DiscRecord::tracksAtEnd() const {
    const auto last = std::find_if(runs.rbegin(), runs.rend(),
                                   [](const RecordedRun& run) { return !run.tracks.empty() || run.before; });
    if (last == runs.rend()) {
        return std::nullopt;
    }
    return last->tracks.empty() ? last->before->tracks : last->tracks.back().number;
}

QDateTime DiscRecord::firstRun() const {
    return runs.empty() ? QDateTime() : runs.front().started;
}

QDateTime DiscRecord::lastRun() const {
    return runs.empty() ? QDateTime() : runs.back().started;
}

std::vector<RecordedTrack> DiscRecord::tracks() const {
    std::vector<RecordedTrack> all;
    for (const RecordedRun& run : runs) {
        all.insert(all.end(), run.tracks.begin(), run.tracks.end());
    }
    return all;
}

std::vector<RecordedTrack> DiscRecord::tracksAsOnDisc() const {
    std::vector<RecordedTrack> all;
    for (const RecordedRun& run : runs) {
        // Each "<track> <seconds> <name>" the run read back, by track.
        QHash<QString, int> readSeconds;
        for (const QString& read : run.onDisc) {
            const QStringList fields = read.split(QLatin1Char(' '));
            bool isSeconds = false;
            const int seconds = fields.value(1).toInt(&isSeconds);
            if (isSeconds && seconds >= 0) {
                readSeconds.insert(fields.value(0), seconds);
            }
        }
        for (RecordedTrack track : run.tracks) {
            if (const auto read = readSeconds.constFind(QString::number(track.number));
                read != readSeconds.cend()) {
                track.length = std::chrono::seconds{*read};
            }
            all.push_back(std::move(track));
        }
    }
    return all;
}

QString DiscRecord::lastCheck() const {
    if (runs.empty()) {
        return {};
    }
    return runs.back().checked.isEmpty() ? runs.back().notChecked : QStringLiteral("yes");
}

std::chrono::milliseconds DiscRecord::totalLength() const {
    std::chrono::milliseconds total{0};
    for (const RecordedRun& run : runs) {
        for (const RecordedTrack& track : run.tracks) {
            total += track.length.value_or(std::chrono::milliseconds{0});
        }
    }
    return total;
}

std::optional<QString> writeDiscRecord(const QString& path, const DiscRecord& record) {
    std::vector<PlaylistItem> items;
    for (const RecordedRun& run : record.runs) {
        QStringList runNotes{runLine + run.started.toUTC().toString(Qt::ISODate)};
        if (run.before) {
            runNotes.append(QStringLiteral("%1%2 tracks %3 s")
                                .arg(beforeLine)
                                .arg(run.before->tracks)
                                .arg(run.before->seconds));
        }
        for (const RecordedTrack& track : run.tracks) {
            const bool last = &track == &run.tracks.back();
            QStringList notes = std::exchange(runNotes, {});
            notes.append(QStringLiteral("%1%2 %3").arg(trackLine).arg(track.number).arg(oneLine(track.mark)));
            notes.append(recorderTitleLine + oneLine(track.recorderTitle));
            items.push_back({.path = track.source.path,
                             .length = track.length,
                             .title = track.title,
                             .cue = track.source.cue,
                             .notes = notes,
                             .after = last ? checkLines(run) : QStringList()});
        }
    }
    return writePlaylist(path, items, {discLine + oneLine(record.discName)});
}

std::optional<DiscRecord> readDiscRecord(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > largestRecord || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QString text = QString::fromUtf8(file.readAll());
    if (!text.startsWith(QLatin1String("#EXTM3U"))) {
        return std::nullopt;
    }
    RecordReader reader(path);
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        reader.take(line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line);
    }
    return reader.result();
}

} // namespace quorvex
