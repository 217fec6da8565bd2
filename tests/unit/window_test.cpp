#include "app/frmquorvex.h"
#include "app/systemplatform.h"
#include "link/controla1/controla1recorder.h"
#include "link/controla1/titleframe.h"
#include "platform/programexit.h"
#include "run/discrecords.h"
#include "run/recordingrun.h"
#include "support/fakes.h"
#include "support/recorderscript.h"
#include "tracks/entrymark.h"
#include "tracks/formatseconds.h"
#include "tracks/playlist.h"
#include "tracks/tracklistmodel.h"
#include "version.h"
#include "widgets/dirlistbox.h"
#include "widgets/drivelistbox.h"
#include "widgets/filelistbox.h"
#include "widgets/recordeddiscsdialog.h"
#include "widgets/serialdevicedialog.h"
#include "widgets/tracklist.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <malloc.h>
#include <memory>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's count of live heap bytes (its header ships with clang, not with g++).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes(); // NOLINT(bugprone-reserved-identifier)
#endif

namespace quorvex::testing {
namespace {

// The real window on fake outside things, in virtual time: each pass of its waits is one Tick of its own
// Timer1_Timer. Frames land in serial->frames, messages in dialogs->shown.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() : window(std::make_unique<frmQuorvex>(fakes.take())) {
        fakes.pump->tick = [this] { window->Timer1_Timer(); };
    }

    template <typename Widget = QWidget> Widget* control(const char* name) const {
        auto* found = window->findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << "no control " << name;
        return found;
    }

    void click(const char* name) const { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }

    [[nodiscard]] QString text(const char* name) const { return control(name)->property("text").toString(); }

    // Files, folders and playlists are gathered on a worker: waits until what was asked for is in the list.
    void waitForAdditions() const {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->isAdding(); }, 10'000));
    }

    FakePlatform fakes;
    std::unique_ptr<frmQuorvex> window;
};

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
                    {"chkInsertPauses", "Insert pauses"},
                    {"Label4", "Title"},
                    {"Label6", "Artist"},
                    {"Label7", "Album"},
                    {"btnRecordList", "Record"},
                    {"btnRemove", "Remove"},
                    {"Label5", "Disc Name"}};
    for (const auto& row : captions) {
        EXPECT_EQ(text(row.control), QString::fromLatin1(row.caption)) << row.control;
    }
    EXPECT_EQ(control<QGroupBox>("Frame1")->title(), QStringLiteral("Com Port"));
    // The menu bar: File, Disc, Help, each entry with its mnemonic and the shortcuts desktop users know.
    QStringList menus;
    for (const QAction* menu : window->menuBar()->actions()) {
        menus.append(menu->text());
    }
    EXPECT_EQ(menus, QStringList({"&File", "&Disc", "&Help"}));
    QStringList discMenu;
    for (const QAction* entry : window->findChild<QMenu*>("menuDisc")->actions()) {
        discMenu.append(entry->text());
    }
    EXPECT_EQ(discMenu,
              QStringList({"Disc &length", "Plain &ASCII titles", "&Gapless (one take, track marks)",
                           "Le&vel", "&Sound output", "Send &44.1 kHz", "Serial &device…",
                           "Save serial &trace…", "&Recorded discs…", "&Check disc"}));
    QStringList fileMenu;
    for (const QAction* entry : window->findChild<QMenu*>("menuFile")->actions()) {
        fileMenu.append(entry->text());
    }
    EXPECT_EQ(fileMenu, QStringList({"&Add files…", "Add &folder…", "&Save list as playlist…",
                                     "&Print case insert…", "", "&Quit"}));
    const struct {
        const char* action;
        const char* text;
        const char* shortcut;
    } entries[] = {{"actionQuit", "&Quit", "Ctrl+Q"},
                   {"actionDisc60", "60 minutes", ""},
                   {"actionDisc80", "80 minutes", ""},
                   {"actionAsciiTitles", "Plain &ASCII titles", ""},
                   {"actionGapless", "&Gapless (one take, track marks)", ""},
                   {"actionSend44k", "Send &44.1 kHz", ""},
                   {"actionLevel_-6", "\u22126 dB", ""},
                   {"actionLevel_0", "Full level", ""},
                   {"actionLevel_track", "Track gain (ReplayGain)", ""},
                   {"actionLevel_album", "Album gain (ReplayGain)", ""},
                   {"actionSerialDevice", "Serial &device\u2026", ""},
                   {"actionCheckDisc", "&Check disc", ""},
                   {"actionAbout", "&About Quorvex", ""}};
    for (const auto& row : entries) {
        const auto* entry = window->findChild<const QAction*>(QString::fromLatin1(row.action));
        ASSERT_NE(entry, nullptr) << row.action;
        EXPECT_EQ(entry->text(), QString::fromUtf8(row.text));
        EXPECT_EQ(entry->shortcut().toString(), QString::fromLatin1(row.shortcut));
    }
    EXPECT_FALSE(window->findChild<const QAction*>("actionAsciiTitles")->isChecked());
    window->findChild<QAction*>("actionAbout")->trigger();
    ASSERT_EQ(fakes.dialogs->shown.size(), 1U);
    EXPECT_EQ(fakes.dialogs->shown[0].title, "About Quorvex");
    EXPECT_TRUE(fakes.dialogs->shown[0].text.startsWith(
        "Quorvex recorder " + QString::fromLatin1(version::text) + "\n\nRecords a list"));
    EXPECT_TRUE(fakes.dialogs->shown[0].text.endsWith("GNU General Public License, version 3 or later."));
    fakes.dialogs->shown.clear();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvex recorder"));
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(QImage(QStringLiteral(":/quorvex/quorvex.png")).size(), QSize(32, 32));
    const QString contact = text("Label2");
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
    EXPECT_EQ(control<TrackList>("ListOfMusic")->count(), 0);
    for (const char* empty :
         {"txtSongname", "txtArtist", "txtAlbum", "lblTrackInfo", "statusLine", "txtTitle"}) {
        EXPECT_TRUE(text(empty).isEmpty()) << empty;
    }
    EXPECT_FALSE(fakes.serial->isOpen());
    EXPECT_TRUE(fakes.journal.empty()) << "nothing touches the port or the settings before start-up";
    // Every control is enabled (the player's bar manages its own buttons).
    const QWidget* bar = control("MediaPlayer1");
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!bar->isAncestorOf(widget)) {
            EXPECT_TRUE(widget->isEnabled()) << widget->objectName().toStdString();
        }
    }

    // Timer1 ticks every 100 ms from the window's creation, before start-up and unshown.
    const auto* timer = window->findChild<const QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 100);
}

