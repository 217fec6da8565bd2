// The Tick's byte handling: whatever the line brings, in whatever reads, the reply window holds the last 20
// bytes received in slots 1..20 with slot 0 untouched, the countdown runs down to 0 and no lower, and an
// answer is recognised exactly when an end byte arrives with the awaited pair at the awaited distance.
#include "fuzzcheck.h"
#include "link/controla1/replywatcher.h"
#include "platform/serialport.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

namespace {

// A line holding whatever the fuzzer says arrived since the last Tick.
class ScriptedLine final : public quorvex::SerialPort {
public:
    void setPortNumber(int /*number*/) override {}
    [[nodiscard]] int portNumber() const override { return 1; }
    [[nodiscard]] QString deviceName(int /*number*/) const override { return {}; }
    void setDevice(int /*number*/, const QString& /*device*/) override {}
    [[nodiscard]] std::vector<quorvex::SerialDevice> systemDevices() const override { return {}; }
    std::optional<QString> open() override { return std::nullopt; }
    void close() override {}
    [[nodiscard]] bool isOpen() const override { return true; }
    void write(std::span<const std::uint8_t> /*frame*/) override {}
    [[nodiscard]] qint64 bytesWaiting() const override { return waiting.size(); }
    QByteArray readAll() override { return std::exchange(waiting, {}); }

    QByteArray waiting;
};

constexpr int windowSlots = 20;
constexpr int endByte = 0xFF;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    quorvex::ReplyWatcher watcher;
    // Mostly expectations a byte can meet, now and then any 16-bit value.
    const bool anyValues = input.ConsumeBool();
    const auto expectation = [&input, anyValues] {
        return anyValues ? input.ConsumeIntegral<std::int16_t>()
                         : static_cast<std::int16_t>(input.ConsumeIntegral<std::uint8_t>());
    };
    watcher.expectFirst = expectation();
    watcher.expectSecond = expectation();
    watcher.expectDistance = anyValues ? input.ConsumeIntegral<std::int16_t>()
                                       : input.ConsumeIntegralInRange<std::int16_t>(-1, windowSlots + 2);
    const auto countdown = input.ConsumeIntegralInRange<std::int16_t>(-5, 60);
    watcher.tickCountdown = countdown;

    // Everything received so far, after the 20 zero slots the window starts with.
    std::vector<int> history(windowSlots, 0);
    bool shouldMatch = false;
    int ticks = 0;
    ScriptedLine line;
    while (input.remaining_bytes() > 0) {
        const bool throughTick = input.ConsumeBool();
        const std::string chunk = input.ConsumeRandomLengthString(1200);
        if (throughTick) {
            line.waiting = QByteArray::fromStdString(chunk);
            watcher.tick(line);
            ++ticks;
        } else {
            watcher.receive(QByteArrayView(chunk.data(), static_cast<qsizetype>(chunk.size())));
        }
        for (const char received : chunk) {
            history.push_back(static_cast<std::uint8_t>(received));
            const std::size_t end = history.size() - 1;
            const int distance = watcher.expectDistance;
            if (history.back() != endByte || distance < 1 || distance > windowSlots) {
                continue;
            }
            // The pair stands `distance` bytes before the end byte; at distance 20 its first byte would be
            // slot 0, which holds 0 whatever was received.
            const int first = distance == windowSlots ? 0 : history[end - static_cast<std::size_t>(distance)];
            const int second = history[end - static_cast<std::size_t>(distance) + 1];
            shouldMatch = shouldMatch || (first == watcher.expectFirst && second == watcher.expectSecond);
        }

        FUZZ_CHECK(watcher.replyWindow[0] == 0);
        for (int slot = 1; slot <= windowSlots; ++slot) {
            FUZZ_CHECK(watcher.replyWindow[static_cast<std::size_t>(slot)] ==
                       history[history.size() - static_cast<std::size_t>(windowSlots - slot + 1)]);
        }
        FUZZ_CHECK(watcher.replyMatched == shouldMatch);
        FUZZ_CHECK(line.waiting.isEmpty());
        const int expectedCountdown = countdown > 0 ? std::max(0, countdown - ticks) : countdown;
        FUZZ_CHECK(watcher.tickCountdown == expectedCountdown);
    }
    return 0;
}
