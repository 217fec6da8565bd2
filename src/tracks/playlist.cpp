#include "tracks/playlist.h"

#include "platform/codepage.h"
#include "tracks/audiocheck.h"
#include "tracks/cuesheet.h"
#include "tracks/oneline.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>
#include <utility>

namespace quorvex {

namespace {

// Whatever a playlist holds, reading it stays bounded in time and memory: the playlists read for one call
// may hold 16 MiB together (which also bounds one playlist listed over and over inside another), list
// 100,000 entries together (far more than any disc takes), and playlists inside playlists are followed 16
// levels deep, no further.
constexpr qint64 maxPlaylistBytes = qint64{16} * 1024 * 1024;
constexpr qsizetype maxEntries = 100'000;
constexpr int maxNesting = 16;

enum class Kind { M3u, M3u8, Pls };

Kind kindOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"pls" ? Kind::Pls : suffix == u"m3u8" ? Kind::M3u8 : Kind::M3u;
}

QString decoded(QByteArrayView bytes, Kind kind) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
    }
    if (kind == Kind::M3u) {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        QString text = utf8.decode(bytes);
        return utf8.hasError() ? fromCodePage(bytes) : text;
    }
    return QString::fromUtf8(bytes);
}

// Lines ended by CR LF, LF or CR, trimmed; blank ones left out.
QStringList linesOf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (const QString trimmed = line.trimmed(); !trimmed.isEmpty()) {
            lines.append(trimmed);
        }
    }
    return lines;
}

// The values of a PLS's FileN keys in the order of N (file order among equal N), empty ones left out; other
// keys and the section headers say nothing about which files are listed.
QStringList plsEntries(const QStringList& lines) {
    std::vector<std::pair<quint64, QString>> numbered;
    for (const QString& line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        bool isNumber = false;
        const quint64 number = key.mid(4).toULongLong(&isNumber);
        if (equals > 0 && key.startsWith(QLatin1String("file"), Qt::CaseInsensitive) && isNumber &&
            !value.isEmpty()) {
            numbered.emplace_back(number, value);
        }
    }
    std::stable_sort(numbered.begin(), numbered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList entries;
    for (const auto& [number, entry] : numbered) {
        entries.append(entry);
    }
    return entries;
}

QStringList entriesOf(const QString& text, Kind kind) {
    const QStringList lines = linesOf(text);
    if (kind == Kind::Pls) {
        return plsEntries(lines);
    }
    // Comments say nothing about which files are listed, but the one that makes the next entry a cue track.
    QStringList entries;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(entries), [](const QString& line) {
        return !line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1String(cueTrackComment));
    });
    return entries;
}

std::optional<QString> missingOrFolder(const QString& path) {
    // No name holds a NUL character (the system ends names there), so it is not looked for.
    const QFileInfo info(path);
    if (path.contains(QChar(0)) || !info.exists()) {
        return QStringLiteral("it does not exist");
    }
    if (info.isDir()) {
        return QStringLiteral("it is a folder");
    }
    return std::nullopt;
}

class Reader {
public:
    PlaylistEntries entries;

    void expand(const QString& path, int depth) {
        const QFileInfo info(path);
        const QString canonical = info.canonicalFilePath();
        if (open.contains(canonical)) {
            return refuse(path, QStringLiteral("it includes itself, directly or through other playlists"));
        }
        if (depth > maxNesting) {
            return refuse(path, QStringLiteral("playlists are nested more than %1 deep").arg(maxNesting));
        }
        QFile file(path);
        if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
            return refuse(path, QStringLiteral("it cannot be read"));
        }
        // Asking for no more than the file holds: a read sets aside room for all it is asked for.
        const QByteArray bytes = file.read(std::min(file.size(), budget) + 1);
        if (bytes.size() > budget) {
            budget = 0;
            return refuse(path, QStringLiteral("the playlists together hold more than 16 MiB"));
        }
        budget -= bytes.size();
        const Kind kind = kindOf(path);
        const QDir folder = info.absoluteDir();
        open.append(canonical);
        for (const QString& entry : entriesOf(decoded(bytes, kind), kind)) {
            take(entry, folder, depth);
        }
        open.removeLast();
    }

