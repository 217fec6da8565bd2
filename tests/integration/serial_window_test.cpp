// The real window on the real serial port: QSerialPort talks to a pseudo-terminal whose other end the
// test reads, or the virtual recorder answers, so every byte checked here went through the kernel's tty
// layer in real time.
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "deck/virtualdeck.h"
#include "platform/inisettingsstore.h"
#include "support/modalwatcher.h"
#include "support/pseudoterminal.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>
#include <QTest>

namespace quorvex::testing {
namespace {

using namespace std::chrono_literals;

const QByteArray onFrame("\x81\x07\x05\x47\x01\x02\xFF", 7);
const QByteArray playFrame("\x81\x07\x05\x47\x02\x01\xFF", 7);

class SerialWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        IniSettingsStore settings;
        settings.save(QStringLiteral("Commport"), QStringLiteral("Device1"), recorder.line.slavePath());
        settings.save(QStringLiteral("Commport"), QStringLiteral("Device2"),
                      QStringLiteral("/dev/quorvex-absent"));
        window = std::make_unique<frmQuorvex>(makeSystemPlatform());
    }

    void click(const char* name) const {
        auto* button = window->findChild<QAbstractButton*>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    PseudoTerminal recorder;
    std::unique_ptr<frmQuorvex> window;
};

TEST_F(SerialWindowTest, StartUpSpaceAndEachRecorderButtonReachTheFarEndByteForByte) {
    window->Form_Load();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(recorder.read(21, 2s).toHex(' '),
              (onFrame + QByteArray("\x81\x07\x05\x47\x20\x44\xFF", 7) + playFrame).toHex(' '))
        << "start-up switches the recorder on and asks for the disc, then Space presses Play";

    const struct {
        const char* button;
        QByteArray bytes;
    } buttons[] = {
        {"btnOn", onFrame},
        {"btnOff", QByteArray("\x81\x07\x05\x47\x01\x03\xFF", 7)},
        {"btnPlay", playFrame},
        {"btnStop", QByteArray("\x81\x07\x05\x47\x02\x02\xFF", 7)},
        {"btnBack", QByteArray("\x81\x07\x05\x47\x02\x15\xFF", 7)},
        {"btnForward", QByteArray("\x81\x07\x05\x47\x02\x16\xFF", 7)},
    };
    for (const auto& row : buttons) {
        click(row.button);
        EXPECT_EQ(recorder.read(7, 2s).toHex(' '), row.bytes.toHex(' ')) << row.button;
    }
    EXPECT_TRUE(recorder.read(1, 100ms).isEmpty()) << "one frame per press, nothing else";
}

TEST_F(SerialWindowTest, UnopenableDeviceAndPulledCableAreEachReportedOnceAndNothingHangs) {
    const ModalWatcher answers;
    click("optCom2");
    QTest::qWait(100);
    ASSERT_EQ(answers.texts().size(), 1);
    EXPECT_EQ(answers.texts()[0], QStringLiteral("Error opening Com Port, please select another one"));
    click("optCom2");
    QTest::qWait(100);
    EXPECT_EQ(answers.texts().size(), 2) << "a second choice of the same port tries and tells again";
    EXPECT_EQ(IniSettingsStore().read(QStringLiteral("Commport"), QStringLiteral("COM"), QString()),
              QStringLiteral("2"));

    click("optCom1");
    click("btnOn");
    ASSERT_EQ(recorder.read(7, 2s), onFrame);
    recorder.line.close();
    for (int press = 0; press < 20; ++press) {
        click("btnPlay");
        click("btnStop");
        QTest::qWait(5);
    }
    QTest::qWait(200);
    ASSERT_EQ(answers.texts().size(), 3) << answers.texts().join('\n').toStdString();
    EXPECT_TRUE(answers.texts()[2].contains(recorder.line.slavePath())) << "the warning names the device";
}

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
