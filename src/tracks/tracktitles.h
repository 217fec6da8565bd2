#pragma once

#include "tracks/tagfields.h"
#include "tracks/tracksource.h"

#include <memory>
#include <optional>
#include <QString>

namespace quorvex {

class AsciiTitles;
class TrackInfoCache;

// The names that go to the recorder: each entry's title, from its tags ("Use ID3 tags") or its file name,
// and any title or disc name in plain ASCII when "Plain ASCII titles" asks for it. Both front ends keep
// one, set its two switches and tell it the language the program runs in.
class TrackTitles final {
public:
    TrackTitles();
    ~TrackTitles();
    TrackTitles(const TrackTitles&) = delete;
    TrackTitles& operator=(const TrackTitles&) = delete;
    TrackTitles(TrackTitles&&) = delete;
    TrackTitles& operator=(TrackTitles&&) = delete;

    // An entry's title, and the tag fields it was read from (none when the tags were not asked or the file
    // has none), for a front end that shows them.
    struct Derived {
        QString title;
        std::optional<TagFields> fields;
        QString whole; // the title before it is made plain or cut, in its own script
    };

    // Tags already read there are not read again.
    void readThrough(const TrackInfoCache& cache) { infoCache = &cache; }
    void setUseTags(bool on) { useTags = on; }
    [[nodiscard]] bool usesTags() const { return useTags; }
    // The transliterator is built the first time plain titles are asked for: it costs time and memory.
    void setPlainAscii(bool on);
    // The program's language ("ja", "de"; see uiLanguage): in Japanese, plain titles read Han without kana as
    // Japanese, elsewhere as Chinese. Kana is read as Japanese in any language.
    void setLanguage(const QString& language);

    // From the tags (MP3, FLAC, Ogg, Opus, M4A and AIFF) when they are used and name a title, else from the
    // file name; made plain before the cut to 14 characters, so a transliteration that grows keeps the
    // name's end.
    [[nodiscard]] Derived derive(const QString& path) const;
    // A whole file's as above; a cue track's is its sheet's TITLE whatever the tags say ("Track 03" without
    // one), made plain where asked, with the sheet's title and performer as its fields.
    [[nodiscard]] Derived derive(const TrackSource& source) const;
    // A title or the disc name as it goes to the recorder.
    [[nodiscard]] QString titleText(const QString& title) const;
    // A title in plain ASCII whatever the switch says: for a recorder whose names take nothing else.
    [[nodiscard]] QString asciiText(const QString& title);

private:
    void buildAscii();

    const TrackInfoCache* infoCache = nullptr;
    bool useTags = false;
    bool plainAscii = false;
    bool japaneseProgram = false;
    std::unique_ptr<AsciiTitles> toAscii;
};

} // namespace quorvex
