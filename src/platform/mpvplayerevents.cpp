// The media player's side that follows libmpv: its events drained after each wakeup, and the file's phase,
// failures and take moved on from them.
#include "platform/mpverrors.h"
#include "platform/mpvmediaplayer.h"
#include "platform/mpvnodes.h"

#include <string_view>
#include <utility>

namespace quorvex {

void MpvMediaPlayer::drainEvents() {
    for (;;) {
        const mpv_event& event = mpv.nextEvent();
        if (event.event_id == MPV_EVENT_NONE) {
            break;
        }
        handleEvent(event);
    }
    soundWentOut = soundWentOut || playState() == playing;
    // A failure is told after the drain, so mpv's error messages that came with it are part of the message;
    // it comes before stateChanged, so a wait that sees the state drop already knows why.
    if (auto failure = std::exchange(pendingFailure, std::nullopt)) {
        emit failed(path, *failure);
    }
    if (auto reason = std::exchange(pendingOutputFailure, std::nullopt)) {
        emit outputFailed(path, *reason);
    }
    if (std::exchange(silentTold, false)) {
        emit playingSilently();
    }
    if (std::exchange(outputsChanged, false)) {
        emit soundOutputsChanged();
    }
    notifyIfChanged();
}

void MpvMediaPlayer::handleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_COMMAND_REPLY:
        handleCommandReply(event);
        break;
    case MPV_EVENT_START_FILE:
        handleStartFile(*static_cast<const mpv_event_start_file*>(event.data));
        break;
    case MPV_EVENT_FILE_LOADED:
        if (currentIsExpected() && phase == Phase::opening) {
            phase = Phase::loaded;
            fileDuration = observed.duration;
            if (take) {
                take->setFirstDuration(observed.duration);
            }
        }
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        handlePlaybackRestart();
        break;
    case MPV_EVENT_GET_PROPERTY_REPLY:
        if (take && take->answerPts(event)) {
            break;
        }
        if (audioCheck && event.reply_userdata == *audioCheck) {
            audioCheck.reset();
            audioDecoded = event.error >= 0 &&
                           static_cast<const mpv_event_property*>(event.data)->format == MPV_FORMAT_INT64;
        }
        break;
    case MPV_EVENT_END_FILE:
        handleEndFile(*static_cast<const mpv_event_end_file*>(event.data));
        break;
    case MPV_EVENT_PROPERTY_CHANGE:
        handleProperty(*static_cast<const mpv_event_property*>(event.data));
        break;
    case MPV_EVENT_LOG_MESSAGE:
        errorLog.add(*static_cast<const mpv_event_log_message*>(event.data));
        break;
    case MPV_EVENT_SHUTDOWN:
        if (phase != Phase::nothing && phase != Phase::stopped && phase != Phase::ended) {
            phase = Phase::stopped;
            pendingFailure = QStringLiteral("Cannot play \"%1\": the media player shut down").arg(path);
        }
        break;
    default:
        break;
    }
}

void MpvMediaPlayer::handleCommandReply(const mpv_event& event) {
    if (take) {
        take->answerAppend(event);
    }
    if (!loadRequest || event.reply_userdata != *loadRequest) {
        return;
    }
    loadRequest.reset();
    if (event.error < 0) {
        phase = Phase::stopped;
        pendingFailure = errorLog.failure(path, event.error);
        return;
    }
    // loadfile is carried out and answered before mpv starts the new entry, so the entry is known before
    // any of its events arrive.
    expectedEntry = playlistEntryOfReply(static_cast<const mpv_event_command*>(event.data)->result);
    if (!expectedEntry) {
        phase = Phase::stopped;
        pendingFailure =
            QStringLiteral("Cannot play \"%1\": the media player did not accept the file").arg(path);
    } else if (take) {
        take->setFirstEntry(expectedEntry);
    }
}

