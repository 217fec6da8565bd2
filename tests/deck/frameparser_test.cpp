#include "deck/frameformat.h"
#include "deck/frameparser.h"
#include "framebytes.h"

#include <gtest/gtest.h>
#include <string_view>

namespace quorvex::deck {
namespace {

using testing::bytes;
using testing::commandBytes;
using testing::titleBytes;

struct Totals {
    std::vector<Received> frames; // commands and titles, in order
    QByteArray noise;             // every skipped byte, in order
};

void collect(Totals& totals, const std::vector<Received>& items) {
    for (const Received& item : items) {
        if (std::holds_alternative<Noise>(item.meaning)) {
            totals.noise.append(item.bytes);
        } else {
            totals.frames.push_back(item);
        }
    }
}

// Feeds the stream in the given chunk sizes (the rest in one last chunk).
Totals feedInChunks(QByteArrayView stream, const std::vector<qsizetype>& cuts) {
    FrameParser parser;
    Totals totals;
    qsizetype at = 0;
    for (const qsizetype cut : cuts) {
        collect(totals, parser.feed(stream.sliced(at, cut - at)));
        at = cut;
    }
    collect(totals, parser.feed(stream.sliced(at)));
    return totals;
}

void expectSameFrames(const std::vector<Received>& got, const std::vector<Received>& expected,
                      std::string_view where) {
    ASSERT_EQ(got.size(), expected.size()) << where;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].bytes, expected[i].bytes) << where << ", frame " << i;
        EXPECT_EQ(got[i].meaning, expected[i].meaning) << where << ", frame " << i;
    }
}

struct CommandCase {
    std::string_view name;
    Command command;
    int category;
    int code;
};

constexpr CommandCase commandTable[] = {
    {"on", commands::on, 0x01, 0x02},         {"off", commands::off, 0x01, 0x03},
    {"play", commands::play, 0x02, 0x01},     {"stop", commands::stop, 0x02, 0x02},
    {"back", commands::back, 0x02, 0x15},     {"forward", commands::forward, 0x02, 0x16},
    {"record", commands::record, 0x02, 0x21}, {"disc information", commands::discInformation, 0x20, 0x44},
};

TEST(FrameParser, EveryCommandFrameIsOneCommand) {
    for (const CommandCase& row : commandTable) {
        FrameParser parser;
        const QByteArray frame = commandBytes(row.category, row.code);
        const std::vector<Received> items = parser.feed(frame);
        ASSERT_EQ(items.size(), 1U) << row.name;
        EXPECT_EQ(items[0].bytes, frame) << row.name;
        EXPECT_EQ(items[0].meaning, Meaning{row.command}) << row.name;
        EXPECT_EQ(parser.pendingSize(), 0) << row.name;
    }
}

TEST(FrameParser, CommandOutsideTheTableIsStillAFrame) {
    FrameParser parser;
    const std::vector<Received> items = parser.feed(commandBytes(0x7E, 0x81));
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0].meaning, (Meaning{Command{0x7E, 0x81}}));
}

TEST(FrameParser, TitleTextEndsAtTheFirstNulAndIsWindows1252) {
    FrameParser parser;
    const QByteArray cafe = titleBytes(0, "Caf\xE9 \x80 5");
    const QByteArray afterNul = titleBytes(200, QByteArrayView("Ab\0junk", 7));
    const QByteArray empty = titleBytes(12, "");
    const QByteArray full = titleBytes(3, "Summer Holiday"); // 14 characters, no NUL
    const std::vector<Received> items = parser.feed(cafe + afterNul + empty + full);
    ASSERT_EQ(items.size(), 4U);
    EXPECT_EQ(items[0].meaning, (Meaning{Title{0, QStringLiteral(u"Café € 5")}}));
    EXPECT_EQ(items[1].meaning, (Meaning{Title{200, QStringLiteral("Ab")}}));
    EXPECT_EQ(items[2].meaning, (Meaning{Title{12, QString()}}));
    EXPECT_EQ(items[3].meaning, (Meaning{Title{3, QStringLiteral("Summer Holiday")}}));
    EXPECT_EQ(items[3].bytes, full);
}

TEST(FrameParser, GarbageBeforeAndBetweenFramesIsNoise) {
    FrameParser parser;
    const QByteArray before = bytes({0x12, 0x34, 0xFF});
    const QByteArray between = bytes({0x00, 0x81, 0x99, 0x81, 0x07, 0x05});
    const std::vector<Received> items =
        parser.feed(before + commandBytes(2, 0x21) + between + commandBytes(2, 2));
    ASSERT_EQ(items.size(), 4U);
    EXPECT_EQ(items[0].bytes, before);
    EXPECT_EQ(items[0].meaning, Meaning{Noise{}});
    EXPECT_EQ(items[1].meaning, Meaning{commands::record});
    EXPECT_EQ(items[2].bytes, between);
    EXPECT_EQ(items[2].meaning, Meaning{Noise{}});
    EXPECT_EQ(items[3].meaning, Meaning{commands::stop});
}

