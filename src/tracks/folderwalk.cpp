#include "tracks/folderwalk.h"

#include "tracks/soundpatterns.h"

#include <algorithm>
#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace quorvex {

QStringList soundFilesUnder(const QString& folder) {
    QStringList files;
    // Without FollowSymlinks a link to a folder is never entered, so a link back up cannot loop.
    QDirIterator found(QFileInfo(folder).absoluteFilePath(), soundFileNameFilters(), QDir::Files,
                       QDirIterator::Subdirectories);
    while (found.hasNext()) {
        files.append(QDir::cleanPath(found.next()));
    }
    // The C locale's collation knows no numbers, so it gives way to English there.
    QCollator collator;
    if (collator.locale().language() == QLocale::C) {
        collator.setLocale(QLocale(QLocale::English));
    }
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(files.begin(), files.end(), collator);
    return files;
}

} // namespace quorvex
