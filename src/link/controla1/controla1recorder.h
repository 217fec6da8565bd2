#pragma once

#include "link/controla1/commandframe.h"
#include "link/controla1/replywatcher.h"
#include "link/recorder.h"

#include <cstdint>
#include <QString>

namespace quorvex {

// A recorder on the Control-A1 interface: 7-byte command frames, 23-byte title frames of 14 characters that
// go out while it records, and the answers to record, stop and the disc request recognised by two bytes at a
// fixed distance before their end byte (the reply watcher). Pause mode silences its commands.
class ControlA1Recorder final : public Recorder {
    Q_OBJECT
public:
    ControlA1Recorder(SerialPort& port, EventPump& pump, QObject* parent = nullptr);

    [[nodiscard]] RecorderFamily family() const override { return RecorderFamily::controlA1; }
    void tick() override;
    // A moment for a freshly opened line, then power on.
    void start() override;
    void leave() override {}
    void press(RecorderButton button) override;
    [[nodiscard]] bool hasButton(RecorderButton /*button*/) const override { return true; }
    [[nodiscard]] bool takesPauseMode() const override { return true; }

    // The request goes out in pause mode too; a closed port only keeps it back, and the answer is then
    // whatever the reply window holds after the wait.
    DiscState askDisc() override;
    [[nodiscard]] bool askingDisc() const override { return asking; }
    // A title frame for track 0, at once.
    void nameDisc(const QString& name) override { sendTitle(name, 0); }

    // The disc request as a command (kept back in pause mode), then 2 s, then what the answer said.
    DiscState discBeforeRun() override;
    // Record and play, then up to 40 Ticks for the record acknowledgement.
    Arming armTrack() override;
    // A record command while recording, even in pause mode, and no wait: the take goes on.
    void markTrack() override { sendCommandEvenPaused(command::record); }
    void nameTrack(std::int16_t number, const QString& title) override { sendTitle(title, number); }
    [[nodiscard]] bool namesWhileRecording() const override { return true; }
    [[nodiscard]] QString titleAsSent(const QString& title) const override;
    // A track the run armed gets its stop in any mode; otherwise the stop follows pause mode. The
    // acknowledgement only holds the run until it comes or the time-out: a missing one changes nothing.
    Stopping stopTrack(bool armed) override;
    void stopNow() override { sendCommandEvenPaused(command::stop); }
    void leaveNow() override {}
    [[nodiscard]] bool stoppedByItself() const override { return false; }
    // One disc request after the run, its answer awaited as every disc request's (40 Ticks): the count and
    // total only.
    ReadBack readBack(std::span<const int> tracks) override;
    std::optional<QString> renameAndRead(int /*track*/, const QString& /*title*/) override {
        return std::nullopt;
    }

    // The interface's own operations. One command frame: nothing in pause mode or while the port is closed.
    void sendCommand(std::int16_t category, std::int16_t code);
    void sendCommand(CommandPair pair) { sendCommand(pair.category, pair.code); }
    // The command frame whatever pause mode says.
    void sendCommandEvenPaused(CommandPair pair);
    // One title frame (track 0: the disc), also in pause mode; nothing while the port is closed.
    void sendTitle(const QString& name, std::int16_t trackNumber);
    bool waitForReply(std::int16_t first, std::int16_t second, std::int16_t distance);
    [[nodiscard]] const ReplyWatcher& replyWatcher() const { return watcher; }

protected:
    [[nodiscard]] TickClock& clock() override { return watcher; }
    [[nodiscard]] const TickClock& clock() const override { return watcher; }

private:
    // Each answer the Tick took in goes to the trace, one frame (up to its end byte) a line.
    void traceAnswers(QByteArrayView bytes);

    ReplyWatcher watcher;
    QByteArray answerSoFar; // the start of an answer whose end byte has not come yet
    bool asking = false;
};

} // namespace quorvex
