#pragma once

#include "deck/controla1/disc.h"
#include "deck/readbackfaults.h"

#include <chrono>
#include <optional>

namespace quorvex::deck {

// The recorder's mechanism: one record…stop cycle puts one track on the disc and adds its running time; a
// record while recording is a track mark, as the record key is on MiniDisc recorders: the running track ends
// there and the next one begins. The time of each command is handed in, so the counting can be checked
// without waiting.
class DiscDrive {
public:
    using Clock = std::chrono::steady_clock;

    explicit DiscDrive(Disc disc = {});

    // Starts a recording; while one runs, marks a new track instead. True for a track mark.
    bool record(Clock::time_point at);
    // Ends the running recording, if any: one more track, and its time rounded to whole seconds.
    void stop(Clock::time_point at);
    // Stores a title; returns the text stored.
    QString setTitle(int track, const QString& text);
    // Tracks and titles from now on go onto the disc as these faults say.
    void setFlaws(const ReadBackFaults& faults) { flaws = ReadBackFlaws(faults); }

    [[nodiscard]] bool isRecording() const { return recordingSince.has_value(); }
    [[nodiscard]] const Disc& disc() const { return contents; }

private:
    Disc contents;
    std::optional<Clock::time_point> recordingSince;
    ReadBackFlaws flaws;
};

} // namespace quorvex::deck
