#pragma once

#include "tracks/playlist.h"

#include <memory>
#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <vector>

namespace quorvex {

// What files, folders and playlists bring to the Track list: the sound files to add, in order, and what was
// refused.
struct GatheredEntries {
    TrackSources added;
    std::vector<Refused> refused;
};

// Each path as the Track list takes it, in order: a folder's sound files (a folder under it that cannot be
// read is refused; a sound file a cue sheet of the folder names comes as the sheet's tracks, where the file
// is), a playlist's entries, a cue sheet's tracks, a sound file itself (refused when the audio check refuses
// it).
[[nodiscard]] GatheredEntries gatherEntries(const QStringList& paths);

// Gathers on one worker thread, so that walking a large folder or reading a long playlist never holds up the
// window. Requests are gathered one after another and `gathered` comes back, on the gatherer's own thread, in
// the order they were made.
class EntryGatherer final : public QObject {
    Q_OBJECT
public:
    explicit EntryGatherer(QObject* parent = nullptr);
    // Waits for the request being gathered; the ones still waiting are dropped.
    ~EntryGatherer() override;
    EntryGatherer(const EntryGatherer&) = delete;
    EntryGatherer& operator=(const EntryGatherer&) = delete;
    EntryGatherer(EntryGatherer&&) = delete;
    EntryGatherer& operator=(EntryGatherer&&) = delete;

    // `row` comes back with the result; `refused` is named before what the gathering refuses.
    void gather(const QStringList& paths, int row, std::vector<Refused> refused = {});
    // Whether a request has not come back yet.
    [[nodiscard]] bool busy() const { return waiting > 0; }

signals:
    void gathered(const GatheredEntries& entries, int row);

private:
    void take(const GatheredEntries& entries, int row);

    QThreadPool worker;
    std::shared_ptr<std::atomic<bool>> closing = std::make_shared<std::atomic<bool>>(false);
    int waiting = 0;
};

} // namespace quorvex
