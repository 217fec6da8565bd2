#include "run/recordingrun.h"

#include "link/controla1/titleframe.h"
#include "link/recorder.h"
#include "platform/eventpump.h"
#include "platform/mediaplayer.h"
#include "run/fitcheck.h"
#include "run/recordingsession.h"
#include "run/runfeedback.h"
#include "tracks/audiocheck.h"
#include "tracks/formatseconds.h"
#include "tracks/trackinfo.h"

#include <algorithm>
#include <QDateTime>
#include <utility>

namespace quorvex {

namespace {

constexpr std::int16_t pauseBetweenTracksMs = 4000;
// A file that loads needs well under a second to be ready and to start sounding; one that is not there
// after 15 s (in Ticks of 100 ms) never will be, and the run must not hang on it.
constexpr std::uint64_t playerLimitTicks = 150;
// The listener's volume that leaves the program's level as it is.
constexpr int fullVolume = 100;
constexpr int secondsPerMinute = 60;

const char* const noAcknowledgement =
    "Not able to record - check recorder connections - is optical cable connected?";

} // namespace

RecordingRun::RecordingRun(RecordingSession& session, RunFeedback& feedback, RunPlan plan)
    : session(session), feedback(feedback), player(session.player()), plan(std::move(plan)) {
    // Only a failure of the file the run is waiting on counts: a late word about an earlier file must not
    // cost this one its track.
    failureWatch =
        QObject::connect(&player, &MediaPlayer::failed, [this](const QString& file, const QString& message) {
            if (file == currentFile) {
                playerFailure = message;
            }
            takeFailures.emplace_back(file, message);
        });
    outputWatch =
        QObject::connect(&player, &MediaPlayer::outputFailed,
                         [this](const QString& /*file*/, const QString& reason) { outputFailure = reason; });
}

RecordingRun::~RecordingRun() {
    QObject::disconnect(failureWatch);
    QObject::disconnect(outputWatch);
}

MediaItem mediaItemOf(const TrackSource& source) {
    const ReplayGain gains = readReplayGain(source.path);
    if (!source.cue) {
        return {source.path, 0, std::nullopt, gains};
    }
    return {source.path, cueSeconds(source.cue->start),
            source.cue->end ? std::optional(cueSeconds(*source.cue->end)) : std::nullopt, gains};
}

QString noSoundOutputText(const QString& reason) {
    return QStringLiteral("No sound output could be opened (%1). Start the sound server, or choose an output "
                          "in Disc ▸ Sound output.")
        .arg(reason);
}

void RecordingRun::requestStop() {
    if (stopRequested) {
        return;
    }
    stopRequested = true;
    if (inCuttableWait) {
        session.recorder().endWait();
    }
}

QString runSummaryText(const RunSummary& summary) {
    const QString cutShort =
        summary.cutShort > 0 ? QStringLiteral(", %1 cut short").arg(summary.cutShort) : QString();
    return QStringLiteral("Quorvex: %1 %2 recorded%3, %4 skipped")
        .arg(summary.recorded)
        .arg(summary.recorded == 1 ? QStringLiteral("track") : QStringLiteral("tracks"), cutShort)
        .arg(summary.skipped);
}

RunSummary RecordingRun::run() {
    summary.started = QDateTime::currentDateTime();
    // The disc gets the program's level, whatever a preview left the listener's volume and mute at.
    player.setLevel(plan.level);
    player.setVolume(fullVolume);
    player.setMuted(false);
    // Stop recording ends the wait for the disc's answer.
    inCuttableWait = true;
    const DiscState disc = session.recorder().discBeforeRun();
    inCuttableWait = false;
    existingTrackCount = disc.tracks;
    // Pause mode does not ask the recorder: what the disc holds is not known.
    if (!session.recorder().pauseMode()) {
        summary.discBefore =
            DiscContents{.tracks = disc.tracks, .seconds = disc.minutes * secondsPerMinute + disc.seconds};
    }
    if (stopRequested || !fitsOrRecordAnyway(disc)) {
        summary.stopped = true;
        return summary;
    }
    // Pause mode marks tracks with silences: there a gapless list is recorded as any other.
    if (plan.gapless && !session.recorder().pauseMode()) {
        const Outcome outcome = recordTake();
        summary.stopped = outcome == Outcome::stopped;
        summary.aborted = outcome == Outcome::aborted;
        if (outcome != Outcome::stopped && outcome != Outcome::aborted) {
            remindPauseMode();
        }
        reportNotWhole();
        return summary;
    }
    // The plan is fixed now: entries added during the run wait for the next one.
    for (position = 0; position < plan.entries.size(); ++position) {
        const int index = plan.entries.at(position);
        if (index >= session.entries().count()) {
            break;
        }
        const Outcome outcome = recordEntry(index);
        if (outcome == Outcome::aborted) {
            summary.aborted = true;
            reportNotWhole();
            return summary;
        }
        // A press during the stop's acknowledgement lets that entry end as it would have.
        if (outcome == Outcome::stopped || stopRequested) {
            summary.stopped = true;
            reportNotWhole();
            return summary;
        }
    }
    remindPauseMode();
    reportNotWhole();
    return summary;
}

bool RecordingRun::fitsOrRecordAnyway(const DiscState& disc) {
    // The names count only where the recorder tells its free title space.
    std::vector<QString> names;
    for (const int index : plan.entries) {
        lengths.push_back(session.entries().length(index));
        if (disc.freeTitleCharacters) {
            names.push_back(session.recorderTitle(session.titles().derive(session.entries().source(index))));
        }
    }
    const std::optional<QString> question = fitQuestion({.discMinutes = plan.discMinutes,
                                                         .disc = disc,
                                                         .pauseMode = session.recorder().pauseMode(),
                                                         .lengths = lengths,
                                                         .names = names});
    return !question || feedback.askRecordAnyway(*question);
}

RecordingRun::Entry RecordingRun::turnTo(int index) {
    feedback.showEntry(index);
    const TrackSource source = session.entries().source(index);
    const TrackTitles::Derived derived = session.titles().derive(source);
    feedback.showTagFields(derived.fields);
    const QString forRecorder = session.recorderTitle(derived);
    titleOf[index] = session.recorder().titleAsSent(forRecorder);
    return {.path = sourceText(source),
            .item = mediaItemOf(source),
            .title = derived.title,
            .recorderTitle = forRecorder};
}

void RecordingRun::trackMade(int index) {
    ++tracksMade;
    trackOf[index] = existingTrackCount + tracksMade;
    // In a take, a mark ends the track before it.
    endSpan();
    spanFrom[index] = session.recorder().ticks();
    recordingEntry = index;
}

void RecordingRun::endSpan() {
    if (recordingEntry) {
        const auto from = spanFrom.extract(*recordingEntry);
        spanTicks[*recordingEntry] = from ? static_cast<int>(session.recorder().ticks() - from.mapped()) : 0;
        recordingEntry.reset();
    }
}

void RecordingRun::remindPauseMode() {
    if (session.recorder().pauseMode()) {
        feedback.remindPauseMode();
    }
}

RecordingRun::Outcome RecordingRun::recordEntry(int index) {
    const auto [path, item, title, recorderTitle] = turnTo(index);
    feedback.setStatusLine(QStringLiteral("Recording ") + title);
    shownTime.clear();
    showProgress(0);

    // A file that cannot be a sound file is passed over before the player or the recorder hears of it.
    if (const std::optional<QString> problem = audioFileProblem(item.path)) {
        mark(index, path, {.state = EntryState::skipped, .reason = *problem});
        return Outcome::skipped;
    }
    // The file is opened and decoded up to its first sound before the recorder is armed: one that fails
    // here leaves no track on the disc, and one that is ready starts sounding as soon as it is told.
    currentPath = path;
    currentFile = item.path;
    playerFailure.clear();
    player.prepare(item);
    if (!waitForPlayer(MediaPlayer::ready)) {
        player.stop();
        if (stopRequested) {
            return cutOff(index, false);
        }
        if (outputFailure) {
            return noSoundOutput(index, false, 0);
        }
        skip(index, path, QStringLiteral("it did not become ready to play"));
        return Outcome::skipped;
    }

    // Armed only when the record command really goes out; a track armed must be stopped whatever
    // "Insert pauses" says by then.
    const bool armed = !session.recorder().pauseMode();
    if (const std::optional<Outcome> failed = startRecorder(index)) {
        return *failed;
    }
    const auto nameTrack = [this, &name = recorderTitle] {
        session.recorder().nameTrack(static_cast<std::int16_t>(existingTrackCount + tracksMade), name);
    };
    if (armed) {
        trackMade(index);
        // A name written after the stop is due as soon as the track exists, a track cut off at once too.
        if (!session.recorder().namesWhileRecording()) {
            nameTrack();
        }
    }

    player.play();
    const bool started = waitForPlayer(MediaPlayer::playing);
    std::optional<Cut> cut;
    if (started) {
        if (!armed) {
            trackMade(index);
        }
        if (session.recorder().namesWhileRecording()) {
            nameTrack();
        }
        cut = followSound([this] { showPlayingTime(); });
    } else {
        cut = Cut{.reason =
                      playerFailure.isEmpty() ? QStringLiteral("it did not start playing") : playerFailure,
                  .at = player.currentPosition()};
    }
    player.stop();
    if (stopRequested) {
        return cutOff(index, armed);
    }
    if (stopRecorder(armed)) {
        return noNewTrack(index, true);
    }
    if (outputFailure) {
        return noSoundOutput(index, armed || started, cut ? cut->at : 0);
    }
    if (!cut && session.recorder().stoppedByItself()) {
        cut = stoppedByItself();
    }
    if (!cut) {
        mark(index, path, {.state = EntryState::recorded, .reason = {}});
    } else if (armed || started) {
        markCutShort(index, path, *cut);
    } else {
        skip(index, path, cut->reason);
    }

    // A recorder that stopped by itself has most likely run out of disc: nothing more goes onto it.
    if (session.recorder().stoppedByItself()) {
        return Outcome::aborted;
    }
    if (session.recorder().pauseMode()) {
        feedback.setStatusLine(QStringLiteral("Pausing..."));
        delay(pauseBetweenTracksMs);
        if (stopRequested) {
            return Outcome::stopped;
        }
    }
    return started ? Outcome::recorded : Outcome::skipped;
}

RecordingRun::Outcome RecordingRun::noSoundOutput(int index, bool trackMade, double at) {
    if (trackMade) {
        mark(
            index, currentPath,
            {.state = EntryState::cutShort, .reason = QStringLiteral("the sound output was lost"), .at = at});
    }
    // Not a fault of the files: nothing more is tried, and nothing else is said.
    notWhole.clear();
    feedback.showNotice({.text = noSoundOutputText(*outputFailure),
                         .title = QStringLiteral("Quorvex"),
                         .severity = Severity::warning});
    return Outcome::aborted;
}

std::optional<RecordingRun::Outcome> RecordingRun::startRecorder(int index) {
    const bool armed = !session.recorder().pauseMode();
    // No pass of the event loop between the commands and the wait for their answer: the answer cannot be
    // taken in before the wait is looking for it.
    inCuttableWait = true;
    const Arming arming = session.recorder().armTrack();
    inCuttableWait = false;
    if (arming.result == Arming::Result::recording && !stopRequested) {
        return std::nullopt;
    }
    player.stop();
    if (stopRequested) {
        return cutOff(index, armed);
    }
    const bool refused = arming.result == Arming::Result::failed;
    if (!refused) {
        // The recorder may have taken the record command and lost only its answer: never leave it recording.
        session.recorder().stopNow();
    }
    mark(index, currentPath,
         {.state = EntryState::skipped,
          .reason = refused ? QStringLiteral("the recorder did not record")
                            : QStringLiteral("the recorder did not acknowledge recording")});
    notWhole.pop_back(); // the error says it
    feedback.showNotice({.text = refused ? arming.message : QString::fromLatin1(noAcknowledgement),
                         .title = QStringLiteral("Error"),
                         .severity = Severity::critical});
    return Outcome::aborted;
}

RecordingRun::Outcome RecordingRun::noNewTrack(int index, bool goOn) {
    // The recorder took the track and its table of contents does not have it: the track the run counted is
    // not on the disc, and the check after the run says so.
    if (const auto track = trackOf.extract(index)) {
        summary.notOnDisc.push_back(track.mapped());
        // Its number goes to the next track, which has a name of its own to be written.
        unnamed.erase(static_cast<std::int16_t>(track.mapped()));
        --tracksMade;
    }
    spanTicks.erase(index);
    mark(index, currentPath, {.state = EntryState::skipped, .reason = QStringLiteral("not on the disc")});
    return goOn ? Outcome::skipped : Outcome::aborted;
}

RecordingRun::Cut RecordingRun::stoppedByItself() const {
    return {.reason = QStringLiteral("the recorder stopped by itself (disc full?)"),
            .at = player.currentPosition()};
}

RunSummary RecordingRun::endNow() {
    stopRequested = true;
    while (!trackOf.empty()) {
        const int index = trackOf.begin()->first;
        mark(index, session.entries().source(index).path, {.state = EntryState::cutOff, .reason = {}});
    }
    return summary;
}

RecordingRun::Outcome RecordingRun::cutOff(int index, bool armed) {
    if (armed) {
        // The recorder was told to record: what it holds of the entry is a track.
        if (!trackOf.contains(index)) {
            trackMade(index);
        }
        stopRecorder(true);
    }
    mark(index, currentPath, {.state = EntryState::cutOff, .reason = {}});
    return Outcome::stopped;
}

bool RecordingRun::waitForPlayer(int state) {
    const std::uint64_t limit = session.recorder().ticks() + playerLimitTicks;
    while (player.playState() != state) {
        if (stopRequested || !playerFailure.isEmpty() || outputFailure ||
            session.recorder().ticks() >= limit) {
            return false;
        }
        session.pump().pumpEvents();
    }
    return playerFailure.isEmpty() && !outputFailure && !stopRequested;
}

std::optional<RecordingRun::Cut> RecordingRun::followSound(const std::function<void()>& eachPass) {
    double lastPosition = player.currentPosition();
    std::uint64_t movedAt = session.recorder().ticks();
    while (!stopRequested) {
        const double position = player.currentPosition();
        // A failure comes before the state that follows it, so it is looked at first.
        if (outputFailure) {
            return Cut{.reason = QStringLiteral("the sound output was lost"), .at = position};
        }
        if (!playerFailure.isEmpty()) {
            return Cut{.reason = playerFailure, .at = position};
        }
        if (session.recorder().stoppedByItself()) {
            return stoppedByItself();
        }
        switch (player.playState()) {
        case MediaPlayer::mediaEnded:
            return std::nullopt;
        case MediaPlayer::paused:
            return Cut{.reason = QStringLiteral("paused from the player bar"), .at = position};
        case MediaPlayer::stopped:
        case MediaPlayer::undefined:
            return Cut{.reason = QStringLiteral("stopped from the player bar"), .at = position};
        default: // playing, or on the way back to it
            break;
        }
        if (position != lastPosition) {
            lastPosition = position;
            movedAt = session.recorder().ticks();
        } else if (session.recorder().ticks() - movedAt >= playerLimitTicks) {
            return Cut{.reason = QStringLiteral("the player stalled"), .at = position};
        }
        session.pump().pumpEvents();
        eachPass();
    }
    return std::nullopt;
}

void RecordingRun::showPlayingTime() {
    // The text changes once a second; the Status line is told only then.
    QString progress =
        formatSeconds(player.currentPosition()) + QStringLiteral(" / ") + formatSeconds(player.duration());
    if (progress != shownTime) {
        shownTime = std::move(progress);
        feedback.setStatusLine(shownTime);
        showProgress(player.currentPosition());
    }
}

void RecordingRun::showProgress(double positionInEntry) {
    const auto inSeconds = [](const std::optional<std::chrono::milliseconds>& length) {
        return length ? std::chrono::duration<double>(*length).count() : 0.0;
    };
    double total = 0;
    double left = 0;
    for (std::size_t entry = 0; entry < lengths.size(); ++entry) {
        const double length = inSeconds(lengths.at(entry));
        total += length;
        left += entry > position ? length : entry == position ? std::max(length - positionInEntry, 0.0) : 0.0;
    }
    const auto count = static_cast<double>(lengths.size());
    // Without a single known length the entries themselves measure the way.
    const double done =
        total > 0 ? 1 - left / total : (count > 0 ? static_cast<double>(position) / count : 0.0);
    const auto track =
        position < plan.entries.size() ? trackOf.find(plan.entries.at(position)) : trackOf.end();
    feedback.showRunProgress(
        {.current = static_cast<int>(position) + 1,
         .count = static_cast<int>(lengths.size()),
         .secondsLeft = left,
         .done = done,
         .track = track != trackOf.end() ? std::optional<int>(track->second) : std::nullopt});
}

bool RecordingRun::stopRecorder(bool armed) {
    endSpan();
    const Stopping stopping = session.recorder().stopTrack(armed);
    // A title the recorder did not take: its entry says so, now or when it is marked.
    for (const std::int16_t number : stopping.unnamed) {
        unnamed.insert(number);
        for (const auto& made : summary.tracksMade) {
            if (made.number == number) {
                EntryMark entryMark = session.entries().mark(made.entry);
                entryMark.reason = unnamedReason();
                session.entries().setMark(made.entry, entryMark);
            }
        }
    }
    return stopping.trackMissing;
}

void RecordingRun::delay(std::int16_t milliseconds) {
    inCuttableWait = true;
    session.recorder().delay(milliseconds);
    inCuttableWait = false;
}

} // namespace quorvex
