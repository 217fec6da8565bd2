#include "tracks/folderwalk.h"

#include "tracks/soundpatterns.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvex {

namespace {

// Whether a folder's entries can be listed, asked of the system by opening it: Qt lists an unreadable folder
// as an empty one, and a permission check (access()) tells a root process without the capability to read it
// that it may.
bool canList(const QString& folder) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(QFile::encodeName(folder).constData()),
                                                  &::closedir);
    return dir != nullptr;
}

} // namespace

FolderSounds soundFilesUnder(const QString& folder) {
    FolderSounds found;
    QStringList folders{QDir::cleanPath(QFileInfo(folder).absoluteFilePath())};
    while (!folders.isEmpty()) {
        const QString path = folders.takeLast();
        if (!canList(path)) {
            found.unreadable.append(path);
            continue;
        }
        const QDir dir(path);
        for (const QFileInfo& file : dir.entryInfoList(soundFileNameFilters(), QDir::Files)) {
            found.files.append(QDir::cleanPath(file.absoluteFilePath()));
        }
        for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.cue")}, QDir::Files)) {
            found.cueSheets.append(QDir::cleanPath(file.absoluteFilePath()));
        }
        // A link to a folder is never entered, so a link back up cannot loop.
        for (const QFileInfo& sub : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
            folders.append(QDir::cleanPath(sub.absoluteFilePath()));
        }
    }
    // The C locale's collation knows no numbers, so it gives way to English there.
    QCollator collator;
    if (collator.locale().language() == QLocale::C) {
        collator.setLocale(QLocale(QLocale::English));
    }
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(found.files.begin(), found.files.end(), collator);
    std::sort(found.cueSheets.begin(), found.cueSheets.end(), collator);
    return found;
}

} // namespace quorvex
