#include "run/recordingsession.h"

#include "link/controla1/controla1recorder.h"
#include "link/mdse/mdserecorder.h"
#include "platform/serialport.h"
#include "platform/sessionbus.h"

namespace quorvex {

namespace {

std::unique_ptr<Recorder> recorderOf(RecorderFamily family, SerialPort& serial, EventPump& pump) {
    if (family == RecorderFamily::mdsE) {
        return std::make_unique<MdseRecorder>(serial, pump);
    }
    return std::make_unique<ControlA1Recorder>(serial, pump);
}

} // namespace

RecordingSession::RecordingSession(Parts given)
    : parts(given), deck(recorderOf(RecorderFamily::controlA1, given.serial, given.pump)) {
    naming.readThrough(info);
    QObject::connect(&gathering, &EntryGatherer::gathered, &feeding, &TrackListFeed::feed);
}

Recorder& RecordingSession::setFamily(RecorderFamily family) {
    if (family == deck->family() || isRecording()) {
        return *deck;
    }
    const bool paused = deck->pauseMode();
    if (parts.serial.isOpen()) {
        deck->leave();
    }
    deck = recorderOf(family, parts.serial, parts.pump);
    deck->setPauseMode(paused);
    return *deck;
}

QString RecordingSession::recorderTitle(const TrackTitles::Derived& derived) {
    return deck->family() == RecorderFamily::mdsE ? naming.asciiText(derived.whole) : derived.title;
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

RecordedRun RecordingSession::recordedRun(const RunSummary& summary) {
    RecordedRun made{.started = summary.started, .before = summary.discBefore, .tracks = {}};
    made.tracks.reserve(summary.tracksMade.size());
    for (const auto& [index, number] : summary.tracksMade) {
        const TrackSource source = list.source(index);
        const TrackTitles::Derived derived = naming.derive(source);
        made.tracks.push_back({.number = number,
                               .title = derived.whole,
                               .recorderTitle = deck->titleAsSent(recorderTitle(derived)),
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
