// quorvex-deck's options as they are read: which recorder, and what each option sets on its deck. The
// program itself, run with them, is the program test's.
#include "deck/deckoptions.h"
#include "deckfixture.h"

#include <span>

namespace quorvex::deck::testing {
namespace {

using namespace std::chrono_literals;

// The options as one line, split at spaces.
DeckOptionsResult read(const char* line) {
    QCommandLineParser parser;
    addDeckOptions(parser);
    const QStringList arguments = QStringLiteral("quorvex-deck %1").arg(QLatin1String(line)).split(' ');
    EXPECT_TRUE(parser.parse(arguments)) << parser.errorText().toStdString();
    return readDeckOptions(parser);
}

// Every option of the MDS-E deck lands in its disc, settings or faults, the shared ones as well; the
// read-back faults reach the Control-A1 deck too.
TEST(DeckOptions, EachOptionLandsOnTheDeckOfTheRecorderChosen) {
    const DeckOptionsResult mdseRead = read(
        "--recorder mds-e --model e11 --standby --no-disc --disc-length 80 --tracks 3 --minutes 2 "
        "--seconds 1 --echo-unchanged --toc-read 5 --din-lock 6 --toc-write 7 --single-zero-end "
        "--no-disc-name-continuation --lose-rec-report 2 --lose-write-ack 0 --garble-reply 3 --refuse-rec "
        "--no-lock --full-after 9 --drop-track 4 --short-by 2 --garble-name 5 --no-read-back --late 8 "
        "--split 2 --split-gap 10 --noise 7E --noise-after 6F --close-after 11 --silent");
    ASSERT_TRUE(mdseRead.options) << mdseRead.error.toStdString();
    EXPECT_EQ(mdseRead.options->recorder, RecorderFamily::mdsE);
    mdse::Disc disc;
    disc.tracks = {{41s, {}}, {40s, {}}, {40s, {}}};
    disc.capacity = 80min;
    const MdseOptions expected{
        disc,
        {mdse::Model::e11, true, true, true, 5ms, 6ms, 7ms, true, false},
        {true, 8ms, 2, 10ms, "~", "o", 11, 2, 0, 3, true, true, 9, {4, 2, 5, true}}, // noise: 7E, 6F
    };
    EXPECT_TRUE(mdseRead.options->mdse == expected);

    const DeckOptionsResult controlA1 = read("--drop-track 1 --short-by 3 --garble-name 2 --no-read-back");
    ASSERT_TRUE(controlA1.options);
    EXPECT_EQ(controlA1.options->recorder, RecorderFamily::controlA1);
    EXPECT_TRUE(controlA1.options->faults.readBack == (ReadBackFaults{1, 3, 2, true}));
}

// An option of one recorder given for the other, a model or family that does not exist, a disc holding more
// than it can, a count below its range: refused, naming the option.
TEST(DeckOptions, OptionsOfTheOtherRecorderAndValuesOutOfRangeAreRefused) {
    const std::pair<const char*, const char*> wrong[] = {
        {"--recorder mdse", "--recorder"},
        {"--model E11", "--model"},
        {"--no-lock", "--no-lock"},
        {"--recorder mds-e --answer stop", "--answer"},
        {"--recorder mds-e --model E13", "--model"},
        {"--recorder mds-e --standby", "--standby"},
        {"--recorder mds-e --tracks 1 --minutes 75", "--disc-length"},
        {"--recorder mds-e --seconds 5", "--tracks"},
        {"--recorder mds-e --lose-write-ack -1", "--lose-write-ack"},
        {"--recorder mds-e --toc-read soon", "--toc-read"},
        {"--drop-track 0", "--drop-track"},
    };
    for (const auto& [arguments, option] : std::span(wrong)) {
        const DeckOptionsResult refused = read(arguments);
        EXPECT_FALSE(refused.options) << arguments;
        EXPECT_TRUE(refused.error.contains(QLatin1String(option))) << refused.error.toStdString();
    }
}

} // namespace
} // namespace quorvex::deck::testing