QByteArray mixedStream() {
    return bytes({0x00, 0x81}) + commandBytes(2, 0x21) + titleBytes(1, "Intro") + bytes({0xFF}) +
           commandBytes(0x20, 0x44) + titleBytes(0, "Mix \xE9t\xE9") + commandBytes(2, 2) + bytes({0x81});
}

TEST(FrameParser, FramesSplitAtEveryPositionComeOutTheSame) {
    const QByteArray stream = mixedStream();
    const Totals whole = feedInChunks(stream, {});
    ASSERT_EQ(whole.frames.size(), 5U);
    for (qsizetype cut = 1; cut < stream.size(); ++cut) {
        const Totals split = feedInChunks(stream, {cut});
        const std::string where = "cut at " + std::to_string(cut);
        expectSameFrames(split.frames, whole.frames, where);
        EXPECT_EQ(split.noise, whole.noise) << where;
    }
}

TEST(FrameParser, TruncatedFrameFollowedByAGoodOneGivesTheGoodOne) {
    const QByteArray good = commandBytes(2, 0x21);
    const QByteArray command = commandBytes(2, 2);
    const QByteArray title = titleBytes(4, "Lost Track");
    for (const QByteArray& cutShort : {command, title}) {
        for (qsizetype kept = 1; kept < cutShort.size(); ++kept) {
            const QByteArray stream = cutShort.first(kept) + good;
            const Totals totals = feedInChunks(stream, {kept});
            const std::string where =
                "cut after " + std::to_string(kept) + " of " + std::to_string(cutShort.size());
            ASSERT_EQ(totals.frames.size(), 1U) << where;
            EXPECT_EQ(totals.frames[0].bytes, good) << where;
            EXPECT_EQ(totals.noise, cutShort.first(kept)) << where;
        }
    }
}

TEST(FrameParser, WrongEndByteOrWrongFixedByteIsNoise) {
    const QByteArray good = commandBytes(2, 2);
    const QByteArray title = titleBytes(5, "Name");
    // Fixed positions of each layout, in turn, given a wrong value.
    const std::pair<QByteArray, std::vector<qsizetype>> layouts[] = {
        {commandBytes(2, 0x21), {2, 3, 6}},
        {title, {2, 3, 4, 6, 7, 22}},
    };
    for (const auto& [frame, fixed] : layouts) {
        for (const qsizetype at : fixed) {
            QByteArray wrong = frame;
            wrong[at] = static_cast<char>(static_cast<std::uint8_t>(wrong[at]) ^ 0x01);
            FrameParser parser;
            Totals totals;
            collect(totals, parser.feed(wrong + good));
            const std::string where = "byte " + std::to_string(at) + " of a " + std::to_string(frame.size());
            ASSERT_EQ(totals.frames.size(), 1U) << where;
            EXPECT_EQ(totals.frames[0].bytes, good) << where;
            EXPECT_EQ(totals.noise, wrong) << where;
        }
    }
}

TEST(FrameParser, AnswerFramesAndUnknownLengthsAreNoise) {
    FrameParser parser;
    const QByteArray answer = bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x21, 0xFF});
    const QByteArray unknownLength = bytes({0x81, 0x09, 0x05, 0x47, 0x02, 0x21, 0x00, 0x00, 0xFF});
    const std::vector<Received> items = parser.feed(answer + unknownLength);
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0].meaning, Meaning{Noise{}});
    EXPECT_EQ(items[0].bytes, answer + unknownLength);
}

TEST(FrameParser, LoneStartByteWaitsThenTurnsToNoise) {
    FrameParser parser;
    EXPECT_TRUE(parser.feed(bytes({0x81})).empty()) << "0x81 may start a frame: it waits for more";
    EXPECT_EQ(parser.pendingSize(), 1);
    const std::vector<Received> items = parser.feed(bytes({0x42}));
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0].bytes, bytes({0x81, 0x42}));
    EXPECT_EQ(parser.pendingSize(), 0);
}

TEST(FrameParser, StartByteInsideATitleEndsIt) {
    // A title cut short inside its text must not swallow the frames behind it.
    const QByteArray cut = titleBytes(2, "Some Long Name").first(12);
    const QByteArray stream = cut + commandBytes(2, 0x21) + commandBytes(2, 2);
    const Totals totals = feedInChunks(stream, {});
    ASSERT_EQ(totals.frames.size(), 2U);
    EXPECT_EQ(totals.frames[0].meaning, Meaning{commands::record});
    EXPECT_EQ(totals.frames[1].meaning, Meaning{commands::stop});
    EXPECT_EQ(totals.noise, cut);
}

} // namespace
} // namespace quorvex::deck
