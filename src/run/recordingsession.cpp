#include "run/recordingsession.h"

#include "link/controla1/controla1recorder.h"
#include "link/mdse/mdserecorder.h"
#include "platform/serialport.h"
#include "platform/sessionbus.h"
#include "run/runfeedback.h"

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
    // What the disc now holds, read back once the recorder has stopped and the names are written.
    if ((!summary.tracksMade.empty() || !summary.notOnDisc.empty()) && parts.serial.isOpen()) {
        summary.check = checkRun(summary);
        feedback.setStatusLine(summary.check->summary);
        if (summary.check->outcome == DiscCheck::Outcome::differs ||
            summary.check->outcome == DiscCheck::Outcome::noAnswer) {
            feedback.showNotice({.text = summary.check->summary,
                                 .title = QStringLiteral("Quorvex"),
                                 .severity = Severity::warning});
        }
    }
    run = nullptr;
    parts.player.setRunBuffering(false);
    parts.bus.releaseInhibitors();
    list.setGrowOnly(false);
    return summary;
}

DiscCheck RecordingSession::checkRun(RunSummary& summary) {
    if (deck->pauseMode()) {
        return notCheckedInPauseMode();
    }
    constexpr int ticksPerSecond = 10;
    std::vector<MadeTrack> made;
    std::vector<int> numbers;
    for (const auto& [entry, number, spanTicks] : summary.tracksMade) {
        made.push_back({.entry = entry,
                        .number = number,
                        .recordedSeconds = (spanTicks + ticksPerSecond / 2) / ticksPerSecond,
                        .name = deck->titleAsSent(recorderTitle(naming.derive(list.source(entry))))});
        numbers.push_back(number);
    }
    DiscCheck check = checkDisc(summary.discBefore, made, deck->readBack(numbers));
    for (const int number : summary.notOnDisc) {
        check.differences.prepend(QStringLiteral("Track %1 is not on the disc.").arg(number));
    }
    // A name that reads back wrong is written once more; only one still wrong is a difference.
    for (const MadeTrack& track : std::exchange(check.misnamed, {})) {
        const std::optional<QString> read = deck->renameAndRead(track.number, track.name);
        for (ReadBack::Track& found : check.read.tracks) {
            found.name = found.number == track.number ? read : found.name;
        }
        if (read != track.name) {
            check.differences.append(misnamedText(track.number, read.value_or(QString()), track.name));
        }
    }
    concludeCheck(check);
    // Tracks not on the disc as recorded are marked so, and Continue records them again.
    for (const auto& [entry, mark] : check.marks) {
        const EntryMark was = list.mark(entry);
        summary.recorded -= was.state == EntryState::recorded ? 1 : 0;
        summary.cutShort -= was.state == EntryState::cutShort ? 1 : 0;
        summary.skipped += mark.state == EntryState::skipped ? 1 : 0;
        summary.cutShort += mark.state == EntryState::cutShort ? 1 : 0;
        list.setMark(entry, mark);
    }
    return check;
}

RecordedRun RecordingSession::recordedRun(const RunSummary& summary) {
    RecordedRun made{.started = summary.started,
                     .before = summary.discBefore,
                     .tracks = {},
                     .checked = {},
                     .notChecked = {},
                     .onDisc = {}};
    made.tracks.reserve(summary.tracksMade.size());
    for (const auto& [index, number, spanTicks] : summary.tracksMade) {
        const TrackSource source = list.source(index);
        const TrackTitles::Derived derived = naming.derive(source);
        made.tracks.push_back({.number = number,
                               .title = derived.whole,
                               .recorderTitle = deck->titleAsSent(recorderTitle(derived)),
                               .mark = entryMarkText(list.mark(index)),
                               .length = list.length(index),
                               .source = source});
    }
    if (const std::optional<DiscCheck>& check = summary.check) {
        using Outcome = DiscCheck::Outcome;
        constexpr int secondsPerMinute = 60;
        switch (check->outcome) {
        case Outcome::asPlanned:
            made.checked = QStringLiteral("%1 tracks %2 s")
                               .arg(check->read.disc.tracks)
                               .arg(check->read.disc.minutes * secondsPerMinute + check->read.disc.seconds);
            break;
        case Outcome::differs:
            made.notChecked = QStringLiteral("differs");
            break;
        case Outcome::noAnswer:
            made.notChecked = QStringLiteral("no answer");
            break;
        case Outcome::pauseMode:
            made.notChecked = QStringLiteral("pause mode");
            break;
        }
        for (const ReadBack::Track& track : check->read.tracks) {
            if (track.seconds) {
                made.onDisc.append(QStringLiteral("%1 %2 %3")
                                       .arg(track.number)
                                       .arg(*track.seconds)
                                       .arg(track.name.value_or(QString())));
            }
        }
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
