// The window against the virtual recorder: real QSerialPort, real pseudo-terminal, real time.
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/virtualdeck.h"
#include "platform/inisettingsstore.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>
#include <QTest>

namespace quorvex::testing {
namespace {

using namespace std::chrono_literals;

// What the line does to an answer on a real port: late, in pieces, behind a flood of 1,000 bytes of noise
// (no end byte among them) that arrives in one Tick and ends in what looks like the start of an answer,
// and with a status frame right behind it in the same read. How the reply watcher reads noise around and
// inside an answer, byte by byte, is the unit tests' (waits_test).
TEST(DiscLink, LateSplitAndNoisyAnswersStillGiveTheRightLabel) {
    QByteArray flood(1000, '\0');
    QRandomGenerator random(7);
    for (char& byte : flood) {
        byte = static_cast<char>(random.bounded(255));
    }
    const deck::VirtualDeck recorder(
        deck::Disc{.tracks = 12, .minutes = 45, .seconds = 7, .name = {}, .titles = {}},
        deck::Faults{.lateBy = 700ms,
                     .splitInto = 4,
                     .splitGap = 120ms,
                     .noiseBefore = flood + QByteArray::fromHex("FF 20 60 81 00 FF"),
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
    EXPECT_EQ(recorder.log().filter(QStringLiteral("disc information request")).size(), 1);
}

} // namespace
} // namespace quorvex::testing
