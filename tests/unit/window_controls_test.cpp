#include "unit/windowfixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStatusBar>
#include <vector>

namespace quorvex::testing {
namespace {

TEST_F(WindowTest, AtCreationCaptionsAreExactNothingIsChosenAndEverythingIsEnabled) {
    const struct {
        const char* control;
        const char* caption;
    } captions[] = {{"Label1", "Quorvex controls"},
                    {"btnOn", "On"},
                    {"btnOff", "Off"},
                    {"btnStop", "Stop"},
                    {"btnBack", "Back"},
                    {"btnPlay", "Play"},
                    {"btnForward", "Forward"},
                    {"Label3", "MP3/WAV to Quorvex"},
                    {"tickUseID3", "Use ID3 tags to name MP3 tracks"},
                    {"btnCheckTracks", "Check disc"},
                    {"Frame1", "Com Port"},
                    {"chkInsertPauses", "Insert pauses"},
                    {"Label4", "Title"},
                    {"Label6", "Artist"},
                    {"Label7", "Album"},
                    {"btnRecordList", "Record"},
                    {"btnRemove", "Remove"},
                    {"Label5", "Disc Name"}};
    for (const auto& row : captions) {
        const QWidget* widget = control(row.control);
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        const auto* label = qobject_cast<const QLabel*>(widget);
        const auto* frame = qobject_cast<const QGroupBox*>(widget);
        EXPECT_EQ(button != nullptr  ? button->text()
                  : label != nullptr ? label->text()
                                     : frame->title(),
                  QString::fromLatin1(row.caption))
            << row.control;
    }
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvex recorder"));
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(QImage(QStringLiteral(":/quorvex/quorvex.png")).size(), QSize(32, 32));
    const QString contact = control<QLabel>("Label2")->text();
    EXPECT_FALSE(contact.isEmpty());
    EXPECT_LE(contact.count(QLatin1Char('\n')), 1) << "the contact line has room for two lines";

    for (int port = 1; port <= 4; ++port) {
        const QByteArray name = "optCom" + QByteArray::number(port);
        EXPECT_EQ(control<QRadioButton>(name.constData())->text(), QStringLiteral("Com%1").arg(port));
        EXPECT_FALSE(control<QRadioButton>(name.constData())->isChecked()) << name.constData();
        EXPECT_EQ(control(name.constData())->toolTip(), QStringLiteral("/dev/fake%1").arg(port));
    }
    EXPECT_EQ(control<QCheckBox>("tickUseID3")->checkState(), Qt::Unchecked);
    EXPECT_EQ(control<QCheckBox>("chkInsertPauses")->checkState(), Qt::Unchecked);
    EXPECT_FALSE(window->pauseMode());
    EXPECT_EQ(control<QListWidget>("ListOfMusic")->count(), 0);
    for (const char* empty : {"txtSongname", "txtArtist", "txtAlbum", "lblTrackInfo", "statusLine"}) {
        EXPECT_TRUE(control<QLabel>(empty)->text().isEmpty()) << empty;
    }
    EXPECT_TRUE(control<QLineEdit>("txtTitle")->text().isEmpty());
    EXPECT_FALSE(fakes.serial->isOpen());
    EXPECT_TRUE(fakes.journal.empty()) << "nothing touches the port or the settings before start-up";
    // Every control is enabled (the player's bar manages its own buttons).
    const QWidget* bar = control("MediaPlayer1");
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!bar->isAncestorOf(widget)) {
            EXPECT_TRUE(widget->isEnabled()) << widget->objectName().toStdString();
        }
    }
}

