#include "deckfixture.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;
using testing::commandBytes;
using testing::discAnswer;
using testing::recordAck;
using testing::stopAck;
using testing::titleBytes;

class VirtualDeckTest : public testing::DeckFixture {};

// Record and stop are acknowledged, the disc-information request answered; nothing else gets an answer.
// Each record-stop cycle adds a track (its times are DiscDrive's), and titles are kept by track.
TEST_F(VirtualDeckTest, AnswersByteExactAndKeepsTheDiscFromTheFramesItReceives) {
    start(Disc{.tracks = 5, .minutes = 21, .seconds = 42, .name = {}, .titles = {}});
    const struct {
        QByteArray frame;
        QByteArray answer;
    } exchanges[] = {
        {commandBytes(0x20, 0x44), discAnswer(5, 21, 42)},
        {commandBytes(0x02, 0x21), recordAck},
        {commandBytes(0x02, 0x02), stopAck},
        {commandBytes(0x01, 0x02), {}},
        {commandBytes(0x01, 0x03), {}},
        {commandBytes(0x02, 0x01), {}},
        {commandBytes(0x02, 0x15), {}},
        {commandBytes(0x02, 0x16), {}},
        {titleBytes(6, "Summer"), {}},
        {titleBytes(6, "Summer Holiday"), {}},
        {titleBytes(0, "Road \x96 Trip"), {}},
        {commandBytes(0x20, 0x44), discAnswer(6, 21, 42)},
    };
    for (const auto& row : exchanges) {
        program->write(row.frame);
        EXPECT_EQ(
            program->read(row.answer.isEmpty() ? 1 : row.answer.size(), row.answer.isEmpty() ? 60ms : 1s),
            row.answer)
            << row.frame.toHex(' ').toStdString();
    }
    EXPECT_EQ(deck->log().size(), 12);
    ASSERT_EQ(deck->disc().titles.size(), 2U);
    EXPECT_EQ(deck->disc().titles.at(6), QStringLiteral("Summer Holiday")) << "a later title replaces one";
    EXPECT_EQ(deck->disc().titles.at(0), QStringLiteral(u"Road – Trip"));
    EXPECT_EQ(deck->disc().name, QStringLiteral(u"Road – Trip")) << "track 0 names the disc";
}

TEST_F(VirtualDeckTest, FramesTricklingInAmongGarbageAreLoggedWithTimeBytesAndMeaning) {
    start();
    QSignalSpy lines(deck.get(), &VirtualDeck::frameReceived);
    const QByteArray stream = testing::bytes({0x55, 0x81, 0x42}) + commandBytes(0x02, 0x21) +
                              testing::bytes({0xFF, 0xFF}) + titleBytes(3, "Summer Holiday") +
                              commandBytes(0x20, 0x44);
    for (const char byte : stream) {
        program->write(QByteArrayView(&byte, 1));
        QTest::qWait(1); // the deck in this process reads and answers
    }
    EXPECT_EQ(program->read(20, 1s), recordAck + discAnswer(0, 0, 0));

    const QStringList log = deck->log();
    const QStringList frames = log.filter(QRegularExpression(QStringLiteral(R"((?<!  noise)$)")));
    ASSERT_EQ(frames.size(), 3) << log.join('\n').toStdString();
    const QRegularExpression record(
        QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d\d\d  81 07 05 47 02 21 FF  record$)"));
    EXPECT_TRUE(record.match(frames[0]).hasMatch()) << frames[0].toStdString();
    EXPECT_TRUE(frames[1].endsWith(QStringLiteral("61 79 FF  title track 3 \"Summer Holiday\"")))
        << frames[1].toStdString();
    EXPECT_TRUE(frames[2].endsWith(QStringLiteral("20 44 FF  disc information request")));
    EXPECT_EQ(log.filter(QRegularExpression(QStringLiteral("  (55 )?(81 )?42  noise$"))).size(), 1)
        << log.join('\n').toStdString();
    EXPECT_GE(log.filter(QStringLiteral("  noise")).size(), 2);

    ASSERT_EQ(lines.size(), log.size());
    EXPECT_EQ(lines[0][0].toString(), log[0]);
    EXPECT_EQ(lines.back()[0].toString(), log.back());
}

} // namespace
} // namespace quorvex::deck