TEST_F(WindowTest, TabOrderRunsFromPlayToCheckDiscTheLayoutIsFixedAndEnterOrEscapePressNoButton) {
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
    // The menu bar stands above the client area, which keeps its size and every control its place.
    const int menuHeight = window->menuBar()->height();
    EXPECT_GT(menuHeight, 0);
    EXPECT_EQ(window->size(), QSize(653, 380 + menuHeight));
    EXPECT_EQ(window->centralWidget()->geometry(), QRect(0, menuHeight, 653, 355));
    EXPECT_EQ(window->statusBar()->geometry(), QRect(0, 355 + menuHeight, 653, 25));
    EXPECT_EQ(control("clockPanel")->width(), 96) << "1440 twips";
    EXPECT_LT(control("clockPanel")->x(), control("statusLine")->x()) << "the clock is the first panel";

    control("txtTitle")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(fakes.serial->frames.empty());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(WindowTest, ChoosingAPortReopensItAndButtonsAreSilentOnAClosedUnopenableOrBrokenPortAndInPauseMode) {
    // The recorder's buttons; their frames are checked byte for byte through the real port
    // (serial_window_test).
    const auto clickRecorderButtons = [this] {
        for (const char* button : {"btnOn", "btnOff", "btnPlay", "btnStop", "btnBack", "btnForward"}) {
            click(button);
        }
    };
    clickRecorderButtons(); // never opened
    EXPECT_TRUE(fakes.dialogs->shown.empty());

    // Failed to open: only the open error is shown, and the buttons stay silent.
    fakes.serial->unopenable = {3};
    click("optCom3");
    clickRecorderButtons();
    ASSERT_EQ(fakes.dialogs->shown.size(), 1U);
    EXPECT_TRUE(isPlainBox(fakes.dialogs->shown[0], "Error opening Com Port, please select another one"));
    EXPECT_EQ(fakes.dialogs->shown[0].informativeText, "/dev/fake3: No such file or directory")
        << "the port's why";
    EXPECT_FALSE(fakes.serial->isOpen());
    EXPECT_EQ(fakes.serial->portNumber(), 3);

    // Choosing a port closes the open one, renumbers, remembers and opens, also when it is the open one.
    fakes.journal.clear();
    click("optCom1");
    click("optCom1");
    const Journal expected{"setPortNumber 1", "save Commport/COM=1", "open 1", "close",
                           "setPortNumber 1", "save Commport/COM=1", "open 1"};
    EXPECT_EQ(fakes.journal, expected);
    EXPECT_TRUE(control<QRadioButton>("optCom1")->isChecked());
    click("chkInsertPauses");
    ASSERT_TRUE(window->pauseMode());
    clickRecorderButtons();
    EXPECT_TRUE(fakes.serial->isOpen()) << "pause mode leaves the port open";
    EXPECT_TRUE(fakes.serial->frames.empty());

    click("chkInsertPauses"); // clearing the box says nothing, ticking it said:
    EXPECT_TRUE(
        isPlainBox(fakes.dialogs->shown.at(1),
                   "Checking this box disables all Control-A1 features and allows use of other MD "
                   "recorders, please un-check it if you wish to be able to use track naming features."));
    click("btnStop");
    EXPECT_EQ(fakes.serial->frames, std::vector<QByteArray>{hex("81070547 0202FF")});

    // A line that breaks closes the port and warns once, from the event loop, never inside a send.
    emit fakes.serial->failed(QStringLiteral("/dev/ttyUSB0: Input/output error"));
    EXPECT_FALSE(fakes.serial->isOpen());
    EXPECT_EQ(fakes.dialogs->shown.size(), 2U) << "the open error and the pause-mode notice";
    QCoreApplication::processEvents();
    ASSERT_EQ(fakes.dialogs->shown.size(), 3U);
    EXPECT_TRUE(fakes.dialogs->shown[2].text.contains(QStringLiteral("/dev/ttyUSB0")));
    EXPECT_EQ(fakes.dialogs->shown[2].icon, QMessageBox::Warning);
    clickRecorderButtons();
    QCoreApplication::processEvents();
    EXPECT_EQ(fakes.serial->frames.size(), 1U);
    EXPECT_EQ(fakes.dialogs->shown.size(), 3U);
}

TEST_F(WindowTest, DiscQueriesWaitUntilRecognisedOrTimedOutOnAClosedPortTooButNotInPauseMode) {
    control<QLabel>("lblTrackInfo")->setText("stale");
    fakes.pump->arrivals = {{1, hex("20 60 01 00 0C 2D 07 00 FF")}};
    window->refreshDiscInfo();
    EXPECT_TRUE(fakes.serial->frames.empty()) << "a closed port receives nothing";
    EXPECT_EQ(fakes.pump->ticks, 40);
    EXPECT_EQ(text("lblTrackInfo"), "0 Tracks 00m 00s");

    window->selectPort(1);
    fakes.serial->received.clear();
    fakes.pump->ticks = 0;
    fakes.pump->arrivals = {{3, hex("81 0D 05 48 20 60 AA BB 03 7B 3B CC FF")}};
    window->findChild<QAction*>("actionCheckDisc")->trigger(); // as the button does
    EXPECT_EQ(fakes.serial->frames, std::vector<QByteArray>{discRequest});
    EXPECT_EQ(text("lblTrackInfo"), "3 Tracks 123m 59s");
    EXPECT_EQ(fakes.pump->ticks, 3);

    fakes.pump->ticks = 0;
    fakes.pump->arrivals = {{2, hex("20 60 01 00 05 10 20 00 FF")}};
    QTest::mouseClick(control("lblTrackInfo"), Qt::LeftButton);
    EXPECT_EQ(fakes.serial->frames.size(), 2U);
    EXPECT_EQ(text("lblTrackInfo"), "5 Tracks 16m 32s");
    EXPECT_EQ(fakes.pump->ticks, 2);

    // A mismatching answer is not recognised, yet after 40 Ticks its bytes stand in slots 16 to 18.
    fakes.pump->ticks = 0;
    fakes.pump->arrivals = {{1, hex("20 61 01 00 09 08 07 00 FF")}};
    window->refreshDiscInfo();
    EXPECT_EQ(fakes.pump->ticks, 40);
    EXPECT_EQ(text("lblTrackInfo"), "9 Tracks 08m 07s");
    EXPECT_TRUE(fakes.dialogs->shown.empty());

    control<QCheckBox>("chkInsertPauses")->setChecked(true);
    control<QLabel>("lblTrackInfo")->setText("stale");
    fakes.pump->ticks = 0;
    window->refreshDiscInfo();
    EXPECT_EQ(fakes.pump->ticks, 0);
    EXPECT_EQ(fakes.serial->frames.size(), 4U) << "the request ignores pause mode";
    EXPECT_EQ(text("lblTrackInfo"), "9 Tracks 08m 07s") << "what the window holds, at once";
}

TEST_F(WindowTest, TheDiscNameGoesOutPerKeystrokeAndInPauseModeButNotOnAClosedPort) {
    window->selectPort(1);
    QTest::keyClicks(control("txtTitle"), "Mix");
    control<QLineEdit>("txtTitle")->clear();
    std::vector<QByteArray> expected;
    for (const char* name : {"M", "Mi", "Mix", ""}) {
        expected.push_back(toByteArray(*titleFrame(QString::fromLatin1(name), 0)));
    }
    EXPECT_EQ(fakes.serial->frames, expected) << "one frame per keystroke, each with the whole name";

    control<QCheckBox>("chkInsertPauses")->setChecked(true);
    dynamic_cast<ControlA1Recorder&>(window->recorder()).sendTitle("Track", 7);
    EXPECT_EQ(fakes.serial->frames.size(), 5U);
    fakes.serial->close();
    dynamic_cast<ControlA1Recorder&>(window->recorder()).sendTitle("Side A", 0);
    control<QLineEdit>("txtTitle")->setText("B");
    EXPECT_EQ(fakes.serial->frames.size(), 5U);
}

QByteArray taggedMp3(const QByteArray& title, const QByteArray& artist, const QByteArray& album) {
    const auto field = [](const QByteArray& text) { return text + QByteArray(30 - text.size(), '\0'); };
    const QByteArray tag = "TAG" + field(title) + field(artist) + field(album);
    return QByteArray(400, '\x11') + tag + QByteArray(128 - tag.size(), '\0');
}

// The window's source browser on a real folder of files, and the Track list it fills.
TEST_F(WindowTest, DoubleClicksAppendRemoveTakesTheSelectedEntryPreviewShowsTheTagAndTheBrowserFilters) {
    const QTemporaryDir folder;
    const auto entry = [&folder](const char* name) { return folder.filePath(QString::fromLatin1(name)); };
    for (const char* name : {"b song.mp3", "A.WAV", "c.Wma", "notes.txt", "d.mp3.bak", "e.Mp3"}) {
        writeFile(entry(name), "not audio");
    }
    writeFile(entry("tagged.mp3"), taggedMp3("<b>Tag</b> Title", "Tag Artist", "Tag Album"));
    writeFile(entry("01_Some Song Title.MP3"), taggedMp3("Some Song Title", "x", "y"));
    ASSERT_TRUE(QDir(folder.path()).mkdir("Sub Folder"));
    control<DirListBox>("DirList")->setPath(folder.path());
    // Double-clicks land on items where the window draws them.
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const auto shown = [this](const char* list) {
        const QAbstractItemModel* entries = control<QAbstractItemView>(list)->model();
        QStringList texts;
        for (int row = 0; row < entries->rowCount(); ++row) {
            texts.append(entries->index(row, 0).data().toString());
        }
        return texts;
    };
    // A press first: the view treats a double-click as one only on the item the press went to.
    const auto doubleClick = [this](const char* list, const QString& item) {
        auto* view = control<QAbstractItemView>(list);
        const QModelIndexList found =
            view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, item, -1, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << item.toStdString();
        const QPoint where = view->visualRect(found.first()).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, where);
    };

    auto* tracks = control<TrackList>("ListOfMusic");
    control<QListWidget>("FileList")->setCurrentRow(-1);
    window->FileList_DblClick();
    window->ListOfMusic_DblClick();
    EXPECT_EQ(tracks->count(), 0) << "no file chosen, nothing added";
    EXPECT_TRUE(fakes.player->opened.isEmpty()) << "an empty list has nothing to preview";

    for (const char* name : {"b song.mp3", "A.WAV", "b song.mp3", "c.Wma"}) {
        doubleClick("FileList", name);
    }
    EXPECT_EQ(shown("ListOfMusic"),
              QStringList({entry("b song.mp3"), entry("A.WAV"), entry("b song.mp3"), entry("c.Wma")}));
    tracks->setCurrentRow(-1);
    click("btnRemove");
    EXPECT_EQ(tracks->count(), 4) << "nothing selected, nothing removed";
    // Taking the focus makes the first entry current without selecting it.
    tracks->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    click("btnRemove");
    EXPECT_EQ(tracks->count(), 4) << "current but not selected, not removed";
    tracks->setCurrentRow(1);
    click("btnRemove");
    EXPECT_EQ(shown("ListOfMusic"), QStringList({entry("b song.mp3"), entry("b song.mp3"), entry("c.Wma")}));

    // The ID3 box is clear (as at creation): the preview shows the tag all the same.
    doubleClick("FileList", "tagged.mp3");
    doubleClick("FileList", "A.WAV");

    doubleClick("ListOfMusic", entry("tagged.mp3"));
    EXPECT_EQ(fakes.player->opened, QStringList({entry("tagged.mp3")}));
    EXPECT_EQ(text("txtSongname"), "<b>Tag</b> Title");
    EXPECT_EQ(text("txtArtist"), "Tag Artist");
    EXPECT_EQ(text("txtAlbum"), "Tag Album");
    // A tag, and the Status line that shows titles, are shown as written, never as markup.
    for (const char* name : {"txtSongname", "txtArtist", "txtAlbum", "statusLine"}) {
        EXPECT_EQ(control<QLabel>(name)->textFormat(), Qt::PlainText) << name;
    }

    // A file without a tag plays too and leaves the fields as they were.
    doubleClick("ListOfMusic", entry("A.WAV"));
    EXPECT_EQ(fakes.player->opened.size(), 2);
    EXPECT_EQ(text("txtSongname"), "<b>Tag</b> Title");
    // A file without an ID3v1 block shows its own tag: a FLAC's Vorbis comments.
    tracks->entries()->append({QStringLiteral(QUORVEX_MEDIA_FIXTURES "/title.flac")});
    tracks->setCurrentRow(tracks->count() - 1);
    window->ListOfMusic_DblClick();
    EXPECT_EQ(text("txtSongname"), "Flac Title");
    EXPECT_EQ(text("txtArtist"), QString::fromUtf8("Сплин"));
    tracks->entries()->remove(tracks->count() - 1);

    // Track titles: from the file name while the box is clear, from the tag once it is ticked; an MP3
    // without a tag then gets its file name's title and leaves the tag fields as they were.
    EXPECT_EQ(window->deriveTrackTitle(entry("01_Some Song Title.MP3")), "ome Song Title");
    control<QCheckBox>("tickUseID3")->setChecked(true);
    EXPECT_EQ(window->deriveTrackTitle(entry("01_Some Song Title.MP3")), "Some Song Title");
    EXPECT_EQ(window->deriveTrackTitle(entry("b song.mp3")), "b song");
    EXPECT_EQ(text("txtSongname"), "Some Song Title");

    EXPECT_EQ(shown("FileList"),
              QStringList({"01_Some Song Title.MP3", "A.WAV", "b song.mp3", "c.Wma", "e.Mp3", "tagged.mp3"}));
    EXPECT_EQ(control<FileListBox>("FileList")->path(), QDir::cleanPath(folder.path()));

    auto* dirs = control<DirListBox>("DirList");
    const QList<QListWidgetItem*> sub = dirs->findItems("Sub Folder", Qt::MatchEndsWith);
    ASSERT_EQ(sub.size(), 1);
    emit dirs->itemActivated(sub.first());
    EXPECT_EQ(dirs->path(), QDir::cleanPath(entry("Sub Folder")));
    EXPECT_TRUE(shown("FileList").isEmpty());
    // A directory that is gone or was never there leaves everything as it was, without a message.
    dirs->setPath(entry("no such folder"));
    EXPECT_EQ(dirs->path(), QDir::cleanPath(entry("Sub Folder")));
    EXPECT_TRUE(fakes.dialogs->shown.empty());

    auto* drives = control<DriveListBox>("DriveList");
    drives->setCurrentIndex(-1);
    drives->setDrive("C");
    EXPECT_EQ(drives->drive(), QDir::rootPath());
    EXPECT_EQ(dirs->path(), QDir::rootPath());
    EXPECT_EQ(control<FileListBox>("FileList")->path(), QDir::rootPath());
}

