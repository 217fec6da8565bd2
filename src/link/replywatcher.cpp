#include "link/replywatcher.h"

#include "link/commandframe.h"
#include "link/discinfo.h"
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

void ReplyWatcher::tick(SerialPort& port) {
    // The countdown comes first, whatever the port holds: an answer read in the Tick that brings
    // the countdown to 0 still ends its wait as recognised.
    ++ticks;
    if (tickCountdown > 0) {
        --tickCountdown;
    }
    if (port.bytesWaiting() == 0) {
        return;
    }
    receive(port.readAll());
}

} // namespace quorvex
