// The MDS-E session without a window, in virtual time: the sender on a fake line whose other end is the
// virtual deck's own firmware, built from the maker's manual. Each pass of a wait is one Tick of 100 ms on
// both sides.
#include "deck/mdse/firmware.h"
#include "link/mdse/mdserecorder.h"
#include "support/fakes.h"

#include <cstring>
#include <gtest/gtest.h>

namespace quorvex::testing {
namespace {

using namespace std::chrono_literals;
namespace md = deck::mdse;

QByteArray packetOf(const QByteArray& data) {
    QByteArray packet = QByteArray::fromHex("6F000547");
    packet[1] = static_cast<char>(data.size() + 5);
    return packet + data + QByteArray(1, '\xFF');
}

// One deck of the model given, a disc of two tracks in it ("One", and one without a name).
class MdseSession : public ::testing::Test {
protected:
    void deck(md::Settings settings = {}, const md::Faults& faults = {}) {
        md::Disc disc;
        disc.tracks = {{60s, "One"}, {150s, {}}};
        firmware.emplace(disc, settings, faults, now);
        lost = faults;
        recReports = 0;
        writeAcks = 0;
        serial.respond = [this](const QByteArray& packet) {
            const QByteArray data = packet.mid(4, packet.size() - 5);
            sent.push_back(data.left(2).toHex(' ').toUpper().toStdString());
            return joined(firmware->obey(data, now));
        };
        pump.tick = [this] {
            now += 100ms;
            serial.received += joined(firmware->advance(now));
            recorder.tick();
        };
        serial.open();
    }
    // The reports as they travel: the n-th REC report or WRITE PACKET RECEIVED lost on the way, as asked.
    QByteArray joined(const std::vector<QByteArray>& reports) {
        QByteArray bytes;
        for (const QByteArray& data : reports) {
            const bool gone = (data == "\x02\x21" && md::hits(lost.loseRecReport, ++recReports)) ||
                              (data == "\x20\x87" && md::hits(lost.loseWriteAck, ++writeAcks));
            bytes += gone ? QByteArray() : packetOf(data);
        }
        return bytes;
    }
    [[nodiscard]] QByteArray nameOnDisc(int track) const { return md::nameOf(*firmware->disc(), track); }
    // Records one track of about 2 s titled `title` and stops it.
    Stopping recordOne(const QString& title, Arming::Result expected = Arming::Result::recording) {
        const Arming arming = recorder.armTrack();
        EXPECT_EQ(arming.result, expected) << arming.message.toStdString();
        if (arming.result != Arming::Result::recording) {
            return {};
        }
        recorder.nameTrack(3, title);
        recorder.delay(2000);
        return recorder.stopTrack(true);
    }

