#pragma once

#include <cstdint>

namespace quorvex {

class EventPump;
struct ReplyWatcher;

// Milliseconds as whole Ticks of 100 ms, to the nearest Tick with exact halves going to the even one:
// 250 gives 2, 350 gives 4, 50 gives 0.
[[nodiscard]] std::int16_t ticksForMilliseconds(std::int16_t milliseconds);

// Both waits hand the thread back to the event loop until their condition holds, so Ticks, serial
// input and the user's clicks go on being handled meanwhile. They share the watcher's one countdown
// and one expectation: a wait started inside another takes both over, and the outer wait then ends
// at its next test.
void delay(ReplyWatcher& watcher, EventPump& pump, std::int16_t milliseconds);

// Up to 40 Ticks for the pair (first, second) standing `distance` bytes before a received 0xFF.
// In pause mode there is no recorder to answer: true at once, nothing changed.
[[nodiscard]] bool waitForReply(ReplyWatcher& watcher, EventPump& pump, bool pauseMode, std::int16_t first,
                                std::int16_t second, std::int16_t distance);

inline constexpr std::int16_t replyTimeoutTicks = 40;

} // namespace quorvex
