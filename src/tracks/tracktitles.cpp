#include "tracks/tracktitles.h"

#include "tracks/asciititles.h"
#include "tracks/id3tag.h"
#include "tracks/titlerules.h"
#include "tracks/trackinfo.h"
#include "tracks/trackinfocache.h"

namespace quorvex {

TrackTitles::TrackTitles() = default;
TrackTitles::~TrackTitles() = default;

void TrackTitles::setPlainAscii(bool on) {
    plainAscii = on;
    if (on) {
        buildAscii();
    }
}

void TrackTitles::buildAscii() {
    if (!toAscii) {
        toAscii = std::make_unique<AsciiTitles>();
        toAscii->setJapaneseProgram(japaneseProgram);
    }
}

QString TrackTitles::asciiText(const QString& title) {
    buildAscii();
    return (*toAscii)(title);
}

void TrackTitles::setLanguage(const QString& language) {
    japaneseProgram = language == u"ja";
    if (toAscii) {
        toAscii->setJapaneseProgram(japaneseProgram);
    }
}

TrackTitles::Derived TrackTitles::derive(const QString& path) const {
    Derived derived;
    if (useTags && (isMp3Path(path) || hasOwnTagTitle(path))) {
        const std::optional<TagFields> id3v1 = readId3v1(path);
        const std::optional<TrackInfo> known = infoCache != nullptr ? infoCache->find(path) : std::nullopt;
        const std::optional<TagFields> own = known ? known->tag : readTrackInfo(path).tag;
        derived.fields = previewFields(id3v1, own);
        // A file whose tags name no title is named from its file name, as without tags.
        if (const QString title = titleFromTags(path, id3v1, own); !title.isEmpty()) {
            derived.title = titleText(title);
            derived.whole = title;
            return derived;
        }
    }
    derived.whole = fileNameTitlePart(path);
    derived.title = titleText(derived.whole).right(fileNameTitleLength);
    return derived;
}

TrackTitles::Derived TrackTitles::derive(const TrackSource& source) const {
    if (!source.cue) {
        return derive(source.path);
    }
    const CueTrack& cue = *source.cue;
    const QString title =
        cue.title.isEmpty() ? QStringLiteral("Track ") + cueTrackNumber(cue.number) : cue.title;
    return {.title = titleText(title),
            .fields = TagFields{.title = cue.title, .artist = cue.performer, .album = {}},
            .whole = title};
}

QString TrackTitles::titleText(const QString& title) const {
    return plainAscii && toAscii ? (*toAscii)(title) : title;
}

} // namespace quorvex