// The Track list's other ways in: playlists and folders from the File menu and the file list, drops from a
// file manager at the drop position, keys; and the list written back as a playlist that reads the same.
TEST_F(WindowTest, TheTrackListTakesPlaylistsFoldersDropsAndKeysAndIsSavedAsAPlaylist) {
    const QTemporaryDir folder;
    const QDir music(folder.path());
    ASSERT_TRUE(music.mkpath("album/cd 2"));
    for (const char* name : {"album/10 Ten.wav", "album/2 Two.wav", "album/cd 2/1 One.wav", "single.wav"}) {
        writeFile(music.filePath(name), silentWav);
    }
    writeFile(music.filePath("notes.wav"), "not a sound file");
    writeFile(music.filePath("list.m3u"), "#EXTM3U\nsingle.wav\nmissing.wav\nlist.m3u\n");
    control<DirListBox>("DirList")->setPath(folder.path());
    auto* tracks = control<TrackList>("ListOfMusic");
    const auto entries = [tracks] {
        QStringList names;
        for (const QString& path : tracks->entries()->paths()) {
            names.append(QFileInfo(path).fileName());
        }
        return names;
    };

    // Enter on the file list adds the playlist's entries; what it cannot add is named in one box.
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* files = control<QListWidget>("FileList");
    files->setFocus();
    files->setCurrentItem(files->findItems("list.m3u", Qt::MatchExactly).value(0));
    QTest::keyClick(files, Qt::Key_Return);
    waitForAdditions();
    EXPECT_EQ(entries(), QStringList{"single.wav"});
    ASSERT_EQ(fakes.dialogs->shown.size(), 1U);
    EXPECT_TRUE(fakes.dialogs->shown[0].text.startsWith("These playlist entries were not added:\n"));
    EXPECT_EQ(fakes.dialogs->shown[0].text.count('\n'), 2) << "the missing file and the loop";

    fakes.dialogs->chosenFolder = music.filePath("album");
    window->findChild<QAction*>("actionAddFolder")->trigger();
    fakes.dialogs->chosenFiles = {music.filePath("notes.wav"), music.filePath("single.wav")};
    window->findChild<QAction*>("actionAddFiles")->trigger();
    waitForAdditions();
    EXPECT_EQ(entries(), QStringList({"single.wav", "2 Two.wav", "10 Ten.wav", "1 One.wav", "single.wav"}));
    EXPECT_EQ(fakes.dialogs->shown.size(), 2U) << "the file that is no sound file";

    // A folder and a web address dropped on the second entry.
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(music.filePath("album/cd 2")), QUrl("https://example.org/a.mp3")});
    const QPointF onSecond(tracks->rowRect(1).center());
    QDragEnterEvent enter(onSecond.toPoint(), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tracks->viewport(), &enter);
    QDropEvent drop(onSecond, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tracks->viewport(), &drop);
    waitForAdditions();
    EXPECT_EQ(entries(),
              QStringList({"single.wav", "1 One.wav", "2 Two.wav", "10 Ten.wav", "1 One.wav", "single.wav"}));
    ASSERT_EQ(fakes.dialogs->shown.size(), 3U);
    EXPECT_TRUE(fakes.dialogs->shown[2].text.endsWith("https://example.org/a.mp3: it is not a local file"));

    // Dragged within the list: the first entry into the lower half of the third goes in after it; a drag
    // from elsewhere with the same data is not a move.
    const std::unique_ptr<QMimeData> first(tracks->dragData(0));
    const QPoint third = tracks->rowRect(2).center();
    QDragEnterEvent enterMove(third, Qt::MoveAction, first.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tracks->viewport(), &enterMove);
    QDropEvent move(third + QPoint(0, 2), Qt::CopyAction | Qt::MoveAction, first.get(), Qt::LeftButton,
                    Qt::NoModifier);
    move.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(tracks->viewport(), &move);
    const TrackList elsewhere;
    const std::unique_ptr<QMimeData> other(elsewhere.dragData(4));
    QDropEvent foreign(third, Qt::MoveAction, other.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tracks->viewport(), &foreign);
    EXPECT_EQ(entries(),
              QStringList({"1 One.wav", "2 Two.wav", "single.wav", "10 Ten.wav", "1 One.wav", "single.wav"}));

    // Keys on the Track list: Ctrl+Down, Ctrl+Up, Delete, Enter (a preview).
    tracks->setFocus();
    tracks->setCurrentRow(0);
    QTest::keyClick(tracks, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(tracks, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(tracks, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(entries(),
              QStringList({"2 Two.wav", "1 One.wav", "single.wav", "10 Ten.wav", "1 One.wav", "single.wav"}));
    QTest::keyClick(tracks, Qt::Key_Delete);
    QTest::keyClick(tracks, Qt::Key_Return);
    EXPECT_EQ(entries(), QStringList({"2 Two.wav", "single.wav", "10 Ten.wav", "1 One.wav", "single.wav"}));
    EXPECT_EQ(fakes.player->opened, QStringList{tracks->entries()->path(tracks->currentRow())});

    // Saved, then read back: the same entries in the same order.
    fakes.dialogs->chosenFileToSave = music.filePath("saved");
    window->findChild<QAction*>("actionSaveList")->trigger();
    EXPECT_EQ(readPlaylist(music.filePath("saved.m3u8")).added, wholeFiles(tracks->entries()->paths()));
    EXPECT_EQ(fakes.dialogs->choosers, QStringList({"Add folder", "Add files", "Save list as playlist"}));
}

// The window's Record button in virtual time: a fake recorder with 5 tracks answers through the port and
// acknowledges record and (unless told otherwise) stop; the fake player moves 0.1 s per Tick.
class RecordingRunTest : public WindowTest {
protected:
    RecordingRunTest() {
        fakes.serial->respond = fiveTrackRecorder(acknowledgesRecord, acknowledgesStop, &fakes.pump->ticks);
        window->selectPort(1);
        refill();
    }

    // The Track list afresh, without marks.
    void refill() {
        entries()->clear();
        for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
            entries()->append({writeFile(folder.filePath(name), silentWav)});
        }
    }
    [[nodiscard]] TrackListModel* entries() const { return control<TrackList>("ListOfMusic")->entries(); }

    // Frames the recorder received, title frames shown as "title N".
    [[nodiscard]] std::vector<std::string> sent() const { return frameNames(fakes.serial->frames); }

    // Whether the controls that cannot act during a run are enabled: "all", "none" or a mixture.
    [[nodiscard]] std::string enabledDuringRuns() const {
        const std::vector<bool> enabled{
            control("btnCheckTracks")->isEnabled(), control("lblTrackInfo")->isEnabled(),
            control("btnRemove")->isEnabled(), window->findChild<QAction*>("actionCheckDisc")->isEnabled(),
            window->findChild<QAction*>("actionSerialDevice")->isEnabled()};
        const auto on = std::count(enabled.begin(), enabled.end(), true);
        return on == 0 ? "none" : on == static_cast<long>(enabled.size()) ? "all" : "some";
    }

    // An entry's mark as its tool tip's first line says it (the recording tests see the tool tips).
    [[nodiscard]] QString mark(int entry) const { return entryMarkText(window->entryMark(entry)); }

    QTemporaryDir folder;
    bool acknowledgesRecord = true;
    bool acknowledgesStop = true;
};

// During a run the Record button reads "Stop" and the caption shows the progress; the run's notices come
// after it, with the Record button back, in boxes whose icon is the notice's weight; the button stops a run.
TEST_F(RecordingRunTest, TheButtonStopsARunAndItsNoticesComeAfterItWithTheirIcons) {
    acknowledgesRecord = false;
    QString during;
    fakes.pump->during = {{22, [this, &during] {
                               during = text("btnRecordList") + " (" + control("btnRecordList")->toolTip() +
                                        ") / " + window->windowTitle();
                           }}};
    bool recordingAtBox = true;
    fakes.dialogs->whenShown = [this, &recordingAtBox] {
        recordingAtBox = window->isRecording() || text("btnRecordList") != "Record";
    };
    click("btnRecordList");
    EXPECT_EQ(during, "Stop (Stop recording) / Quorvex recorder — 1 of 3, 00:00 left");
    ASSERT_EQ(fakes.dialogs->shown.size(), 1U);
    EXPECT_EQ(fakes.dialogs->shown[0].text,
              "Not able to record - check recorder connections - is optical cable connected?");
    EXPECT_EQ(fakes.dialogs->shown[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(recordingAtBox) << "the box comes after the run";
    EXPECT_EQ(window->windowTitle(), "Quorvex recorder");
    EXPECT_EQ(text("listSummary"), "3 tracks, 00:00");

    acknowledgesRecord = true;
    fakes.serial->frames.clear();
    fakes.pump->ticks = 0;
    fakes.pump->during = {{24, [this] { click("btnRecordList"); }}};
    // The track it made goes into the disc's record, which cannot be written here: the status line says so.
    const QTemporaryDir data;
    QFile blocker(data.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.filePath("file").toLocal8Bit());
    click("btnRecordList");
    qputenv("XDG_DATA_HOME", dataHome);
    EXPECT_EQ(sent(), (std::vector<std::string>{"request", "record", "play", "title 6", "stop", "request"}));
    EXPECT_EQ(mark(0), "cut off by Stop recording");
    EXPECT_EQ(text("btnRecordList"), "Record");
    EXPECT_EQ(control<QLabel>("statusLine")->text(),
              "The disc's record \"" + data.filePath("file/quorvex/discs") +
                  "\" could not be written: the folder cannot be made");
}

TEST_F(RecordingRunTest, DuringARunOnlyTheRecorderButtonsWorkOutsideEventsCostNoTrackAndNothingIsRemoved) {
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(folder.filePath("a.wav"))});
    fakes.pump->during = {{22,
                           [this, &dropped] {
                               // Drops and moves wait for the run's end; an addition goes to the end.
                               auto* tracks = control<TrackList>("ListOfMusic");
                               QDropEvent drop(QPointF(tracks->rowRect(0).center()), Qt::CopyAction, &dropped,
                                               Qt::LeftButton, Qt::NoModifier);
                               QCoreApplication::sendEvent(tracks->viewport(), &drop);
                               window->addEntries({folder.filePath("c.wav")}, 0);
                               tracks->setCurrentRow(1);
                               window->moveEntry(1);
                               click("btnCheckTracks");
                               window->ListOfMusic_DblClick();
                               EXPECT_EQ(QToolTip::text(),
                                         "No preview during a run: the player is recording.");
                               click("btnBack");
                               tracks->setCurrentRow(2);
                               click("btnRemove");
                               EXPECT_EQ(enabledDuringRuns(), "none");
                           }},
                          {23, [this] { fakes.player->setState(MediaPlayer::paused); }}};
    // Another file's late failure (a preview's) belongs to no track of the run.
    for (int tick = 24; tick < 80; ++tick) {
        fakes.pump->during[tick] = [this] {
            emit fakes.player->failed("/music/previewed.mp3", "Cannot play");
        };
    }
    click("btnRecordList");
    const std::vector<std::string> expected{"request", "record", "play",   "81 07 05 47 02 15 ff",
                                            "title 6", "stop",   "record", "play",
                                            "title 7", "stop",   "record", "play",
                                            "title 8", "stop",   "request"};
    EXPECT_EQ(sent(), expected)
        << "Back went out; the disc query and the removal were refused, the disc read back";
    EXPECT_EQ(fakes.player->opened.size(), 3) << "no preview took the player";
    EXPECT_EQ(fakes.player->stops, 3) << "paused from outside ends the track and the next follows";
    EXPECT_EQ(enabledDuringRuns(), "all");
    EXPECT_FALSE(window->isRecording());
    waitForAdditions();
    EXPECT_EQ(mark(0), "cut short: paused from the player bar at 00:00");
    EXPECT_EQ(mark(2), "recorded");
    ASSERT_EQ(entries()->count(), 4);
    EXPECT_EQ(entries()->path(1), folder.filePath("b.wav")) << "not moved";
    EXPECT_EQ(mark(3), "") << "left for the next run";
}

// Every push button's caption reads whole, before and during a run, and a marked entry takes the room of an
// unmarked one, so the Track list shows as many entries either way (ctest runs this at scale 1 and 2).
TEST_F(RecordingRunTest, CaptionsReadWholeAndMarksKeepTheRowHeight) {
    window->show();
    const auto cutCaptions = [this] {
        QStringList cut;
        for (const QPushButton* button : window->findChildren<QPushButton*>()) {
            const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
            const int needed = button->fontMetrics().horizontalAdvance(button->text()) + 2 * frame;
            if (button->isVisible() && needed > button->width()) {
                cut.append(button->text());
            }
        }
        return cut;
    };
    EXPECT_EQ(cutCaptions(), QStringList());
    auto* tracks = control<TrackList>("ListOfMusic");
    const int unmarked = tracks->rowRect(0).height();
    QStringList cutDuringTheRun{"not looked at"};
    fakes.pump->during = {{24, [&] { cutDuringTheRun = cutCaptions(); }}};
    fakes.pump->during[23] = [this] { fakes.player->setState(MediaPlayer::paused); }; // a cut-short mark
    writeFile(folder.filePath("b.wav"), "no sound here");                             // a skipped one
    click("btnRecordList");
    EXPECT_EQ(cutDuringTheRun, QStringList());

    for (int entry = 0; entry < 3; ++entry) {
        EXPECT_EQ(tracks->rowRect(entry).height(), unmarked) << mark(entry).toStdString();
    }
    EXPECT_GE(tracks->viewport()->height() / unmarked, 6);
}

// A run picks up where the last one left: Continue records what is not recorded yet, numbered after the
// disc's tracks; when all are recorded the question offers them all again; Cancel sends nothing.
TEST_F(RecordingRunTest, RecordAsksToContinueOrRecordAllAgainOnceEntriesAreRecorded) {
    const QString broken = writeFile(folder.filePath("b.wav"), "no sound here");
    click("btnRecordList");
    ASSERT_EQ(fakes.dialogs->shown.size(), 1U) << "the box of skipped files";
    EXPECT_EQ(fakes.bus->notifications, QStringList{"Quorvex: 2 tracks recorded, 1 skipped"})
        << "the window is not the active one";
    EXPECT_EQ(fakes.bus->holds, 1);
    EXPECT_EQ(fakes.bus->releases, 1);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(mark(1), "skipped: it is not a sound file of a listed format");

    writeFile(broken, silentWav);
    const std::vector<std::vector<int>> answers{{0}, {0}, {2}, {1}};
    const std::vector<std::vector<std::string>> expected{
        // The disc has the tracks of each run before it.
        {"request", "record", "play", "title 8", "stop", "request"},
        {"request", "record", "play", "title 9", "stop", "record", "play", "title 10", "stop", "record",
         "play", "title 11", "stop", "request"},
        {},
    };
    fakes.dialogs->answers = {0, 0, 1};
    for (const std::vector<std::string>& frames : expected) {
        fakes.serial->frames.clear();
        click("btnRecordList");
        EXPECT_EQ(sent(), frames);
    }
    EXPECT_EQ(fakes.bus->notifications.size(), 1) << "a window in use needs no notification";
    EXPECT_EQ(fakes.bus->holds, 3);
    ASSERT_EQ(fakes.dialogs->asked.size(), 3U);
    EXPECT_EQ(fakes.dialogs->asked[0].text, "1 of the 3 entries are not recorded yet.");
    EXPECT_EQ(fakes.dialogs->asked[0].choices, QStringList({"Continue", "Record all again", "Cancel"}));
    EXPECT_EQ(fakes.dialogs->asked[0].escapeChoice, 2);
    EXPECT_EQ(fakes.dialogs->asked[1].text, "All 3 entries are recorded.");
    EXPECT_EQ(fakes.dialogs->asked[1].choices, QStringList({"Record all again", "Cancel"}));
    EXPECT_EQ(fakes.dialogs->asked[1].defaultChoice, 0);
    EXPECT_EQ(fakes.dialogs->asked[1].escapeChoice, 1);
}

// A list with more entries than the disc has free tracks: Cancel (the default) sends no record frame.
TEST_F(RecordingRunTest, AListTheDiscCannotTakeIsPutToTheUserBeforeAnythingIsRecorded) {
    fakes.serial->respond = [](const QByteArray& frame) {
        return frame == discRequest ? hex("81 0D 05 48 20 60 01 00 FC 0A 0B 00 FF")
                                    : hex("81070548") + frame.mid(4);
    };
    click("btnRecordList");
    EXPECT_EQ(sent(), std::vector<std::string>{"request"});
    ASSERT_EQ(fakes.dialogs->asked.size(), 1U);
    const Question& asked = fakes.dialogs->asked[0];
    EXPECT_EQ(asked.text, "The list has 3 entries but the disc can take only 2 more tracks.\n"
                          "3 files of unknown length are not counted.");
    EXPECT_EQ(asked.choices, QStringList({"Record anyway", "Cancel"}));
    EXPECT_EQ(asked.defaultChoice, 1);
    EXPECT_EQ(asked.escapeChoice, 1);
    EXPECT_TRUE(fakes.dialogs->shown.empty()) << "no pause-mode notice";

    fakes.dialogs->answers = {1, 0};
    fakes.serial->frames.clear();
    click("btnRecordList");
    EXPECT_EQ(sent().size(), 14U) << "recorded anyway, and the disc read back";
}

// Bytes the program holds on the heap right now (AddressSanitizer's own count when it runs, because its
// allocator replaces malloc's and keeps freed blocks in quarantine).
std::size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// Disc ▸ Recorded discs…: the records newest first with their name, date, tracks and time, an unreadable one
// listed as such; the chosen one's tracks, a source that is gone shown as missing; the filter; Add to Track
// list (also Enter, wherever the focus is) puts the record's files on the list; Delete asks first.
TEST_F(WindowTest, RecordedDiscsListsTheRecordsAndTheirTracks) {
    const QTemporaryDir music;
    const QString kept = music.filePath("kept.wav");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUORVEX_MEDIA_FIXTURES "/sine.wav"), kept));
    const auto runOf = [](int hour, int before, const QStringList& files) {
        RecordedRun run{.started = QDateTime(QDate(2026, 12, 9), QTime(hour, 0)),
                        .before = DiscContents{.tracks = before, .seconds = 0},
                        .tracks = {},
                        .checked = {},
                        .notChecked = {},
                        .onDisc = {}};
        for (const QString& file : files) {
            const int number = before + static_cast<int>(run.tracks.size()) + 1;
            run.tracks.push_back({.number = number,
                                  .title = QFileInfo(file).baseName(),
                                  .recorderTitle = QFileInfo(file).baseName(),
                                  .mark = QStringLiteral("recorded"),
                                  .length = std::chrono::milliseconds(3000),
                                  .source = {.path = file, .cue = std::nullopt}});
        }
        return run;
    };
    const DiscRecords records;
    ASSERT_EQ(records.add("Older", runOf(9, 0, {kept})).error, std::nullopt);
    RecordedRun newer = runOf(10, 2, {kept, music.filePath("gone.wav")});
    newer.notChecked = QStringLiteral("no answer");
    ASSERT_EQ(records.add("Newer", newer).error, std::nullopt);
    QFile unreadable(discRecordsFolder() + "/broken.m3u8");
    ASSERT_TRUE(unreadable.open(QIODevice::WriteOnly) && unreadable.write("not a record") > 0);
    unreadable.close();

    window->findChild<QAction*>("actionRecordedDiscs")->trigger();
    auto* const dialog = window->findChild<RecordedDiscsDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    auto* const discs = dialog->findChild<QTreeWidget*>("discs");
    auto* const tracks = dialog->findChild<QTreeWidget*>("tracks");
    const auto rows = [](const QTreeWidget* tree) {
        QStringList shown;
        for (int row = 0; row < tree->topLevelItemCount(); ++row) {
            if (const QTreeWidgetItem* item = tree->topLevelItem(row); !item->isHidden()) {
                QStringList columns;
                for (int column = 0; column < tree->columnCount(); ++column) {
                    columns.append(item->text(column));
                }
                shown.append(columns.join(" | "));
            }
        }
        return shown;
    };
    const QString date = QDateTime(QDate(2026, 12, 9), QTime(10, 0)).toString("yyyy-MM-dd HH:mm");
    EXPECT_EQ(rows(discs),
              QStringList({"Newer | " + date + " | 2 | 00:06 | no answer",
                           "Older | " + QString(date).replace("10:00", "09:00") + " | 1 | 00:03 | ",
                           "broken.m3u8 (unreadable) |  |  |  | "}));
    EXPECT_EQ(rows(tracks),
              QStringList({"3 | kept | 00:03 | recorded | " + kept,
                           "4 | gone | 00:03 | recorded | " + music.filePath("gone.wav") + " (missing)"}));
    dialog->findChild<QLineEdit*>("filter")->setText("old");
    EXPECT_EQ(rows(discs).size(), 1);
    EXPECT_EQ(rows(tracks), QStringList({"1 | kept | 00:03 | recorded | " + kept}));

    // The record's insert, and File ▸ Print case insert… for the Track list once it has entries, in the print
    // preview; it is not modal: the window goes on.
    const auto previewShown = [this] {
        auto* const preview = window->findChild<QPrintPreviewDialog*>();
        const bool shown = preview != nullptr && preview->isVisible() && !preview->isModal();
        delete preview;
        return shown;
    };
    QTest::mouseClick(dialog->findChild<QPushButton*>("printInsert"), Qt::LeftButton);
    EXPECT_TRUE(previewShown());
    window->findChild<QAction*>("actionPrintInsert")->trigger();
    EXPECT_FALSE(previewShown());
    EXPECT_EQ(text("statusLine"),
              "The Track list is empty: add the files of the disc to print its case insert.");
    QTest::keyClick(dialog->findChild<QLineEdit*>("filter"), Qt::Key_Return); // Enter: Add to Track list
    waitForAdditions();
    EXPECT_EQ(window->findChild<TrackList*>("ListOfMusic")->entries()->count(), 1);
    window->findChild<QAction*>("actionPrintInsert")->trigger();
    EXPECT_TRUE(previewShown());

    fakes.dialogs->answers = {1, 0}; // Cancel, then Delete record
    QTest::mouseClick(dialog->findChild<QPushButton*>("deleteRecord"), Qt::LeftButton);
    EXPECT_EQ(records.list().size(), 3U);
    QTest::mouseClick(dialog->findChild<QPushButton*>("deleteRecord"), Qt::LeftButton);
    EXPECT_EQ(records.list().size(), 2U);
    ASSERT_EQ(fakes.dialogs->asked.size(), 2U);
    EXPECT_EQ(fakes.dialogs->asked[0].text,
              "Delete the record of \"Older\"? The disc itself is not touched.");
    for (const DiscRecords::Listed& record : records.list()) {
        EXPECT_EQ(records.remove(record.path), std::nullopt);
    }
}

