#pragma once

#include <array>
#include <cstdint>
#include <QByteArrayView>

namespace quorvex {

class SerialPort;

// The Tick's view of the recorder: the last 20 bytes received and the answer somebody waits for.
// An answer is recognised only when its end byte 0xFF arrives, by two bytes standing a fixed distance
// before that end byte, so whatever the recorder puts in front of them does not matter.
struct ReplyWatcher {
    static constexpr int newestSlot = 20;

    // Ticks left in the current wait; each Tick lowers it while it is above 0.
    std::int16_t tickCountdown = 0;
    // Slots 1..20 hold the last 20 bytes received, oldest first; slot 0 is never written.
    std::array<std::int16_t, newestSlot + 1> replyWindow{};
    bool replyMatched = false;
    std::int16_t expectFirst = 0;
    std::int16_t expectSecond = 0;
    // How many bytes before the end byte the first byte of the awaited pair stands (1 to 20).
    std::int16_t expectDistance = 2;

    // Moves received bytes through the window one at a time, testing each 0xFF at its own position.
    void receive(QByteArrayView bytes);
    // One Tick: count down, then take in whatever the port has received since the last Tick.
    void tick(SerialPort& port);
};

} // namespace quorvex
