#include "deck/mdse/transport.h"

#include "deck/mdse/reports.h"

#include <algorithm>
#include <utility>

namespace quorvex::deck::mdse {

Transport::Transport(const Disc& disc, std::chrono::milliseconds inputLocking) : inputLocking(inputLocking) {
    reset(disc);
}

void Transport::setFaults(const Faults& faults, Clock::time_point at) {
    refuseRec = faults.refuseRec;
    inputNeverLocks = faults.inputNeverLocks;
    flaws = ReadBackFlaws(faults.readBack);
    clock.setRoom(faults.fullAfterSeconds ? std::optional(std::chrono::seconds{*faults.fullAfterSeconds})
                                          : std::nullopt,
                  at);
}

void Transport::reset(const Disc& disc) {
    state = Mode::stop;
    current = disc.tracks.empty() ? 0 : 1;
}

Transport::Reports Transport::play(Disc& disc, Clock::time_point at) {
    switch (state) {
    case Mode::stop:
        if (disc.tracks.empty()) {
            return {reports::impossible};
        }
        state = Mode::play;
        return {reports::play};
    case Mode::playPause:
        state = Mode::play;
        return {reports::play};
    case Mode::play:
        return {reports::play};
    case Mode::recordPause:
        if (!clock.hasRoom(disc)) {
            return {reports::impossible};
        }
        startRecording(disc, at);
        return {reports::rec};
    case Mode::record:
        break;
    }
    return {reports::impossible};
}

Transport::Reports Transport::pause(Disc& disc, Clock::time_point at, bool release) {
    switch (state) {
    case Mode::stop:
        if (disc.tracks.empty()) {
            return {reports::impossible};
        }
        state = Mode::playPause;
        return {reports::pause};
    case Mode::play:
        state = Mode::playPause;
        return {reports::pause};
    case Mode::playPause:
        return release ? play(disc, at) : Reports{reports::pause};
    case Mode::record:
        endTrack(disc, at);
        state = Mode::recordPause;
        return {reports::recPause};
    case Mode::recordPause:
        return release ? play(disc, at) : Reports{reports::recPause};
    }
    return {reports::impossible};
}

Transport::Reports Transport::record(Disc& disc, Clock::time_point at) {
    if (refuseRec) {
        return {reports::impossible};
    }
    if (state == Mode::record) {
        endTrack(disc, at);
        startRecording(disc, at);
        return {reports::rec};
    }
    if (state != Mode::stop || disc.writeProtected || !clock.hasRoom(disc)) {
        return {reports::impossible};
    }
    state = Mode::recordPause;
    current = static_cast<int>(disc.tracks.size()) + 1;
    unlockedUntil = at + inputLocking;
    return {reports::recPause};
}

Transport::Reports Transport::skip(const Disc& disc, int by) {
    if (state == Mode::record || state == Mode::recordPause || disc.tracks.empty()) {
        return {reports::impossible};
    }
    const int to = std::clamp(current + by, 1, static_cast<int>(disc.tracks.size()));
    if (to == current) {
        return {};
    }
    current = to;
    return {reports::trackEnd};
}

void Transport::stop(Disc& disc, Clock::time_point at) {
    if (state == Mode::record) {
        endTrack(disc, at);
    }
    if (state != Mode::stop) {
        reset(disc);
    }
    if (tocChanged) {
        tocChanged = false;
        newToc = true;
    }
}

bool Transport::inputLocked(Clock::time_point at) const {
    return !inputNeverLocks && at >= unlockedUntil;
}

bool Transport::takeNewToc() {
    return std::exchange(newToc, false);
}

void Transport::startRecording(const Disc& disc, Clock::time_point at) {
    state = Mode::record;
    current = static_cast<int>(disc.tracks.size()) + 1;
    clock.start(at);
    tocChanged = true;
}

void Transport::endTrack(Disc& disc, Clock::time_point at) {
    clock.end(disc, at, flaws);
}

} // namespace quorvex::deck::mdse
