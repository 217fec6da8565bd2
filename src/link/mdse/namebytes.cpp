#include "link/mdse/namebytes.h"

#include <QString>

namespace quorvex::mdse {

QByteArray deckNameBytes(QStringView title) {
    QByteArray bytes;
    bytes.reserve(title.size());
    for (const QChar character : title) {
        const char16_t code = character.unicode();
        char byte = '?';
        if (code < 0x20) {
            byte = ' ';
        } else if (code <= 0x5A || (code >= 0x5E && code <= 0x7A)) {
            byte = static_cast<char>(code);
        } else if (code == u'[' || code == u'{') {
            byte = '(';
        } else if (code == u']' || code == u'}') {
            byte = ')';
        } else if (code == u'\\' || code == u'|') {
            byte = '/';
        } else if (code == u'~') {
            byte = '-';
        }
        bytes.append(byte);
    }
    return bytes;
}

QString nameOfBytes(QByteArrayView bytes) {
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.first(end));
}

} // namespace quorvex::mdse
