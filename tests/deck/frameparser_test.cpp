// The deck's parts without a line: the frame parser, the answers and log lines it writes, the disc drive's
// counting and the transmitter's pieces.
#include "deck/answers.h"
#include "deck/discdrive.h"
#include "deck/frameparser.h"
#include "deck/logline.h"
#include "deck/transmitter.h"
#include "deckfixture.h"

#include <array>
#include <span>
#include <vector>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;
using testing::bytes;
using testing::commandBytes;
using testing::titleBytes;

// What the parser made of a stream: the frames' bytes and meanings in order, and every skipped byte.
struct Totals {
    std::vector<QByteArray> frames;
    std::vector<Meaning> meanings;
    QByteArray noise;
    bool operator==(const Totals&) const = default;
};

// Feeds the stream in two reads, cut after `cut` bytes.
Totals feed(QByteArrayView stream, qsizetype cut) {
    FrameParser parser;
    Totals totals;
    for (const QByteArrayView read : {stream.first(cut), stream.sliced(cut)}) {
        for (const Received& item : parser.feed(read)) {
            if (std::holds_alternative<Noise>(item.meaning)) {
                totals.noise.append(item.bytes);
            } else {
                totals.frames.push_back(item.bytes);
                totals.meanings.push_back(item.meaning);
            }
        }
    }
    return totals;
}

// Every stream gives the same frames, meanings and noise however its bytes are cut into two reads. Each
// command's meaning is checked as the deck logs it (virtualdeck_test).
TEST(FrameParser, StreamsCutAnywhereGiveTheirFramesMeaningsAndNoise) {
    const QByteArray record = commandBytes(2, 0x21);
    const QByteArray stop = commandBytes(2, 2);
    const QByteArray outside = commandBytes(0x7E, 0x81);
    // Title text ends at the first NUL and is Windows-1252.
    const std::array titles{titleBytes(0, "Caf\xE9 \x80 5"), titleBytes(200, QByteArrayView("Ab\0junk", 7)),
                            titleBytes(12, ""), titleBytes(3, "Summer Holiday")};
    const QByteArray before = bytes({0x12, 0x34, 0xFF});
    const QByteArray between = bytes({0x00, 0x81, 0x99, 0x81, 0x07, 0x05});
    const QByteArray answerAndUnknownLength = bytes(
        {0x81, 0x07, 0x05, 0x48, 0x02, 0x21, 0xFF, 0x81, 0x09, 0x05, 0x47, 0x02, 0x21, 0x00, 0x00, 0xFF});
    // A title cut short inside its text must not swallow the frames behind it.
    const QByteArray cutTitle = titleBytes(2, "Some Long Name").first(12);
    const std::vector<Meaning> recordStop{commands::record, commands::stop};
    std::vector<std::pair<QByteArray, Totals>> cases{
        {titles[0] + titles[1] + titles[2] + titles[3] + outside,
         Totals{{titles[0], titles[1], titles[2], titles[3], outside},
                {Title{0, QStringLiteral(u"Café € 5")}, Title{200, QStringLiteral("Ab")},
                 Title{12, QString()}, Title{3, QStringLiteral("Summer Holiday")}, Command{0x7E, 0x81}},
                {}}},
        // garbage before and between, a start byte left over for the next read
        {before + record + between + stop + bytes({0x81}),
         Totals{{record, stop}, recordStop, before + between}},
        {answerAndUnknownLength, Totals{{}, {}, answerAndUnknownLength}},
        {cutTitle + record + stop, Totals{{record, stop}, recordStop, cutTitle}},
        {bytes({0x81, 0x42}), Totals{{}, {}, bytes({0x81, 0x42})}},
    };
    // Frames cut short, then a good one; the fixed bytes of each layout given a wrong value, in turn.
    for (const QByteArray& cutShort : {stop, titleBytes(4, "Lost Track")}) {
        for (qsizetype kept = 1; kept < cutShort.size(); ++kept) {
            cases.emplace_back(cutShort.first(kept) + record,
                               Totals{{record}, {commands::record}, cutShort.first(kept)});
        }
    }
    const std::pair<QByteArray, std::vector<qsizetype>> layouts[] = {
        {record, {2, 3, 6}},
        {titleBytes(5, "Name"), {2, 3, 4, 6, 7, 22}},
    };
    for (const auto& [frame, fixed] : std::span(layouts)) {
        for (const qsizetype at : fixed) {
            QByteArray wrong = frame;
            wrong[at] = static_cast<char>(static_cast<std::uint8_t>(wrong[at]) ^ 0x01);
            cases.emplace_back(wrong + stop, Totals{{stop}, {commands::stop}, wrong});
        }
    }
    for (const auto& [stream, expected] : cases) {
        for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
            EXPECT_EQ(feed(stream, cut), expected) << stream.toHex(' ').toStdString() << ", cut at " << cut;
        }
    }
}

