// The real window on the real serial port: QSerialPort talks to the virtual recorder's pseudo-terminal, so
// every frame checked here went through the kernel's tty layer in real time. The recorder knows a command
// only by every byte of its frame (virtualdeck_test), so its log proves the frames byte for byte.
#include "integration/realwindow.h"

#include <QApplication>

namespace quorvex::testing {
namespace {

// Start-up, Space and each recorder button send their frames, one per press; a device that cannot be
// opened and a pulled cable are each reported once, and nothing hangs.
TEST_F(RealWindowTest, EachControlSendsItsFrameAndLineFailuresAreReportedOnce) {
    connectRecorder({});
    window->Form_Load();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    for (const char* button : {"btnOn", "btnOff", "btnPlay", "btnStop", "btnBack", "btnForward"}) {
        click(button);
    }
    QTest::qWait(300); // the last frame crosses the pseudo-terminal
    EXPECT_EQ(meanings(*recorder), QStringList({"on", "disc information request", "play", "on", "off", "play",
                                                "stop", "back", "forward"}));

    click("optCom2");
    QTest::qWait(100);
    ASSERT_EQ(answers.texts().size(), 1);
    EXPECT_EQ(answers.texts()[0], QStringLiteral("Error opening Com Port, please select another one"));
    click("optCom1");
    recorder->hangUp();
    for (int press = 0; press < 20; ++press) {
        click("btnPlay");
        click("btnStop");
        QTest::qWait(5);
    }
    QTest::qWait(200);
    ASSERT_EQ(answers.texts().size(), 2) << answers.texts().join('\n').toStdString();
    EXPECT_TRUE(answers.texts()[1].contains(recorder->devicePath())) << "the warning names the device";
}

} // namespace
} // namespace quorvex::testing
