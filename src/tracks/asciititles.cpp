#include "tracks/asciititles.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace quorvex {

AsciiTitles::AsciiTitles() {
    UErrorCode status = U_ZERO_ERROR;
    toAscii.reset(icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
    if (U_FAILURE(status) != 0) {
        toAscii.reset();
    }
}

AsciiTitles::~AsciiTitles() = default;

QString AsciiTitles::operator()(const QString& title) const {
    QString latin = title;
    if (toAscii) {
        icu::UnicodeString text(QStringView(title).utf16(), static_cast<int32_t>(title.size()));
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
