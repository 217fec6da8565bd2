#include "link/waits.h"

#include "link/replywatcher.h"
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

void delay(ReplyWatcher& watcher, EventPump& pump, std::int16_t milliseconds) {
    watcher.tickCountdown = ticksForMilliseconds(milliseconds);
    while (watcher.tickCountdown > 0) {
        pump.pumpEvents();
    }
}

bool waitForReply(ReplyWatcher& watcher, EventPump& pump, bool pauseMode, std::int16_t first,
                  std::int16_t second, std::int16_t distance) {
    if (pauseMode) {
        return true;
    }
    watcher.replyMatched = false;
    watcher.expectFirst = first;
    watcher.expectSecond = second;
    watcher.tickCountdown = replyTimeoutTicks;
    watcher.expectDistance = distance;
    while (watcher.tickCountdown > 0 && !watcher.replyMatched) {
        pump.pumpEvents();
    }
    return watcher.replyMatched;
}

} // namespace quorvex
