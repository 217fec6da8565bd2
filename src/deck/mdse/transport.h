#pragma once

#include "deck/mdse/disc.h"
#include "deck/mdse/faults.h"
#include "deck/mdse/recorder.h"
#include "deck/mdse/status.h"
#include "deck/readbackfaults.h"

#include <chrono>
#include <optional>
#include <QByteArray>
#include <vector>

namespace quorvex::deck::mdse {

// The deck's transport on a loaded disc: play, pause, the track keys, and recording through record-pause.
// Each command returns the report that says what it did (IMPOSSIBLE where it cannot); whoever drives the
// transport adds a STATUS when the mode has changed.
//
// Record-pause is entered from stop by REC; the digital input then needs a while to lock. PLAY or PAUSE
// ON/OFF starts recording a track after the last one, REC while recording starts the next track, and
// pausing ends the track: going on from record-pause starts a new one, as MiniDisc recorders do. PLAY and
// PAUSE from stop start at the current track (the first, unless a track key chose another).
class Transport {
public:
    using Clock = std::chrono::steady_clock;
    using Reports = std::vector<QByteArray>;

    Transport(const Disc& disc, std::chrono::milliseconds inputLocking);

    // REC refused, an input that never locks, the disc's room and the tracks' faults, from `at` on.
    void setFaults(const Faults& faults, Clock::time_point at);

    [[nodiscard]] Reports play(Disc& disc, Clock::time_point at);
    [[nodiscard]] Reports pause(Disc& disc, Clock::time_point at, bool release);
    [[nodiscard]] Reports record(Disc& disc, Clock::time_point at);
    [[nodiscard]] Reports skip(const Disc& disc, int by);
    // Stops whatever runs, a recording too; the report is the caller's to give.
    void stop(Disc& disc, Clock::time_point at);
    // Starts again at the first track of a disc just loaded.
    void reset(const Disc& disc);

    [[nodiscard]] Mode mode() const { return state; }
    [[nodiscard]] int track() const { return current; }
    [[nodiscard]] bool inputLocked(Clock::time_point at) const;
    // When the recording under way fills the disc.
    [[nodiscard]] std::optional<Clock::time_point> fullAt(const Disc& disc) const {
        return clock.fullAt(disc);
    }
    // True once after a recording has ended and the transport stopped: the disc's TOC has changed.
    [[nodiscard]] bool takeNewToc();

private:
    void startRecording(const Disc& disc, Clock::time_point at);
    void endTrack(Disc& disc, Clock::time_point at);

    std::chrono::milliseconds inputLocking;
    bool refuseRec = false;
    bool inputNeverLocks = false;
    Mode state = Mode::stop;
    int current = 0;
    Recorder clock;
    ReadBackFlaws flaws;
    Clock::time_point unlockedUntil{};
    bool tocChanged = false; // tracks were recorded since the last stop
    bool newToc = false;
};

} // namespace quorvex::deck::mdse