TEST_F(WindowTest, ThreeHundredEntriesKeepTheHeapFlat) {
    constexpr int entries = 300;
    constexpr int firstSample = 10;
    window->selectPort(1);
    const QTemporaryDir folder;
    const QString wav = writeFile(folder.filePath("entry.wav"), silentWav);
    for (int entry = 0; entry < entries; ++entry) {
        control<TrackList>("ListOfMusic")->entries()->append({wav});
    }

    int records = 0;
    std::size_t atFirstSample = 0;
    std::size_t atLast = 0;
    fakes.serial->respond = [&](const QByteArray& frame) {
        const bool isRecord = frame == recordFrame;
        const bool isStop = frame == stopFrame;
        // The fakes' own records would grow with every entry: they are dropped as the run goes (`frame` is
        // one of them, so it is not looked at after this).
        fakes.serial->frames.clear();
        fakes.player->opened.clear();
        fakes.player->items.clear();
        records += isRecord ? 1 : 0;
        // Sampled in the second run, when every entry carries the mark the first one gave it.
        if (isRecord && (records == entries + firstSample || records == 2 * entries)) {
            (records == entries + firstSample ? atFirstSample : atLast) = heapInUse();
        }
        return isRecord ? hex("81070548 0221 FF") : isStop ? hex("81070548 0202 FF") : QByteArray();
    };

    // A disc that says nothing has room for 254 tracks: record anyway, then record all again.
    fakes.dialogs->answers = {0, 0, 0};
    click("btnRecordList");
    click("btnRecordList");

    EXPECT_EQ(records, 2 * entries);
    ASSERT_EQ(fakes.dialogs->shown.size(), 2U) << "a box after each run, and nothing else";
    EXPECT_EQ(fakes.dialogs->shown[0].text, "The disc could not be checked: the recorder did not answer.");
    std::printf("heap in use at entry %d: %zu bytes; at entry %d: %zu bytes; growth %lld bytes\n",
                firstSample, atFirstSample, entries, atLast,
                static_cast<long long>(atLast) - static_cast<long long>(atFirstSample));
    // A leak of even 100 bytes per entry would show as 29,000 bytes here.
    EXPECT_LT(static_cast<long long>(atLast) - static_cast<long long>(atFirstSample), 16 * 1024);
}

