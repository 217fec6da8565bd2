#include "deck/logline.h"
#include "framebytes.h"

#include <gtest/gtest.h>
#include <QRegularExpression>

namespace quorvex::deck {
namespace {

using testing::bytes;
using testing::commandBytes;
using testing::titleBytes;

const QTime noon(12, 3, 4, 56);

TEST(LogLine, ShowsTimeBytesAndMeaning) {
    const Received record{commandBytes(2, 0x21), commands::record};
    EXPECT_EQ(logLine(noon, record), QStringLiteral("12:03:04.056  81 07 05 47 02 21 FF  record"));
    const Received request{commandBytes(0x20, 0x44), commands::discInformation};
    EXPECT_EQ(logLine(noon, request),
              QStringLiteral("12:03:04.056  81 07 05 47 20 44 FF  disc information request"));
}

TEST(LogLine, TitlesAreQuoted) {
    const Received title{titleBytes(3, "Summer Holiday"), Title{3, QStringLiteral("Summer Holiday")}};
    EXPECT_TRUE(logLine(noon, title)
                    .endsWith(QStringLiteral(
                        "53 75 6D 6D 65 72 20 48 6F 6C 69 64 61 79 FF  title track 3 \"Summer Holiday\"")))
        << logLine(noon, title).toStdString();
    EXPECT_EQ(meaningOf(Title{0, QStringLiteral("Mix")}),
              QStringLiteral("title track 0 \"Mix\" (disc name)"));
}

TEST(LogLine, NoiseIsNamedAndLongNoiseIsCut) {
    EXPECT_EQ(logLine(noon, Received{bytes({0x12, 0xFF}), Noise{}}),
              QStringLiteral("12:03:04.056  12 FF  noise"));

    const Received lots{QByteArray(1000, '\x55'), Noise{}};
    const QString line = logLine(noon, lots);
    EXPECT_TRUE(line.contains(QStringLiteral("(1000 bytes)"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("  noise")));
    EXPECT_LT(line.size(), 120);
}

TEST(LogLine, LiveTimeHasMilliseconds) {
    const QString line = logLine(QTime::currentTime(), Received{commandBytes(1, 2), commands::on});
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d\d\d  81 07 05 47 01 02 FF  on$)"))
                    .match(line)
                    .hasMatch())
        << line.toStdString();
}

} // namespace
} // namespace quorvex::deck
