#include "link/recorderline.h"
#include "support/fakes.h"

#include <array>
#include <gtest/gtest.h>
#include <QSignalSpy>

namespace quorvex::testing {
namespace {

constexpr std::array<std::uint8_t, 3> someFrame{0x81, 0x02, 0xFF};

TEST(RecorderLine, ClosedPortSwallowsFramesOpenPortWritesThemWhole) {
    Journal journal;
    FakeSerialPort port(journal);
    RecorderLine line(port);

    line.send(someFrame);
    EXPECT_TRUE(port.frames.empty());

    ASSERT_FALSE(port.open().has_value());
    line.send(someFrame);
    ASSERT_EQ(port.frames.size(), 1U);
    EXPECT_EQ(port.frames[0], QByteArray("\x81\x02\xFF", 3));
}

TEST(RecorderLine, BrokenLineIsClosedAndReportedOnceThenStaysQuiet) {
    Journal journal;
    FakeSerialPort port(journal);
    RecorderLine line(port);
    const QSignalSpy lost(&line, &RecorderLine::lost);
    ASSERT_FALSE(port.open().has_value());

    port.breakLine(QStringLiteral("/dev/ttyUSB0: Input/output error"));

    EXPECT_FALSE(port.isOpen());
    ASSERT_EQ(lost.count(), 1);
    EXPECT_EQ(lost.at(0).at(0).toString(), QStringLiteral("/dev/ttyUSB0: Input/output error"));
    line.send(someFrame);
    line.send(someFrame);
    EXPECT_TRUE(port.frames.empty());
    EXPECT_EQ(lost.count(), 1);
}

} // namespace
} // namespace quorvex::testing
