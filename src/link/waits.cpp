#include "link/waits.h"

#include "link/tickclock.h"
#include "platform/eventpump.h"

namespace quorvex {

namespace {

constexpr int msPerTick = 100;
constexpr int halfTick = msPerTick / 2;

} // namespace

std::int16_t ticksForMilliseconds(std::int16_t milliseconds) {
    const int whole = milliseconds / msPerTick; // towards zero
    const int rest = milliseconds % msPerTick;  // takes the sign of milliseconds
    const int away = rest < 0 ? -1 : 1;
    int ticks = whole;
    if (rest * away > halfTick || (rest * away == halfTick && whole % 2 != 0)) {
        ticks += away;
    }
    return static_cast<std::int16_t>(ticks);
}

void delay(TickClock& clock, EventPump& pump, std::int16_t milliseconds) {
    clock.tickCountdown = ticksForMilliseconds(milliseconds);
    while (clock.tickCountdown > 0) {
        pump.pumpEvents();
    }
}

bool waitUntil(TickClock& clock, EventPump& pump, std::int16_t ticks, const std::function<bool()>& done) {
    clock.tickCountdown = ticks;
    while (!done()) {
        if (clock.tickCountdown <= 0) {
            return false;
        }
        pump.pumpEvents();
    }
    return true;
}

} // namespace quorvex
