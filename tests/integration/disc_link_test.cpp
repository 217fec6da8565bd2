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

TEST_F(DiscLinkTest, CheckDiscShowsTheDiscOfTheRecorder) {
    connectTo(fullDisc());
    EXPECT_LT(checkDisc(), 2.0) << "an answer ends the wait early";
    EXPECT_EQ(trackInfo(), "12 Tracks 45m 07s");
}

TEST_F(DiscLinkTest, ASilentRecorderLeavesTheStaleWindowAfterTheTimeOut) {
    connectTo(fullDisc());
    checkDisc();
    ASSERT_EQ(trackInfo(), "12 Tracks 45m 07s");
    Faults silent;
    silent.silent = true;
    recorder->setFaults(silent);
    window->findChild<QLabel*>("lblTrackInfo")->clear();

    EXPECT_GE(checkDisc(), 3.8) << "40 Ticks";
    EXPECT_EQ(trackInfo(), "12 Tracks 45m 07s") << "what the reply window still holds";
}

TEST_F(DiscLinkTest, SplitLateAndNoisyAnswersStillGiveTheRightLabel) {
    Faults awkward;
    awkward.splitInto = 4;
    awkward.splitGap = std::chrono::milliseconds(120);
    awkward.lateBy = std::chrono::milliseconds(700);
    awkward.noiseBefore = QByteArray::fromHex("FF 20 60 81 00 FF");
    connectTo(fullDisc(), awkward);
    EXPECT_LT(checkDisc(), 3.5);
    EXPECT_EQ(trackInfo(), "12 Tracks 45m 07s");
}

TEST_F(DiscLinkTest, TypingTheDiscNameNamesTheDiscOnTheRecorder) {
    connectTo(Disc{});
    // Typed key by key; é comes as a key whose text is é, as from a French keyboard.
    auto* box = window->findChild<QWidget*>("txtTitle");
    QTest::keyClicks(box, "Caf");
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_Eacute, QString::fromUtf8("é"), Qt::NoModifier);
    QTest::keyClicks(box, " Mix");
    const QString expected = QString::fromUtf8("Café Mix");
    EXPECT_TRUE(QTest::qWaitFor([this, &expected] { return recorder->disc().name == expected; }, 3000))
        << recorder->disc().name.toStdString();
    EXPECT_GE(recorder->log().filter(QStringLiteral("title")).size(), 8) << "one frame per keystroke";
}

} // namespace
} // namespace quorvex::testing
