#include "run/recordingrun.h"

#include "link/commandframe.h"
#include "link/discinfo.h"
#include "platform/mediaplayer.h"
#include "run/formatseconds.h"
#include "run/runhost.h"
#include "tracks/audiocheck.h"

#include <QDeadlineTimer>

namespace quorvex {

namespace {

constexpr std::int16_t discInfoSettleMs = 2000;
constexpr std::int16_t pauseBetweenTracksMs = 4000;
constexpr std::int16_t ackDistance = 2;
// A file that loads needs well under a second to start sounding; one that has not started after this
// long never will, and the run must not hang on it.
constexpr int startLimitMs = 15'000;

const char* const noAcknowledgement =
    "Not able to record - check recorder connections - is optical cable connected?";

} // namespace

RecordingRun::RecordingRun(RunHost& host, MediaPlayer& player) : host(host), player(player) {
    failureWatch = QObject::connect(&player, &MediaPlayer::failed,
                                    [this](const QString& message) { playerFailure = message; });
}

RecordingRun::~RecordingRun() {
    QObject::disconnect(failureWatch);
}

void RecordingRun::run() {
    host.sendCommand(command::discInformation.category, command::discInformation.code);
    host.delay(discInfoSettleMs);
    const std::int16_t existingTrackCount = host.replySlot(trackCountSlot);
    // The last index is fixed now: entries added during the run wait for the next one.
    const int lastIndex = host.trackCount() - 1;
    for (int index = 0; index <= lastIndex; ++index) {
        // Entries removed meanwhile: the run ends quietly where the list now ends.
        if (index >= host.trackCount()) {
            break;
        }
        if (recordEntry(index, existingTrackCount) == Outcome::aborted) {
            reportSkipped();
            return;
        }
    }
    host.chkInsertPauses_Click();
    reportSkipped();
}

RecordingRun::Outcome RecordingRun::recordEntry(int index, std::int16_t existingTrackCount) {
    const QString path = host.selectTrack(index);
    const QString title = host.deriveTrackTitle(path);
    host.setStatusLine(QStringLiteral("Recording ") + title);

    // A file that cannot be a sound file is passed over before the recorder is armed, so the disc
    // gets no empty track for it.
    if (const std::optional<QString> problem = audioFileProblem(path)) {
        skipped.push_back({path, *problem});
        return Outcome::skipped;
    }

    host.sendCommand(command::record.category, command::record.code);
    host.sendCommand(command::play.category, command::play.code);
    // No pass of the event loop between the play command and this wait: the acknowledgement cannot be
    // taken in before the wait is looking for it.
    if (!host.waitForReply(command::record.category, command::record.code, ackDistance)) {
        host.showMessage({.text = QString::fromLatin1(noAcknowledgement),
                          .title = QStringLiteral("Error"),
                          .icon = QMessageBox::Critical});
        return Outcome::aborted;
    }

    playerFailure.clear();
    player.open(path);
    const bool started = waitUntilPlaying();
    if (started) {
        host.sendTitle(title, static_cast<std::int16_t>(index + existingTrackCount + 1));
        showProgressUntilTheEnd();
    }
    player.stop();
    stopRecorder();
    if (!started) {
        skipped.push_back(
            {path, playerFailure.isEmpty() ? QStringLiteral("it did not start playing") : playerFailure});
    }

    if (host.pauseBoxValue() == 1) {
        host.setStatusLine(QStringLiteral("Pausing..."));
        host.delay(pauseBetweenTracksMs);
    }
    return started ? Outcome::recorded : Outcome::skipped;
}

bool RecordingRun::waitUntilPlaying() {
    const QDeadlineTimer limit(startLimitMs);
    while (player.playState() != MediaPlayer::playing) {
        if (!playerFailure.isEmpty() || limit.hasExpired()) {
            return false;
        }
        host.pumpEvents();
    }
    return true;
}

void RecordingRun::showProgressUntilTheEnd() {
    // Anything but "playing" ends the track: the file's end, a stop or a pause from outside the run.
    while (player.playState() == MediaPlayer::playing) {
        host.pumpEvents();
        host.setStatusLine(formatSeconds(player.currentPosition()) + QStringLiteral(" / ") +
                           formatSeconds(player.duration()));
    }
}

void RecordingRun::stopRecorder() {
    host.sendCommand(command::stop.category, command::stop.code);
    // Only holds the run until the recorder has stopped, or the time-out: a missing answer changes nothing.
    host.waitForReply(command::stop.category, command::stop.code, ackDistance);
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
    host.showMessage({.text = text, .title = QStringLiteral("Quorvex"), .icon = QMessageBox::Warning});
}

} // namespace quorvex
