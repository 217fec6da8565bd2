#include "tracks/titlerules.h"

namespace quorvex {

namespace {

constexpr qsizetype extensionLength = 4; // ".mp3"

bool endsTheName(QChar character) {
    return character == QLatin1Char('_') || character == QLatin1Char('\\') || character == QLatin1Char('/');
}

} // namespace

bool isMp3Path(QStringView path) {
    return path.endsWith(QLatin1String("mp3"), Qt::CaseInsensitive);
}

QString titleFromFileName(QStringView path) {
    qsizetype end = path.size() - extensionLength; // one past the last character of the title
    qsizetype start = end;
    while (start > 0 && end - start < fileNameTitleLength && !endsTheName(path[start - 1])) {
        --start;
    }
    return end > 0 ? path.sliced(start, end - start).toString() : QString();
}

QString trackListEntry(const QString& directory, const QString& fileName) {
    const QChar separator = QLatin1Char('/');
    return directory.endsWith(separator) ? directory + fileName : directory + separator + fileName;
}

} // namespace quorvex
