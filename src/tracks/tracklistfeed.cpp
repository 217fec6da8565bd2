#include "tracks/tracklistfeed.h"

#include "tracks/tracklistmodel.h"

#include <algorithm>

namespace quorvex {

namespace {

constexpr std::size_t insertedPerPass = 1000;

} // namespace

TrackListFeed::TrackListFeed(TrackListModel& model, QObject* parent) : QObject(parent), list(model) {
    due.setSingleShot(true);
    due.setInterval(0);
    connect(&due, &QTimer::timeout, this, &TrackListFeed::insertSome);
}

void TrackListFeed::feed(const GatheredEntries& entries, int row) {
    pending.push_back({.entries = entries.added, .next = 0, .row = row, .refused = entries.refused});
    if (!due.isActive()) {
        insertSome();
    }
}

void TrackListFeed::insertSome() {
    if (pending.empty()) {
        return;
    }
    Pending& next = pending.front();
    const std::size_t count = std::min(next.entries.size() - next.next, insertedPerPass);
    next.row = list.insert(next.row, std::span(next.entries).subspan(next.next, count));
    next.next += count;
    std::vector<Refused> refusedHere;
    if (next.next == next.entries.size()) {
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