// Disc ▸ Sound output lists the player's outputs; the choice is saved and followed. One that goes missing
// stays chosen and is shown so; a preview then plays to the default output, said once, and Record refuses.
TEST_F(WindowTest, TheChosenSoundOutputIsPlayedToAndAMissingOneStopsARunButNotAPreview) {
    auto* menu = window->findChild<QMenu*>("menuSoundOutput");
    const auto entries = [menu] {
        emit menu->aboutToShow();
        QStringList shown;
        for (const QAction* entry : menu->actions()) {
            shown.append((entry->isChecked() ? "* " : "") + entry->text());
        }
        return shown;
    };
    EXPECT_EQ(entries(), QStringList{"* System default"}) << "nothing listed yet";
    EXPECT_EQ(fakes.player->output, "");
    fakes.player->listOutputs({{"pulse/speakers", "Speakers"}, {"alsa/iec958", "Optical & USB"}});
    EXPECT_EQ(entries(), QStringList({"* System default", "Speakers", "Optical && USB"}));
    menu->actions().at(2)->trigger();
    EXPECT_EQ(fakes.player->output, "alsa/iec958");
    EXPECT_EQ(fakes.journal.back(), "save General/Output=alsa/iec958");

    fakes.player->listOutputs({{"pulse/speakers", "Speakers"}});
    EXPECT_EQ(entries(), QStringList({"System default", "Speakers", "* Optical && USB (not connected)"}));
    const QTemporaryDir folder;
    auto* tracks = control<TrackList>("ListOfMusic");
    tracks->entries()->append({writeFile(folder.filePath("a.wav"), silentWav)});
    tracks->setCurrentRow(0);
    window->ListOfMusic_DblClick();
    EXPECT_EQ(text("statusLine"),
              "The sound output \"Optical & USB\" is not connected: playing to the system default.");
    EXPECT_EQ(fakes.player->output, "");
    window->setStatusLine("said once");
    window->ListOfMusic_DblClick();
    EXPECT_EQ(text("statusLine"), "said once");
    fakes.journal.clear();
    click("btnRecordList");
    ASSERT_EQ(fakes.dialogs->shown.size(), 1U);
    EXPECT_EQ(fakes.dialogs->shown[0].text,
              "The sound output \"Optical & USB\" is not connected. Connect it or "
              "choose another in Disc ▸ Sound output.");
    EXPECT_EQ(fakes.dialogs->shown[0].title, "Quorvex");
    EXPECT_TRUE(fakes.journal.empty() && fakes.serial->frames.empty()) << "nothing sent, nothing saved";

    fakes.player->listOutputs({{"alsa/iec958", "Optical & USB"}});
    EXPECT_EQ(fakes.player->output, "alsa/iec958") << "played to again once it is back";
    FakePlatform next;
    next.settings->values = fakes.settings->values;
    const frmQuorvex started(next.take());
    EXPECT_EQ(next.player->output, "alsa/iec958") << "the choice holds at the next start";
}

