#include "tracks/tracklistfeed.h"

#include "tracks/tracklistmodel.h"

#include <algorithm>

namespace quorvex {

namespace {

constexpr qsizetype insertedPerPass = 1000;

} // namespace

TrackListFeed::TrackListFeed(TrackListModel& model, QObject* parent) : QObject(parent), list(model) {
    due.setSingleShot(true);
    due.setInterval(0);
    connect(&due, &QTimer::timeout, this, &TrackListFeed::insertSome);
}

void TrackListFeed::feed(const GatheredEntries& entries, int row) {
    pending.push_back({.entries = entries.added, .row = row, .refused = entries.refused});
    if (!due.isActive()) {
        insertSome();
    }
}

void TrackListFeed::insertSome() {
    if (pending.empty()) {
        return;
    }
    Pending& next = pending.front();
    const QStringList part = next.entries.first(std::min(next.entries.size(), insertedPerPass));
    next.entries.remove(0, part.size());
    next.row = list.insert(next.row, part);
    std::vector<Refused> refusedHere;
    if (next.entries.isEmpty()) {
        refusedHere = std::move(next.refused);
        pending.pop_front();
    }
    if (!pending.empty()) {
        due.start();
    }
    if (!refusedHere.empty()) {
        emit refused(refusedHere);
    }
}

} // namespace quorvex
