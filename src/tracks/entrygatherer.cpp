#include "tracks/entrygatherer.h"

#include "tracks/audiocheck.h"
#include "tracks/folderwalk.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace quorvex {

GatheredEntries gatherEntries(const QStringList& paths) {
    GatheredEntries gathered;
    for (const QString& path : paths) {
        const QFileInfo file(path);
        if (file.isDir()) {
            FolderSounds sounds = soundFilesUnder(path);
            gathered.added += sounds.files;
            for (const QString& folder : sounds.unreadable) {
                gathered.refused.push_back(
                    {.entry = folder, .reason = QStringLiteral("the folder cannot be read")});
            }
        } else if (isPlaylistPath(path)) {
            PlaylistEntries listed = readPlaylist(path);
            gathered.added += listed.added;
            gathered.refused.insert(gathered.refused.end(), listed.refused.begin(), listed.refused.end());
        } else if (const std::optional<QString> problem = audioFileProblem(path)) {
            gathered.refused.push_back({.entry = path, .reason = *problem});
        } else {
            gathered.added.append(QDir::cleanPath(file.absoluteFilePath()));
        }
    }
    return gathered;
}

EntryGatherer::EntryGatherer(QObject* parent) : QObject(parent) {
    worker.setMaxThreadCount(1);
}

EntryGatherer::~EntryGatherer() {
    closing->store(true);
    worker.waitForDone();
}

void EntryGatherer::gather(const QStringList& paths, int row, std::vector<Refused> refused) {
    ++waiting;
    worker.start([paths, row, refused = std::move(refused), closing = closing,
                  receiver = QPointer<EntryGatherer>(this)]() mutable {
        if (closing->load()) {
            return;
        }
        GatheredEntries entries = gatherEntries(paths);
        refused.insert(refused.end(), entries.refused.begin(), entries.refused.end());
        entries.refused = std::move(refused);
        QMetaObject::invokeMethod(
            receiver.data(),
            [receiver, entries = std::move(entries), row] {
                if (!receiver.isNull()) {
                    receiver->take(entries, row);
                }
            },
            Qt::QueuedConnection);
    });
}

void EntryGatherer::take(const GatheredEntries& entries, int row) {
    --waiting;
    emit gathered(entries, row);
}

} // namespace quorvex
