// The window's source browser and Track list: adding, removing, moving, previewing and saving entries, and
// the tags shown for them.
#include "app/frmquorvex.h"
#include "app/messages.h"
#include "app/soundoutputmenu.h"
#include "platform/mediaplayer.h"
#include "run/recordingrun.h"
#include "tracks/cuesheet.h"
#include "tracks/id3tag.h"
#include "tracks/playlist.h"
#include "tracks/soundpatterns.h"
#include "tracks/titlerules.h"
#include "tracks/trackinfo.h"
#include "widgets/dirlistbox.h"
#include "widgets/drivelistbox.h"
#include "widgets/filelistbox.h"
#include "widgets/tracklist.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolTip>
#include <QUrl>

namespace quorvex {

void frmQuorvex::DriveList_Change() {
    ui.DirList->setPath(ui.DriveList->drive());
}

void frmQuorvex::DirList_Change() {
    ui.FileList->setPath(ui.DirList->path());
    // The folder left behind need not be read any further.
    session.trackInfo().forgetWaiting();
    shownFiles.clear();
    // The Track list's entries still unread were dropped with the folder: asked for again, first.
    QStringList paths = session.entries().paths();
    for (int row = 0; row < ui.FileList->count(); ++row) {
        QListWidgetItem* file = ui.FileList->item(row);
        paths.append(trackListEntry(ui.FileList->path(), file->text()));
        shownFiles.insert(paths.back(), file);
    }
    session.trackInfo().request(paths);
}

void frmQuorvex::showTrackInfo(const QString& path) {
    // Thousands of entries read one after another add up their time once, not once per entry.
    if (!summaryDue.isActive()) {
        summaryDue.start();
    }
    // Just read: no need to ask the disk whether it changed.
    QListWidgetItem* file = shownFiles.value(path);
    if (const std::optional<TrackInfo> info = session.trackInfo().lastRead(path); file != nullptr && info) {
        file->setToolTip(trackInfoToolTip(*info));
    }
}

void frmQuorvex::FileList_DblClick() {
    // Without a chosen file the entry would be the bare directory, which nothing can play.
    const QString fileName = ui.FileList->fileName();
    if (fileName.isEmpty()) {
        return;
    }
    const QString entry = trackListEntry(ui.FileList->path(), fileName);
    if (isPlaylistPath(entry) || isCueSheetPath(entry)) {
        addEntries({entry}, atListEnd);
    } else {
        session.entries().append({entry});
    }
}

// During a run the Track list only grows: the run walks it by position.
void frmQuorvex::btnRemove_Click() {
    if (const std::optional<int> chosen = ui.ListOfMusic->chosenRow()) {
        session.entries().remove(*chosen);
    }
}

void frmQuorvex::addEntries(const QStringList& paths, int row) {
    // What is asked for during a run goes to the end, even when the run is over by the time it comes.
    session.add(paths, row);
}

void frmQuorvex::addDroppedUrls(const QList<QUrl>& urls, int row) {
    QStringList paths;
    std::vector<Refused> refused;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            paths.append(url.toLocalFile());
        } else {
            refused.push_back(
                {.entry = url.toDisplayString(), .reason = QStringLiteral("it is not a local file")});
        }
    }
    session.add(paths, row, std::move(refused));
}

void frmQuorvex::moveEntry(int step) {
    const std::optional<int> chosen = ui.ListOfMusic->chosenRow();
    if (chosen && session.entries().move(*chosen, *chosen + step)) {
        ui.ListOfMusic->setCurrentRow(*chosen + step);
    }
}

void frmQuorvex::addFiles_Click() {
    const QString sounds = QString::fromLatin1(soundFilePattern).replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString playlists =
        QString::fromLatin1(playlistFilePattern).replace(QLatin1Char(';'), QLatin1Char(' '));
    addEntries(platform.dialogs->chooseFiles(
                   QStringLiteral("Add files"),
                   QStringLiteral("Sound files, playlists and cue sheets (%1 %2)").arg(sounds, playlists)),
               atListEnd);
}

void frmQuorvex::addFolder_Click() {
    if (const QString folder = platform.dialogs->chooseFolder(QStringLiteral("Add folder"));
        !folder.isEmpty()) {
        addEntries({folder}, atListEnd);
    }
}

void frmQuorvex::saveList_Click() {
    QString path = platform.dialogs->chooseFileToSave(QStringLiteral("Save list as playlist"),
                                                      QStringLiteral("Playlists (*.m3u8)"));
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".m3u8");
    }
    if (const std::optional<QString> failure = writePlaylist(path, session.entries().playlistItems())) {
        platform.dialogs->show(
            {.text = QStringLiteral("The list could not be saved as %1: %2").arg(path, *failure),
             .title = QString::fromLatin1(text::applicationTitle),
             .icon = QMessageBox::Warning});
    }
}

void frmQuorvex::ListOfMusic_DblClick() {
    // During a recording run a preview would take the player away from the track being recorded.
    if (session.isRecording()) {
        QToolTip::showText(ui.ListOfMusic->mapToGlobal(ui.ListOfMusic->rect().center()),
                           QStringLiteral("No preview during a run: the player is recording."),
                           ui.ListOfMusic);
        return;
    }
    const TrackSource source = session.entries().source(ui.ListOfMusic->currentRow());
    if (source.path.isEmpty()) {
        return;
    }
    if (outputs->fallBackIfMissing()) {
        setStatusLine(
            QStringLiteral("The sound output \"%1\" is not connected: playing to the system default.")
                .arg(outputs->chosenLabel()));
    }
    platform.player->open(mediaItemOf(source));
    if (source.cue) {
        fillTagFields(session.titles().derive(source).fields);
    } else {
        readId3Tag(source.path);
    }
}

QString frmQuorvex::fillTagFields(const std::optional<TagFields>& fields) {
    if (!fields) {
        return {};
    }
    ui.txtSongname->setText(fields->title);
    ui.txtArtist->setText(fields->artist);
    ui.txtAlbum->setText(fields->album);
    return ui.txtSongname->text();
}

QString frmQuorvex::readId3Tag(const QString& path) {
    return fillTagFields(previewFields(readId3v1(path), readTrackInfo(path).tag));
}

QString frmQuorvex::deriveTrackTitle(const QString& path) {
    const TrackTitles::Derived derived = session.titles().derive(path);
    fillTagFields(derived.fields);
    return derived.title;
}

void frmQuorvex::showTagFields(const std::optional<TagFields>& fields) {
    fillTagFields(fields);
}

QString frmQuorvex::titleText(const QString& title) const {
    return session.titles().titleText(title);
}

} // namespace quorvex
