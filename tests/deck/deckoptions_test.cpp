#include "deck/deckoptions.h"

#include <gtest/gtest.h>
#include <tuple>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;

DeckOptionsResult parse(QStringList arguments) {
    QCommandLineParser parser;
    addDeckOptions(parser);
    arguments.prepend(QStringLiteral("quorvex-deck"));
    if (!parser.parse(arguments)) {
        return {std::nullopt, parser.errorText()};
    }
    return readDeckOptions(parser);
}

TEST(DeckOptions, NoOptionsIsAnEmptyDiscWithoutFaultsAndEveryOptionIsRead) {
    const DeckOptionsResult none = parse({});
    ASSERT_TRUE(none.options.has_value()) << none.error.toStdString();
    EXPECT_EQ(none.options->disc.tracks, 0);
    const Faults& noFaults = none.options->faults;
    EXPECT_FALSE(noFaults.silent || noFaults.answerOnly || noFaults.closeAfterFrames);
    EXPECT_EQ(std::tuple(noFaults.lateBy, noFaults.splitInto, noFaults.splitGap), std::tuple(0ms, 1, 30ms));
    EXPECT_TRUE(noFaults.noiseBefore.isEmpty() && none.options->linkPath.isEmpty());

    const DeckOptionsResult result =
        parse(QStringLiteral(
                  "--tracks 7 --minutes 31 --seconds 59 --silent --answer record,disc --late 250 --split 3 "
                  "--split-gap 15 --noise 00:ff:81 --close-after 4 --link /tmp/recorder --noise-after "
                  "81050547FF")
                  .split(' '));
    ASSERT_TRUE(result.options.has_value()) << result.error.toStdString();
    const DeckOptions& options = *result.options;
    EXPECT_EQ(std::tuple(options.disc.tracks, options.disc.minutes, options.disc.seconds),
              std::tuple(7, 31, 59));
    EXPECT_TRUE(options.faults.silent);
    EXPECT_EQ(options.faults.answerOnly, (std::set<Answer>{Answer::record, Answer::discInformation}));
    EXPECT_EQ(std::tuple(options.faults.lateBy, options.faults.splitInto, options.faults.splitGap),
              std::tuple(250ms, 3, 15ms));
    EXPECT_EQ(options.faults.noiseBefore, QByteArray::fromHex("00FF81"));
    EXPECT_EQ(options.faults.noiseAfter, QByteArray::fromHex("81050547FF"));
    EXPECT_EQ(options.faults.closeAfterFrames, 4);
    EXPECT_EQ(options.linkPath, QStringLiteral("/tmp/recorder"));
}

TEST(DeckOptions, WrongValuesAreRefusedWithAReason) {
    const QList<QStringList> wrong{
        {"--tracks", "many"},    {"--tracks", "-1"},          {"--seconds", "60"},
        {"--split", "0"},        {"--late", "1.5"},           {"--noise", "0F0"},
        {"--noise-after", "zz"}, {"--answer", "record,play"}, {"--close-after", "0"},
    };
    for (const QStringList& arguments : wrong) {
        const DeckOptionsResult result = parse(arguments);
        EXPECT_FALSE(result.options.has_value()) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.error.contains(arguments[0].mid(2))) << result.error.toStdString();
    }
}

TEST(BytesFromHex, TakesWholeBytesWithOrWithoutSeparators) {
    EXPECT_EQ(bytesFromHex(QStringLiteral("81 07 ff")), QByteArray::fromHex("8107FF"));
    EXPECT_EQ(bytesFromHex(QStringLiteral("8107FF")), QByteArray::fromHex("8107FF"));
    EXPECT_FALSE(bytesFromHex(QStringLiteral("81 0")).has_value());
    EXPECT_FALSE(bytesFromHex(QStringLiteral("")).has_value());
    EXPECT_FALSE(bytesFromHex(QStringLiteral("0x81")).has_value());
}

} // namespace
} // namespace quorvex::deck
