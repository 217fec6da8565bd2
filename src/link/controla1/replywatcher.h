#pragma once

#include "link/tickclock.h"

#include <array>
#include <cstdint>
#include <QByteArray>
#include <QByteArrayView>

namespace quorvex {

class EventPump;
class SerialPort;

// Track count and disc time as the recorder's disc-information answer gives them, one byte each.
struct DiscInfo {
    std::int16_t tracks = 0;
    std::int16_t minutes = 0;
    std::int16_t seconds = 0;
};

// The Tick's view of the recorder: the last 20 bytes received and the answer somebody waits for.
// An answer is recognised only when its end byte 0xFF arrives, by two bytes standing a fixed distance
// before that end byte, so whatever the recorder puts in front of them does not matter.
struct ReplyWatcher : TickClock {
    static constexpr int newestSlot = 20;

    // Slots 1..20 hold the last 20 bytes received, oldest first; slot 0 is never written.
    std::array<std::int16_t, newestSlot + 1> replyWindow{};
    bool replyMatched = false;
    std::int16_t expectFirst = 0;
    std::int16_t expectSecond = 0;
    // How many bytes before the end byte the first byte of the awaited pair stands (1 to 20).
    std::int16_t expectDistance = 2;
    // The last disc-information answer that ended here (20 60 eight bytes before a 0xFF, whatever the
    // awaited pair), and how many have ended so far. Bytes that follow an answer in the same read move
    // the window on before anybody reads it; this copy keeps the answer itself.
    DiscInfo lastDiscInfo;
    std::uint64_t discInfoAnswers = 0;

    // Moves received bytes through the window one at a time, testing each 0xFF at its own position.
    void receive(QByteArrayView bytes);
    // One Tick: count down, then take in whatever the port has received since the last Tick; returns that.
    QByteArray tick(SerialPort& port);

private:
    void noteDiscInfo();
};

// Up to 40 Ticks for the pair (first, second) standing `distance` bytes before a received 0xFF.
// In pause mode there is no recorder to answer: true at once, nothing changed.
[[nodiscard]] bool waitForReply(ReplyWatcher& watcher, EventPump& pump, bool pauseMode, std::int16_t first,
                                std::int16_t second, std::int16_t distance);

inline constexpr std::int16_t replyTimeoutTicks = 40;

} // namespace quorvex
