#include "link/titleframe.h"
#include "unit/windowfixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace quorvex::testing {
namespace {

const QByteArray discRequest = hex("81070547 2044FF");

// The recorder's buttons; their frames are checked byte for byte through the real port (serial_window_test).
const char* const recorderButtons[] = {"btnOn", "btnOff", "btnPlay", "btnStop", "btnBack", "btnForward"};

class WindowLinkTest : public WindowTest {
protected:
    void clickRecorderButtons() const {
        for (const char* button : recorderButtons) {
            click(button);
        }
    }

    [[nodiscard]] QString trackInfo() const { return control<QLabel>("lblTrackInfo")->text(); }
};

TEST_F(WindowLinkTest, ButtonsAreSilentOnAClosedOrUnopenablePortAndInPauseMode) {
    clickRecorderButtons(); // never opened
    EXPECT_TRUE(fakes.dialogs->shown.empty());

    // Failed to open: only the open error is shown, and the buttons stay silent.
    fakes.serial->unopenable = {3};
    click("optCom3");
    clickRecorderButtons();
    ASSERT_EQ(fakes.dialogs->shown.size(), 1U);
    const Message& message = fakes.dialogs->shown[0];
    EXPECT_EQ(message.text, QStringLiteral("Error opening Com Port, please select another one"));
    EXPECT_EQ(message.title, QStringLiteral("Quorvex"));
    EXPECT_EQ(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(message.icon, QMessageBox::NoIcon);
    EXPECT_FALSE(fakes.serial->isOpen());
    EXPECT_EQ(fakes.serial->portNumber(), 3);

    click("optCom1");
    click("chkInsertPauses");
    ASSERT_TRUE(window->pauseMode());
    clickRecorderButtons();
    EXPECT_TRUE(fakes.serial->isOpen()) << "pause mode leaves the port open";
    EXPECT_TRUE(fakes.serial->frames.empty());

    click("chkInsertPauses");
    click("btnStop");
    EXPECT_EQ(fakes.serial->frames, std::vector<QByteArray>{hex("81070547 0202FF")});
}

TEST_F(WindowLinkTest, ChoosingAPortClosesRenumbersSavesAndOpensEvenWhenItIsTheOpenOne) {
    click("optCom1");
    fakes.journal.clear();

    click("optCom2");
    click("optCom2");

    const Journal expected{"close", "setPortNumber 2", "save Commport/COM=2", "open 2",
                           "close", "setPortNumber 2", "save Commport/COM=2", "open 2"};
    EXPECT_EQ(fakes.journal, expected);
    EXPECT_TRUE(fakes.serial->isOpen());
    EXPECT_TRUE(control<QRadioButton>("optCom2")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("optCom1")->isChecked());
}

TEST_F(WindowLinkTest, BrokenLineClosesThePortAndWarnsOnceFromTheEventLoop) {
    click("optCom1");
    emit fakes.serial->failed(QStringLiteral("/dev/ttyUSB0: Input/output error"));
    EXPECT_FALSE(fakes.serial->isOpen());
    EXPECT_TRUE(fakes.dialogs->shown.empty()) << "the warning waits for the event loop, never inside a send";

    QCoreApplication::processEvents();
    ASSERT_EQ(fakes.dialogs->shown.size(), 1U);
    EXPECT_TRUE(fakes.dialogs->shown[0].text.contains(QStringLiteral("/dev/ttyUSB0")));
    EXPECT_EQ(fakes.dialogs->shown[0].icon, QMessageBox::Warning);
    click("btnPlay");
    QCoreApplication::processEvents();
    EXPECT_TRUE(fakes.serial->frames.empty());
    EXPECT_EQ(fakes.dialogs->shown.size(), 1U);
}

TEST_F(WindowLinkTest, CheckDiscAndTheLabelShowSlots16To18AsSoonAsTheAnswerIsRecognised) {
    window->selectPort(1);
    fakes.pump->arrivals = {{3, hex("81 0D 05 48 20 60 AA BB 03 7B 3B CC FF")}};
    click("btnCheckTracks");
    EXPECT_EQ(fakes.serial->frames, std::vector<QByteArray>{discRequest});
    EXPECT_EQ(trackInfo(), "3 Tracks 123m 59s");
    EXPECT_EQ(fakes.pump->ticks, 3);

    fakes.pump->ticks = 0;
    fakes.pump->arrivals = {{2, hex("20 60 01 00 05 10 20 00 FF")}};
    QTest::mouseClick(control("lblTrackInfo"), Qt::LeftButton);
    EXPECT_EQ(fakes.serial->frames.size(), 2U);
    EXPECT_EQ(trackInfo(), "5 Tracks 16m 32s");
    EXPECT_EQ(fakes.pump->ticks, 2);

    // A mismatching answer is not recognised, yet after 40 Ticks its bytes stand in slots 16 to 18.
    fakes.pump->ticks = 0;
    fakes.pump->arrivals = {{1, hex("20 61 01 00 09 08 07 00 FF")}};
    window->refreshDiscInfo();
    EXPECT_EQ(fakes.pump->ticks, 40);
    EXPECT_EQ(trackInfo(), "9 Tracks 08m 07s");
    EXPECT_TRUE(fakes.dialogs->shown.empty());
}

TEST_F(WindowLinkTest, PauseModeStillAsksButShowsTheWindowAtOnce) {
    window->selectPort(1);
    control<QCheckBox>("chkInsertPauses")->setChecked(true);
    fakes.pump->arrivals = {{1, hex("20 60 01 00 0C 2D 07 00 FF")}};

    window->refreshDiscInfo();

    EXPECT_EQ(fakes.pump->ticks, 0);
    EXPECT_EQ(fakes.serial->frames, std::vector<QByteArray>{discRequest}) << "the request ignores pause mode";
    EXPECT_EQ(trackInfo(), "0 Tracks 00m 00s");
}

TEST_F(WindowLinkTest, AClosedPortReceivesNothingButTheQueryStillWaitsAndRewritesTheLabel) {
    control<QLabel>("lblTrackInfo")->setText("stale");
    fakes.pump->arrivals = {{1, hex("20 60 01 00 0C 2D 07 00 FF")}};
    window->refreshDiscInfo();
    EXPECT_TRUE(fakes.serial->frames.empty());
    EXPECT_EQ(fakes.pump->ticks, 40);
    EXPECT_EQ(trackInfo(), "0 Tracks 00m 00s");
}

TEST_F(WindowLinkTest, TheDiscNameGoesOutPerKeystrokeAndInPauseModeButNotOnAClosedPort) {
    window->selectPort(1);
    QTest::keyClicks(control("txtTitle"), "Mix");
    control<QLineEdit>("txtTitle")->clear();
    std::vector<QByteArray> expected;
    for (const char* name : {"M", "Mi", "Mix", ""}) {
        expected.push_back(toByteArray(*titleFrame(QString::fromLatin1(name), 0)));
    }
    EXPECT_EQ(fakes.serial->frames, expected) << "one frame per keystroke, each with the whole name";

    control<QCheckBox>("chkInsertPauses")->setChecked(true);
    window->sendTitle("Track", 7);
    EXPECT_EQ(fakes.serial->frames.size(), 5U);
    fakes.serial->close();
    window->sendTitle("Side A", 0);
    control<QLineEdit>("txtTitle")->setText("B");
    EXPECT_EQ(fakes.serial->frames.size(), 5U);
}

} // namespace
} // namespace quorvex::testing
