// The deck for real through a pseudo-terminal: its answers, its log, its disc and its faults changed while it
// runs. Answers late, in pieces and with noise are the Transmitter's (parts_test) and, through a real
// line, the program test's.
#include "deckfixture.h"

#include <QSignalSpy>
#include <span>

namespace quorvex::deck::testing {
namespace {

using namespace std::chrono_literals;

// Record and stop are acknowledged, the disc-information request answered with the disc as it is (a track
// counts once it is stopped); nothing else gets an answer. Every frame is logged with its meaning, and so is
// the garbage among them; titles are kept by track. The frames trickle in byte by byte. Then the faults
// change while the deck runs: silent, it still hears every frame; told to hang up, it counts the frames from
// the change.
TEST(VirtualDeck, AnswersByteExactLogsEachFrameKeepsTheDiscAndTakesNewFaultsUpToAHangUp) {
    VirtualDeck deck(Disc{.tracks = 5, .minutes = 21, .seconds = 42});
    QSerialPort program(deck.devicePath()); // the program's end of the cable
    ASSERT_TRUE(program.open(QIODevice::ReadWrite)) << program.errorString().toStdString();
    QSignalSpy closed(&deck, &VirtualDeck::openChanged);
    const struct {
        QByteArray frame;
        QByteArray answer;
        QString logged; // the end of its log line
    } exchanges[] = {
        {commandBytes(0x02, 0x21), recordAck, "record"},
        {commandBytes(0x02, 0x21), recordAck, "record: track mark"},
        {bytes({0x55, 0x81, 0x42}), {}, "42  noise"},
        {commandBytes(0x20, 0x44), discAnswer(6, 21, 42), "disc information request"},
        {commandBytes(0x02, 0x02), stopAck, "stop"},
        {commandBytes(0x01, 0x02), {}, "on"},
        {commandBytes(0x01, 0x03), {}, "off"},
        {commandBytes(0x02, 0x01), {}, "play"},
        {commandBytes(0x02, 0x15), {}, "back"},
        {commandBytes(0x02, 0x16), {}, "forward"},
        {commandBytes(0x02, 0x17), {}, "unknown command 02 17"},
        {titleBytes(6, "Summer"), {}, "title track 6 \"Summer\""},
        {titleBytes(6, "Summer Holiday"), {}, "title track 6 \"Summer Holiday\""},
        {titleBytes(0, "Road \x96 Trip"), {}, QStringLiteral(u"title track 0 \"Road – Trip\" (disc name)")},
        // two tracks: the mark came after one wait of 200 ms (0 s), the stop three waits later (1 s)
        {commandBytes(0x20, 0x44), discAnswer(7, 21, 43), "disc information request"},
    };
    for (const auto& row : std::span(exchanges)) {
        for (const char byte : row.frame) {
            program.write(&byte, 1);
            QTest::qWait(1); // the deck in this process reads and answers
        }
        EXPECT_EQ(readFrom(program, row.answer.size() + 1, 200ms), row.answer) << row.logged.toStdString();
        EXPECT_TRUE(deck.log().back().endsWith(" " + row.logged)) << deck.log().back().toStdString();
    }
    EXPECT_EQ(deck.disc().titles, (std::map<int, QString>{{0, QStringLiteral(u"Road – Trip")},
                                                          {6, QStringLiteral("Summer Holiday")}}));
    EXPECT_EQ(deck.disc().name, QStringLiteral(u"Road – Trip")) << "track 0 names the disc";

    const qsizetype heard = deck.log().size();
    deck.setFaults(Faults{.silent = true, .noiseBefore = bytes({0x00})});
    program.write(commandBytes(0x02, 0x21) + commandBytes(0x02, 0x02) + commandBytes(0x20, 0x44));
    EXPECT_TRUE(readFrom(program, 1, 200ms).isEmpty());
    EXPECT_EQ(deck.log().size(), heard + 3);
    EXPECT_EQ(deck.disc().tracks, 8);
    deck.setFaults(Faults{.closeAfterFrames = 3});
    program.write(commandBytes(0x02, 0x02));
    EXPECT_EQ(readFrom(program, 7, 1s), stopAck) << "no longer silent";
    program.write(commandBytes(0x01, 0x02));
    EXPECT_TRUE(readFrom(program, 1, 80ms).isEmpty());
    EXPECT_TRUE(deck.isOpen());
    program.write(commandBytes(0x02, 0x21));
    EXPECT_TRUE(QTest::qWaitFor([&program] { return program.error() != QSerialPort::NoError; }, 1000))
        << "the program's end goes dead";
    EXPECT_TRUE(program.readAll().isEmpty()) << "the last frame's answer never leaves";
    EXPECT_FALSE(deck.isOpen());
    EXPECT_EQ(closed, QList<QVariantList>{{false}});
    EXPECT_EQ(deck.log().size(), heard + 6);
}

} // namespace
} // namespace quorvex::deck::testing
