#include "platform/mpvmediaplayer.h"

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

namespace {

QString reasonOf(int error) {
    switch (error) {
    case MPV_ERROR_LOADING_FAILED:
        return QStringLiteral("the file cannot be opened");
    case MPV_ERROR_UNKNOWN_FORMAT:
        return QStringLiteral("it is not a sound file that can be decoded");
    case MPV_ERROR_NOTHING_TO_PLAY:
        return QStringLiteral("it has no sound that can be decoded");
    default:
        return QString::fromUtf8(mpv_error_string(error));
    }
}

QString cannotPlay(const QString& file, int error) {
    return QStringLiteral("Cannot play \"%1\": %2").arg(file, reasonOf(error));
}

} // namespace

MpvMediaPlayer::MpvMediaPlayer(QObject* parent, const QString& audioOutput)
    : MediaPlayer(parent), mpv(*this, [this] { drainEvents(); }) {
    boundaryTimer.setSingleShot(true);
    boundaryTimer.setTimerType(Qt::PreciseTimer);
    connect(&boundaryTimer, &QTimer::timeout, this, [this] { boundaryTimerFired(); });
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

void MpvMediaPlayer::open(const QString& file) {
    load(file, false);
}

void MpvMediaPlayer::prepare(const QString& file) {
    load(file, true);
}

void MpvMediaPlayer::prepareTake(const QStringList& files) {
    load(files.value(0), true);
    if (files.size() < 2 || phase != Phase::opening) {
        return;
    }
    take.emplace();
    take->files = files;
    const auto count = static_cast<std::size_t>(files.size());
    take->entries.resize(count);
    take->durations.resize(count);
    // One output for the whole take, opened in the first file's format: nothing is drained or reopened
    // between files.
    checked(mpv.setText("gapless-audio", QStringLiteral("yes")), "play without gaps");
    for (int file = 1; file < files.size(); ++file) {
        const std::uint64_t request = ++lastRequest;
        const QString next = QFileInfo(files.at(file)).absoluteFilePath();
        if (const int error =
                mpv.command(request, {QStringLiteral("loadfile"), next, QStringLiteral("append")});
            error < 0) {
            failNow(cannotPlay(next, error));
            return;
        }
        take->appends.emplace_back(request, file);
    }
}

int MpvMediaPlayer::takeFile() const {
    return take ? take->heard : 0;
}

void MpvMediaPlayer::endTake() {
    if (!take) {
        return;
    }
    take.reset();
    boundaryTimer.stop();
    checked(mpv.setText("gapless-audio", QStringLiteral("no")), "end the take of");
}

void MpvMediaPlayer::load(const QString& file, bool hold) {
    endTake();
    path = QFileInfo(file).absoluteFilePath();
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
        failNow(failureMessage(error));
        return;
    }
    loadRequest = ++lastRequest;
    if (const int error =
            mpv.command(*loadRequest, {QStringLiteral("loadfile"), path, QStringLiteral("replace")});
        error < 0) {
        loadRequest.reset();
        failNow(failureMessage(error));
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
        open(path);
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

int MpvMediaPlayer::volume() const {
    return static_cast<int>(std::lround(observed.volume));
}

void MpvMediaPlayer::setMuted(bool muted) {
    checked(mpv.setFlag("mute", muted), muted ? "mute" : "unmute");
}

bool MpvMediaPlayer::isMuted() const {
    return observed.mute;
}

std::optional<std::vector<SoundOutput>> MpvMediaPlayer::soundOutputs() const {
    return outputs;
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

void MpvMediaPlayer::setSend44k(bool on) {
    // What a MiniDisc recorder records: the player resamples and converts, so the sound server need not.
    checked(mpv.setText("audio-samplerate", on ? QStringLiteral("44100") : QStringLiteral("0")),
            "set the rate of");
    checked(mpv.setText("audio-format", on ? QStringLiteral("s16") : QStringLiteral("no")),
            "set the format of");
    checked(mpv.setText("audio-channels", on ? QStringLiteral("stereo") : QStringLiteral("auto-safe")),
            "set the channels of");
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
                audioDecoded && fileDuration.has_value() && (!take || take->appends.empty());
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
        if (!observed.coreIdle && observed.outputOpen) {
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
    if (take && take->heard < take->decoding) {
        return take->durations.at(static_cast<std::size_t>(take->heard)).value_or(0.0); // its last moments
    }
    if (phase == Phase::ended) {
        return fileDuration.value_or(std::max(observed.timePos, 0.0));
    }
    return phase == Phase::started ? std::max(observed.timePos, 0.0) : 0.0;
}

double MpvMediaPlayer::duration() const {
    if (take) {
        return take->durations.at(static_cast<std::size_t>(take->heard)).value_or(0.0);
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
                take->durations.front() = observed.duration;
            }
        }
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        handlePlaybackRestart();
        break;
    case MPV_EVENT_GET_PROPERTY_REPLY:
        if (take && take->ptsRequest && event.reply_userdata == *take->ptsRequest) {
            take->ptsRequest.reset();
            const auto* const property = static_cast<const mpv_event_property*>(event.data);
            const bool known = event.error >= 0 && property->format == MPV_FORMAT_DOUBLE;
            scheduleBoundary(known ? std::optional(*static_cast<const double*>(property->data))
                                   : std::nullopt);
        } else if (audioCheck && event.reply_userdata == *audioCheck) {
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
        handleLogMessage(*static_cast<const mpv_event_log_message*>(event.data));
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
        handleTakeReply(event);
    }
    if (!loadRequest || event.reply_userdata != *loadRequest) {
        return;
    }
    loadRequest.reset();
    if (event.error < 0) {
        phase = Phase::stopped;
        pendingFailure = failureMessage(event.error);
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
        take->entries.front() = expectedEntry;
    }
}

void MpvMediaPlayer::handleTakeReply(const mpv_event& event) {
    const auto append =
        std::find_if(take->appends.begin(), take->appends.end(),
                     [&event](const auto& request) { return request.first == event.reply_userdata; });
    if (append == take->appends.end()) {
        return;
    }
    const int file = append->second;
    take->appends.erase(append);
    // A file mpv did not take into its list is never played: the take goes on without it.
    const std::optional<std::int64_t> entry =
        event.error < 0 ? std::nullopt
                        : playlistEntryOfReply(static_cast<const mpv_event_command*>(event.data)->result);
    take->entries.at(static_cast<std::size_t>(file)) = entry;
    if (!entry) {
        const QString name = QFileInfo(take->files.at(file)).absoluteFilePath();
        QTimer::singleShot(0, this,
                           [this, name, error = event.error] { emit failed(name, cannotPlay(name, error)); });
    }
}

bool MpvMediaPlayer::takeStartedEntry(std::int64_t entry) {
    const auto found = std::find(take->entries.begin(), take->entries.end(), std::optional(entry));
    const auto file = static_cast<int>(found - take->entries.begin());
    if (found == take->entries.end() || file <= take->decoding) {
        return false;
    }
    take->decoding = file;
    expectedEntry = entry;
    path = QFileInfo(take->files.at(file)).absoluteFilePath();
    errorLog.clear();
    askAudioPts();
    return true;
}

bool MpvMediaPlayer::takeEndedEntry(const mpv_event_end_file& end) {
    const bool last = take->decoding == take->files.size() - 1;
    if (last && end.reason == MPV_END_FILE_REASON_EOF) {
        // Without gaps mpv ends a file once it is decoded, while its sound is still queued. At the end of
        // the list it plays the queue out and then closes the output: that is the take's end.
        take->heard = take->decoding;
        take->draining = true;
        return true;
    }
    if (end.reason == MPV_END_FILE_REASON_ERROR && end.error == MPV_ERROR_AO_INIT_FAILED) {
        // No output to go on with: the take ends here.
        pendingOutputFailure = outputFailureReason();
        phase = Phase::stopped;
        expectedEntry.reset();
        return true;
    }
    if (end.reason == MPV_END_FILE_REASON_ERROR || end.reason == MPV_END_FILE_REASON_REDIRECT) {
        reportLater(end.reason == MPV_END_FILE_REASON_ERROR
                        ? failureMessage(end.error)
                        : QStringLiteral("Cannot play \"%1\": it is a playlist, not a sound file").arg(path));
        // What was heard before it is whole: the take ends once that has gone out.
        take->draining = last;
        return true;
    }
    return end.reason == MPV_END_FILE_REASON_EOF; // mpv goes on with the next file
}

void MpvMediaPlayer::askAudioPts() {
    take->ptsRequest = ++lastRequest;
    if (mpv.getProperty(*take->ptsRequest, "audio-pts", MPV_FORMAT_DOUBLE) < 0) {
        take->ptsRequest.reset();
        scheduleBoundary(std::nullopt);
    }
}

void MpvMediaPlayer::scheduleBoundary(std::optional<double> audioPts) {
    if (!take || take->heard >= take->decoding) {
        return;
    }
    using std::chrono::milliseconds;
    // Until the new file's first sound is queued its audio-pts is unknown: asked again shortly. Then it is
    // minus the time until that sound is heard: asked again nearer the moment (the estimate sharpens), and
    // within the last few milliseconds the boundary is simply timed.
    constexpr double pollSeconds = 0.005;
    constexpr double closeEnough = 0.004;
    constexpr double longestWait = 0.05;
    const auto inMilliseconds = [](double seconds) { return milliseconds(std::lround(seconds * 1000)); };
    const double left = audioPts ? -*audioPts : pollSeconds + closeEnough;
    take->crossWhenTimerFires = left <= closeEnough;
    boundaryTimer.start(take->crossWhenTimerFires
                            ? inMilliseconds(std::max(left, 0.0))
                            : inMilliseconds(std::min(left - closeEnough / 2, longestWait)));
}

void MpvMediaPlayer::boundaryTimerFired() {
    if (!take) {
        return;
    }
    if (take->crossWhenTimerFires) {
        take->heard = take->decoding;
        notifyIfChanged();
    } else {
        askAudioPts();
    }
}

void MpvMediaPlayer::handleStartFile(const mpv_event_start_file& start) {
    currentEntry = start.playlist_entry_id;
    if (take && takeStartedEntry(start.playlist_entry_id)) {
        return;
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
    const bool known = property.format != MPV_FORMAT_NONE && property.data != nullptr;
    const auto flag = [&] { return known && *static_cast<const int*>(property.data) != 0; };
    const auto number = [&]() -> std::optional<double> {
        return known ? std::optional(*static_cast<const double*>(property.data)) : std::nullopt;
    };
    if (name == "time-pos") {
        // mpv drops the position when the file ends; the last one reached is what the display keeps.
        observed.timePos = number().value_or(observed.timePos);
    } else if (name == "duration") {
        observed.duration = number();
        if (observed.duration && (phase == Phase::loaded || phase == Phase::started)) {
            fileDuration = observed.duration;
            if (take && currentIsExpected()) {
                take->durations.at(static_cast<std::size_t>(take->decoding)) = observed.duration;
            }
        }
    } else if (name == "pause") {
        observed.pause = flag();
    } else if (name == "core-idle") {
        observed.coreIdle = !known || flag();
    } else if (name == "current-ao") {
        const std::string_view output = known ? *static_cast<const char* const*>(property.data) : "";
        observed.outputOpen = !output.empty();
        silentTold = silentTold || (silentFallback && output == "null");
        if (take && take->draining && !observed.outputOpen && phase == Phase::started) {
            phase = Phase::ended;
            expectedEntry.reset();
        }
    } else if (name == "volume") {
        observed.volume = number().value_or(observed.volume);
    } else if (name == "mute") {
        observed.mute = flag();
    } else if (name == "audio-device-list" && known && property.format == MPV_FORMAT_NODE) {
        std::vector<SoundOutput> listed = soundOutputsOfList(*static_cast<const mpv_node*>(property.data));
        outputsChanged = outputsChanged || listed != outputs;
        outputs = std::move(listed);
    }
}

void MpvMediaPlayer::handleLogMessage(const mpv_event_log_message& message) {
    const QString text = QString::fromUtf8(message.text).trimmed();
    if (text.isEmpty() || errorLog.contains(text)) {
        return;
    }
    constexpr qsizetype kept = 4;
    if (errorLog.size() == kept) {
        errorLog.removeFirst();
    }
    errorLog.append(text);
}

QString MpvMediaPlayer::failureMessage(int error) const {
    const QString details =
        errorLog.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(errorLog.join(QStringLiteral("; ")));
    return QStringLiteral("Cannot play \"%1\": %2%3").arg(path, reasonOf(error), details);
}

QString MpvMediaPlayer::outputFailureReason() const {
    QString reason = errorLog.isEmpty() ? QString::fromUtf8(mpv_error_string(MPV_ERROR_AO_INIT_FAILED))
                                        : errorLog.join(QStringLiteral("; "));
    return reason.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

void MpvMediaPlayer::failWith(int error) {
    if (error == MPV_ERROR_AO_INIT_FAILED) {
        pendingOutputFailure = outputFailureReason();
    } else {
        pendingFailure = failureMessage(error);
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
