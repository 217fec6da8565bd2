#pragma once

#include "deck/mdse/commands.h"
#include "deck/mdse/disc.h"
#include "deck/mdse/faults.h"
#include "deck/mdse/namewriter.h"
#include "deck/mdse/settings.h"
#include "deck/mdse/status.h"
#include "deck/mdse/transport.h"
#include "deck/readbackfaults.h"

#include <chrono>
#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <vector>

namespace quorvex::deck::mdse {

// What an MDS-E deck does with each command and as time passes, without a line: commands go in as the
// data bytes of their packets, reports come out the same way, in the order the deck sends them. The time
// is handed in, so the deck's clocks (reading the TOC, the digital input locking, writing the TOC, a
// recording filling the disc) can be followed without waiting.
//
// Remote mode is off at first: the deck then answers every command but REMOTE MODE On with IMPOSSIBLE.
// It sends reports of its own accord (STATUS when its state changed, TOC DATA after a recording, DISC
// DATA, STATUS and DISC EXIST for a new disc) only in remote mode.
class Firmware {
public:
    using Clock = std::chrono::steady_clock;
    using Reports = std::vector<QByteArray>;

    // A deck with `disc` in it, unless the settings start it without one.
    Firmware(Disc disc, Settings settings, const Faults& faults, Clock::time_point now);

    [[nodiscard]] Reports obey(QByteArrayView data, Clock::time_point now);
    // What the deck does of its own accord up to `now`; nextEvent() says when that is due next.
    [[nodiscard]] Reports advance(Clock::time_point now);
    [[nodiscard]] std::optional<Clock::time_point> nextEvent() const;

    // A disc goes in (in place of the one in the deck, if any); with the deck on, its TOC is read.
    void insertDisc(Disc disc, Clock::time_point now);
    void setFaults(const Faults& faults, Clock::time_point now);

    [[nodiscard]] const std::optional<Disc>& disc() const { return loaded; }
    [[nodiscard]] Mode mode() const { return transport.mode(); }
    [[nodiscard]] int currentTrack() const { return transport.track(); }
    [[nodiscard]] bool isRemote() const { return remote; }
    [[nodiscard]] bool isPoweredOn() const { return powered; }
    [[nodiscard]] const Settings& settings() const { return setup; }
    [[nodiscard]] Status status(Clock::time_point now) const;

private:
    enum class Event { discFull, tocRead, tocWritten };

    [[nodiscard]] Reports remoteMode(bool on, Clock::time_point now);
    [[nodiscard]] Reports power(bool on, Clock::time_point now);
    [[nodiscard]] Reports transportCommand(const Command& command, Clock::time_point now);
    [[nodiscard]] Reports request(const Command& command, Clock::time_point now) const;
    [[nodiscard]] Reports writeName(const Command& command);
    [[nodiscard]] Reports nameReports(int track) const;
    [[nodiscard]] std::optional<std::pair<Clock::time_point, Event>> nextOwnEvent() const;
    void handle(Event event, Clock::time_point at, Reports& reports);
    void stopTransport(Clock::time_point now);
    void goToStandby(Clock::time_point now);
    // A report the deck sends of its own accord: only in remote mode.
    void tell(Reports& reports, const QByteArray& report) const;

    [[nodiscard]] bool ready() const { return powered && loaded && tocRead; }
    [[nodiscard]] bool unreadable() const { return readBackUnanswered && recordingStarted; }

    Settings setup;
    std::optional<Disc> loaded;
    Transport transport;
    NameWriter names;
    ReadBackFlaws nameFlaws;
    bool readBackUnanswered = false;
    bool remote = false;
    bool powered = true;
    bool tocRead = true;
    bool recordingStarted = false;
    bool announceDisc = false;    // the TOC being read is a new disc's
    bool powerOffPending = false; // POWER Off came while the TOC was read
    std::optional<Clock::time_point> tocReadyAt;
    std::optional<Clock::time_point> tocWrittenAt;
};

} // namespace quorvex::deck::mdse