TEST(StartFailure, APlayerThatCannotBeHadIsSaidInABoxAndNothingStarts) {
    FakeDialogs dialogs;
    const std::optional<Platform> none = makePlatformOrSayWhy(
        []() -> Platform { throw MediaPlayerUnavailable("mpv_initialize: unsupported"); }, dialogs);
    EXPECT_FALSE(none.has_value());
    ASSERT_EQ(dialogs.shown.size(), 1U);
    EXPECT_EQ(dialogs.shown[0].text, "The media player could not be started (mpv_initialize: unsupported).");
    EXPECT_EQ(dialogs.shown[0].title, "Quorvex");

    FakePlatform fakes;
    EXPECT_TRUE(makePlatformOrSayWhy([&fakes] { return fakes.take(); }, dialogs).has_value());
    EXPECT_EQ(dialogs.shown.size(), 1U) << "no box when the player is there";
}

// A first start (no settings at all) puts Com1 on the one USB serial adapter there is, saved before Com1
// opens; with none, several, or settings already there, start-up opens Com1 as it always has.
TEST(FirstStart, PutsCom1OnTheOneUsbAdapterThereIs) {
    const SerialDevice legacy{.path = "/dev/ttyS0", .systemLocation = "/dev/ttyS0"};
    const SerialDevice adapter{.path = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0",
                               .systemLocation = "/dev/ttyUSB0",
                               .usb = true};
    const SerialDevice another{.path = "/dev/ttyACM0", .systemLocation = "/dev/ttyACM0", .usb = true};
    const Journal asAlways{"setPortNumber 1", "save Commport/COM=1", "open 1"};
    const struct {
        bool firstStart;
        std::vector<SerialDevice> system;
        Journal opening;
    } rows[] = {
        {true,
         {legacy, adapter},
         {"save Commport/Device1=" + adapter.path.toStdString(), "setPortNumber 1", "save Commport/COM=1",
          "open 1"}},
        {true, {another, adapter}, asAlways},
        {true, {legacy}, asAlways},
        {false, {adapter}, asAlways},
    };
    for (const auto& row : rows) {
        FakePlatform fakes;
        fakes.settings->firstStart = row.firstStart;
        fakes.serial->system = row.system;
        frmQuorvex window(fakes.take());
        fakes.pump->tick = [&window] { window.Timer1_Timer(); };
        window.Form_Load();
        fakes.journal.resize(row.opening.size());
        EXPECT_EQ(fakes.journal, row.opening);
    }
}

