#pragma once

#include "link/recorderline.h"
#include "link/tickclock.h"

#include <cstdint>
#include <optional>
#include <QObject>
#include <QString>
#include <span>
#include <vector>

namespace quorvex {

class EventPump;
class LinkTrace;
class SerialPort;

// The kinds of recorder Quorvex drives, each with its own frames: the Control-A1 interface of MD recorders
// (the default), and the RS-232C port of the MDS-E11, MDS-E12 and MDS-E52 decks.
enum class RecorderFamily { controlA1, mdsE };

// The family as settings and command lines name it: "control-a1", "mds-e".
[[nodiscard]] QString recorderFamilyText(RecorderFamily family);
// The family a name stands for; anything else is nothing.
[[nodiscard]] std::optional<RecorderFamily> recorderFamilyOf(const QString& text);

// The recorder controls of the window.
enum class RecorderButton { on, off, play, stop, back, forward };

// What the recorder says its disc holds: the track count and the recorded time, and where the recorder tells
// them, its model, its free recording time and its free title characters.
struct DiscState {
    std::int16_t tracks = 0;
    std::int16_t minutes = 0;
    std::int16_t seconds = 0;
    bool noDisc = false; // the recorder has no disc in it, or has not read it yet
    std::optional<int> freeSeconds;
    std::optional<int> freeTitleCharacters;
    QString model;
};

// The label of the disc: "12 Tracks 45m 07s" (minutes and seconds with at least two digits), or "No disc".
[[nodiscard]] QString discLabelText(const DiscState& disc);
// What the label's tool tip adds where the recorder tells it: "MDS-E12 — 41:30 recordable, 1,764 title
// characters free"; empty where it tells none of it.
[[nodiscard]] QString discToolTipText(const DiscState& disc);

// What the disc holds after a run, as the recorder reads it back: its count and total, and where the recorder
// tells them, each track's time and name.
struct ReadBack {
    struct Track {
        int number = 0;
        std::optional<int> seconds; // none: the disc has no such track
        std::optional<QString> name;
    };
    bool answered = false; // nothing else counts without an answer
    DiscState disc;
    std::vector<Track> tracks;
};

// How a track's recording began.
struct Arming {
    enum class Result {
        recording,       // the recorder acknowledged: it records
        notAcknowledged, // no acknowledgement came: the recorder has been told to stop all the same
        failed,          // the recorder said why it cannot record (`message`); it is stopped
    };
    Result result = Result::recording;
    QString message;
};

// How a track's (or a take's) recording ended.
struct Stopping {
    // The recorder made fewer new tracks than it was told to (its track count did not grow so).
    bool trackMissing = false;
    // The tracks, as the run numbers them, whose title the recorder did not confirm.
    std::vector<std::int16_t> unnamed;
};

// The recorder at the end of the serial line, as the run and both front ends talk to it. Each family has its
// own frames behind the same operations; the line, the 100 ms Tick and the waits are shared. Every wait hands
// the thread to the event pump until it is over, and ends early through endWait().
class Recorder : public QObject {
    Q_OBJECT
public:
    Recorder(SerialPort& port, EventPump& pump, QObject* parent = nullptr);

    [[nodiscard]] virtual RecorderFamily family() const = 0;

    // One Tick, every 100 ms: the countdown, then the bytes the recorder sent since the last Tick.
    virtual void tick() = 0;
    // Ticks since the recorder was made: the program's clock for bounds that are no reply wait.
    [[nodiscard]] std::uint64_t ticks() const { return clock().ticks; }
    void delay(std::int16_t milliseconds);
    // Ends the delay or reply wait under way now, as its time-out would; an operation of several waits
    // (arming a deck) gives up after it.
    void endWait() {
        clock().tickCountdown = 0;
        waitEnded = true;
    }

    // The line's first words once the port is open.
    virtual void start() = 0;
    // The way out before the port closes (the program ends, another device or family is chosen).
    virtual void leave() = 0;
    // A button pressed; a recorder that has no such control hears nothing.
    virtual void press(RecorderButton button) = 0;
    [[nodiscard]] virtual bool hasButton(RecorderButton button) const = 0;

    // Pause mode ("Insert pauses"): only recorders without a serial link of their own, which the
    // Control-A1 interface stands in for: the recorder is left alone, its commands stay back and its
    // answers are not awaited.
    [[nodiscard]] virtual bool takesPauseMode() const = 0;
    void setPauseMode(bool on) { paused = on && takesPauseMode(); }
    [[nodiscard]] bool pauseMode() const { return paused; }

    // What the disc holds, asked now (the label, Check disc); it waits for the answer.
    virtual DiscState askDisc() = 0;
    // Whether a disc query waits for its answer (a run started inside it would take the answer).
    [[nodiscard]] virtual bool askingDisc() const = 0;
    // The disc's name, as the Disc Name box or a run gives it.
    virtual void nameDisc(const QString& name) = 0;

    // A recording run: what the disc holds before it.
    virtual DiscState discBeforeRun() = 0;
    // The recorder records a new track; arming a recorder that does not answer, or refuses, leaves it
    // stopped.
    virtual Arming armTrack() = 0;
    // In a take: the running recording goes on in a new track.
    virtual void markTrack() = 0;
    // Names the track the run counts as `number`: at once where the recorder takes names while it records,
    // else once it has stopped.
    virtual void nameTrack(std::int16_t number, const QString& title) = 0;
    // Whether the recorder takes a track's name while it records it (else it is written after the stop).
    [[nodiscard]] virtual bool namesWhileRecording() const = 0;
    // A title as the recorder shows it once it has it: Control-A1 keeps 14 characters of it, an MDS-E deck
    // the whole title in the characters its names take.
    [[nodiscard]] virtual QString titleAsSent(const QString& title) const = 0;
    // Stops the recording (in pause mode only a track the run armed) and waits for the recorder to say so;
    // names waiting for the stop are written then.
    virtual Stopping stopTrack(bool armed) = 0;
    // The recorder is told to stop now, whatever pause mode says, and nothing is awaited: the program ends
    // in the middle of a track.
    virtual void stopNow() = 0;
    // The way out without waiting for anything (a second Ctrl+C): a stop where recording, then what leave()
    // says last.
    virtual void leaveNow() = 0;
    // After a run: what the disc now holds, with the time and name of each of `tracks` where the recorder
    // tells them. A recorder that does not answer is not waited for beyond its request's time.
    virtual ReadBack readBack(std::span<const int> tracks) = 0;
    // A name that read back wrong, written once more and read again (where the recorder tells names).
    virtual std::optional<QString> renameAndRead(int track, const QString& title) = 0;
    // The recorder stopped recording by itself (its disc full, say) since it was armed.
    [[nodiscard]] virtual bool stoppedByItself() const = 0;

    [[nodiscard]] SerialPort& port() const { return serial; }
    // Every frame each way is written there too, from now on (none: no trace).
    void setTrace(LinkTrace* trace) { line.setTrace(trace); }

signals:
    // The line broke under us; said after the frame that found it has gone (or not).
    void lost(const QString& reason);
    // The recorder told of a new disc, or a changed one, by itself.
    void discChanged();
    // Something worth a line in the status bar (a name the recorder kept only in part).
    void told(const QString& text);

protected:
    [[nodiscard]] virtual TickClock& clock() = 0;
    [[nodiscard]] virtual const TickClock& clock() const = 0;
    [[nodiscard]] EventPump& eventPump() const { return pump; }

    SerialPort& serial;
    RecorderLine line;
    bool waitEnded = false; // endWait() was called since the operation under way began

private:
    EventPump& pump;
    bool paused = false;
};

} // namespace quorvex
