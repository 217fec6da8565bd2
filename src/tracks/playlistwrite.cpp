#include "tracks/oneline.h"
#include "tracks/playlist.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

namespace quorvex {

namespace {

// A path as the playlist in `folder` lists it: relative when the file lies under that folder or under its
// parent (in a folder beside it), so the playlist moves along with its music; else absolute. A name a
// reader would take for a comment, cut at a line end, trim or read as a URL goes in as a file URL.
QString listedPath(const QDir& folder, const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString relative = folder.relativeFilePath(absolute);
    const bool nearby = !QDir::isAbsolutePath(relative) && !relative.startsWith(QLatin1String("../../"));
    const QString listed = nearby ? relative : absolute;
    const bool plain = !listed.startsWith(QLatin1Char('#')) && listed == oneLine(listed).trimmed() &&
                       QUrl(listed).scheme() != u"file";
    return plain ? listed : QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded);
}

} // namespace

std::optional<QString> writePlaylist(const QString& playlistPath, std::span<const PlaylistItem> items,
                                     const QStringList& header) {
    const QDir folder = QFileInfo(playlistPath).absoluteDir();
    QString text = QStringLiteral("#EXTM3U\n");
    for (const QString& line : header) {
        text += oneLine(line) + QLatin1Char('\n');
    }
    for (const PlaylistItem& item : items) {
        for (const QString& note : item.notes) {
            text += oneLine(note) + QLatin1Char('\n');
        }
        const qint64 seconds =
            item.length ? std::chrono::round<std::chrono::seconds>(*item.length).count() : -1;
        text += QStringLiteral("#EXTINF:%1,%2\n").arg(QString::number(seconds), oneLine(item.title));
        if (const std::optional<CueTrack>& cue = item.cue) {
            text += QStringLiteral("#EXTVLCOPT:start-time=%1\n").arg(cueSeconds(cue->start), 0, 'f', 3);
            if (cue->end) {
                text += QStringLiteral("#EXTVLCOPT:stop-time=%1\n").arg(cueSeconds(*cue->end), 0, 'f', 3);
            }
            text += QStringLiteral("%1%2 %3\n")
                        .arg(QLatin1String(cueTrackComment))
                        .arg(cue->number)
                        .arg(listedPath(folder, cue->sheet));
        }
        text += listedPath(folder, item.path) + QLatin1Char('\n');
        for (const QString& note : item.after) {
            text += oneLine(note) + QLatin1Char('\n');
        }
    }
    QSaveFile file(playlistPath);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

} // namespace quorvex
