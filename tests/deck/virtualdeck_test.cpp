#include "deckfixture.h"

#include <QRegularExpression>
#include <QSignalSpy>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;
using testing::commandBytes;
using testing::discAnswer;
using testing::recordAck;
using testing::stopAck;
using testing::titleBytes;

class VirtualDeckTest : public testing::DeckFixture {};

TEST_F(VirtualDeckTest, AnswersRecordStopAndDiscInformationByteExact) {
    start(Disc{.tracks = 5, .minutes = 21, .seconds = 42, .name = {}, .titles = {}});
    EXPECT_EQ(ask(0x20, 0x44, 13, 1s), discAnswer(5, 21, 42));
    EXPECT_EQ(ask(0x02, 0x21, 7, 1s), recordAck);
    EXPECT_EQ(ask(0x02, 0x02, 7, 1s), stopAck);
    EXPECT_TRUE(program->read(1, 50ms).isEmpty()) << "one answer per command, nothing more";
}

TEST_F(VirtualDeckTest, OtherCommandsAndTitlesGetNoAnswer) {
    start();
    program->write(commandBytes(1, 2) + commandBytes(2, 1) + commandBytes(2, 0x15) + commandBytes(2, 0x16) +
                   titleBytes(1, "Quiet") + commandBytes(1, 3));
    EXPECT_TRUE(program->read(1, 150ms).isEmpty());
    EXPECT_EQ(deck->log().size(), 6);
}

TEST_F(VirtualDeckTest, KeepsTheDiscFromTheFramesItReceives) {
    start(Disc{.tracks = 2, .minutes = 0, .seconds = 10, .name = {}, .titles = {}});
    EXPECT_EQ(ask(0x02, 0x21, 7, 1s), recordAck);
    EXPECT_EQ(ask(0x02, 0x02, 7, 1s), stopAck);
    EXPECT_EQ(deck->disc().tracks, 3);
    EXPECT_EQ(deck->disc().seconds, 10) << "a recording of a moment adds no second";

    program->write(titleBytes(3, "Summer Holiday") + titleBytes(0, "Road \x96 Trip"));
    EXPECT_EQ(ask(0x20, 0x44, 13, 1s), discAnswer(3, 0, 10)) << "the answer counts the new track";
    ASSERT_EQ(deck->disc().titles.count(3), 1U);
    EXPECT_EQ(deck->disc().titles.at(3), QStringLiteral("Summer Holiday"));
    EXPECT_EQ(deck->disc().name, QStringLiteral(u"Road – Trip"));
}

TEST_F(VirtualDeckTest, UnderstandsFramesTricklingInAmongGarbage) {
    start();
    const QByteArray stream = testing::bytes({0x55, 0x81, 0x00}) + commandBytes(0x02, 0x21) +
                              testing::bytes({0xFF, 0xFF}) + commandBytes(0x20, 0x44);
    for (const char byte : stream) {
        program->write(QByteArrayView(&byte, 1));
        testing::pumpEvents(1ms);
    }
    EXPECT_EQ(program->read(20, 1s), recordAck + discAnswer(0, 0, 0));
    const QStringList log = deck->log();
    EXPECT_EQ(log.filter(QStringLiteral("  record")).size(), 1) << log.join('\n').toStdString();
    EXPECT_EQ(log.filter(QStringLiteral("disc information request")).size(), 1);
    EXPECT_GE(log.filter(QStringLiteral("  noise")).size(), 2);
}

TEST_F(VirtualDeckTest, LogsEveryFrameWithTimeBytesAndMeaning) {
    start();
    QSignalSpy lines(deck.get(), &VirtualDeck::frameReceived);
    program->write(commandBytes(0x02, 0x21));
    ASSERT_EQ(program->read(7, 1s), recordAck);
    program->write(titleBytes(3, "Summer Holiday") + testing::bytes({0x42}));
    testing::pumpEvents(50ms);

    const QStringList log = deck->log();
    ASSERT_EQ(log.size(), 3) << log.join('\n').toStdString();
    const QRegularExpression record(
        QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d\d\d  81 07 05 47 02 21 FF  record$)"));
    EXPECT_TRUE(record.match(log[0]).hasMatch()) << log[0].toStdString();
    EXPECT_TRUE(log[1].endsWith(QStringLiteral("61 79 FF  title track 3 \"Summer Holiday\"")))
        << log[1].toStdString();
    EXPECT_TRUE(log[2].endsWith(QStringLiteral("  42  noise"))) << log[2].toStdString();

    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0][0].toString(), log[0]);
    EXPECT_EQ(lines[2][0].toString(), log[2]);
}

TEST_F(VirtualDeckTest, TheProgramCanCloseAndReopenThePort) {
    start();
    EXPECT_EQ(ask(0x02, 0x21, 7, 1s), recordAck);
    program.reset();
    testing::pumpEvents(20ms);
    EXPECT_TRUE(deck->isOpen()) << "the program closing its port is no hang-up";

    program = std::make_unique<testing::SlaveEnd>(deck->devicePath());
    ASSERT_TRUE(program->isOpen());
    EXPECT_EQ(ask(0x02, 0x02, 7, 1s), stopAck);
}

TEST_F(VirtualDeckTest, EachDeckHasItsOwnDevice) {
    start();
    const VirtualDeck other;
    ASSERT_TRUE(other.isOpen());
    EXPECT_NE(other.devicePath(), deck->devicePath());
}

} // namespace
} // namespace quorvex::deck
