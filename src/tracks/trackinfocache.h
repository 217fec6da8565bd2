#pragma once

#include "tracks/trackinfo.h"

#include <atomic>
#include <memory>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

namespace quorvex {

// The tags and lengths of many files (a folder shown in the file list, the Track list), read with TagLib on
// one worker thread so the window never waits for a disk. Each result comes back on the cache's own thread
// as `infoRead`; a file is read again only when its size or modification time changed.
class TrackInfoCache final : public QObject {
    Q_OBJECT
public:
    explicit TrackInfoCache(QObject* parent = nullptr);
    ~TrackInfoCache() override;
    TrackInfoCache(const TrackInfoCache&) = delete;
    TrackInfoCache& operator=(const TrackInfoCache&) = delete;
    TrackInfoCache(TrackInfoCache&&) = delete;
    TrackInfoCache& operator=(TrackInfoCache&&) = delete;

    // Reads these files in order, after what is still waiting from earlier requests.
    void request(const QStringList& paths);
    // Drops what earlier requests still wait for (a folder left before its files were read).
    void forgetWaiting();
    // What is known of a file, or nothing while it waits or after it changed.
    [[nodiscard]] std::optional<TrackInfo> find(const QString& path) const;
    // What was last read of a file, without asking the disk whether it changed since: for sums over
    // thousands of files.
    [[nodiscard]] std::optional<TrackInfo> lastRead(const QString& path) const;
    // How many requested files are still waiting.
    [[nodiscard]] int waiting() const { return pending; }

signals:
    void infoRead(const QString& path);

private:
    struct Known {
        qint64 size = 0;
        QDateTime modified;
        TrackInfo info;
    };
    // A result of the request made at `asked`; only results of the latest count against what waits.
    void take(const QString& path, qint64 size, const QDateTime& modified, const TrackInfo& info,
              std::uint64_t asked);

    QThreadPool worker;
    std::shared_ptr<std::atomic<std::uint64_t>> generation = std::make_shared<std::atomic<std::uint64_t>>(0);
    QHash<QString, Known> known;
    int pending = 0;
};

} // namespace quorvex
