#include "link/commandframe.h"
#include "tracks/dirlistbox.h"
#include "unit/windowfixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <string>

namespace quorvex::testing {
namespace {

QByteArray bytesOf(CommandPair pair) {
    return toByteArray(commandFrame(pair.category, pair.code));
}

// The recorder's buttons; their frames are checked byte for byte through the real port (serial_window_test).
const char* const recorderButtons[] = {"btnOn", "btnOff", "btnPlay", "btnStop", "btnBack", "btnForward"};

TEST_F(WindowTest, PauseModeSilencesEveryButtonUntilItIsCleared) {
    click("optCom1");
    click("chkInsertPauses");
    ASSERT_TRUE(window->pauseMode());
    for (const char* button : recorderButtons) {
        click(button);
    }
    EXPECT_TRUE(fakes.serial->frames.empty());
    EXPECT_TRUE(fakes.serial->isOpen()) << "pause mode leaves the port open";

    click("chkInsertPauses");
    click("btnStop");
    ASSERT_EQ(fakes.serial->frames.size(), 1U);
    EXPECT_EQ(fakes.serial->frames[0], bytesOf(command::stop));
}

TEST_F(WindowTest, ClosedPortSendsNothingAndSaysNothing) {
    // Never opened.
    for (const char* button : recorderButtons) {
        click(button);
    }
    EXPECT_TRUE(fakes.serial->frames.empty());
    EXPECT_TRUE(fakes.dialogs->shown.empty());

    // Failed to open: only the open error is shown, and the buttons stay silent.
    fakes.serial->unopenable = {3};
    click("optCom3");
    for (const char* button : recorderButtons) {
        click(button);
    }
    EXPECT_TRUE(fakes.serial->frames.empty());
    ASSERT_EQ(fakes.dialogs->shown.size(), 1U);
    const Message& message = fakes.dialogs->shown[0];
    EXPECT_EQ(message.text, QStringLiteral("Error opening Com Port, please select another one"));
    EXPECT_EQ(message.title, QStringLiteral("Quorvex"));
    EXPECT_EQ(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(message.icon, QMessageBox::NoIcon);
    EXPECT_FALSE(fakes.serial->isOpen());
    EXPECT_EQ(fakes.serial->portNumber(), 3);
}

TEST_F(WindowTest, ChoosingCom2WhileCom1IsOpenClosesRenumbersSavesAndOpens) {
    click("optCom1");
    fakes.journal.clear();

    click("optCom2");

    const Journal expected{"close", "setPortNumber 2", "save Commport/COM=2", "open 2"};
    EXPECT_EQ(fakes.journal, expected);
    EXPECT_TRUE(fakes.serial->isOpen());
    EXPECT_TRUE(control<QRadioButton>("optCom2")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("optCom1")->isChecked());
}

TEST_F(WindowTest, ChoosingTheOpenPortAgainClosesAndReopensIt) {
    click("optCom3");
    fakes.journal.clear();

    click("optCom3");
    window->optCom_Click(3);

    const Journal expected{"close", "setPortNumber 3", "save Commport/COM=3", "open 3",
                           "close", "setPortNumber 3", "save Commport/COM=3", "open 3"};
    EXPECT_EQ(fakes.journal, expected);
    EXPECT_TRUE(fakes.serial->isOpen());
}

TEST_F(WindowTest, BrokenLineClosesThePortAndWarnsOnceNamingTheDevice) {
    click("optCom1");
    fakes.serial->breakLine(QStringLiteral("/dev/ttyUSB0: Input/output error"));
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

    click("optCom1");
    click("btnPlay");
    EXPECT_EQ(fakes.serial->frames.size(), 1U) << "choosing the port again reconnects";
}

TEST_F(WindowTest, StartUpOpensTheRememberedPortSwitchesOnShowsTheVersionAndAsksForTheDisc) {
    const struct {
        const char* stored; // nullptr: nothing remembered yet
        int port;
    } cases[] = {{nullptr, 1}, {"3", 3}, {"9", 1}, {"COM2", 1}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.stored == nullptr ? "first start" : row.stored);
        FakePlatform startFakes;
        if (row.stored != nullptr) {
            startFakes.settings->values[QStringLiteral("Commport/COM")] = QString::fromLatin1(row.stored);
        }
        // A drive and a directory that are gone: passed over, and the browser starts as always.
        startFakes.settings->values[QStringLiteral("General/Disk")] = QStringLiteral("Q");
        startFakes.settings->values[QStringLiteral("General/Dir")] = QStringLiteral("/no/such/folder");
        frmQuorvex started(startFakes.take());
        startFakes.pump->tick = [&started] { started.Timer1_Timer(); };

        started.Form_Load();

        const std::string port = std::to_string(row.port);
        const Journal expected{"setPortNumber " + port, "save Commport/COM=" + port, "open " + port};
        EXPECT_EQ(startFakes.journal, expected);
        EXPECT_TRUE(started.findChild<QRadioButton*>(QStringLiteral("optCom%1").arg(row.port))->isChecked());
        const std::vector<QByteArray> sent{bytesOf(command::on), bytesOf(command::discInformation)};
        EXPECT_EQ(startFakes.serial->frames, sent);
        EXPECT_EQ(started.windowTitle(), QStringLiteral("Quorvex recorder    V0.3.0"));
        EXPECT_EQ(startFakes.pump->ticks, 2 + 40)
            << "200 ms before switching on, 40 Ticks for the silent disc";
        EXPECT_EQ(started.findChild<QLabel*>("lblTrackInfo")->text(), "0 Tracks 00m 00s");
        EXPECT_EQ(started.findChild<DirListBox*>("DirList")->path(), QDir::currentPath())
            << "the browser starts where the program was started";
        EXPECT_EQ(started.findChild<QCheckBox*>("tickUseID3")->checkState(), Qt::Checked)
            << "ID3 tags are used until the user says otherwise";
    }
}

} // namespace
} // namespace quorvex::testing
