#include "deck/logformat.h"

#include "deck/hex.h"

namespace quorvex::deck {
namespace {

constexpr qsizetype bytesShown = 24;

} // namespace

QString formatLogLine(QTime at, const QString& bytes, const QString& meaning) {
    return QStringLiteral("%1  %2  %3").arg(at.toString(QStringLiteral("hh:mm:ss.zzz")), bytes, meaning);
}

QString shortenedHex(QByteArrayView bytes) {
    if (bytes.size() <= bytesShown) {
        return hexBytes(bytes);
    }
    return QStringLiteral("%1 … (%2 bytes)").arg(hexBytes(bytes.first(bytesShown))).arg(bytes.size());
}

} // namespace quorvex::deck
