#include "deck/hex.h"

#include <QByteArray>

namespace quorvex::deck {

QString hexBytes(QByteArrayView bytes) {
    return QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper());
}

} // namespace quorvex::deck
