// The MDS-E deck for real through a pseudo-terminal: packets written out by hand (the name packets are the
// maker's own example), its reports as they arrive, its log, its disc, and the faults of the line switched
// while it runs. What each command does is the firmware test's.
#include "deck/demorecorder.h"
#include "deck/mdse/virtualdeck.h"
#include "mdsefixture.h"

#include <QSignalSpy>
#include <span>

namespace quorvex::deck::testing {
namespace {

using namespace std::chrono_literals;

// Writes `packet` and returns what came back within `within`, once `count` bytes have or the time is up.
QByteArray exchange(QSerialPort& program, const QByteArray& packet, qsizetype count,
                    std::chrono::milliseconds within = 300ms) {
    program.write(packet);
    return readFrom(program, count, within);
}

QByteArray reports(std::initializer_list<const char*> data) {
    QByteArray packets;
    for (const char* each : data) {
        packets += reportPacket(hex(each));
    }
    return packets;
}

bool logged(const QStringList& log, const QString& ending) {
    return std::ranges::any_of(log, [&ending](const QString& line) { return line.endsWith(ending); });
}

// A session as a program would hold it: remote mode, a name in two packets, record-pause, recording by the
// deck's own clock, the stop and the TOC DATA that follows, the new track's time. The first packets trickle
// in byte by byte after line noise. Every packet and report is logged, a packet left unfinished as noise.
TEST(MdseDeck, HoldsASessionThroughThePseudoTerminalAndLogsBothDirections) {
    mdse::VirtualDeck deck(twoTracks(), {.inputLocking = 50ms, .tocWriting = 50ms});
    QSerialPort program(deck.devicePath());
    ASSERT_TRUE(program.open(QIODevice::ReadWrite)) << program.errorString().toStdString();
    const QSignalSpy lines(&deck, &mdse::VirtualDeck::logged);
    const QByteArray name = hex("4D 44 53 2D 45 31 31 D0 C6 C3 DE A8 BD B8 DA BA");
    const QByteArray ack = reports({"20 87"});
    const struct {
        QByteArray packet;
        QByteArray answer;
    } steps[] = {
        {hex("00 6F 7E 07 05 47 10 03 FF"), reports({"10 03", "20 20 00 A0 03 01 00"})},
        {hex("7E 18 05 47 20 72 02") + name + hex("FF"), ack},
        {hex("7E 0D 05 47 20 73 02 2D C0 DE 2D 00 FF"), ack},
        {hex("7E 07 05 47 02 21 FF"), reports({"02 22", "20 20 05 A0 23 03 00"})},
    };
    for (const auto& step : std::span(steps)) {
        for (const char byte : step.packet) {
            program.write(&byte, 1);
            QTest::qWait(1);
        }
        EXPECT_EQ(hexOf(readFrom(program, step.answer.size(), 300ms)), hexOf(step.answer));
    }
    QTest::qWait(60);
    EXPECT_EQ(hexOf(exchange(program, hex("7E 07 05 47 02 01 FF"), 19)),
              hexOf(reports({"02 21", "20 20 04 A0 03 03 00"})));
    EXPECT_EQ(deck.mode(), mdse::Mode::record);
    QTest::qWait(1100);
    EXPECT_EQ(hexOf(exchange(program, hex("7E 07 05 47 02 02 FF"), 32, 1s)),
              hexOf(reports({"02 02", "20 20 00 A0 03 01 00", "20 60 01 01 03 03 1F 00"})))
        << "one second more on the disc, told 50 ms after the stop";
    EXPECT_EQ(hexOf(exchange(program, hex("7E 09 05 47 20 45 01 03 FF"), 11)),
              hexOf(reports({"20 62 01 00 00 01"})));
    program.write(hex("7E 07 05 47 20"));
    QTest::qWait(150);

    ASSERT_TRUE(deck.disc().has_value());
    EXPECT_EQ(deck.disc()->tracks.size(), 3U);
    EXPECT_EQ(deck.disc()->tracks[1].name, name + hex("2D C0 DE 2D"));
    EXPECT_TRUE(deck.isRemote());
    EXPECT_EQ(deck.currentTrack(), 1);
    const QStringList log = deck.log();
    EXPECT_EQ(lines.size(), log.size());
    for (const QString& line :
         {QStringLiteral("  00  noise"), QStringLiteral("  7E 07 05 47 10 03 FF  REMOTE MODE On"),
          QStringLiteral("  sent 6F 07 05 47 10 03 FF  REMOTE MODE On"),
          QStringLiteral(u"  TRACK NO. NAME WRITE track 2 \"MDS-E11ﾐﾆﾃﾞｨｽｸﾚｺ\""),
          QStringLiteral("  sent 6F 0D 05 47 20 60 01 01 03 03 1F 00 FF  TOC DATA tracks 1-3, 3:31"),
          QStringLiteral("  7E 07 05 47 20  noise")}) {
        EXPECT_TRUE(logged(log, line)) << line.toStdString() << "\n" << log.join('\n').toStdString();
    }
    EXPECT_TRUE(QTime::fromString(log.front().left(12), QStringLiteral("hh:mm:ss.zzz")).isValid());
}

// The line's faults, switched while the deck runs, each counting from its switch: a REC report lost (the
// recording starts all the same), every WRITE PACKET RECEIVED lost (the name is kept), the second report
// garbled, reports late and in pieces behind noise, silence; then a disc goes in, and at last the cable
// comes out on the second packet.
TEST(MdseDeck, LineFaultsSwitchedWhileRunningAndADiscInserted) {
    mdse::VirtualDeck deck(twoTracks(), {.tocReading = 50ms, .inputLocking = 0ms, .tocWriting = 20ms});
    QSerialPort program(deck.devicePath());
    ASSERT_TRUE(program.open(QIODevice::ReadWrite));
    const QSignalSpy closed(&deck, &mdse::VirtualDeck::openChanged);
    const QByteArray statusRequest = hex("7E 07 05 47 20 20 FF");
    EXPECT_EQ(exchange(program, hex("7E 07 05 47 10 03 FF"), 19).size(), 19);

    deck.setFaults({.loseRecReport = 1});
    EXPECT_EQ(exchange(program, hex("7E 07 05 47 02 21 FF"), 19).size(), 19);
    EXPECT_EQ(hexOf(exchange(program, hex("7E 07 05 47 02 01 FF"), 19, 100ms)),
              hexOf(reports({"20 20 04 A0 03 03 00"})));
    EXPECT_EQ(deck.mode(), mdse::Mode::record);
    EXPECT_TRUE(logged(deck.log(), "  lost 6F 07 05 47 02 21 FF  REC"));
    EXPECT_EQ(hexOf(exchange(program, hex("7E 07 05 47 02 21 FF"), 7)), hexOf(reports({"02 21"})));
    EXPECT_EQ(exchange(program, hex("7E 07 05 47 02 02 FF"), 32).size(), 32);

    deck.setFaults({.loseWriteAck = 0});
    EXPECT_TRUE(exchange(program, hex("7E 0A 05 47 20 72 01 41 00 FF"), 1, 100ms).isEmpty());
    EXPECT_EQ(deck.disc()->tracks[0].name, "A");

    deck.setFaults({.garbleReply = 2});
    EXPECT_EQ(hexOf(exchange(program, statusRequest + statusRequest, 24)),
              hexOf(reports({"20 20 00 A0 03 01 00"})) + " 6F 0C FA B8 DF DF FF 5F FC FE FF 00");
    EXPECT_TRUE(deck.log().back().endsWith("STATUS stop, track 1 (garbled)"))
        << deck.log().back().toStdString();

    deck.setFaults({.lateBy = 100ms, .splitInto = 2, .noiseBefore = "~"}); // noise: a 7E
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(hexOf(exchange(program, statusRequest, 13, 1s)),
              "7E " + hexOf(reports({"20 20 00 A0 03 01 00"})));
    EXPECT_GE(clock.elapsed(), 100);

    deck.setFaults({.silent = true});
    EXPECT_TRUE(exchange(program, statusRequest, 1, 100ms).isEmpty());
    EXPECT_TRUE(
        deck.log().back().endsWith("  lost 6F 0C 05 47 20 20 00 A0 03 01 00 FF  STATUS stop, track 1"));

    deck.setFaults({});
    deck.insertDisc({});
    EXPECT_EQ(hexOf(readFrom(program, 31, 500ms)),
              hexOf(reports({"20 21 00 01 00 00 00", "20 20 00 A0 03 00 00", "20 82"})));

    deck.setFaults({.closeAfterPackets = 2});
    EXPECT_EQ(exchange(program, statusRequest, 12).size(), 12);
    program.write(statusRequest);
    EXPECT_TRUE(QTest::qWaitFor([&program] { return program.error() != QSerialPort::NoError; }, 1000));
    EXPECT_FALSE(deck.isOpen());
    EXPECT_EQ(closed, QList<QVariantList>{{false}});
}

// The demo's MDS-E deck holds a named 74-minute disc with three tracks in 12:30; the Control-A1 one is
// the default.
TEST(MdseDeck, TheDemoRecorderCanBeAnMdseDeckOfTheModelGiven) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> log(std::tmpfile(), &std::fclose);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(DemoRecorder(log.get()).family(), RecorderFamily::controlA1);
    const DemoRecorder demo(log.get(), RecorderFamily::mdsE, mdse::Model::e52);
    ASSERT_TRUE(demo.isOpen() && demo.mdse() != nullptr && demo.controlA1() == nullptr);
    QSerialPort program(demo.devicePath());
    ASSERT_TRUE(program.open(QIODevice::ReadWrite));
    EXPECT_EQ(exchange(program, hex("7E 07 05 47 10 03 FF"), 19).size(), 19);
    EXPECT_EQ(hexOf(exchange(program,
                             hex("7E 07 05 47 20 22 FF 7E 08 05 47 20 44 01 FF 7E 08 05 47 20 54 01 FF "
                                 "7E 08 05 47 20 48 01 FF"),
                             21 + 13 + 10 + 24)),
              hexOf(reports({"20 22 4D 44 53 2D 45 35 32 00 00 00 00 00 00 00", "20 60 01 01 03 0C 1E 00",
                             "20 54 01 3D 1E"}) +
                    reportPacket(hex("20 48 01") + "Quorvex Demo" + QByteArray(4, '\0'))));
}

} // namespace
} // namespace quorvex::deck::testing
