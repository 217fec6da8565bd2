#include "platform/mpvmediaplayer.h"

#include "platform/mpverrors.h"
#include "platform/mpvsettings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <QFileInfo>
#include <QTimer>
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
    load(items.empty() ? MediaItem() : items.front(), true, items.size() >= 2);
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
    levelSet.takeEnded();
}

void MpvMediaPlayer::load(const MediaItem& item, bool hold, bool takeFirst) {
    endTake();
    // The level is in place before libmpv decodes a sample of the file.
    levelSet.fileLoading(item, takeFirst);
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
    levelSet.choose(chosen);
}

void MpvMediaPlayer::setRunBuffering(bool on) {
    checked(setRunBuffer(mpv, on), "set the buffer of");
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
            const bool canSound = audioDecoded && fileDuration.has_value() && (!take || take->listed());
            return canSound ? ready : transitioning;
        }
        if (observed.pause) {
            return paused;
        }
        // Between the files of a take the output stays open and goes on sounding.
        if (take && soundWentOut) {
            return playing;
        }
        // Playing while a sound output is open and not paused: it plays what the core decoded, also once the
        // core has fallen idle (with a run's long buffer a short file, even a whole take, is decoded at once,
        // and a busy computer may never see the core run). Until the file's sound first goes out it is ready;
        // later (the output reopening) it is transitioning.
        if (!observed.output.empty()) {
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
        return take->heardPosition().value_or(take->heardDuration()); // its last moments
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
