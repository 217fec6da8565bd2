// The Control-A1 deck's read-back faults: what reaches its disc is not what it was given, or the disc cannot
// be read back after a recording. (The MDS-E deck's are in its firmware test.)
#include "deck/controla1/discdrive.h"
#include "deckfixture.h"

#include <array>

namespace quorvex::deck::testing {
namespace {

using namespace std::chrono_literals;

// Counted from the faults' setting: the second track made never reaches the disc, every track is a
// second short, and the first title keeps all but its last character, a character of two UTF-16 units
// replaced whole.
TEST(ControlA1ReadBack, TheDiscDriveLosesShortensAndGarblesAsTold) {
    DiscDrive drive(Disc{.tracks = 4, .minutes = 10});
    drive.setFlaws({.dropTrack = 2, .shortBySeconds = 1, .garbleName = 1});
    const DiscDrive::Clock::time_point start{};
    drive.record(start);
    drive.record(start + 3500ms); // 2.5 s: rounded to 3
    drive.record(start + 5s);     // lost
    drive.stop(start + 7s);       // 1 s
    const Disc& disc = drive.disc();
    EXPECT_EQ((std::array{disc.tracks, disc.minutes, disc.seconds}), (std::array{6, 10, 4}));
    EXPECT_EQ(drive.setTitle(1, QStringLiteral(u"Café 😀")), QStringLiteral(u"Café X"));
    EXPECT_EQ(drive.setTitle(0, QStringLiteral("Side X")), QStringLiteral("Side X"));
    EXPECT_EQ(disc.titles.at(1), QStringLiteral(u"Café X"));
}

// The disc-information request is answered until the first record command and never after; a lost track
// and a changed title show in the log.
TEST(ControlA1ReadBack, TheDiscGoesUnreadAfterRecordingAndTheLogTellsWhatAFaultChanged) {
    VirtualDeck deck(Disc{.tracks = 1},
                     Faults{.readBack = {.dropTrack = 1, .garbleName = 1, .unansweredAfterRecording = true}});
    QSerialPort program(deck.devicePath());
    ASSERT_TRUE(program.open(QIODevice::ReadWrite));
    program.write(commandBytes(0x20, 0x44));
    EXPECT_EQ(readFrom(program, 13, 300ms), discAnswer(1, 0, 0));
    program.write(commandBytes(0x02, 0x21) + commandBytes(0x02, 0x02) + titleBytes(2, "Summer"));
    EXPECT_EQ(readFrom(program, 14, 300ms), recordAck + stopAck);
    program.write(commandBytes(0x20, 0x44));
    EXPECT_TRUE(readFrom(program, 1, 150ms).isEmpty());
    const QStringList log = deck.log();
    ASSERT_EQ(log.size(), 5);
    EXPECT_TRUE(log[2].endsWith("  stop (no track made)")) << log[2].toStdString();
    EXPECT_TRUE(log[3].endsWith("  title track 2 \"Summer\": stored as \"SummeX\"")) << log[3].toStdString();
    EXPECT_EQ(deck.disc().tracks, 1);
}

} // namespace
} // namespace quorvex::deck::testing