bool MpvMediaPlayer::takeEndedEntry(const mpv_event_end_file& end) {
    switch (take->endedEntry(end)) {
    case MpvTake::EntryEnd::playsOn:
    case MpvTake::EntryEnd::lastDecoded:
        return true;
    case MpvTake::EntryEnd::outputFailed:
        pendingOutputFailure = errorLog.outputFailure();
        phase = Phase::stopped;
        expectedEntry.reset();
        return true;
    case MpvTake::EntryEnd::fileFailed:
        reportLater(end.reason == MPV_END_FILE_REASON_ERROR
                        ? errorLog.failure(path, end.error)
                        : QStringLiteral("Cannot play \"%1\": it is a playlist, not a sound file").arg(path));
        return true;
    case MpvTake::EntryEnd::notTheTakes:
        break;
    }
    return false;
}

void MpvMediaPlayer::handleStartFile(const mpv_event_start_file& start) {
    currentEntry = start.playlist_entry_id;
    if (take) {
        if (std::optional<QString> file = take->startedEntry(start.playlist_entry_id)) {
            expectedEntry = start.playlist_entry_id;
            path = *std::move(file);
            errorLog.clear();
            return;
        }
    }
    // What mpv said of the previous file until now is no part of this one's failure.
    if (currentIsExpected()) {
        errorLog.clear();
    }
}

void MpvMediaPlayer::handlePlaybackRestart() {
    // Also sent just before an output that failed ends the file: `playing` needs the output open too.
    if (!currentIsExpected() || (phase != Phase::loaded && phase != Phase::started)) {
        return;
    }
    phase = Phase::started;
    // A held file restarts once its decoding has settled, also for a file with nothing decodable in it.
    // Asked now, libmpv answers with this file's audio format, or that it has none: an observed property
    // might still hold the previous file's.
    if (holding && !audioDecoded && !audioCheck) {
        audioCheck = ++lastRequest;
        if (mpv.getProperty(*audioCheck, "audio-params/samplerate", MPV_FORMAT_INT64) < 0) {
            audioCheck.reset();
        }
    }
}

bool MpvMediaPlayer::currentIsExpected() const {
    return expectedEntry && currentEntry && *expectedEntry == *currentEntry;
}

void MpvMediaPlayer::handleEndFile(const mpv_event_end_file& end) {
    if (!expectedEntry || end.playlist_entry_id != *expectedEntry) {
        return;
    }
    if (take && takeEndedEntry(end)) {
        return;
    }
    expectedEntry.reset();
    switch (end.reason) {
    case MPV_END_FILE_REASON_EOF:
        phase = Phase::ended;
        break;
    case MPV_END_FILE_REASON_ERROR:
        phase = Phase::stopped;
        failWith(end.error);
        break;
    case MPV_END_FILE_REASON_REDIRECT:
        phase = Phase::stopped;
        pendingFailure = QStringLiteral("Cannot play \"%1\": it is a playlist, not a sound file").arg(path);
        break;
    default:
        phase = Phase::stopped;
        break;
    }
}

void MpvMediaPlayer::handleProperty(const mpv_event_property& property) {
    const std::string_view name(property.name);
    if (name == "audio-device-list") {
        if (property.format == MPV_FORMAT_NODE && property.data != nullptr) {
            std::vector<SoundOutput> listed =
                soundOutputsOfList(*static_cast<const mpv_node*>(property.data));
            outputsChanged = outputsChanged || listed != outputs;
            outputs = std::move(listed);
        }
        return;
    }
    observed.apply(property);
    if (name == "duration" && observed.duration && (phase == Phase::loaded || phase == Phase::started)) {
        fileDuration = observed.duration;
        if (take && currentIsExpected()) {
            take->setDecodedDuration(observed.duration);
        }
    } else if (name == "current-ao") {
        silentTold = silentTold || (silentFallback && observed.output == "null");
        if (take && take->draining() && observed.output.empty() && phase == Phase::started) {
            take->ended();
            phase = Phase::ended;
            expectedEntry.reset();
        }
    }
}

void MpvMediaPlayer::failWith(int error) {
    if (error == MPV_ERROR_AO_INIT_FAILED) {
        pendingOutputFailure = errorLog.outputFailure();
    } else {
        pendingFailure = errorLog.failure(path, error);
    }
}

} // namespace quorvex
