#include "run/recordingsession.h"

#include "link/titleframe.h"
#include "platform/sessionbus.h"

namespace quorvex {

RecordingSession::RecordingSession(Parts given) : parts(given), recorder(given.serial, given.pump) {
    naming.readThrough(info);
    QObject::connect(&gathering, &EntryGatherer::gathered, &feeding, &TrackListFeed::feed);
}

void RecordingSession::add(const QStringList& paths, int row, std::vector<Refused> refused) {
    // What is asked for during a run goes to the end, even when the run is over by the time it comes.
    gathering.gather(paths, isRecording() ? atListEnd : row, std::move(refused));
}

RunSummary RecordingSession::record(RunPlan plan, RunFeedback& feedback) {
    for (const int row : plan.entries) {
        list.setMark(row, {});
    }
    list.setGrowOnly(true);
    // No sleep in the middle of a track.
    parts.bus.inhibitSleep();
    // A busy computer must not leave a hole in a track.
    parts.player.setRunBuffering(true);
    RecordingRun current(*this, feedback, std::move(plan));
    run = &current;
    RunSummary summary = current.run();
    run = nullptr;
    parts.player.setRunBuffering(false);
    parts.bus.releaseInhibitors();
    list.setGrowOnly(false);
    return summary;
}

RecordedRun RecordingSession::recordedRun(const RunSummary& summary) const {
    RecordedRun made{.started = summary.started, .before = summary.discBefore, .tracks = {}};
    made.tracks.reserve(summary.tracksMade.size());
    for (const auto& [index, number] : summary.tracksMade) {
        const TrackSource source = list.source(index);
        const TrackTitles::Derived title = naming.derive(source);
        made.tracks.push_back({.number = number,
                               .title = title.whole,
                               .recorderTitle = titleFieldText(title.title),
                               .mark = entryMarkText(list.mark(index)),
                               .length = list.length(index),
                               .source = source});
    }
    return made;
}

std::optional<RecordedRun> RecordingSession::recordedSoFar() {
    if (run == nullptr) {
        return std::nullopt;
    }
    return recordedRun(run->endNow());
}

std::vector<RecordedTrack> RecordingSession::listedTracks() const {
    std::vector<RecordedTrack> tracks;
    tracks.reserve(static_cast<std::size_t>(list.count()));
    for (int row = 0; row < list.count(); ++row) {
        const TrackSource source = list.source(row);
        tracks.push_back({.number = row + 1,
                          .title = naming.derive(source).whole,
                          .recorderTitle = {},
                          .mark = {},
                          .length = list.length(row),
                          .source = source});
    }
    return tracks;
}

void RecordingSession::requestStop() {
    if (run != nullptr) {
        run->requestStop();
    }
}

} // namespace quorvex
