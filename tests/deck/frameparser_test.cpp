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

// What the parser made of a stream: the frames' bytes and meanings in order, and every skipped byte.
struct Totals {
    std::vector<QByteArray> frames;
    std::vector<Meaning> meanings;
    QByteArray noise;
    bool operator==(const Totals&) const = default;
};

// Feeds the stream in two reads, cut after `cut` bytes.
Totals feed(QByteArrayView stream, qsizetype cut = 0) {
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

struct CommandCase {
    std::string_view name;
    Command command;
    int category;
    int code;
};

constexpr CommandCase commandTable[] = {
    {"on", commands::on, 0x01, 0x02},
    {"off", commands::off, 0x01, 0x03},
    {"play", commands::play, 0x02, 0x01},
    {"stop", commands::stop, 0x02, 0x02},
    {"back", commands::back, 0x02, 0x15},
    {"forward", commands::forward, 0x02, 0x16},
    {"record", commands::record, 0x02, 0x21},
    {"disc information", commands::discInformation, 0x20, 0x44},
    {"outside the table", Command{0x7E, 0x81}, 0x7E, 0x81},
};

TEST(FrameParser, EveryCommandFrameIsOneCommand) {
    for (const CommandCase& row : commandTable) {
        const QByteArray frame = commandBytes(row.category, row.code);
        EXPECT_EQ(feed(frame), (Totals{{frame}, {row.command}, {}})) << row.name;
    }
}

TEST(FrameParser, TitleTextEndsAtTheFirstNulAndIsWindows1252) {
    const QByteArray full = titleBytes(3, "Summer Holiday"); // 14 characters, no NUL
    const Totals totals = feed(titleBytes(0, "Caf\xE9 \x80 5") +
                               titleBytes(200, QByteArrayView("Ab\0junk", 7)) + titleBytes(12, "") + full);
    const std::vector<Meaning> expected{Title{0, QStringLiteral(u"Café € 5")},
                                        Title{200, QStringLiteral("Ab")}, Title{12, QString()},
                                        Title{3, QStringLiteral("Summer Holiday")}};
    EXPECT_EQ(totals.meanings, expected);
    ASSERT_EQ(totals.frames.size(), 4U);
    EXPECT_EQ(totals.frames[3], full);
}

TEST(FrameParser, WhatIsNoFrameIsNoise) {
    const QByteArray before = bytes({0x12, 0x34, 0xFF});
    const QByteArray between = bytes({0x00, 0x81, 0x99, 0x81, 0x07, 0x05});
    const QByteArray answer = bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x21, 0xFF});
    const QByteArray unknownLength = bytes({0x81, 0x09, 0x05, 0x47, 0x02, 0x21, 0x00, 0x00, 0xFF});
    // A title cut short inside its text must not swallow the frames behind it.
    const QByteArray cutTitle = titleBytes(2, "Some Long Name").first(12);
    const QByteArray record = commandBytes(2, 0x21);
    const QByteArray stop = commandBytes(2, 2);
    const struct {
        const char* what;
        QByteArray stream;
        qsizetype cut;
        Totals expected;
    } cases[] = {
        {"garbage before and between", before + record + between + stop, 0,
         Totals{{record, stop}, {commands::record, commands::stop}, before + between}},
        {"an answer and an unknown length", answer + unknownLength, 0,
         Totals{{}, {}, answer + unknownLength}},
        {"start byte inside a title", cutTitle + record + stop, 0,
         Totals{{record, stop}, {commands::record, commands::stop}, cutTitle}},
        {"a lone start byte, then a byte that starts nothing", bytes({0x81, 0x42}), 1,
         Totals{{}, {}, bytes({0x81, 0x42})}},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(feed(row.stream, row.cut), row.expected) << row.what;
    }
}

TEST(FrameParser, FramesSplitAtEveryPositionComeOutTheSame) {
    const QByteArray stream = bytes({0x00, 0x81}) + commandBytes(2, 0x21) + titleBytes(1, "Intro") +
                              bytes({0xFF}) + commandBytes(0x20, 0x44) + titleBytes(0, "Mix \xE9t\xE9") +
                              commandBytes(2, 2) + bytes({0x81});
    const Totals whole = feed(stream);
    ASSERT_EQ(whole.frames.size(), 5U);
    for (qsizetype cut = 1; cut < stream.size(); ++cut) {
        EXPECT_EQ(feed(stream, cut), whole) << "cut at " << cut;
    }
}

TEST(FrameParser, TruncatedFrameFollowedByAGoodOneGivesTheGoodOne) {
    const QByteArray good = commandBytes(2, 0x21);
    for (const QByteArray& cutShort : {commandBytes(2, 2), titleBytes(4, "Lost Track")}) {
        for (qsizetype kept = 1; kept < cutShort.size(); ++kept) {
            EXPECT_EQ(feed(cutShort.first(kept) + good, kept),
                      (Totals{{good}, {commands::record}, cutShort.first(kept)}))
                << "cut after " << kept << " of " << cutShort.size();
        }
    }
}

TEST(FrameParser, WrongEndByteOrWrongFixedByteIsNoise) {
    const QByteArray good = commandBytes(2, 2);
    // Fixed positions of each layout, in turn, given a wrong value.
    const std::pair<QByteArray, std::vector<qsizetype>> layouts[] = {
        {commandBytes(2, 0x21), {2, 3, 6}},
        {titleBytes(5, "Name"), {2, 3, 4, 6, 7, 22}},
    };
    for (const auto& [frame, fixed] : layouts) {
        for (const qsizetype at : fixed) {
            QByteArray wrong = frame;
            wrong[at] = static_cast<char>(static_cast<std::uint8_t>(wrong[at]) ^ 0x01);
            EXPECT_EQ(feed(wrong + good), (Totals{{good}, {commands::stop}, wrong}))
                << "byte " << at << " of a " << frame.size();
        }
    }
}

} // namespace
} // namespace quorvex::deck
