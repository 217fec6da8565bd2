#include "link/controla1/replywatcher.h"

#include "link/controla1/commandframe.h"
#include "link/controla1/discinfo.h"
#include "platform/eventpump.h"
#include "platform/serialport.h"

#include <algorithm>

namespace quorvex {

void ReplyWatcher::receive(QByteArrayView bytes) {
    // Slot 20 - d and 21 - d exist only for distances 1 to 20; any other distance can never match.
    const bool distanceUsable = expectDistance >= 1 && expectDistance <= newestSlot;
    for (const char received : bytes) {
        std::shift_left(replyWindow.begin() + 1, replyWindow.end(), 1);
        const auto value = static_cast<std::int16_t>(static_cast<std::uint8_t>(received));
        replyWindow.back() = value;
        if (value != frameEnd) {
            continue;
        }
        noteDiscInfo();
        if (!distanceUsable) {
            continue;
        }
        const auto first = static_cast<std::size_t>(newestSlot - expectDistance);
        if (replyWindow.at(first) == expectFirst && replyWindow.at(first + 1) == expectSecond) {
            replyMatched = true;
        }
    }
}

void ReplyWatcher::noteDiscInfo() {
    constexpr auto first = static_cast<std::size_t>(newestSlot - discInfoDistance);
    if (replyWindow.at(first) == discInfoFirst && replyWindow.at(first + 1) == discInfoSecond) {
        lastDiscInfo = {replyWindow.at(trackCountSlot), replyWindow.at(minutesSlot),
                        replyWindow.at(secondsSlot)};
        ++discInfoAnswers;
    }
}

QByteArray ReplyWatcher::tick(SerialPort& port) {
    TickClock::tick();
    if (port.bytesWaiting() == 0) {
        return {};
    }
    QByteArray bytes = port.readAll();
    receive(bytes);
    return bytes;
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
