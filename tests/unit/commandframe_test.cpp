#include "link/commandframe.h"

#include <gtest/gtest.h>
#include <string_view>

namespace quorvex {
namespace {

struct FrameCase {
    std::string_view name;
    CommandPair pair;
    CommandFrame bytes;
};

// Every command of the recorder's table, byte for byte as it must leave the computer.
constexpr FrameCase commandTable[] = {
    {"on", command::on, {0x81, 0x07, 0x05, 0x47, 0x01, 0x02, 0xFF}},
    {"off", command::off, {0x81, 0x07, 0x05, 0x47, 0x01, 0x03, 0xFF}},
    {"play", command::play, {0x81, 0x07, 0x05, 0x47, 0x02, 0x01, 0xFF}},
    {"stop", command::stop, {0x81, 0x07, 0x05, 0x47, 0x02, 0x02, 0xFF}},
    {"back", command::back, {0x81, 0x07, 0x05, 0x47, 0x02, 0x15, 0xFF}},
    {"forward", command::forward, {0x81, 0x07, 0x05, 0x47, 0x02, 0x16, 0xFF}},
    {"record", command::record, {0x81, 0x07, 0x05, 0x47, 0x02, 0x21, 0xFF}},
    {"disc information", command::discInformation, {0x81, 0x07, 0x05, 0x47, 0x20, 0x44, 0xFF}},
};

TEST(CommandFrame, EveryCommandOfTheTableIsItsSevenBytes) {
    for (const FrameCase& row : commandTable) {
        EXPECT_EQ(commandFrame(row.pair.category, row.pair.code), row.bytes) << row.name;
    }
}

TEST(CommandFrame, PairBytesCoverTheWholeByteRange) {
    // The pair travels as bytes 0..255; values above 127 must not be cut or sign-extended.
    const CommandFrame frame = commandFrame(255, 128);
    EXPECT_EQ(frame[4], 0xFF);
    EXPECT_EQ(frame[5], 0x80);
    EXPECT_EQ(frame[1], frame.size()) << "the second byte carries the frame's own length";
}

} // namespace
} // namespace quorvex
