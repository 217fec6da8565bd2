#include "deck/answers.h"
#include "framebytes.h"

#include <gtest/gtest.h>

namespace quorvex::deck {
namespace {

using testing::bytes;

TEST(Answers, DiscInformationValuesAreHeldToOneByte) {
    const Disc big{.tracks = 300, .minutes = 256, .seconds = -4, .name = {}, .titles = {}};
    EXPECT_EQ(discInformationAnswer(big),
              bytes({0x81, 0x0D, 0x05, 0x48, 0x20, 0x60, 0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF}));
}

} // namespace
} // namespace quorvex::deck