// The serial-device dialog lists USB adapters first, each by its stable name where the system has one, and
// ttyS2 before ttyS10, with what the system says of each; the path field has the focus, and a clicked port
// is chosen with Enter.
TEST(SerialDeviceDialog, ListsUsbAdaptersFirstByTheirStableNameAndTakesTheClickedOne) {
    const QTemporaryDir dev;
    const auto device = [&dev](const char* name, bool usb) {
        const QString path = writeFile(dev.filePath(name), {});
        return SerialDevice{.path = path,
                            .systemLocation = path,
                            .description = QStringLiteral("%1 port").arg(name),
                            .manufacturer = usb ? "FTDI" : "",
                            .serialNumber = usb ? name : "",
                            .usb = usb};
    };
    ASSERT_TRUE(QDir(dev.path()).mkdir("by-id"));
    const QString stable = dev.filePath("by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0");
    ASSERT_TRUE(QFile::link("../ttyUSB0", stable));
    const std::vector<SerialDevice> ordered = orderSerialDevices(
        {device("ttyS10", false), device("ttyUSB0", true), device("ttyS2", false), device("ttyACM0", true)},
        dev.filePath("by-id"));

    SerialDeviceDialog dialog("Serial device for Com1", {.device = "/dev/ttyS0"}, ordered, nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* path = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->text(), "/dev/ttyS0");
    auto* ports = dialog.findChild<QTreeWidget*>("serialPorts");
    QStringList rows;
    for (int row = 0; row < ports->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* port = ports->topLevelItem(row);
        rows.append(QStringList({port->text(0), port->text(1), port->text(2), port->text(3)}).join('|'));
    }
    EXPECT_EQ(rows,
              QStringList({dev.filePath("ttyACM0") + "|ttyACM0 port|FTDI|ttyACM0",
                           stable + "|ttyUSB0 port|FTDI|ttyUSB0", dev.filePath("ttyS2") + "|ttyS2 port||",
                           dev.filePath("ttyS10") + "|ttyS10 port||"}));
    QTest::mouseClick(ports->viewport(), Qt::LeftButton, {},
                      ports->visualItemRect(ports->topLevelItem(1)).topLeft() + QPoint(5, 5));
    EXPECT_EQ(path->text(), stable);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.device(), stable);
}

