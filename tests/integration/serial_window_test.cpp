// The real window on the real serial port: QSerialPort talks to the virtual recorder's pseudo-terminal, so
// every frame checked here went through the kernel's tty layer in real time. The recorder knows a command
// only by every byte of its frame (virtualdeck_test), so its log proves the frames byte for byte.
#include "deck/mdse/virtualdeck.h"
#include "integration/realwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

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

// An MDS-E12 behind Com1: remote mode at start-up, the disc in the label and its tool tip, no power buttons
// and no pause mode; Identify asks the deck its model; choosing another port leaves remote mode.
TEST_F(RealWindowTest, AnMdseDeckIsDrivenInRemoteModeAndLeftWhenThePortChanges) {
    deck::mdse::Disc disc;
    disc.tracks = {{std::chrono::seconds{90}, "One"}, {std::chrono::seconds{120}, {}}};
    deck::mdse::VirtualDeck deck(disc);
    connectRecorder({});
    IniSettingsStore settings;
    settings.save(QStringLiteral("Commport"), QStringLiteral("Device1"), deck.devicePath());
    settings.save(QStringLiteral("Commport"), QStringLiteral("Recorder1"), QStringLiteral("mds-e"));
    window = std::make_unique<frmQuorvex>(makeSystemPlatform(test::sinkSoundOutput()));
    window->Form_Load();
    EXPECT_TRUE(deck.isRemote());
    EXPECT_EQ(label("lblTrackInfo"), "2 Tracks 03m 30s");
    EXPECT_EQ(control<QLabel>("lblTrackInfo")->toolTip(),
              QString::fromUtf8("MDS-E12 — 70:30 recordable, 1,782 title characters free"));
    for (const char* power : {"btnOn", "btnOff"}) {
        EXPECT_FALSE(control(power)->isEnabled()) << power;
        EXPECT_EQ(control(power)->toolTip(),
                  "The MDS-E12 cannot be switched on or off over its serial port.");
    }
    EXPECT_FALSE(control<QCheckBox>("chkInsertPauses")->isEnabled());
    // Check disc lists the disc as it reads back (the start only reads the label).
    EXPECT_EQ(window->findChild<QDialog*>("DiscContentsDialog"), nullptr);
    click("btnCheckTracks");
    const auto* const contents = window->findChild<QDialog*>("DiscContentsDialog");
    ASSERT_NE(contents, nullptr);
    EXPECT_TRUE(contents->isVisible());
    EXPECT_EQ(contents->findChild<QLabel*>("discSummary")->text(), "MDS-E12: 2 Tracks 03m 30s");
    const auto* const listed = contents->findChild<QTreeWidget*>("discTracks");
    ASSERT_EQ(listed->topLevelItemCount(), 2);
    const QStringList rows{listed->topLevelItem(0)->text(1) + ' ' + listed->topLevelItem(0)->text(2),
                           listed->topLevelItem(1)->text(1) + ' ' + listed->topLevelItem(1)->text(2)};
    EXPECT_EQ(rows, QStringList({"01:30 One", "02:00 "}));

    QString identified;
    QTimer::singleShot(0, [&identified] {
        QDialog* dialog = nullptr;
        if (QTest::qWaitFor([&dialog] {
                dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                return dialog != nullptr;
            })) {
            QTest::mouseClick(dialog->findChild<QPushButton*>("identifyRecorder"), Qt::LeftButton);
            identified = dialog->findChild<QLabel*>("identifiedModel")->text() + " / " +
                         dialog->findChild<QComboBox*>("recorderFamily")->currentText();
            dialog->reject();
        }
    });
    control<QAction>("actionSerialDevice")->trigger();
    EXPECT_EQ(identified, "MDS-E12 / MDS-E11, MDS-E12 or MDS-E52 (RS-232C)");
    EXPECT_TRUE(deck.isRemote()) << "the deck in use stays in remote mode";

    click("optCom2");
    EXPECT_FALSE(deck.isRemote());
}

} // namespace
} // namespace quorvex::testing
