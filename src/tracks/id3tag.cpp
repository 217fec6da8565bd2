#include "tracks/id3tag.h"

#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>

namespace quorvex {

namespace {

constexpr qint64 tagBytes = 128;
constexpr qsizetype fieldBytes = 30;
constexpr qsizetype titleOffset = 3;
constexpr qsizetype artistOffset = titleOffset + fieldBytes;
constexpr qsizetype albumOffset = artistOffset + fieldBytes;

QString field(const QByteArray& tag, qsizetype offset) {
    QByteArrayView bytes = QByteArrayView(tag).sliced(offset, fieldBytes);
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
        bytes = bytes.first(nul);
    }
    while (bytes.endsWith(' ')) {
        bytes.chop(1);
    }
    return fromCodePage(bytes);
}

} // namespace

std::optional<TagFields> readId3v1(const QString& path) {
    // Only a regular file: opening a named pipe would wait for a writer that never comes.
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < tagBytes || !file.seek(file.size() - tagBytes)) {
        return std::nullopt;
    }
    const QByteArray tag = file.read(tagBytes);
    if (tag.size() != tagBytes || !tag.startsWith("TAG")) {
        return std::nullopt;
    }
    return TagFields{.title = field(tag, titleOffset),
                     .artist = field(tag, artistOffset),
                     .album = field(tag, albumOffset)};
}

} // namespace quorvex
