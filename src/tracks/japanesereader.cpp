#include "tracks/japanesereader.h"

#include "tracks/japanesewords.h"

#include <algorithm>
#include <mecab.h>
#include <QStringList>
#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <vector>

namespace quorvex {

namespace {

bool isKana(QChar character) {
    return character.script() == QChar::Script_Hiragana || character.script() == QChar::Script_Katakana;
}

bool isJapanese(QChar character) {
    return isKana(character) || character.script() == QChar::Script_Han;
}

// Half-width katakana ("ｶﾞﾝﾀﾞﾑ") as the dictionary holds its words: full width, the sound marks joined.
QString fullWidthKana(const QString& title) {
    constexpr char16_t firstHalfWidth = 0xFF61;
    constexpr char16_t lastHalfWidth = 0xFF9F;
    const auto halfWidth = [](QChar c) {
        return c.unicode() >= firstHalfWidth && c.unicode() <= lastHalfWidth;
    };
    QString full;
    for (qsizetype at = 0; at < title.size();) {
        qsizetype end = at + 1;
        const bool half = halfWidth(title.at(at));
        while (end < title.size() && halfWidth(title.at(end)) == half) {
            ++end;
        }
        const QString run = title.mid(at, end - at);
        full += half ? run.normalized(QString::NormalizationForm_KC) : run;
        at = end;
    }
    return full;
}

} // namespace

bool readsAsJapanese(const QString& title, bool japaneseProgram) {
    return std::any_of(title.begin(), title.end(), isKana) ||
           (japaneseProgram && std::any_of(title.begin(), title.end(), isJapanese));
}

void JapaneseReader::ModelDeleter::operator()(MeCab::Model* model) const {
    MeCab::deleteModel(model);
}
void JapaneseReader::TaggerDeleter::operator()(MeCab::Tagger* tagger) const {
    MeCab::deleteTagger(tagger);
}

JapaneseReader::JapaneseReader(const QString& dictionary) {
    // No resource file: the dictionary is named, whatever /etc/mecabrc or the system's default says.
    const QByteArray arguments = "-r /dev/null -d " + dictionary.toLocal8Bit();
    model.reset(MeCab::createModel(arguments.constData()));
    if (model) {
        tagger.reset(model->createTagger());
    }
    UErrorCode status = U_ZERO_ERROR;
    toLatin.reset(icu::Transliterator::createInstance("Hiragana-Katakana; Katakana-Latin; Latin-ASCII",
                                                      UTRANS_FORWARD, status));
    if (U_FAILURE(status) != 0) {
        toLatin.reset();
    }
}

JapaneseReader::~JapaneseReader() = default;

QString JapaneseReader::spelled(QString pronunciation) const {
    // The particle "を" is said, and written in Hepburn, "o".
    pronunciation.replace(u'ヲ', u'オ');
    icu::UnicodeString text(QStringView(pronunciation).utf16(), static_cast<int32_t>(pronunciation.size()));
    toLatin->transliterate(text);
    // ICU marks with "~" a small kana it could not join to the one before ("ウォ" gives "u~o").
    return QString::fromUtf16(text.getBuffer(), text.length()).remove(QLatin1Char('~')).toLower();
}

QString JapaneseReader::operator()(const QString& title) const {
    if (!ready()) {
        return title;
    }
    const QByteArray sentence = fullWidthKana(title).toUtf8();
    const std::unique_ptr<MeCab::Lattice, decltype(&MeCab::deleteLattice)> lattice(model->createLattice(),
                                                                                   &MeCab::deleteLattice);
    lattice->set_sentence(sentence.constData(), static_cast<std::size_t>(sentence.size()));
    if (!tagger->parse(lattice.get())) {
        return title;
    }
    std::vector<Morpheme> words;
    qsizetype at = 0; // in the sentence's bytes
    for (const MeCab::Node* node = lattice->bos_node()->next; node != nullptr && node->stat != MECAB_EOS_NODE;
         node = node->next) {
        const qsizetype space = node->rlength - node->length;
        Morpheme word;
        word.gap = QString::fromUtf8(sentence.mid(at, space));
        word.text = QString::fromUtf8(sentence.mid(at + space, node->length));
        at += node->rlength;
        // Class, subclass, three more, base form, reading, pronunciation; a word the dictionary does not
        // hold has none of the last three, and is said as it is written.
        const QStringList features = QString::fromUtf8(node->feature).split(QLatin1Char(','));
        constexpr qsizetype pronunciationField = 8;
        word.partOfSpeech = features.value(0);
        word.subclass = features.value(1);
        if (std::any_of(word.text.begin(), word.text.end(), isJapanese)) {
            const QString said = features.value(pronunciationField);
            word.reading = said.isEmpty() || said == u"*" ? word.text : said;
        }
        words.push_back(word);
    }
    Morpheme end;
    end.gap = QString::fromUtf8(sentence.mid(at));
    words.push_back(end);
    return spacedWords(words, [this](const QString& kana) { return spelled(kana); });
}

} // namespace quorvex
