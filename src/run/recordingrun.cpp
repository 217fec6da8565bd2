#include "run/recordingrun.h"

#include "link/commandframe.h"
#include "link/discinfo.h"
#include "platform/mediaplayer.h"
#include "run/fitcheck.h"
#include "run/formatseconds.h"
#include "run/runhost.h"
#include "tracks/audiocheck.h"

#include <algorithm>
#include <utility>

namespace quorvex {

namespace {

constexpr std::int16_t discInfoSettleMs = 2000;
constexpr std::int16_t pauseBetweenTracksMs = 4000;
constexpr std::int16_t ackDistance = 2;
// A file that loads needs well under a second to be ready and to start sounding; one that is not there
// after 15 s (in Ticks of 100 ms) never will be, and the run must not hang on it.
constexpr std::uint64_t playerLimitTicks = 150;

const char* const noAcknowledgement =
    "Not able to record - check recorder connections - is optical cable connected?";

} // namespace

RecordingRun::RecordingRun(RunHost& host, MediaPlayer& player, RunPlan plan)
    : host(host), player(player), plan(std::move(plan)) {
    // Only a failure of the file the run is waiting on counts: a late word about an earlier file must not
    // cost this one its track.
    failureWatch =
        QObject::connect(&player, &MediaPlayer::failed, [this](const QString& file, const QString& message) {
            if (file == currentPath) {
                playerFailure = message;
            }
            takeFailures.emplace_back(file, message);
        });
}

RecordingRun::~RecordingRun() {
    QObject::disconnect(failureWatch);
}

void RecordingRun::requestStop() {
    if (stopRequested) {
        return;
    }
    stopRequested = true;
    if (inCuttableWait) {
        host.endWait();
    }
}

RunSummary RecordingRun::run() {
    const std::uint64_t answersBefore = host.replyWatcher().discInfoAnswers;
    host.sendCommand(command::discInformation.category, command::discInformation.code);
    delay(discInfoSettleMs);
    const DiscInfo disc = discInfoSince(host.replyWatcher(), answersBefore);
    existingTrackCount = disc.tracks;
    if (stopRequested || !fitsOrRecordAnyway(disc)) {
        summary.stopped = true;
        return summary;
    }
    // Pause mode marks tracks with silences: there a gapless list is recorded as any other.
    if (plan.gapless && host.pauseBoxValue() == 0) {
        const Outcome outcome = recordTake();
        summary.stopped = outcome == Outcome::stopped;
        if (outcome != Outcome::stopped && outcome != Outcome::aborted) {
            host.chkInsertPauses_Click();
        }
        reportSkipped();
        return summary;
    }
    // The plan is fixed now: entries added during the run wait for the next one.
    for (position = 0; position < plan.entries.size(); ++position) {
        const int index = plan.entries.at(position);
        if (index >= host.trackCount()) {
            break;
        }
        const Outcome outcome = recordEntry(index);
        if (outcome == Outcome::aborted) {
            reportSkipped();
            return summary;
        }
        // A press during the stop's acknowledgement lets that entry end as it would have.
        if (outcome == Outcome::stopped || stopRequested) {
            summary.stopped = true;
            reportSkipped();
            return summary;
        }
    }
    host.chkInsertPauses_Click();
    reportSkipped();
    return summary;
}

bool RecordingRun::fitsOrRecordAnyway(const DiscInfo& disc) {
    for (const int index : plan.entries) {
        lengths.push_back(host.entryLength(index));
    }
    const std::optional<QString> question = fitQuestion({.discMinutes = plan.discMinutes,
                                                         .disc = disc,
                                                         .pauseMode = host.pauseBoxValue() == 1,
                                                         .lengths = lengths});
    return !question || host.askRecordAnyway(*question);
}

RecordingRun::Outcome RecordingRun::recordEntry(int index) {
    const QString path = host.selectTrack(index);
    const QString title = host.deriveTrackTitle(path);
    host.setStatusLine(QStringLiteral("Recording ") + title);
    shownTime.clear();
    showProgress(0);

    // A file that cannot be a sound file is passed over before the player or the recorder hears of it.
    if (const std::optional<QString> problem = audioFileProblem(path)) {
        skipped.push_back({path, *problem});
        mark(index, EntryState::skipped, *problem);
        return Outcome::skipped;
    }
    // The file is opened and decoded up to its first sound before the recorder is armed: one that fails
    // here leaves no track on the disc, and one that is ready starts sounding as soon as it is told.
    currentPath = path;
    playerFailure.clear();
    player.prepare(path);
    if (!waitForPlayer(MediaPlayer::ready)) {
        player.stop();
        if (stopRequested) {
            return cutOff(index, false);
        }
        skip(index, path, QStringLiteral("it did not become ready to play"));
        return Outcome::skipped;
    }

    // Armed only when the record command really goes out; a track armed must be stopped whatever
    // "Insert pauses" says by then.
    const bool armed = host.pauseBoxValue() == 0;
    if (const std::optional<Outcome> failed = startRecorder(index)) {
        return *failed;
    }
    if (armed) {
        ++tracksMade;
    }

    player.play();
    const bool started = waitForPlayer(MediaPlayer::playing);
    if (started) {
        if (!armed) {
            ++tracksMade;
        }
        host.sendTitle(title, static_cast<std::int16_t>(existingTrackCount + tracksMade));
        showProgressUntilTheEnd();
    }
    const bool playedToItsEnd = player.playState() == MediaPlayer::mediaEnded;
    player.stop();
    if (stopRequested) {
        return cutOff(index, armed);
    }
    stopRecorder(armed);
    if (!started) {
        skip(index, path, QStringLiteral("it did not start playing"));
    } else if (playedToItsEnd) {
        mark(index, EntryState::recorded);
    } else {
        // Paused or stopped from outside the run: its track holds only a part of it.
        mark(index, EntryState::skipped, QStringLiteral("its playing was stopped before its end"));
    }

    if (host.pauseBoxValue() == 1) {
        host.setStatusLine(QStringLiteral("Pausing..."));
        delay(pauseBetweenTracksMs);
        if (stopRequested) {
            return Outcome::stopped;
        }
    }
    return started ? Outcome::recorded : Outcome::skipped;
}

std::optional<RecordingRun::Outcome> RecordingRun::startRecorder(int index) {
    const bool armed = host.pauseBoxValue() == 0;
    host.sendCommand(command::record.category, command::record.code);
    host.sendCommand(command::play.category, command::play.code);
    if (waitForRecordAcknowledgement() && !stopRequested) {
        return std::nullopt;
    }
    player.stop();
    if (stopRequested) {
        return cutOff(index, armed);
    }
    // The recorder may have taken the record command and lost only its answer: never leave it recording.
    host.sendCommandEvenPaused(command::stop.category, command::stop.code);
    mark(index, EntryState::skipped, QStringLiteral("the recorder did not acknowledge recording"));
    host.showNotice({.text = QString::fromLatin1(noAcknowledgement),
                     .title = QStringLiteral("Error"),
                     .severity = Severity::critical});
    return Outcome::aborted;
}

RecordingRun::Outcome RecordingRun::cutOff(int index, bool armed) {
    if (armed) {
        stopRecorder(true);
    }
    mark(index, EntryState::cutOff);
    return Outcome::stopped;
}

bool RecordingRun::waitForPlayer(int state) {
    const std::uint64_t limit = host.replyWatcher().ticks + playerLimitTicks;
    while (player.playState() != state) {
        if (stopRequested || !playerFailure.isEmpty() || host.replyWatcher().ticks >= limit) {
            return false;
        }
        host.pumpEvents();
    }
    return playerFailure.isEmpty() && !stopRequested;
}

void RecordingRun::showProgressUntilTheEnd() {
    // Anything but "playing" ends the track: the file's end, a stop or a pause from outside the run.
    while (player.playState() == MediaPlayer::playing && !stopRequested) {
        host.pumpEvents();
        showPlayingTime();
    }
}

void RecordingRun::showPlayingTime() {
    // The text changes once a second; the Status line is told only then.
    QString progress =
        formatSeconds(player.currentPosition()) + QStringLiteral(" / ") + formatSeconds(player.duration());
    if (progress != shownTime) {
        shownTime = std::move(progress);
        host.setStatusLine(shownTime);
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
    host.showRunProgress({.current = static_cast<int>(position) + 1,
                          .count = static_cast<int>(lengths.size()),
                          .secondsLeft = left,
                          .done = done});
}

void RecordingRun::stopRecorder(bool armed) {
    if (armed) {
        host.sendCommandEvenPaused(command::stop.category, command::stop.code);
    } else {
        host.sendCommand(command::stop.category, command::stop.code);
    }
    // Only holds the run until the recorder has stopped, or the time-out: a missing answer changes nothing.
    host.waitForReply(command::stop.category, command::stop.code, ackDistance);
}

void RecordingRun::delay(std::int16_t milliseconds) {
    inCuttableWait = true;
    host.delay(milliseconds);
    inCuttableWait = false;
}

bool RecordingRun::waitForRecordAcknowledgement() {
    // No pass of the event loop between the play command and this wait: the acknowledgement cannot be
    // taken in before the wait is looking for it.
    inCuttableWait = true;
    const bool acknowledged = host.waitForReply(command::record.category, command::record.code, ackDistance);
    inCuttableWait = false;
    return acknowledged;
}

void RecordingRun::mark(int index, EntryState state, const QString& reason) {
    summary.recorded += state == EntryState::recorded ? 1 : 0;
    summary.skipped += state == EntryState::skipped ? 1 : 0;
    host.setEntryMark(index, {.state = state, .reason = reason});
}

void RecordingRun::skip(int index, const QString& path, const QString& fallbackReason) {
    const QString reason = playerFailure.isEmpty() ? fallbackReason : playerFailure;
    skipped.push_back({path, reason});
    mark(index, EntryState::skipped, reason);
}

void RecordingRun::reportSkipped() {
    if (skipped.empty()) {
        return;
    }
    QString text = QStringLiteral("These files were not recorded:");
    for (const Skipped& file : skipped) {
        text += QStringLiteral("\n%1: %2").arg(file.path, file.reason);
    }
    skipped.clear();
    host.showNotice({.text = text, .title = QStringLiteral("Quorvex"), .severity = Severity::warning});
}

} // namespace quorvex
