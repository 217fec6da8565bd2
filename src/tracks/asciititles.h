#pragma once

#include "tracks/japanesereader.h"

#include <memory>
#include <mutex>
#include <QString>

namespace quorvex {

// Titles the recorder's display can show: any script written in Latin letters, then the letters' plain ASCII
// forms (ICU's "Any-Latin; Latin-ASCII": "Tårarna" gives "Tararna", "Сплин" "Splin", "東京" "dong jing").
// What still has no printable ASCII form becomes "?". A title read as Japanese (see readsAsJapanese) is read
// by JapaneseReader first: "東京の夜" gives "Tokyo no yoru". Building the transliterator takes a while, so
// one object serves many titles; the Japanese dictionary is loaded the first time a title needs it, and
// without it Japanese goes through ICU like the rest.
class AsciiTitles final {
public:
    explicit AsciiTitles(QString japaneseDictionary = QString::fromLatin1(JapaneseReader::debianDictionary));
    ~AsciiTitles();
    AsciiTitles(const AsciiTitles&) = delete;
    AsciiTitles& operator=(const AsciiTitles&) = delete;
    AsciiTitles(AsciiTitles&&) = delete;
    AsciiTitles& operator=(AsciiTitles&&) = delete;

    // Han without kana is read as Japanese too: the program runs in Japanese.
    void setJapaneseProgram(bool on) { japaneseProgram = on; }
    [[nodiscard]] QString operator()(const QString& title) const;

private:
    [[nodiscard]] const JapaneseReader* japanese() const;

    // None when ICU cannot build it (its data missing): then only the "?" rule applies.
    std::unique_ptr<icu::Transliterator> toAscii;
    bool japaneseProgram = false;
    QString dictionary;
    mutable std::once_flag dictionaryLoaded;
    mutable std::unique_ptr<JapaneseReader> reader; // none when the dictionary cannot be loaded
};

} // namespace quorvex
