// The deck for real through a pseudo-terminal: its answers, its log, its disc and every fault.
#include "deckfixture.h"

#include <numeric>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;
using testing::bytes;
using testing::commandBytes;
using testing::discAnswer;
using testing::readFrom;
using testing::recordAck;
using testing::stopAck;
using testing::titleBytes;

class VirtualDeckTest : public testing::DeckFixture {};

// Record and stop are acknowledged, the disc-information request answered; nothing else gets an answer.
// Every frame is logged with its meaning, and so is the garbage among them; each record-stop cycle adds a
// track (its times are DiscDrive's), and titles are kept by track. The frames trickle in byte by byte.
TEST_F(VirtualDeckTest, AnswersByteExactLogsEachFrameAndTheGarbageAndKeepsTheDisc) {
    start(Disc{.tracks = 5, .minutes = 21, .seconds = 42, .name = {}, .titles = {}});
    QSignalSpy lines(deck.get(), &VirtualDeck::frameReceived);
    const struct {
        QByteArray frame;
        QByteArray answer;
        QString meaning;
    } exchanges[] = {
        {bytes({0x55, 0x81, 0x42}) + commandBytes(0x20, 0x44), discAnswer(5, 21, 42),
         "disc information request"},
        {commandBytes(0x02, 0x21), recordAck, "record"},
        {commandBytes(0x02, 0x02), stopAck, "stop"},
        {commandBytes(0x01, 0x02), {}, "on"},
        {commandBytes(0x01, 0x03), {}, "off"},
        {commandBytes(0x02, 0x01), {}, "play"},
        {commandBytes(0x02, 0x15), {}, "back"},
        {commandBytes(0x02, 0x16), {}, "forward"},
        {commandBytes(0x02, 0x17), {}, "unknown command 02 17"},
        {bytes({0xFF, 0xFF}) + titleBytes(6, "Summer"), {}, "title track 6 \"Summer\""},
        {titleBytes(6, "Summer Holiday"), {}, "title track 6 \"Summer Holiday\""},
        {titleBytes(0, "Road \x96 Trip"), {}, QStringLiteral(u"title track 0 \"Road – Trip\" (disc name)")},
        {commandBytes(0x20, 0x44), discAnswer(6, 21, 42), "disc information request"},
    };
    for (const auto& row : exchanges) {
        for (const char byte : row.frame) {
            program.write(&byte, 1);
            QTest::qWait(1); // the deck in this process reads and answers
        }
        EXPECT_EQ(
            readFrom(program, row.answer.isEmpty() ? 1 : row.answer.size(), row.answer.isEmpty() ? 60ms : 1s),
            row.answer)
            << row.meaning.toStdString();
        EXPECT_TRUE(deck->log().back().endsWith("FF  " + row.meaning)) << deck->log().back().toStdString();
    }
    const QStringList log = deck->log();
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d\d\d  81 07 05 47 20 44 FF  disc)"))
                    .match(log.filter(QStringLiteral("  disc")).front())
                    .hasMatch())
        << log.join('\n').toStdString();
    EXPECT_EQ(log.filter(QRegularExpression(QStringLiteral("(?<!  noise)$"))).size(), 13);
    EXPECT_EQ(log.filter(QRegularExpression(QStringLiteral("^\\S+  (55 )?(81 )?42  noise$"))).size(), 1);
    EXPECT_GE(log.filter(QStringLiteral("FF  noise")).size(), 1);
    ASSERT_EQ(lines.size(), log.size());
    EXPECT_EQ(lines[0][0].toString(), log[0]);
    EXPECT_EQ(lines.back()[0].toString(), log.back());
    ASSERT_EQ(deck->disc().titles.size(), 2U);
    EXPECT_EQ(deck->disc().titles.at(6), QStringLiteral("Summer Holiday")) << "a later title replaces one";
    EXPECT_EQ(deck->disc().titles.at(0), QStringLiteral(u"Road – Trip"));
    EXPECT_EQ(deck->disc().name, QStringLiteral(u"Road – Trip")) << "track 0 names the disc";
}

TEST_F(VirtualDeckTest, SilenceHearsEveryFrameAndFaultsChangeWhileRunningUpToAHangUp) {
    start({}, Faults{.silent = true, .noiseBefore = bytes({0x00})});
    QSignalSpy closed(deck.get(), &VirtualDeck::openChanged);
    EXPECT_TRUE(ask(commandBytes(0x02, 0x21) + commandBytes(0x02, 0x02) + commandBytes(0x20, 0x44), 1, 200ms)
                    .isEmpty());
    EXPECT_EQ(deck->log().size(), 3) << "it still hears every frame";
    EXPECT_EQ(deck->disc().tracks, 1);

    deck->setFaults(Faults{.closeAfterFrames = 3});
    EXPECT_EQ(ask(commandBytes(0x02, 0x02), 7, 1s), stopAck) << "no longer silent";
    EXPECT_TRUE(ask(commandBytes(0x01, 0x02), 1, 80ms).isEmpty());
    EXPECT_TRUE(deck->isOpen()) << "frames count from the change";
    program.write(commandBytes(0x02, 0x21));
    EXPECT_TRUE(QTest::qWaitFor([this] { return program.error() != QSerialPort::NoError; }, 1000))
        << "the program's end goes dead";
    EXPECT_TRUE(program.readAll().isEmpty()) << "the last frame's answer never leaves";
    EXPECT_FALSE(deck->isOpen());
    ASSERT_EQ(closed.size(), 1);
    EXPECT_FALSE(closed[0][0].toBool());
    EXPECT_EQ(deck->log().size(), 6);
}

// Answering only some commands and answering late are proven through the program: a lost record
// acknowledgement, and Record pressed while a late disc answer is awaited. Pulling the cable on demand
// too: the device vanishing mid-run.
TEST_F(VirtualDeckTest, AnswersComeInPiecesWithNoiseAroundEachAndNeverInterleave) {
    const QByteArray noise = bytes({0x00, 0x81, 0x07, 0xFF});
    const QByteArray status = bytes({0x81, 0x05, 0x05, 0x47, 0xFF});
    start({}, Faults{.splitInto = 3, .splitGap = 60ms, .noiseBefore = noise, .noiseAfter = status});
    QElapsedTimer clock;
    clock.start();
    program.write(commandBytes(0x20, 0x44) + commandBytes(0x02, 0x21) + commandBytes(0x01, 0x02));
    std::vector<QByteArray> arrivals;
    while (QTest::qWaitFor([this] { return program.bytesAvailable() > 0; }, 300)) {
        arrivals.push_back(program.readAll());
    }
    const QByteArray answer = discAnswer(0, 0, 0);
    EXPECT_EQ(std::accumulate(arrivals.begin(), arrivals.end(), QByteArray()),
              noise + answer + status + noise + recordAck + status)
        << "no answer to on, so no noise either";
    ASSERT_GE(arrivals.size(), 2U);
    EXPECT_EQ(arrivals.front(), noise + answer.first(5)) << "13 bytes in three: 5, 4, 4";
    EXPECT_EQ(arrivals.back(), recordAck.sliced(5) + status);
    EXPECT_GE(clock.elapsed(), 4 * 60 + 300 - 5)
        << "the second answer starts with the first one's last piece";
}

} // namespace
} // namespace quorvex::deck
