#pragma once

#include "link/mdse/reports.h"
#include "link/recorder.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <QByteArray>
#include <QString>
#include <vector>

namespace quorvex {

// An MDS-E11, MDS-E12 or MDS-E52 deck on its RS-232C port. It takes commands only in its remote mode, which
// the session switches on once per opening of the line and off on every way out (a deck left in remote mode
// has its own keys locked). Recording goes through record-pause: the digital input must lock before the deck
// records. Names are written only while the deck is stopped, whole (not cut to 14 characters), in packets of
// 16 characters each confirmed by the deck; the disc can be asked for its table of contents, each track's
// time and name, and the time and title space left.
class MdseRecorder final : public Recorder {
    Q_OBJECT
public:
    MdseRecorder(SerialPort& port, EventPump& pump, QObject* parent = nullptr);

    [[nodiscard]] RecorderFamily family() const override { return RecorderFamily::mdsE; }
    void tick() override;
    // 200 ms after the line opened: remote mode on, the deck's status, power on from standby (E11/E52),
    // its model.
    void start() override;
    // Recording stopped and names written (at most 10 s), then remote mode off.
    void leave() override;
    void leaveNow() override;
    void press(RecorderButton button) override;
    // Power only on the E11 and E52: the E12 has no power command, and a deck of unknown model gets none.
    [[nodiscard]] bool hasButton(RecorderButton button) const override;
    // A deck in remote mode ignores its own keys: pause mode cannot work there.
    [[nodiscard]] bool takesPauseMode() const override { return false; }

    DiscState askDisc() override;
    [[nodiscard]] bool askingDisc() const override { return asking; }
    // Written at once when the deck is stopped, else once it has stopped.
    void nameDisc(const QString& name) override;

    DiscState discBeforeRun() override { return askDisc(); }
    Arming armTrack() override;
    void markTrack() override;
    void nameTrack(std::int16_t number, const QString& title) override;
    [[nodiscard]] bool namesWhileRecording() const override { return false; }
    [[nodiscard]] QString titleAsSent(const QString& title) const override;
    Stopping stopTrack(bool armed) override;
    void stopNow() override;
    [[nodiscard]] bool stoppedByItself() const override { return stoppedItself; }
    // The table of contents, then TRACK TIME and TRACK NAME of each track, one request outstanding at a time
    // (the time's answer does not say which track it is for), 1 s each.
    ReadBack readBack(std::span<const int> tracks) override;
    std::optional<QString> renameAndRead(int track, const QString& title) override;

    // The model as the deck names itself ("MDS-E12"); empty until it has said.
    [[nodiscard]] const QString& model() const { return modelName; }
    // REMOTE MODE On and MODEL NAME REQ on this line (its own waits of 1 s each): the model, or nothing.
    std::optional<QString> identify();

protected:
    [[nodiscard]] TickClock& clock() override { return ticking; }
    [[nodiscard]] const TickClock& clock() const override { return ticking; }

private:
    using Match = std::function<bool(const mdse::Report&)>;

    void send(const QByteArray& data);
    // The newest report since `from` (a count of reports taken in) that matches, if any.
    [[nodiscard]] const mdse::Report* since(std::uint64_t from, const Match& match) const;
    [[nodiscard]] std::uint64_t taken() const { return base + inbox.size(); }
    // Sends the data and waits up to `ticks` for a matching report: that report, or none.
    std::optional<mdse::Report> request(const QByteArray& data, const Match& match, std::int16_t ticks);
    // Waits up to `ticks` for a matching report taken in since `from`.
    std::optional<mdse::Report> awaitReport(std::uint64_t from, const Match& match, std::int16_t ticks);
    std::optional<mdse::DeckStatus> askStatus();
    void note(const mdse::Report& report);
    // The refusal of REC or PLAY as the sentence the run ends with, or nothing.
    static std::optional<QString> refusal(const mdse::Report& report, const char* command);
    // Writes a name (track 0: the disc): once more from its first packet when a packet is not confirmed;
    // true when every packet was.
    bool writeName(int track, const QString& name);
    bool writeNameOnce(int track, const QByteArray& bytes, bool& refusedContinuation);
    // Names waiting for the stop, written now that the deck stopped with `newTracks` more tracks.
    std::vector<std::int16_t> writeWaitingNames(int lastTrack, int newTracks);
    [[nodiscard]] bool deckStopped() const;
    // A track's name as the deck reads it (track 0: the disc's), gathered from its packets; none without an
    // answer.
    std::optional<QString> readName(int track);

    struct Waiting {
        std::int16_t number = 0;
        QString title;
    };

    TickClock ticking;
    mdse::PacketReader reader;
    std::deque<mdse::Report> inbox; // the reports taken in, the oldest first
    std::uint64_t base = 0;         // how many reports were taken in before the oldest kept
    std::optional<mdse::DeckStatus> lastStatus;
    QString modelName;
    std::optional<QString> waitingDiscName;
    std::vector<Waiting> waitingNames;
    int discNameLength = 0;
    int tracksBeforeTake = 0;  // the deck's track count when it was armed
    std::uint64_t armedAt = 0; // the reports taken in before it was
    int marks = 0;             // track marks since it was armed
    bool recording = false;    // the deck records a track the run armed
    bool stoppedItself = false;
    bool asking = false;
    bool disc16Told = false; // the deck refused the disc name's continuation: said once
};

} // namespace quorvex
