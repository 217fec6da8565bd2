// The real window on the real serial port: QSerialPort talks to a pseudo-terminal whose other end the
// test reads, so every byte checked here went through the kernel's tty layer.
#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "platform/inisettingsstore.h"
#include "support/modalwatcher.h"
#include "support/pseudoterminal.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QApplication>

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

} // namespace
} // namespace quorvex::testing
