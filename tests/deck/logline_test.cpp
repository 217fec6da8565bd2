#include "deck/logline.h"

#include <gtest/gtest.h>

namespace quorvex::deck {
namespace {

const QTime noon(12, 3, 4, 56);

// A short noise line is checked as the deck logs it (virtualdeck_test); a long one is cut.
TEST(LogLine, LongNoiseIsCut) {
    const Received lots{QByteArray(1000, '\x55'), Noise{}};
    const QString line = logLine(noon, lots);
    EXPECT_TRUE(line.contains(QStringLiteral("(1000 bytes)"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral("  noise")));
    EXPECT_LT(line.size(), 120);
}

} // namespace
} // namespace quorvex::deck
