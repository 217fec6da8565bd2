#include "run/recordingrun.h"

#include "link/commandframe.h"
#include "link/discinfo.h"
#include "platform/mediaplayer.h"
#include "run/formatseconds.h"
#include "run/runhost.h"
#include "tracks/audiocheck.h"

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

RecordingRun::RecordingRun(RunHost& host, MediaPlayer& player) : host(host), player(player) {
    // Only a failure of the file the run is waiting on counts: a late word about an earlier file must not
    // cost this one its track.
    failureWatch =
        QObject::connect(&player, &MediaPlayer::failed, [this](const QString& file, const QString& message) {
            if (file == currentPath) {
                playerFailure = message;
            }
        });
}

RecordingRun::~RecordingRun() {
    QObject::disconnect(failureWatch);
}

void RecordingRun::run() {
    const std::uint64_t answersBefore = host.replyWatcher().discInfoAnswers;
    host.sendCommand(command::discInformation.category, command::discInformation.code);
    host.delay(discInfoSettleMs);
    existingTrackCount = discInfoSince(host.replyWatcher(), answersBefore).tracks;
    // The last index is fixed now: entries added during the run wait for the next one.
    const int lastIndex = host.trackCount() - 1;
    for (int index = 0; index <= lastIndex; ++index) {
        // Entries removed meanwhile: the run ends quietly where the list now ends.
        if (index >= host.trackCount()) {
            break;
        }
        if (recordEntry(index) == Outcome::aborted) {
            reportSkipped();
            return;
        }
    }
    host.chkInsertPauses_Click();
    reportSkipped();
}

RecordingRun::Outcome RecordingRun::recordEntry(int index) {
    const QString path = host.selectTrack(index);
    const QString title = host.deriveTrackTitle(path);
    host.setStatusLine(QStringLiteral("Recording ") + title);

    // A file that cannot be a sound file is passed over before the player or the recorder hears of it.
    if (const std::optional<QString> problem = audioFileProblem(path)) {
        skipped.push_back({path, *problem});
        return Outcome::skipped;
    }
    // The file is opened and decoded up to its first sound before the recorder is armed: one that fails
    // here leaves no track on the disc, and one that is ready starts sounding as soon as it is told.
    currentPath = path;
    playerFailure.clear();
    player.prepare(path);
    if (!waitForPlayer(MediaPlayer::ready)) {
        player.stop();
        skip(path, QStringLiteral("it did not become ready to play"));
        return Outcome::skipped;
    }

    // Armed only when the record command really goes out; a track armed must be stopped whatever
    // "Insert pauses" says by then.
    const bool armed = host.pauseBoxValue() == 0;
    host.sendCommand(command::record.category, command::record.code);
    host.sendCommand(command::play.category, command::play.code);
    // No pass of the event loop between the play command and this wait: the acknowledgement cannot be
    // taken in before the wait is looking for it.
    if (!host.waitForReply(command::record.category, command::record.code, ackDistance)) {
        // The recorder may have taken the record command and lost only its answer: never leave it recording.
        host.sendCommandEvenPaused(command::stop.category, command::stop.code);
        player.stop();
        host.showNotice({.text = QString::fromLatin1(noAcknowledgement),
                         .title = QStringLiteral("Error"),
                         .severity = Severity::critical});
        return Outcome::aborted;
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
    player.stop();
    stopRecorder(armed);
    if (!started) {
        skip(path, QStringLiteral("it did not start playing"));
    }

    if (host.pauseBoxValue() == 1) {
        host.setStatusLine(QStringLiteral("Pausing..."));
        host.delay(pauseBetweenTracksMs);
    }
    return started ? Outcome::recorded : Outcome::skipped;
}

bool RecordingRun::waitForPlayer(int state) {
    const std::uint64_t limit = host.replyWatcher().ticks + playerLimitTicks;
    while (player.playState() != state) {
        if (!playerFailure.isEmpty() || host.replyWatcher().ticks >= limit) {
            return false;
        }
        host.pumpEvents();
    }
    return playerFailure.isEmpty();
}

void RecordingRun::showProgressUntilTheEnd() {
    // Anything but "playing" ends the track: the file's end, a stop or a pause from outside the run.
    // The text changes once a second; the Status line is told only then.
    QString shown;
    while (player.playState() == MediaPlayer::playing) {
        host.pumpEvents();
        QString progress = formatSeconds(player.currentPosition()) + QStringLiteral(" / ") +
                           formatSeconds(player.duration());
        if (progress != shown) {
            shown = std::move(progress);
            host.setStatusLine(shown);
        }
    }
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

void RecordingRun::skip(const QString& path, const QString& fallbackReason) {
    skipped.push_back({path, playerFailure.isEmpty() ? fallbackReason : playerFailure});
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
