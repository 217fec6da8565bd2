#include "tracks/dirlistbox.h"
#include "tracks/drivelistbox.h"
#include "tracks/filelistbox.h"
#include "unit/windowfixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>

namespace quorvex::testing {
namespace {

QByteArray taggedMp3(const QByteArray& title, const QByteArray& artist, const QByteArray& album) {
    const auto field = [](const QByteArray& text) { return text + QByteArray(30 - text.size(), '\0'); };
    const QByteArray tag = "TAG" + field(title) + field(artist) + field(album);
    return QByteArray(400, '\x11') + tag + QByteArray(128 - tag.size(), '\0');
}

// The window's source browser on a real folder of files.
class WindowTracksTest : public WindowTest {
protected:
    WindowTracksTest() {
        for (const char* name : {"b song.mp3", "A.WAV", "c.Wma", "notes.txt", "d.mp3.bak", "e.Mp3"}) {
            write(name, "not audio");
        }
        write("tagged.mp3", taggedMp3("<b>Tag</b> Title", "Tag Artist", "Tag Album"));
        write("01_Some Song Title.MP3", taggedMp3("Some Song Title", "x", "y"));
        EXPECT_TRUE(QDir(folder.path()).mkdir("Sub Folder"));
        control<DirListBox>("DirList")->setPath(folder.path());
        // Double-clicks land on items where the window draws them.
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void write(const char* name, const QByteArray& contents) const {
        QFile file(entry(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    [[nodiscard]] QStringList shown(const char* list) const {
        QStringList texts;
        const auto* widget = control<QListWidget>(list);
        for (int row = 0; row < widget->count(); ++row) {
            texts.append(widget->item(row)->text());
        }
        return texts;
    }

    // A press first: the view treats a double-click as one only on the item the press went to.
    void doubleClick(const char* list, const QString& item) const {
        auto* widget = control<QListWidget>(list);
        const QList<QListWidgetItem*> found = widget->findItems(item, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << item.toStdString();
        const QPoint where = widget->visualItemRect(found.first()).center();
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, where);
        QTest::mouseDClick(widget->viewport(), Qt::LeftButton, {}, where);
    }

    [[nodiscard]] QString entry(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    QTemporaryDir folder;
};

TEST_F(WindowTracksTest, BrowserShowsOnlyMp3WavAndWmaAndFollowsDirectoriesAndDrives) {
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

TEST_F(WindowTracksTest, DoubleClicksAppendInOrderWithDuplicatesAndRemoveTakesOnlyTheSelectedEntry) {
    auto* tracks = control<QListWidget>("ListOfMusic");
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
}

TEST_F(WindowTracksTest, PreviewPlaysTheEntryAndShowsItsTagAsPlainTextWhateverTheId3Box) {
    control<QCheckBox>("tickUseID3")->setChecked(false);
    doubleClick("FileList", "tagged.mp3");
    doubleClick("FileList", "A.WAV");

    doubleClick("ListOfMusic", entry("tagged.mp3"));
    EXPECT_EQ(fakes.player->opened, QStringList({entry("tagged.mp3")}));
    EXPECT_EQ(control<QLabel>("txtSongname")->text(), "<b>Tag</b> Title");
    EXPECT_EQ(control<QLabel>("txtArtist")->text(), "Tag Artist");
    EXPECT_EQ(control<QLabel>("txtAlbum")->text(), "Tag Album");
    // A tag, and the Status line that shows titles, are shown as written, never as markup.
    for (const char* name : {"txtSongname", "txtArtist", "txtAlbum", "statusLine"}) {
        EXPECT_EQ(control<QLabel>(name)->textFormat(), Qt::PlainText) << name;
    }

    // A file without a tag plays too and leaves the fields as they were.
    doubleClick("ListOfMusic", entry("A.WAV"));
    EXPECT_EQ(fakes.player->opened.size(), 2);
    EXPECT_EQ(control<QLabel>("txtSongname")->text(), "<b>Tag</b> Title");
}

// Titles from tags and file names reach the recorder in the recording tests; what they cannot show: an MP3
// without a tag, with ID3 tags in use, gets an empty title and leaves the tag fields as they were.
TEST_F(WindowTracksTest, AnUntaggedMp3WithId3InUseGetsAnEmptyTitle) {
    control<QCheckBox>("tickUseID3")->setChecked(true);
    EXPECT_EQ(window->deriveTrackTitle(entry("01_Some Song Title.MP3")), "Some Song Title");
    EXPECT_EQ(window->deriveTrackTitle(entry("b song.mp3")), "");
    EXPECT_EQ(control<QLabel>("txtSongname")->text(), "Some Song Title");
}

} // namespace
} // namespace quorvex::testing
