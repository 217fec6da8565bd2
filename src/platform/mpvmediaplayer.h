#pragma once

#include "platform/mediaplayer.h"
#include "platform/mpverrors.h"
#include "platform/mpvhandle.h"
#include "platform/mpvlevel.h"
#include "platform/mpvnodes.h"
#include "platform/mpvtake.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <QString>
#include <QStringList>
#include <vector>

namespace quorvex {

// The media player on libmpv: audio only, one file at a time or one gapless take of several, played once at
// the program's fixed level. Its state follows libmpv's events and observed properties; see mediaplayer.h
// for the play states.
class MpvMediaPlayer final : public MediaPlayer {
    Q_OBJECT

public:
    // `audioOutput` is mpv's list of sound outputs to try (for example "pulse"); empty leaves the choice to
    // mpv's own order.
    explicit MpvMediaPlayer(QObject* parent = nullptr, const QString& audioOutput = {});

    void open(const MediaItem& item) override;
    void prepare(const MediaItem& item) override;
    void prepareTake(const std::vector<MediaItem>& items) override;
    [[nodiscard]] int takeFile() const override;
    [[nodiscard]] int playState() const override;
    [[nodiscard]] double currentPosition() const override;
    [[nodiscard]] double duration() const override;
    void stop() override;

    void play() override;
    void pause() override;
    void seek(double seconds) override;
    void setVolume(int percent) override;
    [[nodiscard]] int volume() const override { return static_cast<int>(std::lround(observed.volume)); }
    void setMuted(bool muted) override;
    [[nodiscard]] bool isMuted() const override { return observed.mute; }
    [[nodiscard]] std::optional<std::vector<SoundOutput>> soundOutputs() const override { return outputs; }
    void setSoundOutput(const QString& name) override;
    void setSend44k(bool on) override;
    void setLevel(Level chosen) override;
    void setRunBuffering(bool on) override;
    void setSilentFallback(bool on) override;

private:
    // Where the file asked for last stands, as told by libmpv's events.
    enum class Phase { nothing, opening, loaded, started, ended, stopped };

    // What stateChanged tells about; a change of any of it is signalled once.
    struct Shown {
        int playState = undefined;
        long tenthsOfASecond = 0; // the position: finer steps wake nobody
        double duration = 0.0;
        int volume = 100;
        bool muted = false;
        int takeFile = 0;
        bool operator==(const Shown&) const = default;
    };

    void configure(const QString& audioOutput);
    // The end of an entry of the take under way: true when the take has dealt with it.
    bool takeEndedEntry(const mpv_event_end_file& end);
    void endTake();
    // open() and prepare(): loads the item, started or held at its start (the first of a take: at the take's
    // level).
    void load(const MediaItem& item, bool hold, bool takeFirst = false);
    // A request libmpv refused at once: the file fails now, not after a time-out.
    void failNow(const QString& reason);
    // A control-bar request libmpv refused is said, naming the file; the file's state stays as it is.
    void checked(int error, const char* action);
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void handleCommandReply(const mpv_event& event);
    void handleStartFile(const mpv_event_start_file& start);
    void handlePlaybackRestart();
    void handleEndFile(const mpv_event_end_file& end);
    void handleProperty(const mpv_event_property& property);
    [[nodiscard]] bool currentIsExpected() const;
    // A file's end with an error: an output failure or the file's own.
    void failWith(int error);
    // Told from the event loop like every other failure, never from inside the call that found it.
    void reportLater(const QString& message);
    void notifyIfChanged();
    [[nodiscard]] Shown shown() const;

    Phase phase = Phase::nothing;
    MpvObserved observed;
    QString path;
    MediaItem current; // the item opened last (the take's first)
    std::optional<double> fileDuration;
    bool soundWentOut = false;               // the file's sound has gone out at least once
    bool holding = false;                    // prepared and not yet told to play
    bool audioDecoded = false;               // libmpv said the held file's audio format once it had restarted
    std::optional<std::uint64_t> audioCheck; // the request asking that
    std::uint64_t lastRequest = 0;
    std::optional<std::uint64_t> loadRequest;    // the loadfile whose reply names the entry to expect
    std::optional<std::int64_t> expectedEntry;   // mpv's playlist entry of the file asked for last
    std::optional<std::int64_t> currentEntry;    // the entry mpv started last
    MpvErrorLog errorLog;                        // mpv's error messages since the file was opened
    std::optional<QString> pendingFailure;       // reported once the events waiting now are drained
    std::optional<QString> pendingOutputFailure; // likewise, when it was the sound output that failed
    bool silentFallback = false;                 // no output: play to mpv's null output instead
    bool silentTold = false;                     // playingSilently is due after the drain
    std::optional<QString> setupError;           // a sound output mpv would not accept
    std::optional<std::vector<SoundOutput>> outputs;
    bool outputsChanged = false;   // told once the events waiting now are drained
    std::unique_ptr<MpvTake> take; // the gapless take under way
    Shown lastShown;
    // Holds `mpv` before it is made, and uses it only once the player is.
    MpvLevel levelSet{mpv, [this](int error) { checked(error, "set the level of"); }};
    MpvHandle mpv; // last: destroyed first, so no libmpv callback outlives the members above
};

} // namespace quorvex