private:
    // A cue track named before its sound file: the sheet's track of that number.
    struct CueReference {
        int number = 0;
        QString sheet;
    };

    QStringList open; // the canonical paths of the playlists being read, outermost first
    qint64 budget = maxPlaylistBytes;
    qsizetype taken = 0;
    std::optional<CueReference> cueReference;
    std::map<QString, CueSheetEntries>
        sheetsRead; // each sheet read once, however many of its tracks are listed

    void refuse(const QString& entry, const QString& reason) { entries.refused.push_back({entry, reason}); }

    // A cue sheet's bytes count towards what a read may take.
    const CueSheetEntries* readSheet(const QString& path) {
        if (const auto read = sheetsRead.find(path); read != sheetsRead.end()) {
            return &read->second;
        }
        const qint64 size = QFileInfo(path).size();
        if (size > budget) {
            budget = 0;
            refuse(path, QStringLiteral("the playlists together hold more than 16 MiB"));
            return nullptr;
        }
        budget -= size;
        return &sheetsRead.emplace(path, readCueSheet(path)).first->second;
    }

    void takeSheet(const QString& path) {
        if (const CueSheetEntries* sheet = readSheet(path)) {
            entries.added.insert(entries.added.end(), sheet->added.begin(), sheet->added.end());
            entries.refused.insert(entries.refused.end(), sheet->refused.begin(), sheet->refused.end());
        }
    }

    void takeCueTrack(const CueReference& reference, const QString& path) {
        const QString entry = cueTrackName(path, reference.number);
        const CueSheetEntries* sheet = readSheet(reference.sheet);
        if (sheet == nullptr) {
            return;
        }
        const auto track = std::ranges::find_if(sheet->added, [&](const TrackSource& source) {
            return source.path == path && source.cue->number == reference.number;
        });
        if (track != sheet->added.end()) {
            entries.added.push_back(*track);
        } else if (!sheet->refused.empty()) {
            refuse(entry,
                   sheet->refused.front().entry + QStringLiteral(": ") + sheet->refused.front().reason);
        } else {
            refuse(entry, QStringLiteral("the cue sheet %1 lists no such track").arg(reference.sheet));
        }
    }

    void noteCueReference(const QString& line, const QDir& folder) {
        const QString rest = line.mid(static_cast<qsizetype>(std::strlen(cueTrackComment)));
        const qsizetype blank = rest.indexOf(QLatin1Char(' '));
        bool isNumber = false;
        const int number = rest.left(blank).toInt(&isNumber);
        const std::optional<QString> sheet = playlistEntryPath(rest.mid(blank + 1).trimmed(), folder);
        if (blank > 0 && isNumber && sheet) {
            cueReference = CueReference{.number = number, .sheet = *sheet};
        }
    }

    void take(const QString& entry, const QDir& folder, int depth) {
        if (entry.startsWith(QLatin1String(cueTrackComment))) {
            return noteCueReference(entry, folder);
        }
        const std::optional<CueReference> reference = std::exchange(cueReference, std::nullopt);
        if (++taken > maxEntries) {
            if (taken == maxEntries + 1) {
                refuse(entry, QStringLiteral("more than %1 entries: it and those after it were left out")
                                  .arg(maxEntries));
            }
            return;
        }
        const std::optional<QString> path = playlistEntryPath(entry, folder);
        if (!path) {
            return refuse(entry, QStringLiteral("it is not a local file"));
        }
        if (const auto problem = missingOrFolder(*path)) {
            return refuse(*path, *problem);
        }
        if (isPlaylistPath(*path)) {
            return expand(*path, depth + 1);
        }
        if (isCueSheetPath(*path)) {
            return takeSheet(*path);
        }
        if (reference) {
            return takeCueTrack(*reference, *path);
        }
        if (const auto problem = audioFileProblem(*path)) {
            return refuse(*path, *problem);
        }
        entries.added.push_back({.path = *path, .cue = std::nullopt});
    }
};

// An entry as a message shows it: on one line, and a long one (garbage read as a name, say) cut in the
// middle so both its start and its file name stay in view.
QString shownEntry(const QString& entry) {
    constexpr qsizetype longest = 200;
    const QString line = oneLine(entry);
    return line.size() <= longest ? line
                                  : line.left(longest / 2) + QChar(0x2026) + line.right(longest / 2 - 1);
}

} // namespace

bool isPlaylistPath(const QString& path) {
    const QStringList suffixes{QStringLiteral("m3u"), QStringLiteral("m3u8"), QStringLiteral("pls")};
    return suffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

PlaylistEntries readPlaylist(const QString& path) {
    Reader reader;
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (const auto problem = missingOrFolder(absolute)) {
        reader.entries.refused.push_back({absolute, *problem});
    } else {
        reader.expand(absolute, 1);
    }
    return reader.entries;
}

QString refusedEntriesText(std::span<const Refused> refused) {
    if (refused.empty()) {
        return {};
    }
    constexpr std::size_t shown = 10;
    QStringList lines{QStringLiteral("These playlist entries were not added:")};
    for (const Refused& entry : refused.first(std::min(shown, refused.size()))) {
        lines.append(shownEntry(entry.entry) + QStringLiteral(": ") + oneLine(entry.reason));
    }
    if (refused.size() > shown) {
        lines.append(QStringLiteral("and %1 more").arg(refused.size() - shown));
    }
    return lines.join(QLatin1Char('\n'));
}

std::optional<QString> playlistEntryPath(const QString& entry, const QDir& folder) {
    const QUrl url(entry);
    const QString scheme = url.scheme();
    QString path = entry;
    if (scheme == u"file") {
        path = url.toLocalFile();
    } else if (scheme.size() > 1 && entry.mid(scheme.size(), 3) == u"://") {
        return std::nullopt;
    }
    return QDir::cleanPath(folder.absoluteFilePath(path));
}

} // namespace quorvex
