#pragma once

#include "deck/mdse/disc.h"
#include "deck/readbackfaults.h"

#include <chrono>
#include <optional>

namespace quorvex::deck::mdse {

// The deck's recording clock: it times the track being recorded and puts it on the disc when it ends. A
// track lasts from its start to its end as the deck's clock measures them, held to the time left on the
// disc. A fault may end the disc's room early: it is full after so much recording from the moment the
// fault was set.
class Recorder {
public:
    using Clock = std::chrono::steady_clock;

    void setRoom(std::optional<std::chrono::seconds> fullAfter, Clock::time_point now);

    void start(Clock::time_point at) { since = at; }
    // Ends the track being recorded, if any, and puts it on the disc unless a fault loses it.
    void end(Disc& disc, Clock::time_point at, ReadBackFlaws& flaws);

    [[nodiscard]] bool isRecording() const { return since.has_value(); }
    // Whether a recording could start: the disc, and the fault's room, have time left.
    [[nodiscard]] bool hasRoom(const Disc& disc) const;
    // When the track being recorded fills the disc or the fault's room.
    [[nodiscard]] std::optional<Clock::time_point> fullAt(const Disc& disc) const;

private:
    std::optional<Clock::time_point> since;
    std::optional<std::chrono::milliseconds> faultRoom; // what the fault leaves, counted from roomFrom
    Clock::time_point roomFrom{};
};

} // namespace quorvex::deck::mdse