TEST_F(WindowTest, TabOrderRunsFromPlayToCheckDisc) {
    const std::vector<QString> expected{
        "btnPlay",    "btnRecordList",   "MediaPlayer1",  "btnOff",   "btnStop",     "btnBack",
        "btnForward", "DirList",         "DriveList",     "FileList", "ListOfMusic", "btnOn",
        "tickUseID3", "btnRemove",       "txtTitle",      "optCom2",  "optCom1",     "optCom3",
        "optCom4",    "chkInsertPauses", "btnCheckTracks"};
    // The player's bar takes the focus with its own controls, one after the other: one stop in the order.
    const QWidget* bar = control("MediaPlayer1");
    std::vector<QString> order;
    QWidget* widget = control("btnPlay");
    do {
        const QString name =
            bar->isAncestorOf(widget) ? QStringLiteral("MediaPlayer1") : widget->objectName();
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && name != "qt_scrollarea_viewport" &&
            (order.empty() || order.back() != name)) {
            order.push_back(name);
        }
        widget = widget->nextInFocusChain();
    } while (widget != control("btnPlay") && order.size() <= expected.size());
    EXPECT_EQ(order, expected);
}

TEST_F(WindowTest, PauseNoticeOnTickingNeverOnClearing) {
    auto* pauses = control<QCheckBox>("chkInsertPauses");
    for (const std::size_t notices : {1U, 2U}) {
        QTest::mouseClick(pauses, Qt::LeftButton);
        EXPECT_EQ(fakes.dialogs->shown.size(), notices);
        pauses->setChecked(false); // a change made by the program raises the same event
        EXPECT_EQ(fakes.dialogs->shown.size(), notices);
    }
    for (const Message& notice : fakes.dialogs->shown) {
        EXPECT_EQ(notice.text,
                  "Checking this box disables all Control-A1 features and allows use of other MD "
                  "recorders, please un-check it if you wish to be able to use track naming features.");
        EXPECT_EQ(notice.title, QStringLiteral("Quorvex"));
        EXPECT_EQ(notice.icon, QMessageBox::NoIcon);
        EXPECT_EQ(notice.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

TEST_F(WindowTest, FixedLayoutWithoutOverlapsAndEnterOrEscapePressNoButton) {
    EXPECT_EQ(window->size(), QSize(653, 380));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the window cannot be resized";
    const QRect area(0, 0, 653, 355);
    std::vector<const QWidget*> placed;
    for (const QObject* child : window->centralWidget()->children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget == nullptr || widget->objectName() == "Shape1") {
            continue;
        }
        EXPECT_TRUE(area.contains(widget->geometry())) << widget->objectName().toStdString();
        for (const QWidget* other : placed) {
            EXPECT_FALSE(widget->geometry().intersects(other->geometry()))
                << widget->objectName().toStdString() << " overlaps " << other->objectName().toStdString();
        }
        placed.push_back(widget);
    }
    // The recorder controls all sit inside their outline.
    const QRect box = control("Shape1")->geometry();
    for (const char* name : {"Label1", "btnOn", "btnOff", "btnStop", "btnBack", "btnPlay", "btnForward"}) {
        EXPECT_TRUE(box.contains(control(name)->geometry())) << name;
    }
    EXPECT_EQ(control("btnPlay")->size(), QSize(49, 25)) << "735 by 375 twips";
    EXPECT_EQ(control("Label2")->size(), QSize(161, 33)) << "2415 by 495 twips";
    EXPECT_EQ(control("lblTrackInfo")->geometry(), QRect(456, 8, 57, 41));
    EXPECT_EQ(control("Frame1")->geometry(), QRect(520, 8, 121, 57));
    EXPECT_EQ(control("FileList")->geometry(), QRect(248, 88, 401, 149));
    EXPECT_EQ(control("ListOfMusic")->geometry(), QRect(8, 240, 401, 82));

    click("optCom1");
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(window->statusBar()->geometry(), QRect(0, 355, 653, 25));
    EXPECT_EQ(control("clockPanel")->width(), 96) << "1440 twips";
    EXPECT_LT(control("clockPanel")->x(), control("statusLine")->x()) << "the clock is the first panel";

    control("txtTitle")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(fakes.serial->frames.empty());
    EXPECT_TRUE(window->isVisible());
}

} // namespace
} // namespace quorvex::testing
