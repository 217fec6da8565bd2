#include "deck/logline.h"
#include "framebytes.h"

#include <gtest/gtest.h>

namespace quorvex::deck {
namespace {

using testing::bytes;

const QTime noon(12, 3, 4, 56);

TEST(LogLine, NoiseIsNamedAndLongNoiseIsCut) {
    EXPECT_EQ(logLine(noon, Received{bytes({0x12, 0xFF}), Noise{}}),
              QStringLiteral("12:03:04.056  12 FF  noise"));

    const Received lots{QByteArray(1000, '\x55'), Noise{}};
    const QString line = logLine(noon, lots);
    EXPECT_TRUE(line.contains(QStringLiteral("(1000 bytes)"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("  noise")));
    EXPECT_LT(line.size(), 120);
}

} // namespace
} // namespace quorvex::deck
