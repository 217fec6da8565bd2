#include "link/controla1/replywatcher.h"
#include "link/waits.h"
#include "support/fakes.h"

#include <gtest/gtest.h>
#include <tuple>

namespace quorvex::testing {
namespace {

// The reply watcher and both waits in virtual time: a fake port, and a pump whose every pass is a Tick.
class WaitTest : public ::testing::Test {
protected:
    WaitTest() : port(journal) {
        EXPECT_FALSE(port.open().has_value());
        pump.port = &port;
        pump.tick = [this] { watcher.tick(port); };
    }

    bool wait(std::int16_t first, std::int16_t second, std::int16_t distance, bool pauseMode = false) {
        return waitForReply(watcher, pump, pauseMode, first, second, distance);
    }

    Journal journal;
    FakeSerialPort port;
    FakeEventPump pump;
    ReplyWatcher watcher;
};

TEST_F(WaitTest, DelayWaitsTheNearestTickWithHalvesToEvenAndNegativeDelaysReturnAtOnce) {
    const struct {
        std::int16_t ms;
        std::int16_t ticks;
    } cases[] = {{200, 2},   {250, 2},   {350, 4},     {150, 2},      {149, 1},   {151, 2},
                 {50, 0},    {51, 1},    {0, 0},       {-50, 0},      {-150, -2}, {-149, -1},
                 {2000, 20}, {4000, 40}, {32767, 328}, {-32768, -328}};
    for (const auto& row : cases) {
        EXPECT_EQ(ticksForMilliseconds(row.ms), row.ticks) << row.ms << " ms";
        pump.ticks = 0;
        delay(watcher, pump, row.ms);
        EXPECT_EQ(pump.ticks, std::max<int>(row.ticks, 0)) << row.ms << " ms";
        EXPECT_LE(watcher.tickCountdown, 0);
    }
}

TEST_F(WaitTest, RecognisesTheAwaitedPairOnlyAtAnEndByte) {
    const QByteArray disc = hex("81 0D 05 48 20 60 01 00 0C 2D 07 00 FF");
    const QByteArray twenty = hex("05") + QByteArray(18, 1) + "\xFF";
    const struct {
        const char* what;
        std::int16_t first;
        std::int16_t second;
        std::int16_t distance;
        std::map<int, QByteArray> arrivals;
        bool recognised;
        int returnsAtTick;
    } cases[] = {
        {"record ack in one read", 2, 33, 2, {{3, hex("810705480221FF")}}, true, 3},
        {"record ack split over two Ticks", 2, 33, 2, {{2, hex("0221")}, {3, "\xFF"}}, true, 3},
        {"a byte between pair and end", 2, 33, 2, {{2, hex("022100FF")}}, false, 40},
        {"bytes after the end in the same read", 2, 33, 2, {{4, hex("0221FF0506")}}, true, 4},
        {"stop ack", 2, 2, 2, {{1, hex("0202FF")}}, true, 1},
        {"the wrong acknowledgement", 2, 2, 2, {{1, hex("0221FF")}}, false, 40},
        {"no answer at all", 2, 33, 2, {}, false, 40},
        {"disc information at distance 8", 32, 96, 8, {{5, disc}}, true, 5},
        {"garbage ahead of the reply", 32, 96, 8, {{2, hex("FF00FF8113")}, {6, disc}}, true, 6},
        {"answer in the Tick that ends the countdown", 2, 33, 2, {{40, hex("0221FF")}}, true, 40},
        {"answer one Tick too late", 2, 33, 2, {{41, hex("0221FF")}}, false, 40},
        {"distance 1 compares the end byte itself", 0x21, 0xFF, 1, {{1, hex("21FF")}}, true, 1},
        {"distance 1 with an ordinary pair", 2, 33, 1, {{1, hex("0221FF")}}, false, 40},
        {"distance 20 compares slot 0, always 0", 0, 5, 20, {{1, twenty}}, true, 1},
        {"distance 20 with a first byte other than 0", 7, 5, 20, {{1, twenty}}, false, 40},
        {"distance 0 names no slot", 0, 0, 0, {{1, QByteArray(25, '\xFF')}}, false, 40},
        {"distance 21 names no slot", 0, 0, 21, {{1, QByteArray(25, '\xFF')}}, false, 40},
        // Tracks 2 and minutes 2 followed by seconds 255 inside a disc reply look like a stop ack.
        {"a data byte 0xFF is tested as an end", 2, 2, 2, {{1, disc.first(8) + hex("0202FF00FF")}}, true, 1},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        watcher = ReplyWatcher{};
        port.received.clear();
        pump.ticks = 0;
        pump.arrivals = row.arrivals;

        EXPECT_EQ(wait(row.first, row.second, row.distance), row.recognised);
        EXPECT_EQ(pump.ticks, row.returnsAtTick);
    }
}

TEST_F(WaitTest, WindowHoldsTheLast20BytesAndSlot0StaysZero) {
    QByteArray stream;
    for (int i = 0; i < 300; ++i) {
        stream.append(static_cast<char>(i * 7 + 3));
    }
    watcher.receive(stream);
    for (int slot = 1; slot <= 20; ++slot) {
        EXPECT_EQ(watcher.replyWindow.at(slot), static_cast<std::uint8_t>(stream.at(280 + slot - 1))) << slot;
    }
    EXPECT_EQ(watcher.replyWindow[0], 0);
}

TEST_F(WaitTest, TicksBetweenWaitsTestTheLastExpectationButTheNextWaitSeesOnlyNewBytes) {
    EXPECT_FALSE(wait(2, 2, 2));
    port.received = hex("0202FF");
    watcher.tick(port); // a Tick between the answer's arrival and the next wait
    EXPECT_TRUE(watcher.replyMatched);
    EXPECT_EQ(watcher.tickCountdown, 0) << "the countdown stops at 0";

    EXPECT_FALSE(wait(2, 2, 2));
    EXPECT_EQ(pump.ticks, 80);
}

TEST_F(WaitTest, PauseModeSucceedsAtOnceAndChangesNothing) {
    auto awaited =
        std::tie(watcher.tickCountdown, watcher.expectFirst, watcher.expectSecond, watcher.expectDistance);
    awaited = std::tuple(7, 32, 96, 8);
    port.received = hex("0221FF");

    EXPECT_TRUE(wait(2, 33, 2, true));

    EXPECT_EQ(pump.ticks, 0);
    EXPECT_FALSE(watcher.replyMatched);
    EXPECT_EQ(awaited, std::tuple(7, 32, 96, 8));
}

TEST_F(WaitTest, InnerWaitsEndOrTakeOverTheOuterOne) {
    pump.during = {{5, [this] { delay(watcher, pump, 200); }}};
    pump.arrivals = {{20, hex("0221FF")}};
    EXPECT_FALSE(wait(2, 33, 2)) << "an inner delay ends the outer wait unrecognised";
    EXPECT_EQ(pump.ticks, 7) << "5 Ticks of its own, 2 of the inner delay, then it ends at once";

    bool innerResult = false;
    pump.ticks = 0;
    pump.during = {{3, [this, &innerResult] { innerResult = wait(2, 2, 2); }}};
    // The record ack arrives while the inner wait for the stop ack runs: nobody recognises it.
    pump.arrivals = {{5, hex("0221FF")}, {8, hex("0202FF")}};
    EXPECT_TRUE(wait(2, 33, 2)) << "the outer wait returns the flag the inner one set";
    EXPECT_TRUE(innerResult);
    EXPECT_EQ(pump.ticks, 8);
    EXPECT_EQ(watcher.expectSecond, 2);
}

} // namespace
} // namespace quorvex::testing
