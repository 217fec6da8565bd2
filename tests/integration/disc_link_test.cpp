// The window against the virtual recorder: real QSerialPort, real pseudo-terminal, real time.
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/virtualdeck.h"
#include "platform/inisettingsstore.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

namespace quorvex::testing {
namespace {

using namespace std::chrono_literals;

// What the line does to an answer on a real port: late, in pieces, with noise in front that looks like the
// start of an answer, and a status frame right behind it in the same read.
TEST(DiscLink, LateSplitAndNoisyAnswersStillGiveTheRightLabel) {
    const deck::VirtualDeck recorder(
        deck::Disc{.tracks = 12, .minutes = 45, .seconds = 7, .name = {}, .titles = {}},
        deck::Faults{.lateBy = 700ms,
                     .splitInto = 4,
                     .splitGap = 120ms,
                     .noiseBefore = QByteArray::fromHex("FF 20 60 81 00 FF"),
                     .noiseAfter = QByteArray::fromHex("81 05 05 47 FF")});
    ASSERT_TRUE(recorder.isOpen());
    IniSettingsStore().save(QStringLiteral("Commport"), QStringLiteral("Device1"), recorder.devicePath());
    frmQuorvex window(makeSystemPlatform());
    window.selectPort(1);

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(window.findChild<QAbstractButton*>("btnCheckTracks"), Qt::LeftButton);
    EXPECT_LT(clock.elapsed(), 3500) << "an answer ends the wait early";
    EXPECT_EQ(window.findChild<QLabel*>("lblTrackInfo")->text(), "12 Tracks 45m 07s");
}

} // namespace
} // namespace quorvex::testing
