#include "platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace quorvex {

namespace {

// ICU's substitute for a character it cannot encode.
constexpr char substitute = 0x1A;

} // namespace

QByteArray toCodePage(QStringView text) {
    QStringEncoder encoder("windows-1252", QStringConverter::Flag::Stateless);
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype at = 0; at < text.size();) {
        // One character: a surrogate pair is two UTF-16 units.
        const qsizetype units =
            (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) ? 2 : 1;
        const QStringView character = text.mid(at, units);
        const QByteArray encoded = encoder.isValid() ? QByteArray(encoder.encode(character)) : QByteArray();
        const bool isOwnByte =
            encoded.size() == 1 && (encoded[0] != substitute || character[0] == QChar(0x1A));
        bytes.append(isOwnByte ? encoded[0] : '?');
        at += units;
    }
    return bytes;
}

QString fromCodePage(QByteArrayView bytes) {
    QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
        return QString::fromLatin1(bytes);
    }
    return decoder.decode(bytes);
}

} // namespace quorvex
