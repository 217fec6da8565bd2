#pragma once

#include <cstdint>
#include <functional>

namespace quorvex {

class EventPump;
struct TickClock;

// Milliseconds as whole Ticks of 100 ms, to the nearest Tick with exact halves going to the even one:
// 250 gives 2, 350 gives 4, 50 gives 0.
[[nodiscard]] std::int16_t ticksForMilliseconds(std::int16_t milliseconds);

// The waits hand the thread back to the event loop until their condition holds, so Ticks, serial input and
// the user's clicks go on being handled meanwhile. They share the clock's one countdown: a wait started
// inside another takes it over, and the outer wait then ends at its next test.
void delay(TickClock& clock, EventPump& pump, std::int16_t milliseconds);

// Up to `ticks` Ticks until `done` holds (tested before each pass of the event loop); whether it held.
bool waitUntil(TickClock& clock, EventPump& pump, std::int16_t ticks, const std::function<bool()>& done);

} // namespace quorvex