    Journal journal;
    FakeSerialPort serial{journal};
    FakeEventPump pump;
    MdseRecorder recorder{serial, pump};
    md::Firmware::Clock::time_point now{};
    std::optional<md::Firmware> firmware;
    std::vector<std::string> sent; // each command's first two data bytes
    md::Faults lost;
    int recReports = 0;
    int writeAcks = 0;
};

TEST_F(MdseSession, RemoteModeComesFirstPowerOnlyWhereTheModelHasItAndTheDiscFillsTheLabel) {
    struct Row {
        md::Model model;
        bool standby;
        std::vector<std::string> start; // the commands of start()
        bool hasPower;
    };
    const std::vector<Row> rows{
        {md::Model::e12, false, {"10 03", "20 20", "20 22"}, false},
        {md::Model::e11, false, {"10 03", "20 20", "20 22"}, true},
        {md::Model::e52, true, {"10 03", "20 20", "01 02", "20 22"}, true},
    };
    for (const auto& row : rows) {
        sent.clear();
        deck({.model = row.model, .startInStandby = row.standby});
        recorder.start();
        const std::string model = recorder.model().toStdString();
        std::vector<std::string> start = sent;
        start.erase(std::unique(start.begin(), start.end()), start.end());
        EXPECT_EQ(start, row.start) << model;
        EXPECT_TRUE(firmware->isRemote() && firmware->isPoweredOn()) << model;
        EXPECT_EQ(recorder.hasButton(RecorderButton::on), row.hasPower) << model;
        EXPECT_EQ(recorder.hasButton(RecorderButton::off), row.hasPower) << model;
        EXPECT_TRUE(recorder.hasButton(RecorderButton::play)) << model;
    }

    const DiscState disc = recorder.askDisc();
    EXPECT_EQ(discLabelText(disc), "2 Tracks 03m 30s");
    EXPECT_EQ(discToolTipText(disc),
              QString::fromUtf8("MDS-E52 — 70:30 recordable, 1,782 title characters free"));

    deck({.startWithoutDisc = true});
    recorder.start();
    EXPECT_EQ(discLabelText(recorder.askDisc()), "No disc");
}

// Per track: REC into record-pause, the input locked, PLAY, the REC report; STOP, the TOC, then the name in
// packets of 16, each confirmed. What goes wrong on the deck ends the arming with its reason, the deck
// stopped; a name whose packet is not confirmed is written once more from its start.
TEST_F(MdseSession, ATrackIsArmedThroughRecordPauseAndNamedWholeAfterItsStop) {
    const QString title = QStringLiteral("A title of forty characters, all kept!!");
    struct Row {
        const char* what;
        md::Faults faults;
        Arming::Result result;
        const char* message; // the start of it
        std::vector<std::int16_t> unnamed;
    };
    const std::vector<Row> rows{
        {"as it should", {}, Arming::Result::recording, "", {}},
        {"one packet lost", {.loseWriteAck = 2}, Arming::Result::recording, "", {}},
        {"every packet lost", {.loseWriteAck = 0}, Arming::Result::recording, "", {3}},
        {"no lock",
         {.inputNeverLocks = true},
         Arming::Result::failed,
         "The recorder hears no digital signal",
         {}},
        {"refused", {.refuseRec = true}, Arming::Result::failed, "The recorder refused REC (IMPOSSIBLE)", {}},
        {"REC report lost", {.loseRecReport = 1}, Arming::Result::notAcknowledged, "", {}},
    };
    for (const auto& row : rows) {
        deck({}, row.faults);
        recorder.start();
        recorder.askDisc();
        sent.clear();
        const Arming arming = recorder.armTrack();
        EXPECT_EQ(arming.result, row.result) << row.what;
        EXPECT_EQ(arming.message.left(static_cast<qsizetype>(std::strlen(row.message))), row.message)
            << row.what;
        if (arming.result != Arming::Result::recording) {
            if (arming.result == Arming::Result::notAcknowledged) {
                recorder.stopNow();
                recorder.delay(500);
            }
            EXPECT_EQ(firmware->mode(), md::Mode::stop) << row.what << ": the deck is left stopped";
            continue;
        }
        recorder.nameTrack(3, title);
        recorder.delay(2000);
        EXPECT_EQ(nameOnDisc(3), "") << row.what << ": no name while the deck records";
        const Stopping stopping = recorder.stopTrack(true);
        EXPECT_FALSE(stopping.trackMissing) << row.what;
        EXPECT_EQ(stopping.unnamed, row.unnamed) << row.what;
        EXPECT_EQ(firmware->disc()->tracks.size(), 3U) << row.what;
        EXPECT_EQ(nameOnDisc(3), row.unnamed.empty() ? title.toLatin1() : QByteArray()) << row.what;
        EXPECT_EQ(sent.front(), "20 44") << row.what << ": the track count before REC";
        EXPECT_EQ(sent.at(1), "02 21") << row.what;
    }
}

TEST_F(MdseSession, ATakeMarksTracksWithRecAndNamesThemAllAfterItsStop) {
    deck();
    recorder.start();
    recorder.askDisc();
    ASSERT_EQ(recorder.armTrack().result, Arming::Result::recording);
    recorder.nameTrack(3, QStringLiteral("First [live]"));
    for (const std::int16_t track : {4, 5, 6}) {
        recorder.delay(1500);
        recorder.markTrack();
        recorder.nameTrack(track, QStringLiteral("Part %1 {b} ~ c").arg(track));
    }
    recorder.delay(1500);
    const Stopping stopping = recorder.stopTrack(true);
    EXPECT_FALSE(stopping.trackMissing);
    EXPECT_TRUE(stopping.unnamed.empty());
    ASSERT_EQ(firmware->disc()->tracks.size(), 6U);
    EXPECT_EQ(nameOnDisc(3), "First (live)") << "the characters the deck cannot take";
    EXPECT_EQ(nameOnDisc(6), "Part 6 (b) - c");
}

// Remote mode is left on every way out: stopped first and the names written when it records, or at once.
TEST_F(MdseSession, LeavingStopsTheDeckWritesTheWaitingNamesAndEndsRemoteMode) {
    for (const bool now : {false, true}) {
        deck();
        recorder.start();
        recorder.askDisc();
        ASSERT_EQ(recorder.armTrack().result, Arming::Result::recording);
        recorder.nameTrack(3, QStringLiteral("Cut"));
        recorder.delay(1000);
        sent.clear();
        now ? recorder.leaveNow() : recorder.leave();
        EXPECT_EQ(sent.front(), "02 02") << now;
        EXPECT_EQ(sent.back(), "10 04") << now;
        EXPECT_FALSE(firmware->isRemote()) << now;
        EXPECT_EQ(nameOnDisc(3), now ? QByteArray() : QByteArray("Cut"))
            << now << ": a second Ctrl+C waits for nothing";
    }
}

TEST_F(MdseSession, ADiscThatRunsFullStopsTheDeckByItselfAndTheRecorderSaysSo) {
    deck({}, {.fullAfterSeconds = 1});
    recorder.start();
    recorder.askDisc();
    ASSERT_EQ(recorder.armTrack().result, Arming::Result::recording);
    EXPECT_FALSE(recorder.stoppedByItself());
    recorder.delay(3000);
    EXPECT_TRUE(recorder.stoppedByItself());
}

} // namespace
} // namespace quorvex::testing
