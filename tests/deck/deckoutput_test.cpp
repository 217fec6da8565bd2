// What the deck writes out at the edges of its ranges: answer bytes and log lines.
#include "deck/answers.h"
#include "deck/logline.h"
#include "framebytes.h"

#include <gtest/gtest.h>

namespace quorvex::deck {
namespace {

TEST(Answers, DiscInformationValuesAreHeldToOneByte) {
    const Disc big{.tracks = 300, .minutes = 256, .seconds = -4, .name = {}, .titles = {}};
    EXPECT_EQ(discInformationAnswer(big),
              testing::bytes({0x81, 0x0D, 0x05, 0x48, 0x20, 0x60, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF}));
}

// A short noise line is checked as the deck logs it (virtualdeck_test); a long one is cut.
TEST(LogLine, LongNoiseIsCut) {
    const QString line = logLine(QTime(12, 3, 4, 56), Received{QByteArray(1000, '\x55'), Noise{}});
    EXPECT_TRUE(line.contains(QStringLiteral("(1000 bytes)"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("  noise")));
    EXPECT_LT(line.size(), 120);
}

} // namespace
} // namespace quorvex::deck
