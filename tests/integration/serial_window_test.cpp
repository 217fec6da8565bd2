// The real window on the real serial port: QSerialPort talks to the virtual recorder's pseudo-terminal, so
// every frame checked here went through the kernel's tty layer in real time. The recorder knows a command
// only by every byte of its frame (virtualdeck_test), so its log proves the frames byte for byte.
#include "integration/realwindow.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

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

// Disc ▸ Serial device… for the chosen Com button: the path typed into the focused field and Enter put the
// virtual recorder behind Com2, saved for the next start, in the button's tool tip and opened at once;
// typing another and pressing Escape changes nothing.
TEST_F(RealWindowTest, TheSerialDeviceDialogPutsTheTypedDeviceBehindTheChosenComButton) {
    connectRecorder({});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    click("optCom2"); // no such device: the box is answered, and it says why
    const QString deck = recorder->devicePath();
    const struct {
        QString shown; // in the path field when the dialog opens
        QString typed;
        Qt::Key key;
        const char* button; // pressed afterwards: it reaches the recorder either way
    } uses[] = {{"/dev/quorvex-absent", deck, Qt::Key_Return, "btnOn"},
                {deck, "/dev/quorvex-elsewhere", Qt::Key_Escape, "btnOff"}};
    for (const auto& use : uses) {
        QString seen;
        QTimer::singleShot(0, [&seen, &use] {
            QWidget* field = nullptr;
            const bool open = QTest::qWaitFor([&field] {
                field = QApplication::focusWidget();
                return qobject_cast<QDialog*>(QApplication::activeModalWidget()) != nullptr &&
                       qobject_cast<QLineEdit*>(field) != nullptr;
            });
            if (open) {
                seen = QApplication::activeModalWidget()->windowTitle() + ": " +
                       qobject_cast<QLineEdit*>(field)->text();
                QTest::keyClicks(field, use.typed); // the whole path was selected: typing replaces it
                QTest::keyClick(field, use.key);
            }
        });
        control<QAction>("actionSerialDevice")->trigger();
        EXPECT_EQ(seen, "Serial device for Com2: " + use.shown);
        EXPECT_EQ(IniSettingsStore().read("Commport", "Device2", {}), deck);
        EXPECT_EQ(control("optCom2")->toolTip(), deck);
        click(use.button);
    }
    QTest::qWait(300);
    EXPECT_EQ(meanings(*recorder), QStringList({"on", "off"}));
    ASSERT_EQ(answers.texts().size(), 1) << answers.texts().join('\n').toStdString();
    EXPECT_TRUE(answers.details()[0].startsWith("/dev/quorvex-absent: No such device."))
        << "the box says why";
}

} // namespace
} // namespace quorvex::testing
