#include "platform/mpvmediaplayer.h"

#include "platform/mpverrors.h"
#include "platform/mpvnodes.h"
#include "platform/mpvsettings.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <QFileInfo>
#include <QTimer>
#include <string_view>
#include <utility>

namespace quorvex {

MpvMediaPlayer::MpvMediaPlayer(QObject* parent, const QString& audioOutput)
    : MediaPlayer(parent), mpv(*this, [this] { drainEvents(); }) {
    configure(audioOutput);
}

void MpvMediaPlayer::configure(const QString& audioOutput) {
    setupError = startMpv(mpv, audioOutput);
    if (setupError) {
        return;
    }
    int error = mpv.requestLogMessages("error");
    const std::array<std::pair<const char*, mpv_format>, 8> watched{{{"time-pos", MPV_FORMAT_DOUBLE},
                                                                     {"duration", MPV_FORMAT_DOUBLE},
                                                                     {"pause", MPV_FORMAT_FLAG},
                                                                     {"core-idle", MPV_FORMAT_FLAG},
                                                                     {"current-ao", MPV_FORMAT_STRING},
                                                                     {"volume", MPV_FORMAT_DOUBLE},
                                                                     {"mute", MPV_FORMAT_FLAG},
                                                                     {"audio-device-list", MPV_FORMAT_NODE}}};
    for (const auto& [name, format] : watched) {
        error = std::min(error, mpv.observe(name, format));
    }
    // A player whose state cannot be followed would never be seen playing.
    if (error < 0) {
        setupError = QStringLiteral("the media player does not report its state: %1")
                         .arg(QString::fromUtf8(mpv_error_string(error)));
    }
}

void MpvMediaPlayer::open(const MediaItem& item) {
    load(item, false);
}

void MpvMediaPlayer::prepare(const MediaItem& item) {
    load(item, true);
}

void MpvMediaPlayer::prepareTake(const std::vector<MediaItem>& items) {
    load(items.empty() ? MediaItem() : items.front(), true);
    if (items.size() < 2 || phase != Phase::opening) {
        return;
    }
    take = std::make_unique<MpvTake>(
        mpv, [this] { return ++lastRequest; }, items);
    connect(take.get(), &MpvTake::heardMoved, this, &MpvMediaPlayer::notifyIfChanged);
    // Told from the event loop like every other failure.
    connect(take.get(), &MpvTake::refused, this, [this](const QString& file, const QString& message) {
        QTimer::singleShot(0, this, [this, file, message] { emit failed(file, message); });
    });
    // One output for the whole take, opened in the first file's format: nothing is drained or reopened
    // between files.
    checked(mpv.setText("gapless-audio", QStringLiteral("yes")), "play without gaps");
    // Under ReplayGain the take is one piece at its first file's album gain: libmpv applies that to the first
    // file at once, and once it has said what it read, the same level is fixed for the whole take before it
    // is ready to play.
    if (levelDue) {
        checked(mpv.setText("replaygain", QStringLiteral("album")), "set the level of");
    }
    if (const std::optional<std::pair<QString, int>> refused = take->appendRest()) {
        failNow(cannotPlayText(refused->first, refused->second));
    }
}

int MpvMediaPlayer::takeFile() const {
    return take ? take->heard() : 0;
}

void MpvMediaPlayer::endTake() {
    if (!take) {
        return;
    }
    take.reset();
    checked(mpv.setText("gapless-audio", QStringLiteral("no")), "end the take of");
    levelFixed = true; // the take's album gain, or its fixed level
}

void MpvMediaPlayer::load(const MediaItem& item, bool hold) {
    endTake();
    // Each file starts at the program's level; under ReplayGain it is ready once its gain is known.
    if (levelFixed) {
        levelFixed = false;
        checked(setLevelOptions(mpv, level), "set the level of");
    }
    levelDue = level == Level::trackGain || level == Level::albumGain;
    tagCheck.reset();
    gainCheck.reset();
    path = QFileInfo(item.path).absoluteFilePath();
    current = item;
    errorLog.clear();
    pendingFailure.reset();
    pendingOutputFailure.reset();
    fileDuration.reset();
    observed.timePos = 0.0; // the new file starts at its beginning, whatever the last one reached
    audioDecoded = false;
    audioCheck.reset();
    expectedEntry.reset();
    soundWentOut = false;
    holding = hold;
    if (setupError) {
        phase = Phase::stopped;
        reportLater(QStringLiteral("%1 (opening \"%2\")").arg(*setupError, path));
        notifyIfChanged();
        return;
    }
    // A directory, a named pipe or a device named like a sound file: mpv would list the directory as a
    // playlist, or hang in open() on a pipe nobody writes to, and could not be shut down afterwards.
    if (const QFileInfo info(path); info.exists() && !info.isFile()) {
        checked(mpv.command(++lastRequest, {QStringLiteral("stop")}), "stop");
        loadRequest.reset();
        failNow(QStringLiteral("Cannot play \"%1\": it is not a file").arg(path));
        return;
    }
    // The old file's events still to come belong to another playlist entry and are passed over.
    phase = Phase::opening;
    if (const int error = mpv.setFlag("pause", hold); error < 0) {
        failNow(errorLog.failure(path, error));
        return;
    }
    loadRequest = ++lastRequest;
    if (const int error = mpv.command(
            *loadRequest, {QStringLiteral("loadfile"), mpvTarget(item), QStringLiteral("replace")});
        error < 0) {
        loadRequest.reset();
        failNow(errorLog.failure(path, error));
        return;
    }
    notifyIfChanged();
}

void MpvMediaPlayer::checked(int error, const char* action) {
    if (error < 0) {
        reportLater(QStringLiteral("Cannot %1 \"%2\": the media player refused (%3)")
                        .arg(QString::fromLatin1(action), path, QString::fromUtf8(mpv_error_string(error))));
    }
}

void MpvMediaPlayer::failNow(const QString& reason) {
    phase = Phase::stopped;
    holding = false;
    reportLater(reason);
    notifyIfChanged();
}

void MpvMediaPlayer::stop() {
    if (phase == Phase::nothing) {
        return;
    }
    endTake();
    checked(mpv.command(++lastRequest, {QStringLiteral("stop")}), "stop");
    loadRequest.reset();
    expectedEntry.reset();
    pendingFailure.reset();
    pendingOutputFailure.reset();
    holding = false;
    phase = Phase::stopped;
    notifyIfChanged();
}

void MpvMediaPlayer::play() {
    if (phase == Phase::opening || phase == Phase::loaded || phase == Phase::started) {
        holding = false;
        checked(mpv.setFlag("pause", false), "play");
    } else if ((phase == Phase::stopped || phase == Phase::ended) && !path.isEmpty()) {
        open(take ? MediaItem(path) : current);
    }
}

void MpvMediaPlayer::pause() {
    if (phase == Phase::opening || phase == Phase::loaded || phase == Phase::started) {
        checked(mpv.setFlag("pause", true), "pause");
    }
}

void MpvMediaPlayer::seek(double seconds) {
    if (phase == Phase::loaded || phase == Phase::started) {
        checked(mpv.command(++lastRequest,
                            {QStringLiteral("seek"), QString::number(std::max(seconds, 0.0), 'f', 3),
                             QStringLiteral("absolute")}),
                "seek in");
    }
}

void MpvMediaPlayer::setVolume(int percent) {
    checked(mpv.setDouble("volume", std::clamp(percent, 0, 100)), "set the volume of");
}

void MpvMediaPlayer::setMuted(bool muted) {
    checked(mpv.setFlag("mute", muted), muted ? "mute" : "unmute");
}

void MpvMediaPlayer::setSoundOutput(const QString& name) {
    checked(mpv.setText("audio-device", name.isEmpty() ? QStringLiteral("auto") : name),
            "choose the output of");
}

void MpvMediaPlayer::setSilentFallback(bool on) {
    silentFallback = on;
    checked(mpv.setText("audio-fallback-to-null", on ? QStringLiteral("yes") : QStringLiteral("no")),
            "set the fallback of");
}

void MpvMediaPlayer::setLevel(Level chosen) {
    level = chosen;
    // A take keeps the level it started with to its end.
    if (!take) {
        levelFixed = false;
        checked(setLevelOptions(mpv, level), "set the level of");
    }
}

void MpvMediaPlayer::setSend44k(bool on) {
    checked(setRecorderFormat(mpv, on), "set the rate and format of");
}

int MpvMediaPlayer::playState() const {
    switch (phase) {
    case Phase::nothing:
        return undefined;
    case Phase::opening:
        return transitioning;
    case Phase::loaded:
        return holding ? transitioning : ready;
    case Phase::started:
        if (holding) {
            // Held at its start: ready once play() would start the sound at once.
            const bool canSound =
                audioDecoded && fileDuration.has_value() && (!take || take->listed()) && !levelDue;
            return canSound ? ready : transitioning;
        }
        if (observed.pause) {
            return paused;
        }
        // Between the files of a take the output stays open and goes on sounding.
        if (take && soundWentOut) {
            return playing;
        }
        // Playing only while the core is running with a sound output open. Until the file's sound first goes
        // out it is ready; later (a seek settling, the cache refilling) it is transitioning.
        if (!observed.coreIdle && !observed.output.empty()) {
            return playing;
        }
        return soundWentOut ? transitioning : ready;
    case Phase::ended:
        return mediaEnded;
    case Phase::stopped:
        return stopped;
    }
    return undefined;
}

double MpvMediaPlayer::currentPosition() const {
    // Until the file's playback has started the position may still be the previous file's. A file
    // played to its end stays at its end, the way a progress display expects to finish.
    if (take && take->crossing()) {
        return take->heardDuration(); // its last moments
    }
    if (phase == Phase::ended) {
        return fileDuration.value_or(std::max(observed.timePos, 0.0));
    }
    return phase == Phase::started ? std::max(observed.timePos, 0.0) : 0.0;
}

double MpvMediaPlayer::duration() const {
    if (take) {
        return take->heardDuration();
    }
    return fileDuration.value_or(0.0);
}

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
        if (tagCheck && event.reply_userdata == *tagCheck) {
            tagCheck.reset();
            const mpv_node* const tags = replyNode(event);
            levelFromTags(tags == nullptr ? std::nullopt
                                          : gainWithoutPeak(*tags, take || level == Level::albumGain));
        } else if (gainCheck && event.reply_userdata == *gainCheck) {
            gainCheck.reset();
            const mpv_node* const track = replyNode(event);
            fixLevel(track == nullptr ? std::nullopt : albumGainOfTrack(*track));
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
    // The file's tags first: a gain without its peak is one libmpv has not read.
    if (levelDue && !tagCheck && !gainCheck) {
        tagCheck = ++lastRequest;
        if (mpv.getProperty(*tagCheck, "metadata", MPV_FORMAT_NODE) < 0) {
            tagCheck.reset();
            levelFromTags(std::nullopt);
        }
    }
}

void MpvMediaPlayer::levelFromTags(std::optional<double> gainWithoutPeak) {
    if (gainWithoutPeak) {
        // Nothing is known of the file's peak: it is taken as full scale, so the gain never raises the file.
        fixLevel(AlbumGain{.gain = *gainWithoutPeak, .peak = 1.0});
        return;
    }
    if (!take) {
        levelDue = false; // libmpv's own reading of the file's gain stands
        return;
    }
    gainCheck = ++lastRequest;
    if (mpv.getProperty(*gainCheck, "current-tracks/audio", MPV_FORMAT_NODE) < 0) {
        gainCheck.reset();
        fixLevel(std::nullopt);
    }
}

void MpvMediaPlayer::fixLevel(std::optional<AlbumGain> gain) {
    levelDue = false;
    levelFixed = true;
    checked(setFixedLevel(mpv, gain), "set the level of");
}

const mpv_node* MpvMediaPlayer::replyNode(const mpv_event& reply) {
    const auto* property = static_cast<const mpv_event_property*>(reply.data);
    return reply.error >= 0 && property->format == MPV_FORMAT_NODE
               ? static_cast<const mpv_node*>(property->data)
               : nullptr;
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

void MpvMediaPlayer::reportLater(const QString& message) {
    QTimer::singleShot(0, this, [this, file = path, message] { emit failed(file, message); });
}

MpvMediaPlayer::Shown MpvMediaPlayer::shown() const {
    constexpr double tenthsPerSecond = 10;
    return {playState(), std::lround(currentPosition() * tenthsPerSecond), duration(), volume(), isMuted(),
            takeFile()};
}

void MpvMediaPlayer::notifyIfChanged() {
    if (const Shown now = shown(); now != lastShown) {
        lastShown = now;
        emit stateChanged();
    }
}

} // namespace quorvex
