#include "deck/transmitter.h"
#include "framebytes.h"
#include "slaveend.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;
using testing::bytes;

const QByteArray recordAck = bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x21, 0xFF});
const QByteArray stopAck = bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x02, 0xFF});

// Every write the transmitter makes, with the time it made it.
struct Writes {
    struct Write {
        QByteArray bytes;
        qint64 afterMs;
    };
    QElapsedTimer clock;
    std::vector<Write> all;

    Writes() { clock.start(); }
    Transmitter::Write recorder() {
        return [this](QByteArrayView bytes) { all.push_back({bytes.toByteArray(), clock.elapsed()}); };
    }
    [[nodiscard]] QByteArray joined() const {
        QByteArray result;
        for (const Write& write : all) {
            result.append(write.bytes);
        }
        return result;
    }
    void waitFor(std::size_t count, std::chrono::milliseconds within) const {
        const QDeadlineTimer deadline(within);
        while (all.size() < count && !deadline.hasExpired()) {
            testing::pumpEvents(1ms);
        }
    }
};

TEST(PiecesOf, CutsIntoNearlyEqualPiecesLongerFirst) {
    const std::vector<QByteArray> three = piecesOf(recordAck, 3);
    ASSERT_EQ(three.size(), 3U);
    EXPECT_EQ(three[0], recordAck.first(3));
    EXPECT_EQ(three[1], recordAck.sliced(3, 2));
    EXPECT_EQ(three[2], recordAck.sliced(5, 2));

    EXPECT_EQ(piecesOf(recordAck, 1), std::vector<QByteArray>{recordAck});
    EXPECT_EQ(piecesOf(recordAck, 0), std::vector<QByteArray>{recordAck}) << "at least one piece";
    EXPECT_EQ(piecesOf(recordAck, 50).size(), 7U) << "never more pieces than bytes";
    EXPECT_EQ(piecesOf(recordAck, 7)[6], bytes({0xFF}));
}

TEST(Transmitter, AnswersNeverInterleave) {
    Writes writes;
    Transmitter transmitter(writes.recorder());
    const Faults split{.splitInto = 7, .splitGap = 5ms};
    transmitter.send(recordAck, split);
    transmitter.send(stopAck, split);
    writes.waitFor(14, 1s);
    EXPECT_EQ(writes.all.size(), 14U);
    EXPECT_EQ(writes.joined(), recordAck + stopAck);
}

TEST(Transmitter, AnAnswerQueuedBehindAnotherKeepsItsOwnGaps) {
    Writes writes;
    Transmitter transmitter(writes.recorder());
    const Faults split{.splitInto = 2, .splitGap = 40ms};
    transmitter.send(recordAck, split);
    transmitter.send(stopAck, split);
    writes.waitFor(4, 1s);
    ASSERT_EQ(writes.all.size(), 4U);
    EXPECT_EQ(writes.joined(), recordAck + stopAck);
    EXPECT_GE(writes.all[2].afterMs, 35) << "the second answer starts with the first one's last piece";
    EXPECT_GE(writes.all[3].afterMs - writes.all[2].afterMs, 35) << "and is still cut by a gap";
}

TEST(Transmitter, ClearForgetsWhatIsNotWrittenYet) {
    Writes writes;
    Transmitter transmitter(writes.recorder());
    transmitter.send(recordAck, Faults{.splitInto = 2, .splitGap = 20ms});
    ASSERT_EQ(writes.all.size(), 1U);
    transmitter.clear();
    EXPECT_TRUE(transmitter.isIdle());
    testing::pumpEvents(60ms);
    EXPECT_EQ(writes.all.size(), 1U);
}

} // namespace
} // namespace quorvex::deck
