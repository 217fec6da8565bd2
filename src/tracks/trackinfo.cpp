#include "tracks/trackinfo.h"

#include <array>
#include <cmath>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tfilestream.h>
#include <taglib/tiostream.h>
#include <taglib/tpropertymap.h>
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

// The level tags, by the upper-case names TagLib's property maps give them (an MP4 freeform atom
// "----:com.apple.iTunes:replaygain_track_gain" included), and what each is shown as.
struct GainTag {
    const char* key;
    const char* shownAs;
};
constexpr std::array gainTags{
    GainTag{"REPLAYGAIN_TRACK_GAIN", "Track gain"}, GainTag{"REPLAYGAIN_TRACK_PEAK", "Track peak"},
    GainTag{"REPLAYGAIN_ALBUM_GAIN", "Album gain"}, GainTag{"REPLAYGAIN_ALBUM_PEAK", "Album peak"},
    GainTag{"R128_TRACK_GAIN", "R128 track gain"},  GainTag{"R128_ALBUM_GAIN", "R128 album gain"}};

// TagLib's property map of an MP4 file leaves out freeform atoms in lower case, as iTunes and foobar2000
// write the level tags: those are added from the atoms themselves.
TagLib::PropertyMap propertiesOf(TagLib::File& file) {
    TagLib::PropertyMap properties = file.properties();
    auto* mp4 = dynamic_cast<TagLib::MP4::File*>(&file);
    if (mp4 == nullptr || !mp4->hasMP4Tag()) {
        return properties;
    }
    const TagLib::String freeform("----:com.apple.iTunes:");
    for (const auto& [name, item] : mp4->tag()->itemMap()) {
        if (name.startsWith(freeform) && !item.toStringList().isEmpty()) {
            properties.insert(name.substr(freeform.size()).upper(), item.toStringList());
        }
    }
    return properties;
}

std::vector<std::pair<QString, QString>> gainsOf(const TagLib::PropertyMap& properties) {
    std::vector<std::pair<QString, QString>> gains;
    for (const GainTag& tag : gainTags) {
        const auto found = properties.find(tag.key);
        if (found == properties.end() || found->second.isEmpty()) {
            continue;
        }
        if (const QString value = text(found->second.front()); !value.isEmpty()) {
            gains.emplace_back(QString::fromLatin1(tag.shownAs), value);
        }
    }
    return gains;
}

std::optional<QString> firstValue(const TagLib::PropertyMap& properties, const char* key) {
    const auto found = properties.find(key);
    if (found == properties.end() || found->second.isEmpty()) {
        return std::nullopt;
    }
    return text(found->second.front());
}

// "-3.50 dB", "+2.25", "-896": a number within [lowest, highest], its unit dropped; none for anything else.
std::optional<double> numberOf(std::optional<QString> value, double lowest, double highest) {
    if (!value) {
        return std::nullopt;
    }
    if (value->endsWith(QLatin1String("dB"), Qt::CaseInsensitive)) {
        value->chop(2);
    }
    bool ok = false;
    const double number = value->trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number) || number < lowest || number > highest) {
        return std::nullopt;
    }
    return number;
}

// No tagger writes a gain beyond +-60 dB, or a peak that is not above 0 and at most ten times full scale.
constexpr double largestGain = 60.0;
constexpr double smallestPeak = 1e-9;
constexpr double largestPeak = 10.0;

std::optional<double> gainOf(const TagLib::PropertyMap& properties, const char* key) {
    return numberOf(firstValue(properties, key), -largestGain, largestGain);
}

std::optional<double> peakOf(const TagLib::PropertyMap& properties, const char* key) {
    return numberOf(firstValue(properties, key), smallestPeak, largestPeak);
}

// Opus's R128 gains are Q7.8 dB (a 16-bit number) to -23 LUFS; ReplayGain's reference is 5 dB louder.
std::optional<double> r128Gain(const TagLib::PropertyMap& properties, const char* key) {
    constexpr double steps = 256.0;
    constexpr double toReplayGain = 5.0;
    constexpr double largestStep = 32767.0;
    const std::optional<double> value = numberOf(firstValue(properties, key), -largestStep - 1, largestStep);
    return value ? std::optional(*value / steps + toReplayGain) : std::nullopt;
}

ReplayGain replayGainOf(const TagLib::PropertyMap& properties) {
    ReplayGain gains{.trackGain = gainOf(properties, "REPLAYGAIN_TRACK_GAIN"),
                     .trackPeak = peakOf(properties, "REPLAYGAIN_TRACK_PEAK"),
                     .albumGain = gainOf(properties, "REPLAYGAIN_ALBUM_GAIN"),
                     .albumPeak = peakOf(properties, "REPLAYGAIN_ALBUM_PEAK")};
    if (!gains.trackGain) {
        gains.trackGain = r128Gain(properties, "R128_TRACK_GAIN");
    }
    if (!gains.albumGain) {
        gains.albumGain = r128Gain(properties, "R128_ALBUM_GAIN");
    }
    return gains;
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
    for (const auto& [name, value] : info.gains) {
        lines.append(QStringLiteral("%1: %2").arg(name, value.toHtmlEscaped()));
    }
    return QStringLiteral("<qt>%1</qt>").arg(lines.join(QStringLiteral("<br>")));
}

TrackInfo readTrackInfo(TagLib::IOStream& stream) {
    const TagLib::FileRef file(&stream, true, TagLib::AudioProperties::Average);
    if (file.isNull()) {
        return {};
    }
    const TagLib::PropertyMap properties = propertiesOf(*file.file());
    TrackInfo info{.tag = fieldsOf(ownTag(file)),
                   .length = std::nullopt,
                   .gains = gainsOf(properties),
                   .replayGain = replayGainOf(properties)};
    // TagLib says 0 when it cannot tell, and a stream whose last page claims an absurd position overflows
    // into a negative length: neither is a length.
    if (const TagLib::AudioProperties* properties = file.audioProperties();
        properties != nullptr && properties->lengthInMilliseconds() > 0) {
        info.length = std::chrono::milliseconds{properties->lengthInMilliseconds()};
    }
    return info;
}

ReplayGain readReplayGain(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return {};
    }
    TagLib::FileStream stream(QFile::encodeName(path).constData(), true);
    const TagLib::FileRef file(&stream, false);
    return stream.isOpen() && !file.isNull() ? replayGainOf(propertiesOf(*file.file())) : ReplayGain{};
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
