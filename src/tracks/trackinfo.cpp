#include "tracks/trackinfo.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tfilestream.h>
#include <taglib/tiostream.h>
#include <taglib/wavfile.h>

namespace quorvex {

namespace {

QString text(const TagLib::String& value) {
    return QString::fromUtf8(value.toCString(true)).trimmed();
}

std::optional<TagFields> fieldsOf(const TagLib::Tag* tag) {
    if (tag == nullptr) {
        return std::nullopt;
    }
    TagFields fields{.title = text(tag->title()), .artist = text(tag->artist()), .album = text(tag->album())};
    if (fields.isEmpty()) {
        return std::nullopt;
    }
    return fields;
}

// An MP3's own tag is its ID3v2 tag only: TagLib's merged view would also bring in the ID3v1 block, which
// the program reads by its own rules, and an APE tag, which MP3 players do not show.
const TagLib::Tag* ownTag(const TagLib::FileRef& file) {
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file.file())) {
        return mpeg->hasID3v2Tag() ? mpeg->ID3v2Tag() : nullptr;
    }
    // A WAV file's tag() is its ID3 chunk only; most taggers write RIFF INFO.
    if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(file.file())) {
        return wav->hasID3v2Tag()  ? static_cast<const TagLib::Tag*>(wav->ID3v2Tag())
               : wav->hasInfoTag() ? wav->InfoTag()
                                   : nullptr;
    }
    return file.tag();
}

} // namespace

QString trackInfoToolTip(const TrackInfo& info, const QString& heading) {
    QStringList lines;
    if (!heading.isEmpty()) {
        lines.append(heading.toHtmlEscaped());
    }
    const auto add = [&lines](const char* name, const QString& value) {
        if (!value.isEmpty()) {
            lines.append(QStringLiteral("%1: %2").arg(QLatin1String(name), value.toHtmlEscaped()));
        }
    };
    if (info.tag) {
        add("Title", info.tag->title);
        add("Artist", info.tag->artist);
        add("Album", info.tag->album);
    }
    if (info.length) {
        constexpr qint64 secondsPerMinute = 60;
        const qint64 seconds = std::chrono::duration_cast<std::chrono::seconds>(*info.length).count();
        add("Length", QStringLiteral("%1:%2")
                          .arg(seconds / secondsPerMinute)
                          .arg(seconds % secondsPerMinute, 2, 10, QLatin1Char('0')));
    } else {
        add("Length", QStringLiteral("unknown"));
    }
    return QStringLiteral("<qt>%1</qt>").arg(lines.join(QStringLiteral("<br>")));
}

TrackInfo readTrackInfo(TagLib::IOStream& stream) {
    const TagLib::FileRef file(&stream, true, TagLib::AudioProperties::Average);
    if (file.isNull()) {
        return {};
    }
    TrackInfo info{.tag = fieldsOf(ownTag(file)), .length = std::nullopt};
    // TagLib says 0 when it cannot tell, and a stream whose last page claims an absurd position overflows
    // into a negative length: neither is a length.
    if (const TagLib::AudioProperties* properties = file.audioProperties();
        properties != nullptr && properties->lengthInMilliseconds() > 0) {
        info.length = std::chrono::milliseconds{properties->lengthInMilliseconds()};
    }
    return info;
}

TrackInfo readTrackInfo(const QString& path) {
    // Only a regular file: opening a named pipe would wait for a writer that never comes.
    if (!QFileInfo(path).isFile()) {
        return {};
    }
    TagLib::FileStream stream(QFile::encodeName(path).constData(), true);
    if (!stream.isOpen()) {
        return {};
    }
    return readTrackInfo(stream);
}

} // namespace quorvex