TEST_F(WindowTest, StartUpSwitchesOnAndAsksForTheDiscClosingSavesTheSettingsForTheNextStart) {
    // A drive and a directory that are gone: passed over, and the browser starts as always.
    fakes.settings->values = {{"General/Disk", "Q"}, {"General/Dir", "/no/such/folder"}};
    window->Form_Load();

    EXPECT_EQ(fakes.journal, (Journal{"setPortNumber 1", "save Commport/COM=1", "open 1"})) << "first start";
    EXPECT_TRUE(control<QRadioButton>("optCom1")->isChecked());
    EXPECT_EQ(window->windowTitle(), "Quorvex recorder    V" + QString::fromLatin1(version::text));
    EXPECT_EQ(fakes.pump->ticks, 2 + 40) << "200 ms before switching on, 40 Ticks for the silent disc";
    EXPECT_EQ(control<DirListBox>("DirList")->path(), QDir::currentPath())
        << "the browser starts where the program was started";
    EXPECT_EQ(control<QCheckBox>("tickUseID3")->checkState(), Qt::Checked)
        << "ID3 tags are used until the user says otherwise";

    const QTemporaryDir music;
    window->selectPort(2);
    control<QCheckBox>("tickUseID3")->setChecked(false);
    control<DirListBox>("DirList")->setPath(music.path());
    fakes.journal.clear();
    fakes.pump->ticks = 0;

    EXPECT_TRUE(window->findChild<QAction*>("actionDisc74")->isChecked()) << "the default disc";
    window->findChild<QAction*>("actionAsciiTitles")->trigger();
    window->findChild<QAction*>("actionGapless")->trigger();
    EXPECT_EQ(fakes.player->send44k, std::optional(true)) << "on until the user says otherwise";
    window->findChild<QAction*>("actionSend44k")->trigger();
    EXPECT_EQ(fakes.player->programLevel, std::optional(Level::minus6dB)) << "the level until the user says";
    window->findChild<QAction*>("actionLevel_track")->trigger();
    EXPECT_EQ(fakes.player->programLevel, std::optional(Level::trackGain)) << "previews at once";
    window->findChild<QAction*>("actionDisc80")->trigger();
    window->findChild<QAction*>("actionQuit")->trigger();
    window->close();

    const Journal expected{"save General/ASCII titles=1",
                           "save General/Gapless=1",
                           "save General/44.1 kHz=0",
                           "save General/Level=track",
                           "save General/Disc length=80",
                           "close",
                           "save Commport/COM=2",
                           "save General/Use ID3=0",
                           "save General/Disk=" + QDir::rootPath().toStdString(),
                           "save General/Dir=" + QDir::cleanPath(music.path()).toStdString(),
                           "exit"};
    EXPECT_EQ(fakes.journal, expected) << "a second close does nothing";
    EXPECT_EQ(fakes.pump->ticks, 2) << "200 ms before the port closes";

    FakePlatform next;
    next.settings->values = fakes.settings->values;
    frmQuorvex started(next.take());
    next.pump->tick = [&started] { started.Timer1_Timer(); };
    started.Form_Load();
    EXPECT_EQ(next.journal.at(2), "open 2");
    EXPECT_EQ(started.findChild<QCheckBox*>("tickUseID3")->checkState(), Qt::Unchecked);
    // Plain ASCII titles, remembered: the disc name and titles, made plain before the cut to 14 characters.
    EXPECT_TRUE(started.findChild<QAction*>("actionAsciiTitles")->isChecked());
    EXPECT_TRUE(started.findChild<QAction*>("actionGapless")->isChecked());
    EXPECT_EQ(next.player->send44k, std::optional(false));
    EXPECT_EQ(next.player->programLevel, std::optional(Level::trackGain));
    EXPECT_TRUE(started.findChild<QAction*>("actionLevel_track")->isChecked());
    started.findChild<QCheckBox*>("chkInsertPauses")->setChecked(true);
    EXPECT_FALSE(started.findChild<QAction*>("actionGapless")->isEnabled()) << "pause mode has no take";
    EXPECT_TRUE(started.findChild<QAction*>("actionDisc80")->isChecked());
    EXPECT_FALSE(started.findChild<QAction*>("actionDisc74")->isChecked());
    EXPECT_EQ(started.titleText(QString::fromUtf8("Tårarna")), "Tararna");
    EXPECT_EQ(started.deriveTrackTitle(QString::fromUtf8("/x/01_Сплин/02_東京 Москва.flac")),
              "ng jing Moskva");
    EXPECT_EQ(started.findChild<DirListBox*>("DirList")->path(), QDir::currentPath())
        << "the remembered directory is replaced by the start directory";
}

TEST(ShutDownDeathTest, ClosingDuringAWaitEndsTheProgramAndNothingResumes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct WaitCase {
        const char* wait;
        int closeAt;
        std::function<void(frmQuorvex&, FakePlatform&)> run;
        const char* lastFrame;
        const char* recorded; // the disc records' tracks after it
    };
    const std::vector<WaitCase> cases{
        {"disc information", 5, [](frmQuorvex& window, FakePlatform&) { window.lblTrackInfo_Click(); },
         "81 07 05 47 20 44 ff", ""},
        {"a track of a recording run", 30,
         [](frmQuorvex& window, FakePlatform& fakes) {
             fakes.serial->respond = [](const QByteArray& frame) {
                 return frame.mid(4, 2) == hex("0221") ? hex("81070548 0221 FF") : QByteArray();
             };
             fakes.player->fileLength = 10;
             const QTemporaryDir folder;
             window.findChild<TrackList*>("ListOfMusic")
                 ->entries()
                 ->append({writeFile(folder.filePath("a.wav"), silentWav)});
             window.btnRecordList_Click();
         },
         "81 07 05 47 02 02 ff", "\nrecorded 1 a cut off by Stop recording"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.wait);
        // The user closes the window at Tick `closeAt`; the program's own exit must end the process there.
        const auto closeDuring = [&row] {
            FakePlatform fakes;
            // The real way out, after the journal and the last frame sent went to stderr for the parent.
            fakes.exit->then = [&fakes] {
                for (const std::string& entry : fakes.journal) {
                    std::fprintf(stderr, "%s\n", entry.c_str());
                }
                std::fprintf(stderr, "last frame %s", fakes.serial->frames.back().toHex(' ').constData());
                for (const DiscRecords::Listed& record : DiscRecords().list()) {
                    for (const RecordedTrack& track : record.record.value_or(DiscRecord{}).tracks()) {
                        std::fprintf(stderr, "\nrecorded %d %s %s", track.number, qPrintable(track.title),
                                     qPrintable(track.mark));
                    }
                }
                std::fputs("\n", stderr);
                ProcessExit().exitNow();
            };
            frmQuorvex window(fakes.take());
            fakes.pump->tick = [&window] { window.Timer1_Timer(); };
            window.selectPort(1);
            fakes.pump->during = {{row.closeAt, [&window] { window.close(); }}};
            row.run(window, fakes);
            std::fputs("the wait resumed after the window was closed\n", stderr);
            std::_Exit(3);
        };
        EXPECT_EXIT(
            closeDuring(), ::testing::ExitedWithCode(0),
            std::string("open 1\nclose\nsave Commport/COM=1\nsave General/Use ID3=0\nsave General/Disk=/\n"
                        "save General/Dir=\nexit\nlast frame ") +
                row.lastFrame + row.recorded + "\n");
    }
}

} // namespace
} // namespace quorvex::testing
