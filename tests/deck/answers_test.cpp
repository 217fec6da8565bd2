#include "deck/answers.h"
#include "deck/commands.h"
#include "deck/faults.h"
#include "framebytes.h"

#include <gtest/gtest.h>

namespace quorvex::deck {
namespace {

using testing::bytes;

TEST(Answers, RecordAndStopAreAcknowledgedByteExact) {
    const Disc disc;
    const auto record = answerTo(commands::record, disc);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->kind, Answer::record);
    EXPECT_EQ(record->bytes, bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x21, 0xFF}));

    const auto stop = answerTo(commands::stop, disc);
    ASSERT_TRUE(stop.has_value());
    EXPECT_EQ(stop->kind, Answer::stop);
    EXPECT_EQ(stop->bytes, bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x02, 0xFF}));
}

TEST(Answers, DiscInformationTellsTracksAndTimeByteExact) {
    const Disc disc{.tracks = 12, .minutes = 47, .seconds = 9, .name = {}, .titles = {}};
    const auto answer = answerTo(commands::discInformation, disc);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->kind, Answer::discInformation);
    const QByteArray expected =
        bytes({0x81, 0x0D, 0x05, 0x48, 0x20, 0x60, 0x01, 0x00, 12, 47, 9, 0x00, 0xFF});
    ASSERT_EQ(answer->bytes, expected);

    // Where the program looks: 20 60 eight bytes before the end, the values four, three, two before it.
    const qsizetype end = answer->bytes.size() - 1;
    EXPECT_EQ(answer->bytes[end], static_cast<char>(0xFF));
    EXPECT_EQ(answer->bytes.sliced(end - 8, 2), bytes({0x20, 0x60}));
    EXPECT_EQ(answer->bytes[end - 4], 12);
    EXPECT_EQ(answer->bytes[end - 3], 47);
    EXPECT_EQ(answer->bytes[end - 2], 9);
}

TEST(Answers, DiscInformationValuesAreHeldToOneByte) {
    const Disc big{.tracks = 300, .minutes = 256, .seconds = -4, .name = {}, .titles = {}};
    EXPECT_EQ(discInformationAnswer(big),
              bytes({0x81, 0x0D, 0x05, 0x48, 0x20, 0x60, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF}));
}

TEST(Answers, OtherCommandsGetNoAnswer) {
    const Disc disc;
    for (const Command command : {commands::on, commands::off, commands::play, commands::back,
                                  commands::forward, Command{0x02, 0x22}, Command{0x20, 0x45}}) {
        EXPECT_FALSE(answerTo(command, disc).has_value())
            << int{command.category} << "," << int{command.code};
    }
}

TEST(Answers, AcknowledgementEchoesThePairWithTheAnswerMark) {
    EXPECT_EQ(acknowledgement(Command{0xAB, 0x81}), bytes({0x81, 0x07, 0x05, 0x48, 0xAB, 0x81, 0xFF}));
}

TEST(Faults, DecideWhichAnswersLeave) {
    const Faults plain;
    EXPECT_TRUE(isAnswered(plain, Answer::record));
    EXPECT_TRUE(isAnswered(plain, Answer::stop));
    EXPECT_TRUE(isAnswered(plain, Answer::discInformation));

    const Faults silent{.silent = true};
    EXPECT_FALSE(isAnswered(silent, Answer::record));
    EXPECT_FALSE(isAnswered(silent, Answer::discInformation));

    const Faults onlyStop{.answerOnly = std::set<Answer>{Answer::stop}};
    EXPECT_FALSE(isAnswered(onlyStop, Answer::record));
    EXPECT_TRUE(isAnswered(onlyStop, Answer::stop));
    EXPECT_FALSE(isAnswered(onlyStop, Answer::discInformation));

    const Faults none{.answerOnly = std::set<Answer>{}};
    EXPECT_FALSE(isAnswered(none, Answer::stop));
}

TEST(Commands, NamesFollowTheRecordersTable) {
    EXPECT_EQ(commandName(commands::on), QStringLiteral("on"));
    EXPECT_EQ(commandName(commands::off), QStringLiteral("off"));
    EXPECT_EQ(commandName(commands::play), QStringLiteral("play"));
    EXPECT_EQ(commandName(commands::stop), QStringLiteral("stop"));
    EXPECT_EQ(commandName(commands::back), QStringLiteral("back"));
    EXPECT_EQ(commandName(commands::forward), QStringLiteral("forward"));
    EXPECT_EQ(commandName(commands::record), QStringLiteral("record"));
    EXPECT_EQ(commandName(commands::discInformation), QStringLiteral("disc information request"));
    EXPECT_EQ(commandName(Command{0x07, 0xAB}), QStringLiteral("unknown command 07 AB"));
}

} // namespace
} // namespace quorvex::deck
