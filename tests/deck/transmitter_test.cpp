#include "deck/transmitter.h"
#include "framebytes.h"

#include <gtest/gtest.h>
#include <QTest>

namespace quorvex::deck {
namespace {

using namespace std::chrono_literals;
using testing::bytes;

const QByteArray answer = bytes({0x81, 0x07, 0x05, 0x48, 0x02, 0x21, 0xFF});

// Answers queued behind one another are checked through the deck (deckfaults_test).
TEST(PiecesOf, CutsIntoNearlyEqualPiecesLongerFirst) {
    EXPECT_EQ(piecesOf(answer, 3),
              (std::vector<QByteArray>{answer.first(3), answer.sliced(3, 2), answer.sliced(5)}));
    EXPECT_EQ(piecesOf(answer, 0), std::vector<QByteArray>{answer}) << "at least one piece";
    EXPECT_EQ(piecesOf(answer, 50).size(), 7U) << "never more pieces than bytes";
}

TEST(Transmitter, ClearForgetsWhatIsNotWrittenYet) {
    std::vector<QByteArray> writes;
    Transmitter transmitter([&writes](QByteArrayView written) { writes.push_back(written.toByteArray()); });
    transmitter.send(answer, Faults{.splitInto = 2, .splitGap = 20ms});
    ASSERT_EQ(writes.size(), 1U);
    transmitter.clear();
    EXPECT_TRUE(transmitter.isIdle());
    QTest::qWait(60);
    EXPECT_EQ(writes.size(), 1U);
}

} // namespace
} // namespace quorvex::deck
