#pragma once

#include <cstdint>

namespace quorvex {

// The link's only clock: the 100 ms Tick. Every wait counts down the one `tickCountdown`, so a wait started
// inside another takes it over, and the outer wait then ends at its next test.
struct TickClock {
    // Ticks left in the current wait; each Tick lowers it while it is above 0.
    std::int16_t tickCountdown = 0;
    // Ticks since the clock was made: the program's clock for bounds that are no reply wait.
    std::uint64_t ticks = 0;

    // The countdown comes first, whatever the port holds: an answer read in the Tick that brings the
    // countdown to 0 still ends its wait as recognised.
    void tick() {
        ++ticks;
        if (tickCountdown > 0) {
            --tickCountdown;
        }
    }
};

} // namespace quorvex
