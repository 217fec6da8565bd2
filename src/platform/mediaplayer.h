#pragma once

#include "platform/level.h"

#include <optional>
#include <QObject>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <utility>
#include <vector>

namespace quorvex {

// The media player cannot be had at all; what() is the player library's reason.
class MediaPlayerUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A sound output the player can play to: the player library's name for it and the description people know
// it by.
struct SoundOutput {
    QString name;
    QString description;
    bool operator==(const SoundOutput&) const = default;
};

// What the player plays: a sound file whole, or the part of it from `start` to `end` (seconds into the file;
// no end: to its end), one track of a cue sheet, with the file's ReplayGain tags (read by whoever knows the
// file's tags: the player sets the level before the first sample goes out). Made from a path, it is the whole
// file without gain tags.
struct MediaItem {
    // Not explicit: a path is the whole file, wherever an item is asked for.
    MediaItem(QString path = {}, double start = 0, std::optional<double> end = std::nullopt,
              ReplayGain gains = {})
        : path(std::move(path)), start(start), end(end), gains(gains) {}
    QString path;
    double start = 0;
    std::optional<double> end;
    ReplayGain gains;
    bool operator==(const MediaItem&) const = default;
};

// The media player control: opening a file starts playing it by itself; play state 2 means playing.
// Positions and durations are the item's: from its start, and as long as its part of the file.
//
// Play states, numbered like the classic Windows Media Player control:
//   0 undefined      nothing opened yet
//   1 stopped        after stop(), and after a failure (the failure itself comes through `failed`)
//   2 playing        only while the file's sound is really going out to the sound output
//   3 paused         paused from the control bar
//   8 media ended    the sound output has played the file's last sample
//   9 transitioning  opening and loading the file; later a seek settling or the buffer refilling
//  10 ready          the file is loaded and its sound is about to go out; after prepare(), the file is
//                   decoded up to its first sound, its length is known and play() starts it at once
class MediaPlayer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    static constexpr int undefined = 0;
    static constexpr int stopped = 1;
    static constexpr int playing = 2;
    static constexpr int paused = 3;
    static constexpr int mediaEnded = 8;
    static constexpr int transitioning = 9;
    static constexpr int ready = 10;

    // Loads the file and starts playing it. A file that cannot be opened or decoded is reported through
    // `failed`, a sound output that cannot be opened through `outputFailed` (never a silent "playing").
    virtual void open(const MediaItem& item) = 0;
    // Loads the file held at its start: the state reaches `ready` once play() would start its sound at once
    // (the decoder is open, the first audio decoded, the length known). Failures come as for open().
    virtual void prepare(const MediaItem& item) = 0;
    // A take: the items played one after another as one stream with no gap between them (a file whose
    // format differs from the first one's is resampled to it; the tracks of one file follow each other to the
    // sample). Held at the first item's start, as after prepare(); play() starts it. From its first sound
    // until the last item's last sample has gone out the state is playing, then media ended. A file of the
    // take that fails is reported through `failed`, naming it, and the take goes on with the next one.
    virtual void prepareTake(const std::vector<MediaItem>& items) = 0;
    // The file of the take whose sound is going out now, from 0: it moves on when the next file's first
    // sample reaches the sound output, and stays at the last file heard when a later one fails. 0 outside a
    // take. currentPosition() and duration() are this file's.
    [[nodiscard]] virtual int takeFile() const = 0;
    [[nodiscard]] virtual int playState() const = 0;          // 2 while sound is really going out
    [[nodiscard]] virtual double currentPosition() const = 0; // seconds
    [[nodiscard]] virtual double duration() const = 0;        // seconds, 0 when unknown
    virtual void stop() = 0;

    // The control bar's operations; the program itself only opens, watches and stops.
    // play() resumes a paused or prepared file, or plays the last opened file again from its start after a
    // stop or its end; pause() holds the sound (state 3); seek() moves the playing file to a position in
    // seconds.
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void seek(double seconds) = 0;
    // The program's level (at the start, -6 dB), set for each file before its first sample goes out, from the
    // item's gain tags; a single file playing now changes at once. In a gapless take the level never changes
    // at a boundary: under either ReplayGain level the whole take plays at its first file's album gain (its
    // track gain where it has none), limited by that peak.
    virtual void setLevel(Level level) = 0;
    // On, for a recording run: the sound is buffered for a busy computer, a second ahead at the sound server,
    // so a late wakeup of the player never leaves a hole in a track (from the next file on). Off (the start),
    // for previews: the short buffer, so the bar's volume acts at once.
    virtual void setRunBuffering(bool on) = 0;
    // The listener's level, 0 to 100, on top of the program's level: 100 (the start) leaves the sound at
    // exactly that level. Muting silences the sound without changing either level.
    virtual void setVolume(int percent) = 0;
    [[nodiscard]] virtual int volume() const = 0;
    virtual void setMuted(bool muted) = 0;
    [[nodiscard]] virtual bool isMuted() const = 0;

    // Where the sound goes. The outputs there are now, besides the system's default; none known until the
    // player has listed them (soundOutputsChanged tells when the list comes or changes).
    [[nodiscard]] virtual std::optional<std::vector<SoundOutput>> soundOutputs() const = 0;
    // Plays from the next file on to the output of that name; empty: the system's default output.
    virtual void setSoundOutput(const QString& name) = 0;
    // On: every file goes out as 44.1 kHz, 16-bit stereo, resampled where it is not; off: as it is.
    virtual void setSend44k(bool on) = 0;
    // On: where no sound output can be opened, the sound goes nowhere, in real time, and playingSilently
    // says so (the demo's way, so it works on any computer); off (the start): that is an output failure.
    virtual void setSilentFallback(bool on) = 0;

signals:
    void stateChanged(); // any change of state, position, duration: waits re-test
    // `file` is the one asked for when it failed; the message names it (or the sound output) and why.
    void failed(const QString& file, const QString& message);
    // No sound output could be opened for `file`, or the one in use was lost: the sound server is not
    // running, or the output is gone. Told instead of `failed`; `reason` is the player library's, on one
    // line.
    void outputFailed(const QString& file, const QString& reason);
    // With the silent fallback on, no output could be opened: the sound goes nowhere.
    void playingSilently();
    void soundOutputsChanged();
};

} // namespace quorvex
