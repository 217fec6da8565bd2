#include "link/commandframe.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(CommandFrame, PairBytesCoverTheWholeByteRange) {
    // The pair travels as bytes 0..255; values above 127 must not be cut or sign-extended.
    const CommandFrame frame = commandFrame(255, 128);
    EXPECT_EQ(frame[4], 0xFF);
    EXPECT_EQ(frame[5], 0x80);
    EXPECT_EQ(frame[1], frame.size()) << "the second byte carries the frame's own length";
}

} // namespace
} // namespace quorvex
