#include "deck/logline.h"

#include "deck/hex.h"

namespace quorvex::deck {
namespace {

constexpr qsizetype noiseShown = 24;

struct Describe {
    QString operator()(const Command& command) const { return commandName(command); }
    QString operator()(const Title& title) const {
        const QString line = QStringLiteral("title track %1 \"%2\"").arg(title.track).arg(title.text);
        return title.track == 0 ? line + QStringLiteral(" (disc name)") : line;
    }
    QString operator()(const Noise& /*noise*/) const { return QStringLiteral("noise"); }
};

QString bytesShown(const Received& received) {
    if (std::holds_alternative<Noise>(received.meaning) && received.bytes.size() > noiseShown) {
        return QStringLiteral("%1 … (%2 bytes)")
            .arg(hexBytes(QByteArrayView(received.bytes).first(noiseShown)))
            .arg(received.bytes.size());
    }
    return hexBytes(received.bytes);
}

} // namespace

QString meaningOf(const Meaning& meaning) {
    return std::visit(Describe{}, meaning);
}

QString logLine(QTime at, const Received& received) {
    return QStringLiteral("%1  %2  %3")
        .arg(at.toString(QStringLiteral("hh:mm:ss.zzz")), bytesShown(received), meaningOf(received.meaning));
}

} // namespace quorvex::deck
