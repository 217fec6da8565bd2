// The window against the virtual recorder: real QSerialPort, real pseudo-terminal, real time.
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/virtualdeck.h"
#include "platform/inisettingsstore.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

namespace quorvex::testing {
namespace {

using deck::Disc;
using deck::Faults;
using deck::VirtualDeck;

Disc fullDisc() {
    Disc disc;
    disc.tracks = 12;
    disc.minutes = 45;
    disc.seconds = 7;
    return disc;
}

class DiscLinkTest : public ::testing::Test {
protected:
    void connectTo(const Disc& disc, const Faults& faults = {}) {
        recorder = std::make_unique<VirtualDeck>(disc, faults);
        ASSERT_TRUE(recorder->isOpen());
        IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"),
                                recorder->devicePath());
        window = std::make_unique<frmQuorvex>(makeSystemPlatform());
        window->selectPort(1);
    }

    // Presses "Check disc"; the click returns when the label has been rewritten. Returns the seconds it took.
    double checkDisc() const {
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(window->findChild<QAbstractButton*>("btnCheckTracks"), Qt::LeftButton);
        return static_cast<double>(clock.elapsed()) / 1000.0;
    }

    [[nodiscard]] QString trackInfo() const { return window->findChild<QLabel*>("lblTrackInfo")->text(); }

    std::unique_ptr<VirtualDeck> recorder;
    std::unique_ptr<frmQuorvex> window;
};

// What the line does to an answer on a real port: late, in pieces, with noise in front that looks like the
// start of an answer, and a status frame right behind it in the same read.
TEST_F(DiscLinkTest, LateSplitAndNoisyAnswersStillGiveTheRightLabel) {
    Faults awkward;
    awkward.splitInto = 4;
    awkward.splitGap = std::chrono::milliseconds(120);
    awkward.lateBy = std::chrono::milliseconds(700);
    awkward.noiseBefore = QByteArray::fromHex("FF 20 60 81 00 FF");
    awkward.noiseAfter = QByteArray::fromHex("81 05 05 47 FF");
    connectTo(fullDisc(), awkward);
    EXPECT_LT(checkDisc(), 3.5) << "an answer ends the wait early";
    EXPECT_EQ(trackInfo(), "12 Tracks 45m 07s");
}

} // namespace
} // namespace quorvex::testing
