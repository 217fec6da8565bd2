#include "tracks/titlerules.h"

#include <algorithm>
#include <array>

namespace quorvex {

namespace {

constexpr qsizetype extensionLength = 4; // ".mp3", for a name without a dot

bool endsTheName(QChar character) {
    return character == QLatin1Char('_') || character == QLatin1Char('\\') || character == QLatin1Char('/');
}

} // namespace

bool isMp3Path(QStringView path) {
    return path.endsWith(QLatin1String("mp3"), Qt::CaseInsensitive);
}

bool hasOwnTagTitle(QStringView path) {
    constexpr std::array extensions{".flac", ".ogg", ".oga", ".opus", ".m4a", ".aif", ".aiff"};
    return std::ranges::any_of(extensions, [path](const char* extension) {
        return path.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
    });
}

QString fileNameTitlePart(QStringView path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const bool dotInName = dot >= 0 && std::none_of(path.begin() + dot, path.end(), [](QChar character) {
                               return character == QLatin1Char('\\') || character == QLatin1Char('/');
                           });
    const qsizetype end =
        dotInName ? dot : path.size() - extensionLength; // one past the title's last character
    if (end <= 0) {
        return {};
    }
    qsizetype start = end;
    while (start > 0 && !endsTheName(path[start - 1])) {
        --start;
    }
    return path.sliced(start, end - start).toString();
}

QString titleFromFileName(QStringView path) {
    return fileNameTitlePart(path).right(fileNameTitleLength);
}

QString titleFromTags(QStringView path, const std::optional<TagFields>& id3v1,
                      const std::optional<TagFields>& own) {
    if (isMp3Path(path) && id3v1 && !id3v1->title.isEmpty()) {
        return id3v1->title;
    }
    return (isMp3Path(path) || hasOwnTagTitle(path)) && own ? own->title : QString();
}

std::optional<TagFields> previewFields(const std::optional<TagFields>& id3v1,
                                       const std::optional<TagFields>& own) {
    if (id3v1 && !id3v1->title.isEmpty()) {
        return id3v1;
    }
    return own ? own : id3v1;
}

QString trackListEntry(const QString& directory, const QString& fileName) {
    const QChar separator = QLatin1Char('/');
    return directory.endsWith(separator) ? directory + fileName : directory + separator + fileName;
}

} // namespace quorvex
