#pragma once

#include "link/commandframe.h"
#include "link/recorderline.h"
#include "link/replywatcher.h"

#include <cstdint>
#include <QObject>
#include <QString>

namespace quorvex {

class EventPump;
class SerialPort;

// Everything said to the recorder and heard from it: command and title frames, the waits of 100 ms Ticks
// for its answers, the disc query. The front end calls tick() every 100 ms (the Tick) and sets pause mode;
// every wait hands the thread to the event pump until it is over.
class RecorderLink final : public QObject {
    Q_OBJECT
public:
    RecorderLink(SerialPort& port, EventPump& pump, QObject* parent = nullptr);

    // Pause mode ("Insert pauses"): the recorder is left alone, command frames stay back and the reply
    // waits end at once. Title frames and the disc query go out all the same.
    void setPauseMode(bool on) { paused = on; }
    [[nodiscard]] bool pauseMode() const { return paused; }

    // One command frame: nothing in pause mode or while the port is closed.
    void sendCommand(std::int16_t category, std::int16_t code);
    void sendCommand(CommandPair command) { sendCommand(command.category, command.code); }
    // The command frame whatever pause mode says: the stop of a track a run armed.
    void sendCommandEvenPaused(CommandPair command);
    // One title frame (track 0: the disc), also in pause mode; nothing while the port is closed.
    void sendTitle(const QString& name, std::int16_t trackNumber);

    // The waits (see link/waits.h).
    void delay(std::int16_t milliseconds);
    bool waitForReply(std::int16_t first, std::int16_t second, std::int16_t distance);
    // Ends the delay or reply wait under way now, as its time-out would.
    void endWait();
    // One Tick: the countdown and the bytes the recorder sent since the last Tick.
    void tick();

    // The line's first words: a moment for a freshly opened line, then power on.
    void start();
    // Asks the recorder for its track count and disc time. The request goes out in pause mode too; a closed
    // port only keeps it back, and the answer is then whatever the reply window holds after the wait.
    DiscInfo askDisc();
    // Whether a disc query waits for its answer (a run started inside it would take the answer).
    [[nodiscard]] bool askingDisc() const { return asking; }

    [[nodiscard]] const ReplyWatcher& replyWatcher() const { return watcher; }
    [[nodiscard]] SerialPort& port() const { return serial; }

signals:
    // The line broke under us; said after the frame that found it has gone (or not).
    void lost(const QString& reason);

private:
    SerialPort& serial;
    EventPump& pump;
    RecorderLine line;
    ReplyWatcher watcher;
    bool paused = false;
    bool asking = false;
};

} // namespace quorvex