TEST(Answers, DiscInformationValuesAreHeldToOneByteAndLongNoiseLogsCut) {
    const Disc big{.tracks = 300, .minutes = 256, .seconds = -4, .name = {}, .titles = {}};
    EXPECT_EQ(discInformationAnswer(big), testing::discAnswer(0xFF, 0xFF, 0x00));
    // A short noise line is checked as the deck logs it (virtualdeck_test); a long one is cut.
    const QString line = logLine(QTime(12, 3, 4, 56), Received{QByteArray(1000, '\x55'), Noise{}});
    EXPECT_TRUE(line.contains(QStringLiteral("(1000 bytes)"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("  noise")));
    EXPECT_LT(line.size(), 120);
}

TEST(DiscDrive, EachRecordStopCycleIsOneTrackWithItsTimeInWholeSecondsAndStrayCommandsDoNothing) {
    const DiscDrive::Clock::time_point start{};
    const struct {
        Disc disc;
        std::vector<std::chrono::milliseconds> recordStopAt; // record, stop, record, stop, ...
        std::array<int, 3> tracksMinutesSeconds;
    } cases[] = {
        {{}, {0s, 2499ms, 10s, 12500ms, 20s, 20400ms}, {3, 0, 5}}, // rounded; a short one is a track
        {Disc{.tracks = 9, .minutes = 59, .seconds = 58, .name = {}, .titles = {}}, {0s, 65s}, {10, 61, 3}},
    };
    for (const auto& row : std::span(cases)) {
        DiscDrive drive(row.disc);
        for (std::size_t at = 0; at < row.recordStopAt.size(); at += 2) {
            drive.record(start + row.recordStopAt[at]);
            EXPECT_TRUE(drive.isRecording());
            EXPECT_EQ(drive.disc().tracks, row.disc.tracks + static_cast<int>(at / 2))
                << "counted once stopped";
            drive.stop(start + row.recordStopAt[at + 1]);
            EXPECT_FALSE(drive.isRecording());
        }
        const Disc& disc = drive.disc();
        EXPECT_EQ((std::array{disc.tracks, disc.minutes, disc.seconds}), row.tracksMinutesSeconds);
    }
    DiscDrive drive;
    drive.stop(start + 1s);
    drive.record(start);
    drive.record(start + 5s); // does not restart the clock
    drive.stop(start + 8s);
    drive.stop(start + 9s);
    EXPECT_EQ((std::array{drive.disc().tracks, drive.disc().minutes, drive.disc().seconds}),
              (std::array{1, 0, 8}));
}

// Answers in pieces, queued behind one another, are checked through the deck (virtualdeck_test).
TEST(Transmitter, PiecesAreNearlyEqualLongerFirstAndClearForgetsWhatIsNotWrittenYet) {
    const QByteArray answer = testing::recordAck;
    EXPECT_EQ(piecesOf(answer, 0), std::vector<QByteArray>{answer}) << "at least one piece";
    EXPECT_EQ(piecesOf(answer, 50).size(), 7U) << "never more pieces than bytes";

    std::vector<QByteArray> writes;
    Transmitter transmitter([&writes](QByteArrayView written) { writes.push_back(written.toByteArray()); });
    transmitter.send(answer, Faults{.splitInto = 2, .splitGap = 20ms});
    ASSERT_EQ(writes.size(), 1U);
    transmitter.clear();
    EXPECT_TRUE(transmitter.isIdle());
    QTest::qWait(60);
    EXPECT_EQ(writes.size(), 1U);
}

} // namespace
} // namespace quorvex::deck
