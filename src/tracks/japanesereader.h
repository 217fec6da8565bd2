#pragma once

#include <memory>
#include <QString>
#include <unicode/uversion.h>

namespace MeCab {
class Model;
class Tagger;
} // namespace MeCab

// ICU's namespace is versioned ("icu" names "icu_72"); its own macros declare into it.
U_NAMESPACE_BEGIN
class Transliterator;
U_NAMESPACE_END

namespace quorvex {

// Whether a title is read as Japanese: one with kana (hiragana or katakana, full- or half-width) always; Han
// without kana only in a program that runs in Japanese, since elsewhere it is as likely to be Chinese.
[[nodiscard]] bool readsAsJapanese(const QString& title, bool japaneseProgram);

// Japanese titles in Latin letters as a Japanese listener says them: "東京の夜" gives "Tokyo no yoru". MeCab
// cuts the title into words and gives each its pronunciation from the IPA dictionary (mecab-ipadic-utf8);
// ICU spells that in Hepburn, and its long vowels lose their macrons ("Tokyo", "Arigato", "Supa mario").
// See spacedWords for the words' spacing. Loading the dictionary takes a while, so one reader serves many
// titles.
//
// MeCab rather than KAKASI: KAKASI looks kanji up run by run, without the words around them or their part of
// speech ("君の名は" gives "kun no mei ha", "愛してる" "itoshi teru"), and spells long vowels out ("toukyou",
// so "Tokyo" cannot be told from "omou"); MeCab cuts the title into words in context, and its pronunciation
// field marks long vowels and says "は" as "wa". Both fit our GPL-3.0-or-later (KAKASI is GPL-2+): libmecab2
// is BSD-3-clause, GPL-2+ or LGPL-2.1+ at our choice, and mecab-ipadic is under NAIST's BSD-style licence
// with ICOT's free-software terms, which ask only that its notice and its disclaimer travel with it.
class JapaneseReader final {
public:
    static constexpr const char* debianDictionary = "/var/lib/mecab/dic/ipadic-utf8";

    // Without the dictionary (or ICU's transliterator) the reader is not ready and reads nothing.
    explicit JapaneseReader(const QString& dictionary = QString::fromLatin1(debianDictionary));
    ~JapaneseReader();
    JapaneseReader(const JapaneseReader&) = delete;
    JapaneseReader& operator=(const JapaneseReader&) = delete;
    JapaneseReader(JapaneseReader&&) = delete;
    JapaneseReader& operator=(JapaneseReader&&) = delete;

    [[nodiscard]] bool ready() const { return tagger != nullptr && toLatin != nullptr; }
    // The title with its Japanese words read; what is not Japanese stays as it is, for the ASCII rules.
    [[nodiscard]] QString operator()(const QString& title) const;

private:
    [[nodiscard]] QString spelled(QString pronunciation) const;

    struct ModelDeleter {
        void operator()(MeCab::Model* model) const;
    };
    struct TaggerDeleter {
        void operator()(MeCab::Tagger* tagger) const;
    };
    std::unique_ptr<MeCab::Model, ModelDeleter> model;
    std::unique_ptr<MeCab::Tagger, TaggerDeleter> tagger;
    std::unique_ptr<icu::Transliterator> toLatin;
};

} // namespace quorvex
