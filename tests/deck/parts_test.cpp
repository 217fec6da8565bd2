// The deck's parts without a line: the frame parser, the answers and log lines it writes, the disc drive's
// counting, the transmitter's pieces and the options of quorvex-deck.
#include "deck/controla1/answers.h"
#include "deck/controla1/discdrive.h"
#include "deck/controla1/frameparser.h"
#include "deck/controla1/logline.h"
#include "deck/deckoptions.h"
#include "deck/transmitter.h"
#include "deckfixture.h"

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace quorvex::deck::testing {
namespace {

using namespace std::chrono_literals;

// What the parser made of a stream: each frame's bytes and meaning in order, and every skipped byte.
struct Totals {
    std::vector<std::pair<QByteArray, Meaning>> frames;
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
                totals.frames.emplace_back(item.bytes, item.meaning);
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
    // Title text ends at the first NUL and is Windows-1252; a command the deck does not know is a command
    // too.
    const std::vector<std::pair<QByteArray, Meaning>> frames{
        {titleBytes(0, "Caf\xE9 \x80 5"), Title{0, QStringLiteral(u"Café € 5")}},
        {titleBytes(200, QByteArrayView("Ab\0junk", 7)), Title{200, QStringLiteral("Ab")}},
        {titleBytes(12, ""), Title{12, QString()}},
        {titleBytes(3, "Summer Holiday"), Title{3, QStringLiteral("Summer Holiday")}},
        {commandBytes(0x7E, 0x81), Command{0x7E, 0x81}},
    };
    const QByteArray before = bytes({0x12, 0x34, 0xFF});
    const QByteArray between = bytes({0x00, 0x81, 0x99, 0x81, 0x07, 0x05});
    const QByteArray answerAndUnknownLength = bytes(
        {0x81, 0x07, 0x05, 0x48, 0x02, 0x21, 0xFF, 0x81, 0x09, 0x05, 0x47, 0x02, 0x21, 0x00, 0x00, 0xFF});
    // A title cut short inside its text must not swallow the frames behind it.
    const QByteArray cutTitle = titleBytes(2, "Some Long Name").first(12);
    const std::vector<std::pair<QByteArray, Meaning>> recordStop{{record, commands::record},
                                                                 {stop, commands::stop}};
    std::vector<std::pair<QByteArray, Totals>> cases{
        {frames[0].first + frames[1].first + frames[2].first + frames[3].first + frames[4].first,
         Totals{frames, {}}},
        // garbage before and between, a start byte left over for the next read
        {before + record + between + stop + bytes({0x81}), Totals{recordStop, before + between}},
        {answerAndUnknownLength, Totals{{}, answerAndUnknownLength}},
        {cutTitle + record + stop, Totals{recordStop, cutTitle}},
    };
    // Each layout's frame cut short, and with each of its fixed bytes given a wrong value in turn: noise, and
    // the good frame behind it is found.
    const auto thenRecord = [&](const QByteArray& noise) {
        cases.emplace_back(noise + record, Totals{{{record, commands::record}}, noise});
    };
    const std::pair<QByteArray, std::vector<qsizetype>> layouts[] = {
        {stop, {2, 3, 6}},
        {titleBytes(5, "Lost Track"), {2, 3, 4, 6, 7, 22}},
    };
    for (const auto& [frame, fixed] : std::span(layouts)) {
        for (qsizetype kept = 1; kept < frame.size(); ++kept) {
            thenRecord(frame.first(kept));
        }
        for (const qsizetype at : fixed) {
            QByteArray wrong = frame;
            wrong[at] = static_cast<char>(static_cast<std::uint8_t>(wrong[at]) ^ 0x01);
            thenRecord(wrong);
        }
    }
    for (const auto& [stream, expected] : cases) {
        for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
            EXPECT_EQ(feed(stream, cut), expected) << stream.toHex(' ').toStdString() << ", cut at " << cut;
        }
    }
}

// Disc values are held to one byte; a log line is the time, the bytes and their meaning, and a long run of
// noise shows its first 24 bytes only.
TEST(Answers, DiscInformationValuesAreHeldToOneByteAndLogLinesShowTimeBytesAndMeaning) {
    const Disc big{.tracks = 300, .minutes = 256, .seconds = -4};
    EXPECT_EQ(discInformationAnswer(big), discAnswer(0xFF, 0xFF, 0x00));
    const QTime at(12, 3, 4, 56);
    EXPECT_EQ(logLine(at, Received{commandBytes(0x20, 0x44), commands::discInformation}),
              "12:03:04.056  81 07 05 47 20 44 FF  disc information request");
    EXPECT_EQ(logLine(at, Received{QByteArray(1000, '\x55'), Noise{}}),
              "12:03:04.056  " + QStringLiteral("55 ").repeated(24) +
                  QStringLiteral(u"… (1000 bytes)  noise"));
}

// Each record…stop cycle is one track, its time rounded to whole seconds; a stop while nothing records does
// nothing, and a record while recording is a track mark.
TEST(DiscDrive, EachRecordStopCycleIsOneTrackWithItsTimeInWholeSecondsAndARecordWhileRecordingMarksATrack) {
    const struct {
        Disc disc;
        std::string_view commands; // r: record, s: stop
        std::vector<std::chrono::milliseconds> at;
        std::array<int, 3> tracksMinutesSeconds;
    } cases[] = {
        {{}, "rsrsrs", {0s, 2499ms, 10s, 12500ms, 20s, 20400ms}, {3, 0, 5}}, // a short one is a track too
        {Disc{.tracks = 9, .minutes = 59, .seconds = 58}, "rs", {0s, 65s}, {10, 61, 3}},
        {{}, "srrss", {1s, 0s, 5s, 8s, 9s}, {2, 0, 8}}, // the mark at 5 s: 0:05 and 0:03
    };
    for (const auto& row : std::span(cases)) {
        DiscDrive drive(row.disc);
        for (std::size_t i = 0; i < row.at.size(); ++i) {
            const DiscDrive::Clock::time_point at{row.at[i]};
            const bool wasRecording = drive.isRecording();
            if (row.commands[i] == 'r') {
                EXPECT_EQ(drive.record(at), wasRecording);
            } else {
                drive.stop(at);
            }
            EXPECT_EQ(drive.isRecording(), row.commands[i] == 'r');
        }
        const Disc& disc = drive.disc();
        EXPECT_EQ((std::array{disc.tracks, disc.minutes, disc.seconds}), row.tracksMinutesSeconds);
    }
}

// Answers leave in nearly equal pieces, the longer first, the noise with the first piece and behind the last;
// an answer sent while another is on its way follows that one's last piece, never between its pieces; and
// clear() forgets what is not written yet.
TEST(Transmitter, AnswersLeaveInPiecesOneAfterAnotherAndClearForgetsTheRest) {
    EXPECT_EQ(piecesOf(recordAck, 0), std::vector<QByteArray>{recordAck});
    EXPECT_EQ(piecesOf(recordAck, 50).size(), 7U);

    std::vector<QByteArray> writes;
    Transmitter transmitter([&writes](QByteArrayView written) { writes.push_back(written.toByteArray()); });
    const Faults faults{.splitInto = 3, .splitGap = 20ms, .noiseBefore = "<", .noiseAfter = ">"};
    const QByteArray disc = discAnswer(0, 0, 0);
    const auto start = std::chrono::steady_clock::now();
    transmitter.send(disc, faults);
    transmitter.send(recordAck, faults);
    EXPECT_EQ(writes.size(), 1U);
    ASSERT_TRUE(QTest::qWaitFor([&transmitter] { return transmitter.isIdle(); }, 1000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 4 * 20ms);
    EXPECT_EQ(writes, (std::vector<QByteArray>{"<" + disc.first(5), disc.sliced(5, 4), disc.sliced(9) + ">",
                                               "<" + recordAck.first(3), recordAck.sliced(3, 2),
                                               recordAck.sliced(5) + ">"}));

    transmitter.send(recordAck, faults);
    transmitter.clear();
    EXPECT_TRUE(transmitter.isIdle());
    QTest::qWait(60);
    EXPECT_EQ(writes.size(), 7U);
}

// Without --split-gap the pieces of an answer are 30 ms apart; --silent is read as it says. What the other
// options do to a running deck is the program test's.
TEST(DeckOptions, TheSplitGapIsThirtyMillisecondsUnlessGivenAndSilentIsRead) {
    QCommandLineParser parser;
    addDeckOptions(parser);
    ASSERT_TRUE(parser.parse({"quorvex-deck", "--split", "3", "--silent"}));
    const Faults faults = readDeckOptions(parser).options.value().faults;
    EXPECT_EQ(faults.splitGap, 30ms);
    EXPECT_TRUE(faults.silent);
}

} // namespace
} // namespace quorvex::deck::testing
