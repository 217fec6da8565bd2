#include "link/commandframe.h"
#include "unit/windowfixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace quorvex::testing {
namespace {

const QByteArray discRequest = QByteArray::fromHex("81070547 2044FF");

// The window in virtual time: each pass of its waits is one Tick of its own Timer1_Timer.
class WindowLinkTest : public WindowTest {
protected:
    WindowLinkTest() {
        fakes.pump->tick = [this] { window->Timer1_Timer(); };
        window->selectPort(1);
    }

    [[nodiscard]] QString trackInfo() const { return control<QLabel>("lblTrackInfo")->text(); }
};

TEST_F(WindowLinkTest, CheckDiscShowsTheRecordersAnswer) {
    const struct {
        const char* reply;
        const char* label;
    } cases[] = {
        {"81 0D 05 48 20 60 01 00 0C 2D 07 00 FF", "12 Tracks 45m 07s"},
        {"81 0D 05 48 20 60 AA BB 00 00 00 CC FF", "0 Tracks 00m 00s"},
        {"81 0D 05 48 20 60 01 00 03 7B 3B 00 FF", "3 Tracks 123m 59s"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.reply);
        fakes.serial->frames.clear();
        fakes.pump->ticks = 0;
        fakes.pump->arrivals = {{3, QByteArray::fromHex(row.reply)}};

        click("btnCheckTracks");

        EXPECT_EQ(fakes.serial->frames, std::vector<QByteArray>{discRequest});
        EXPECT_EQ(trackInfo(), QString::fromLatin1(row.label));
        EXPECT_EQ(fakes.pump->ticks, 3) << "the label is written as soon as the answer is recognised";
    }
}

TEST_F(WindowLinkTest, ClickingTheLabelDoesWhatCheckDiscDoes) {
    fakes.pump->arrivals = {{2, QByteArray::fromHex("20 60 01 00 05 10 20 00 FF")}};
    QTest::mouseClick(control("lblTrackInfo"), Qt::LeftButton);
    EXPECT_EQ(fakes.serial->frames, std::vector<QByteArray>{discRequest});
    EXPECT_EQ(trackInfo(), "5 Tracks 16m 32s");
}

TEST_F(WindowLinkTest, WithoutAnAnswerTheLabelShowsWhatTheWindowHoldsAfter40Ticks) {
    // Earlier traffic left a disc reply in the window; a mismatching answer arrives now.
    window->refreshDiscInfo();
    ASSERT_EQ(trackInfo(), "0 Tracks 00m 00s");
    fakes.pump->ticks = 0;
    fakes.pump->arrivals = {{1, QByteArray::fromHex("20 61 01 00 09 08 07 00 FF")}};

    window->refreshDiscInfo();

    EXPECT_EQ(fakes.pump->ticks, 40);
    EXPECT_EQ(trackInfo(), "9 Tracks 08m 07s") << "not recognised, yet its bytes stand in slots 16 to 18";
    EXPECT_TRUE(fakes.dialogs->shown.empty());
}

TEST_F(WindowLinkTest, PauseModeStillAsksButShowsTheWindowAtOnce) {
    control<QCheckBox>("chkInsertPauses")->setChecked(true);
    fakes.pump->arrivals = {{1, QByteArray::fromHex("20 60 01 00 0C 2D 07 00 FF")}};

    window->refreshDiscInfo();

    EXPECT_EQ(fakes.pump->ticks, 0);
    EXPECT_EQ(fakes.serial->frames, std::vector<QByteArray>{discRequest}) << "the request ignores pause mode";
    EXPECT_EQ(trackInfo(), "0 Tracks 00m 00s");
}

TEST_F(WindowLinkTest, ClosedPortSkipsTheRequestButStillWaitsAndRewritesTheLabel) {
    window->findChild<QLabel*>("lblTrackInfo")->setText("stale");
    fakes.serial->close();
    window->refreshDiscInfo();
    EXPECT_TRUE(fakes.serial->frames.empty());
    EXPECT_EQ(fakes.pump->ticks, 40);
    EXPECT_EQ(trackInfo(), "0 Tracks 00m 00s");
}

TEST_F(WindowLinkTest, TypingTheDiscNameSendsOneFramePerKeystroke) {
    QTest::keyClicks(control("txtTitle"), "Mix");
    control<QLineEdit>("txtTitle")->clear();

    const std::vector<QByteArray> expected{
        QByteArray::fromHex("81 17 07 B0 9A 00 00 00 4D 00 00 00 00 00 00 00 00 00 00 00 00 00 FF"),
        QByteArray::fromHex("81 17 07 B0 9A 00 00 00 4D 69 00 00 00 00 00 00 00 00 00 00 00 00 FF"),
        QByteArray::fromHex("81 17 07 B0 9A 00 00 00 4D 69 78 00 00 00 00 00 00 00 00 00 00 00 FF"),
        QByteArray::fromHex("81 17 07 B0 9A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF"),
    };
    EXPECT_EQ(fakes.serial->frames, expected);
}

TEST_F(WindowLinkTest, TitlesGoOutInPauseModeButNotOnAClosedPort) {
    control<QCheckBox>("chkInsertPauses")->setChecked(true);
    window->sendTitle("Side A", 0);
    window->sendTitle("Track", 7);
    EXPECT_EQ(fakes.serial->frames.size(), 2U);

    fakes.serial->close();
    window->sendTitle("Side A", 0);
    control<QLineEdit>("txtTitle")->setText("B");
    EXPECT_EQ(fakes.serial->frames.size(), 2U);
}

TEST_F(WindowLinkTest, TimerTicksEvery100MsFromCreation) {
    // The real timer, not the virtual one: it runs before the window is shown.
    fakes.serial->received = QByteArray::fromHex("0102FF");
    QTest::qWait(350);
    EXPECT_EQ(window->replyWatcher().replyWindow[20], 0xFF);
    EXPECT_EQ(window->replyWatcher().replyWindow[18], 0x01);
    EXPECT_TRUE(fakes.serial->received.isEmpty()) << "one read takes everything received";
}

} // namespace
} // namespace quorvex::testing
