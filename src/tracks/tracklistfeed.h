#pragma once

#include "tracks/entrygatherer.h"

#include <deque>
#include <QObject>
#include <QTimer>
#include <vector>

namespace quorvex {

class TrackListModel;

// Gathered entries into the Track list a part at a time, so that thousands of them leave the event loop
// free in between. Requests go in in the order they came.
class TrackListFeed final : public QObject {
    Q_OBJECT
public:
    explicit TrackListFeed(TrackListModel& model, QObject* parent = nullptr);

    // The entries go in before `row` (the list clamps it; at its end while it only grows).
    void feed(const GatheredEntries& entries, int row);
    // Whether entries are still waiting to go in.
    [[nodiscard]] bool busy() const { return !pending.empty(); }

signals:
    // What a request could not add, once the last of its entries is in.
    void refused(const std::vector<Refused>& refused);

private:
    void insertSome();

    struct Pending {
        TrackSources entries;
        std::size_t next = 0; // the first entry not yet in
        int row = 0;
        std::vector<Refused> refused;
    };
    TrackListModel& list;
    std::deque<Pending> pending;
    QTimer due;
};

} // namespace quorvex
