#include "tracks/japanesewords.h"

#include <algorithm>

namespace quorvex {

namespace {

bool inflects(const Morpheme& word) {
    return word.partOfSpeech == u"動詞" || word.partOfSpeech == u"形容詞" || word.partOfSpeech == u"助動詞";
}

// Written as one word with the one before it: a prefix's word, a suffix ("-tachi", "-zaka"), and after a
// verb or an adjective its auxiliaries, its "-te" and "-ba", and the verbs that only follow others ("-teru").
// A copula after a noun stands alone ("suki da").
bool joinsPrevious(const Morpheme& previous, const Morpheme& word) {
    if (previous.reading.isEmpty() || word.reading.isEmpty() || !word.gap.isEmpty()) {
        return false;
    }
    if (previous.partOfSpeech == u"接頭詞" || word.subclass == u"接尾") {
        return true;
    }
    const bool dependent =
        word.subclass == u"非自立" && (word.partOfSpeech == u"動詞" || word.partOfSpeech == u"形容詞");
    return inflects(previous) &&
           (word.partOfSpeech == u"助動詞" || word.subclass == u"接続助詞" || dependent);
}

// Between a reading and its neighbour: a space between two words, after a full stop, a comma or a closing
// bracket, and before an opening one. Other signs ("&", "/", "~") keep to the words they stand between.
bool spaceBetween(QChar before, QChar after) {
    const auto closes = [](QChar sign) {
        static const QString sentenceSigns = QStringLiteral("、。，．！？：；,.!?:;");
        return sign.category() == QChar::Punctuation_Close ||
               sign.category() == QChar::Punctuation_FinalQuote || sentenceSigns.contains(sign);
    };
    const auto opens = [](QChar sign) {
        return sign.category() == QChar::Punctuation_Open ||
               sign.category() == QChar::Punctuation_InitialQuote;
    };
    if (before.isLetterOrNumber()) {
        return after.isLetterOrNumber() || opens(after);
    }
    return closes(before) && after.isLetterOrNumber();
}

// The katakana middle dot parts the words of a foreign name ("ジョン・レノン").
bool partsWords(const QString& text) {
    return text == u"・";
}

struct Piece {
    QString gap;
    QString text;
    bool read = false;
};

// Each reading with the readings that join it, as one piece: spelled together, a small "ッ" doubles the
// consonant that follows ("イッ" and "タラ" give "ittara").
std::vector<Piece> pieces(const std::vector<Morpheme>& morphemes) {
    std::vector<Piece> joined;
    const Morpheme* previous = nullptr;
    for (const Morpheme& word : morphemes) {
        const bool read = !word.reading.isEmpty();
        if (previous != nullptr && joinsPrevious(*previous, word)) {
            joined.back().text += word.reading;
        } else {
            joined.push_back({.gap = word.gap,
                              .text = read                    ? word.reading
                                      : partsWords(word.text) ? QStringLiteral(" ")
                                                              : word.text,
                              .read = read});
        }
        previous = &word;
    }
    return joined;
}

} // namespace

QString spacedWords(const std::vector<Morpheme>& morphemes,
                    const std::function<QString(const QString&)>& spell) {
    QString spaced;
    const Piece* previous = nullptr;
    qsizetype capital = -1; // where the title's first letter is, when a reading gives it
    bool begun = false;
    std::vector<Piece> words = pieces(morphemes);
    for (Piece& word : words) {
        if (word.read) {
            word.text = spell(word.text);
        }
        spaced += word.gap;
        if (word.gap.isEmpty() && previous != nullptr && (word.read || previous->read) &&
            !word.text.isEmpty() && !spaced.isEmpty() && spaceBetween(spaced.back(), word.text.front())) {
            spaced += QLatin1Char(' ');
        }
        if (!begun) {
            auto* const first = std::find_if(word.text.begin(), word.text.end(),
                                             [](QChar c) { return c.isLetterOrNumber(); });
            begun = first != word.text.end();
            if (begun && word.read) {
                capital = spaced.size() + (first - word.text.begin());
            }
        }
        spaced += word.text;
        previous = &word;
    }
    if (capital >= 0) {
        spaced[capital] = spaced.at(capital).toUpper();
    }
    return spaced;
}

} // namespace quorvex
