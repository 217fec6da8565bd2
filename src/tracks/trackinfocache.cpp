#include "tracks/trackinfocache.h"

#include <QFileInfo>
#include <QPointer>

namespace quorvex {

TrackInfoCache::TrackInfoCache(QObject* parent) : QObject(parent) {
    worker.setMaxThreadCount(1);
}

TrackInfoCache::~TrackInfoCache() {
    // What still waits is not read; the file being read is finished, then the worker ends.
    forgetWaiting();
    worker.waitForDone();
}

void TrackInfoCache::request(const QStringList& paths) {
    QStringList toRead;
    for (const QString& path : paths) {
        if (!find(path)) {
            toRead.append(path);
        }
    }
    if (toRead.isEmpty()) {
        return;
    }
    pending += static_cast<int>(toRead.size());
    const std::uint64_t asked = generation->load();
    worker.start([toRead, asked, current = generation, receiver = QPointer<TrackInfoCache>(this)] {
        for (const QString& path : toRead) {
            if (current->load() != asked) {
                return;
            }
            const QFileInfo file(path);
            const TrackInfo info = readTrackInfo(path);
            QMetaObject::invokeMethod(
                receiver.data(),
                [receiver, path, size = file.size(), modified = file.lastModified(), info, asked] {
                    if (!receiver.isNull()) {
                        receiver->take(path, size, modified, info, asked);
                    }
                },
                Qt::QueuedConnection);
        }
    });
}

void TrackInfoCache::forgetWaiting() {
    generation->fetch_add(1);
    pending = 0;
}

std::optional<TrackInfo> TrackInfoCache::find(const QString& path) const {
    const auto entry = known.constFind(path);
    if (entry == known.cend()) {
        return std::nullopt;
    }
    const QFileInfo file(path);
    if (file.size() != entry->size || file.lastModified() != entry->modified) {
        return std::nullopt;
    }
    return entry->info;
}

std::optional<TrackInfo> TrackInfoCache::lastRead(const QString& path) const {
    const auto entry = known.constFind(path);
    return entry == known.cend() ? std::nullopt : std::optional<TrackInfo>(entry->info);
}

void TrackInfoCache::take(const QString& path, qint64 size, const QDateTime& modified, const TrackInfo& info,
                          std::uint64_t asked) {
    known.insert(path, Known{.size = size, .modified = modified, .info = info});
    if (asked == generation->load() && pending > 0) {
        --pending;
    }
    emit infoRead(path);
}

} // namespace quorvex
