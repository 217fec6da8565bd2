#include "deckfixture.h"

#include <numeric>
#include <QElapsedTimer>
#include <QSignalSpy>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;
using testing::bytes;
using testing::commandBytes;
using testing::discAnswer;
using testing::recordAck;
using testing::stopAck;

class DeckFaultsTest : public testing::DeckFixture {};

TEST_F(DeckFaultsTest, SilentDeckAnswersNothingAndFaultsCanChangeWhileRunning) {
    start({}, Faults{.silent = true, .noiseBefore = bytes({0x00})});
    program->write(commandBytes(0x02, 0x21) + commandBytes(0x02, 0x02) + commandBytes(0x20, 0x44));
    EXPECT_TRUE(program->read(1, 200ms).isEmpty());
    EXPECT_EQ(deck->log().size(), 3) << "it still hears every frame";
    EXPECT_EQ(deck->disc().tracks, 1);

    deck->setFaults(Faults{.closeAfterFrames = 2});
    EXPECT_EQ(ask(0x02, 0x02, 7, 1s), stopAck) << "no longer silent";
    program->write(commandBytes(1, 3));
    EXPECT_TRUE(program->waitForHangUp(1s)) << "frames count from the change";
}

// Answering only some commands and answering late are proven through the program: a lost record
// acknowledgement, and Record pressed while a late disc answer is awaited.

TEST_F(DeckFaultsTest, SplitAnswerArrivesInPiecesWithTheNoiseOnTheFirstAndLast) {
    const QByteArray noise = bytes({0xAA, 0xBB});
    start({}, Faults{.splitInto = 3, .splitGap = 60ms, .noiseBefore = noise, .noiseAfter = noise});
    QElapsedTimer clock;
    clock.start();
    program->write(commandBytes(0x20, 0x44));
    const auto arrivals = program->readArrivals(17, 1s);
    const qint64 took = clock.elapsed();

    const QByteArray answer = discAnswer(0, 0, 0);
    EXPECT_EQ(std::accumulate(arrivals.begin(), arrivals.end(), QByteArray()), noise + answer + noise);
    ASSERT_GE(arrivals.size(), 2U);
    EXPECT_EQ(arrivals[0], noise + answer.first(5)) << "13 bytes in three: 5, 4, 4";
    EXPECT_EQ(arrivals.back(), answer.sliced(9) + noise);
    EXPECT_GE(took, 120) << "the last piece waits two gaps";
}

TEST_F(DeckFaultsTest, AnswersQueuedBehindOneAnotherNeverInterleaveAndKeepTheirGaps) {
    start({}, Faults{.splitInto = 2, .splitGap = 40ms});
    QElapsedTimer clock;
    clock.start();
    program->write(commandBytes(0x02, 0x21) + commandBytes(0x02, 0x02));
    EXPECT_EQ(program->read(14, 1s), recordAck + stopAck);
    EXPECT_GE(clock.elapsed(), 75) << "the second answer starts with the first one's last piece, then a gap";
}

TEST_F(DeckFaultsTest, NoiseComesBeforeAndBehindEveryAnswer) {
    const QByteArray noise = bytes({0x00, 0x81, 0x07, 0xFF});
    const QByteArray status = bytes({0x81, 0x05, 0x05, 0x47, 0xFF});
    start({}, Faults{.noiseBefore = noise, .noiseAfter = status});
    EXPECT_EQ(ask(0x02, 0x21, 16, 1s), noise + recordAck + status);
    EXPECT_EQ(ask(0x02, 0x02, 16, 1s), noise + stopAck + status);
    program->write(commandBytes(1, 2));
    EXPECT_TRUE(program->read(1, 100ms).isEmpty()) << "no answer, so no noise either";
}

TEST_F(DeckFaultsTest, HangsUpAfterTheChosenFrame) {
    start({}, Faults{.closeAfterFrames = 2});
    QSignalSpy closed(deck.get(), &VirtualDeck::openChanged);
    program->write(commandBytes(1, 2));
    EXPECT_FALSE(program->waitForHangUp(80ms)) << "one frame is not enough";
    EXPECT_TRUE(deck->isOpen());

    program->write(commandBytes(0x02, 0x21));
    EXPECT_TRUE(program->waitForHangUp(1s));
    EXPECT_FALSE(deck->isOpen());
    ASSERT_EQ(closed.size(), 1);
    EXPECT_FALSE(closed[0][0].toBool());
    EXPECT_EQ(deck->log().size(), 2);
}

// Pulling the cable on demand is proven through the program: the device vanishing mid-run.

} // namespace
} // namespace quorvex::deck
