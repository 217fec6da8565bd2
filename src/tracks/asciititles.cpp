#include "tracks/asciititles.h"

#include "tracks/japanesereader.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <utility>

namespace quorvex {

AsciiTitles::AsciiTitles(QString japaneseDictionary) : dictionary(std::move(japaneseDictionary)) {
    UErrorCode status = U_ZERO_ERROR;
    toAscii.reset(icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
    if (U_FAILURE(status) != 0) {
        toAscii.reset();
    }
}

AsciiTitles::~AsciiTitles() = default;

const JapaneseReader* AsciiTitles::japanese() const {
    std::call_once(dictionaryLoaded, [this] {
        auto loaded = std::make_unique<JapaneseReader>(dictionary);
        if (loaded->ready()) {
            reader = std::move(loaded);
        }
    });
    return reader.get();
}

QString AsciiTitles::operator()(const QString& title) const {
    QString latin = title;
    if (readsAsJapanese(title, japaneseProgram)) {
        if (const JapaneseReader* reading = japanese()) {
            latin = (*reading)(title);
        }
    }
    if (toAscii) {
        icu::UnicodeString text(QStringView(latin).utf16(), static_cast<int32_t>(latin.size()));
        toAscii->transliterate(text);
        latin = QString::fromUtf16(text.getBuffer(), text.length());
    }
    constexpr char16_t firstPrintable = 0x20;
    constexpr char16_t lastPrintable = 0x7E;
    QString ascii;
    ascii.reserve(latin.size());
    for (qsizetype at = 0; at < latin.size(); ++at) {
        const QChar character = latin.at(at);
        const bool printable = character.unicode() >= firstPrintable && character.unicode() <= lastPrintable;
        ascii.append(printable ? character : QLatin1Char('?'));
        // A character outside the Basic Multilingual Plane is one "?", not two.
        if (character.isHighSurrogate() && at + 1 < latin.size() && latin.at(at + 1).isLowSurrogate()) {
            ++at;
        }
    }
    return ascii;
}

} // namespace quorvex
